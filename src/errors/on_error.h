// The error dialog of velkor.exe: from start-up step 3 on, every processor or
// system exception of the program ends up here and shows "Velkor - Fehler!",
// which ends the program at once or resumes behind the faulting instruction.
#pragma once

#include <windows.h>

#include <string>

namespace velkor {

// Registers the handler for the rest of the run. `endProgram` is the last
// step of the shutdown (release the libraries, exit code 0, no settings
// written), which "Beenden" runs.
void InstallErrorHandler(void (*endProgram)());

// Decodes the banner's drawings and registers the dialog's window class;
// part of InstallErrorHandler (tests call it alone).
void PrepareErrorDialog();

// The dialog with `text` in its description field; returns only when the user
// chooses "Fortfahren" ("Beenden" ends the program).
void ShowErrorDialog(const std::string& text);

}  // namespace velkor
