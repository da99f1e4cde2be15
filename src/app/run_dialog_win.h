// The "Ausführen" dialog (window 1) on real windows: open, start, cancel
// and browse. The box of earlier commands is the history itself.
#pragma once

namespace velkor {

// Shows window 1 with the focus in the command box; the main windows wait.
void OpenRunDialog();
// "OK" follows whether the command box holds more than spaces.
void RunCommandChanged();
// Starts the command through the shell; on success remembers it and closes
// the dialog, on failure says so and keeps it open.
void StartRunCommand();
// Closes the dialog without starting anything; the fields keep their text.
void CancelRunDialog();
// Lets the user choose a program, shortcut or file for the command box.
void BrowseForRunCommand();

}  // namespace velkor
