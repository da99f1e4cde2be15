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

}  // namespace velkor::probe
