// Driving the system's file and message dialogs the way a user would: find the
// dialog by its title, fill in the name, press a button.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace velkor::test {

// The first visible dialog of process `pid` titled `title`, waited for up to
// `timeout`; null when none came.
HWND WaitForDialog(uint32_t pid, const std::string& title, std::chrono::milliseconds timeout);
// In a save dialog: chooses filter `filterIndex` (1 = first), enters `name`
// and presses the save button. False when a control is missing or hangs.
bool SaveDialogAs(HWND dialog, int filterIndex, const std::string& name);
// The text of the save dialog's name field.
std::string SaveDialogName(HWND dialog);
// Presses the button `id` (IDOK, IDCANCEL, IDNO...) of a dialog.
bool PressDialogButton(HWND dialog, int id);

}  // namespace velkor::test
