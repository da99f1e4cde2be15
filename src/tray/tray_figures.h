// What the companion shows and decides without asking the system: the load
// figures, the tooltip, the bar-chart icon and whether it may stay.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gfx/canvas.h"

namespace velkor {

// used / total as a share (0..1); 0 when there is no total.
double LoadShare(uint64_t used, uint64_t total);
// 100 x share, rounded half up: integer part, plus 1 from a fraction of .5.
int LoadPercent(double share);

// "Prozessor: 5%\r\n\r\nArbeitspeicher: 47%\r\nAusgelagert: 12%", cut to
// the 63 characters the tray takes.
inline constexpr size_t kTrayTipLength = 63;
std::string TrayTooltip(int cpuLoad, int memoryPercent, int pageFilePercent);

// The 16 x 16 icon: on white, a framed bar each for the processor load (per
// cent, -1 when unknown) and the memory and page-file shares, 14 pixels for
// a full bar, coloured from green (empty) to red (full). At another `size`
// (the small-icon size of a larger scale) the same shapes are drawn from
// their 16-pixel design: the frames one pixel per 16 thick, spread over the
// width, the bars as high as the inside of their frames allows.
inline constexpr int kTrayIconSize = 16;
Canvas DrawTrayIcon(int cpuLoad, double memoryShare, double pageFileShare, int size = kTrayIconSize);
// A bar's colour for its height in pixels (0..14).
Pixel TrayBarColour(double height);

// Whether the settings file, when it can be read (`settings` is its bytes),
// asks the companion to go when the main program is not running:
// "PreferencesRemain" is 0 or missing in a settings file.
bool RemainForbidden(const std::optional<std::string>& settings);

}  // namespace velkor
