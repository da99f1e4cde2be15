// What the status bar shows, as data and pixels: the texts of each view,
// the stretched background and the separators between the figures.
#pragma once

#include <string>
#include <vector>

#include "app/status_bar.h"
#include "gfx/canvas.h"
#include "monitor/monitor_tick.h"

namespace velkor {

inline constexpr int kStatusBarHeight = 20;
inline constexpr int kMonitoringView = 5;

// Whether the bar shows its four separators for `what` in `view`: they part
// the figures, so a help line (or the empty bar between two of them while a
// menu is open) runs across the whole bar, and "Überwachung" has none.
bool StatusBarHasSeparators(int what, int view);

// The background: the stored strip stretched to width x 20 (nearest pixel),
// with or without the separators; height and separators scaled to `dpi`.
Canvas DrawStatusBarBackground(const Canvas& strip, int width, bool separators, int dpi = 96);

// The texts for `what` (-1 figures, -2 nothing, else the help line of that
// identifier) in `view`; `rows` is the row count of the view's list.
std::vector<StatusBarText> LayOutStatusBar(int what, int view, int rows, const MonitorSamples& sample,
                                           const std::string& helpText);
// The same texts placed for `dpi`.
std::vector<StatusBarText> LayOutStatusBar(int what, int view, int rows, const MonitorSamples& sample,
                                           const std::string& helpText, int dpi);

}  // namespace velkor
