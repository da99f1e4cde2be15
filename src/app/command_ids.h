// The identifiers of the commands of velkor.exe: menu items, toolbar buttons
// and the shortcuts that deliver them share one number space with the
// controls. The commands the process and list subsystems carry out are named
// where those commands live (procs/process_commands.h, lists/service_list.h,
// lists/driver_list.h); the rest are named here. Ranges give first and last.
#pragma once

#include "lists/driver_list.h"
#include "lists/service_list.h"
#include "procs/process_commands.h"

namespace velkor {

// "Datei".
inline constexpr int kExportProcessesCommand = 1;
inline constexpr int kExportWindowsCommand = 2;
inline constexpr int kExportServicesCommand = 3;
inline constexpr int kExportDriversCommand = 4;
inline constexpr int kCloseProgramCommand = 12;
inline constexpr int kRestartElevatedCommand = 325;
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
inline constexpr int kTopmostCommand = 118;
inline constexpr int kToggleVisibleCommand = 119;
inline constexpr int kMinimiseCommand = 120;
inline constexpr int kMaximiseCommand = 121;
inline constexpr int kRestoreCommand = 122;
inline constexpr int kCloseWindowCommand = 123;
inline constexpr int kDestroyWindowCommand = 124;
inline constexpr int kJumpToProcessCommand = 125;
// "Hilfe".
inline constexpr int kHelpCommand = 133;
inline constexpr int kInformationCommand = 134;

}  // namespace velkor
