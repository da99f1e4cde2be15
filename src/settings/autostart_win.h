// The autostart shortcut of the tray companion in the user's Startup folder,
// written through the shell's link object.
#pragma once

#include <string>

#include "settings/preferences_window.h"

namespace velkor {

// Paths here are in UTF-8, as the system names them (a profile folder may
// hold characters the program's code page lacks); the shortcut's other
// texts are in the program's code page.

// Writes one shell link (an existing file of that name is overwritten).
// True when the link object was created and its file interface obtained,
// whether or not the save itself succeeded.
bool CreateShortcut(const ShortcutProperties& shortcut);

// The user's own Startup folder without trailing backslash; "" when the
// shell cannot name it.
std::string StartupFolder();
// Full path of the running program.
std::string ProgramPath();
// The shortcut's file: the Startup folder + "\Velkor.lnk".
std::string AutostartLinkPath();

// Writes "Velkor.lnk" for dornat.exe beside the running program; nothing is
// reported either way. Without a Startup folder nothing is written.
void WriteAutostartShortcut();
// Deletes "Velkor.lnk"; a missing file is no error. Without a Startup folder
// nothing is deleted (never a "\Velkor.lnk" in the root of the drive).
void RemoveAutostartShortcut();

}  // namespace velkor
