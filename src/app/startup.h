// Start-up and shutdown of velkor.exe: single instance, the second-start
// signal, the companion, and the one way out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "procs/process_commands.h"  // ProcessorCount

namespace velkor {

// Process-wide state of the main program.
extern int CurrentView;

// Steps 1 to 10 of the start: returns false when this is a second instance,
// which has then left its signal and must end without building windows.
bool StartProgram();

// Full path of the signal file in the long form of the temporary folder.
std::string SignalFilePath();
// Leaves the empty signal file for the running instance.
void WriteStartSignal();
// The 250 ms checks of the loop: the signal file (brings `mainWindow` to the
// front and consumes it) and the companion watch (may not return).
void CheckStartSignal(HWND mainWindow);
void WatchCompanion();
// What lets the loop make those checks when something happened instead of
// polling: a change notification on the signal file's folder (null when the
// folder cannot be watched; it is then polled) and the companion process
// started by us (null when there is none).
HANDLE SignalFolderWatch();
HANDLE CompanionHandle();

// Looks for a process named exactly "dornat.exe".
bool CompanionRunning();
// Starts the companion from the event loop shortly after the main window shows.
void StartCompanionSoon();
// Pid of the companion this instance started, 0 when it started none.
uint32_t CompanionProcessId();

// "Als Administrator neu starten": velkor.exe again through the system's
// elevation prompt, in the same folder and with the settings saved first;
// this instance ends through the shutdown routine once the new one holds the
// single instance (the companion stays for it). Declined, nothing changes;
// another failure says so in a "Hinweis" owned by `owner`.
void RestartElevated(HWND owner);

// Close button, system menu and "Schließen": the companion rule, then shutdown.
[[noreturn]] void QuitProgram();
// Every way out of the program after start-up ends here.
[[noreturn]] void ShutdownProgram();
// Its last step alone (libraries released, exit code 0, nothing written):
// the error dialog's "Beenden".
[[noreturn]] void EndProcessNow();

// Handlers that later subsystems add to the shutdown (settings, images...),
// run in registration order before the process library is released.
using ShutdownStep = void (*)();
void AddShutdownStep(ShutdownStep step);

}  // namespace velkor
