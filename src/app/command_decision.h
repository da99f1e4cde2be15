// Whether each command of velkor.exe is offered, greyed or checked, decided
// once for the toolbar, the menus and the dispatch from what the program
// shows and what the system allows.
#pragma once

#include <cstdint>

#include "shell/command_state.h"

namespace velkor {

struct CommandContext {
  int view = 0;                  // the current view, 0..5
  bool processSelected = false;  // a row of the process list is selected
  bool driverSelected = false;   // a row of the driver list is selected
  bool windowTopmost = false;    // the selected window of the window list stays in front
  uint32_t processorCount = 1;   // the "Prozessor" submenu offers 1..64 of them
  PowerPolicy power;             // read once when the menu bar is built
};

// The state of command `id` by the state rule of its row in the command
// table (app/command_table.h): buttons 23..25 follow the view and its
// selection, the separators are never enabled.
CommandState DecideCommandState(int id, const CommandContext& context);

// Whether an event carrying `id` is carried out: every offered command. A
// greyed button only stops the mouse; the shortcuts act on the selection in
// any view.
bool CommandRuns(int id, const CommandContext& context);

}  // namespace velkor
