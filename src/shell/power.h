// The power and session commands that both programs offer in their menu
// "Windows", and the help file.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "shell/command_state.h"

namespace velkor {

// Appends the six items (ids firstId .. firstId + 5) to `menu`, owner-drawn,
// then greys what the power policy forbids; returns that policy.
PowerPolicy BuildPowerMenu(HMENU menu, int firstId);

PowerPolicy ReadPowerPolicy();
void ApplyPowerPolicy(HMENU menu, int firstId, const PowerPolicy& policy);

// The session's user name as the system gives it ("" when it cannot be read).
const std::string& PowerUserName();

std::optional<PowerCommand> PowerCommandFor(int id, int firstId);
// Carries the command out; failures are reported in a box titled "Hinweis".
void RunPowerCommand(PowerCommand command, HWND owner = nullptr);

// Opens velkor.chm of the working folder in the help viewer: its window, or
// null after telling the user that it could not be opened.
HWND OpenHelpFile(HWND owner = nullptr);
// Closes every help viewer window this process opened.
void CloseHelpFile();

// The calls that end the session or stop the machine. The tests replace them
// so that nothing happens to the machine they run on; an empty member keeps
// the system's call.
struct PowerSystemCalls {
  std::function<bool(UINT flags)> exitWindows;  // ExitWindowsEx(flags, 0)
  std::function<bool(bool hibernate)> suspend;  // standby or hibernation, not forced
  std::function<bool()> lockWorkStation;
};
void SetPowerSystemCalls(PowerSystemCalls calls);

}  // namespace velkor
