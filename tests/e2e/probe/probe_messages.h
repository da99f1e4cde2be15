// The registered messages velkor_probe.exe answers on its main window (sent
// with a bound, as to any other program).
#pragma once

namespace velkor::probe {

// wParam: list 0..4 in view order, 5 the monitoring sample. Refreshes it at
// once; the rows it shows then (1 for the sample), -1 for no such list.
inline constexpr char kRefresh[] = "VelkorProbeRefresh";
// wParam: list 0..4 plus 256 times a column; lParam: a number. The rows
// whose cell in that column reads it in decimal.
inline constexpr char kRowsWith[] = "VelkorProbeRowsWith";
// wParam: which count of the program's own objects.
inline constexpr char kCount[] = "VelkorProbeCount";
inline constexpr unsigned kHandles = 0;
inline constexpr unsigned kGdiObjects = 1;
inline constexpr unsigned kUserObjects = 2;
// wParam: a menu of the program; lParam: an item's position. The address (in
// the probe) of that item's MENUITEMINFOW with its data, submenu, type and
// state, 0 past the last item: what the system answers another process on
// Windows, where Wine keeps a process's menus to itself.
inline constexpr char kMenuItem[] = "VelkorProbeMenuItem";
// wParam 1: the program believes the system's high-contrast mode is on
// (Wine cannot switch it), 0: it asks the system again; then the program
// hears of the change as from the system.
inline constexpr char kHighContrast[] = "VelkorProbeHighContrast";

}  // namespace velkor::probe
