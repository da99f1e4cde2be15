// What screen readers are told of the controls the program draws itself:
// their accessible name, value and role, and the parts drawn inside them
// (tabs, status-bar fields), answered from the program's own texts at the
// moment a reader asks.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace velkor::win {

// A part drawn inside a control, a simple element without a window.
struct AccessiblePart {
  std::string name;   // Windows-1252, as drawn
  std::string value;  // "" for none
  long role = 0;      // ROLE_SYSTEM_...
  long state = 0;     // STATE_SYSTEM_... besides what the control's own state gives
  RECT place{};       // in the control's client coordinates
};

struct AccessibleFacts {
  std::string name;
  std::string value;  // "" for none
  long role = 0;      // 0: the role the system gives the control's class
  std::vector<AccessiblePart> parts;
  int focusedPart = 0;  // 1-based part that has the focus while the control has it; 0 none
};

using AccessibleFactsSource = std::function<AccessibleFacts()>;

// From now on a reader asking `control` for its client object (WM_GETOBJECT)
// gets the system's object for it with `source`'s name, value, role and
// parts instead; the rest (state, place, parent, focus) stays the system's.
// Nothing is computed until a reader asks.
void SetAccessibleFacts(HWND control, AccessibleFactsSource source);

// Calls `changed` after every change of `control`'s window text (a figure
// label whose text is another control's value).
void WatchTextChanges(HWND control, std::function<void()> changed);

// Tells listening readers that a control's value or the name of one of its
// parts (0 stands for the control itself) changed, or which part is selected
// now. Cheap when nobody listens.
void AnnounceValueChange(HWND control);
void AnnounceNameChange(HWND control, int part);
void AnnounceSelection(HWND control, int part);
void AnnounceFocus(HWND control, int part);

}  // namespace velkor::win
