// The preferences window wired into velkor.exe: its hooks into the other
// windows, and the handlers the command table dispatches to.
#pragma once

#include "app/program_windows.h"

namespace velkor {

// Hands window 3, its controls and the neighbouring windows to the settings
// subsystem; BuildWindows calls it before the settings are loaded.
void WirePreferencesWindow();
// Window 3 now built (at its first use): the settings subsystem gets it and
// its controls show the loaded values.
void PreferencesWindowBuilt();

// Command handlers (identifiers 20, 249, 252/253, 263/266/269, 270, 274,
// 291, 292, 293..299).
void OpenPreferencesCommand(const LoopEvent& event);
void PreferencesPageCommand(const LoopEvent& event);
void AutostartBoxCommand(const LoopEvent& event);
void NumberFieldCommand(const LoopEvent& event);
void DefaultExitCodeCommand(const LoopEvent& event);
void SearchEngineMenuCommand(const LoopEvent& event);
void PreferencesOkCommand(const LoopEvent& event);
void PreferencesCancelCommand(const LoopEvent& event);
void SearchEngineCommand(const LoopEvent& event);

}  // namespace velkor
