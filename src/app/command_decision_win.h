// The command decision fed from the running program and applied to menus.
#pragma once

#include <windows.h>

#include "app/command_decision.h"

namespace velkor {

// The current view, the selections of the process and driver lists, the
// processor count and the power policy the menu bar was built with. The
// topmost state of the selected window is left to the one place that needs it.
CommandContext CommandContextNow();
void RememberPowerPolicy(const PowerPolicy& policy);

// Enables or greys, checks or unchecks every item of `menu` and its submenus
// as the decision says.
void ApplyCommandStates(HMENU menu, const CommandContext& context);

}  // namespace velkor
