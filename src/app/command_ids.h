// The identifiers of the commands of velkor.exe: menu items, toolbar buttons
// and the shortcuts that deliver them share one number space with the
// controls. The commands the process and list subsystems carry out are named
// where those commands live (procs/process_commands.h, lists/service_list.h,
// lists/driver_list.h, lists/window_list.h, export/export_format.h); the
// rest are named here. Ranges give first and last.
#pragma once

#include "export/export_format.h"
#include "lists/driver_list.h"
#include "lists/service_list.h"
#include "lists/window_list.h"
#include "procs/process_commands.h"

namespace velkor {

// "Datei" (the four exports 1..4 in export/export_format.h).
inline constexpr int kCloseProgramCommand = 12;
inline constexpr int kRestartElevatedCommand = 325;
// Ctrl+E: into the filter field.
inline constexpr int kFocusFilterCommand = 327;
// The separators of every menu: each menu numbers its own from the first.
inline constexpr int kFirstSeparator = 5;
inline constexpr int kLastSeparator = 11;
// "Ansicht": one item per view, in view order.
inline constexpr int kFirstViewCommand = 13;
inline constexpr int kLastViewCommand = 18;
// The toolbar, left to right by number (23..25 are process commands).
inline constexpr int kTaskManagerCommand = 19;
inline constexpr int kPreferencesCommand = 20;
inline constexpr int kDiagramCommand = 21;
inline constexpr int kRunDialogCommand = 22;
inline constexpr int kFirstToolbarCommand = kTaskManagerCommand;
inline constexpr int kLastToolbarCommand = kProcessInfoCommand;
// "Windows": the power and session commands in shell/command_state.h's order.
inline constexpr int kFirstPowerCommand = 26;
inline constexpr int kLastPowerCommand = 31;
// The window list's menu.
inline constexpr int kRefreshWindowsCommand = 107;
inline constexpr int kOpaqueCommand = 108;
inline constexpr int kFirstTransparencyCommand = 109;  // 10 %
inline constexpr int kLastTransparencyCommand = 117;   // 90 %
// 118..124 in lists/window_list.h.
inline constexpr int kJumpToProcessCommand = 125;
// "Hilfe".
inline constexpr int kHelpCommand = 133;
inline constexpr int kInformationCommand = 134;
// Keys without a menu item of their own: the next and the previous view
// (in "Einstellungen" the other page), the focused list's context menu, the
// current view's "Aktualisieren" and the close of the active dialog window.
inline constexpr int kNextViewCommand = 350;
inline constexpr int kPreviousViewCommand = 351;
inline constexpr int kContextMenuCommand = 352;
inline constexpr int kRefreshViewCommand = 353;
inline constexpr int kCloseDialogCommand = 354;
// No command: the identifier 0 no row holds.
inline constexpr int kNoCommand = 0;

}  // namespace velkor
