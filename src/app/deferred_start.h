// What the start leaves for the idle time after the first paint: the lists
// of the hidden views, the controls of the views built late, windows 1 to 5.
// Each is also done at once where it is needed first.
#pragma once

#include "app/layout.h"

namespace velkor {

// Notes everything the start leaves for later (BuildWindows, before building
// window 0's controls); DestroyWindows forgets it all again.
void LeaveForLater();
void ForgetWhatIsLeft();
// Whether control `def` of window 0 is among those of a view still to build.
bool LeftForLater(const ControlSpec& def);

// Starts the idle-time completion (one step a timer tick), or does it all now.
void CompleteStartWhenIdle();
void CompleteStartNow();

// Builds the late controls of `view` if they are still to build, and sets the
// view up.
void BuildViewControls(int view);

// Fills list `id` (a view list) now if the start left it for later.
void FillListIfPending(int id);
// List `id` was just filled by its view: the idle time need not fill it.
void ForgetPendingList(int id);

}  // namespace velkor
