// Window 6 "Prozessinformationen": everything about one process on eight
// pages. It exists only while open; closed, it costs nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace velkor {

// Command 25: shows the focused (else the first selected) row of the process
// list; again for the process shown brings the window to the front.
void ShowProcessInformation();
// Shows process `pid` named `name` in window 6, opening it when closed.
void ShowProcessInformationFor(uint32_t pid, const std::string& name);
// Refreshes the page shown, in place, while the window is open and visible.
void RefreshProcessWindow();
void CloseProcessWindow();
// The PID shown, or nothing while the window is closed.
std::optional<uint32_t> ProcessWindowPid();
// Shows page `page` (0..7) as a click on its tab would.
void SelectProcessWindowPage(int page);

// The window's messages before the common handling: its tabs, buttons,
// keys, size and scale; nothing for any other window.
std::optional<LRESULT> ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace velkor
