// The handlers of the command table and the dispatch that calls them.
#pragma once

#include "app/event_queue.h"

namespace velkor {

// Hands a control, menu or shortcut event to the first row of the command
// table that holds its identifier, accepts its type and acts in the current
// view; an event no row takes does nothing.
void RunCommand(const LoopEvent& event);

// What closing window `window` does: the main window ends the program, the
// run dialog and the preferences give the other windows back, the diagram
// hides.
void CloseRequest(int window);

// The texts of the toolbar buttons whose rows differ per view, as `view`
// has them (the search button's tooltip in "Prozesse" and "Treiber").
void ApplyViewTexts(int view);

}  // namespace velkor
