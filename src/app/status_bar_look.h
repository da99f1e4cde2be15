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

// The rows a list shows and all it has (a filter hides the others).
struct ListRows {
  int shown = 0;
  int all = 0;
  constexpr ListRows(int rows) : shown(rows), all(rows) {}  // NOLINT: a plain count reads as one
  constexpr ListRows(int shownRows, int allRows) : shown(shownRows), all(allRows) {}
};
// How far the figures and separators after the count move right while it
// reads "<word>: <shown> von <all>", which the first field cannot hold.
inline constexpr int kFilteredCountShift = 64;
constexpr int StatusBarShift(ListRows rows) { return rows.shown != rows.all ? kFilteredCountShift : 0; }

// Whether the bar shows its four separators for `what`: they part the
// figures, so a help line (or the empty bar between two of them while a menu
// is open) runs across the whole bar, and a view without a count word
// ("Überwachung") has none.
bool StatusBarHasSeparators(int what, const char* countWord);

// The background: the stored strip stretched to width x 20 (nearest pixel),
// with or without the separators (moved right by `shift`); height and
// separators scaled to `dpi`.
Canvas DrawStatusBarBackground(const Canvas& strip, int width, bool separators, int dpi = 96, int shift = 0);

// The texts for `what` (-1 figures, -2 nothing, else the help line of that
// identifier) in a view whose count is `countWord: rows` (null: a view
// without figures), or `countWord: shown von all` while a filter hides rows.
std::vector<StatusBarText> LayOutStatusBar(int what, const char* countWord, ListRows rows, const MonitorSamples& sample,
                                           const std::string& helpText);
// The same texts placed for `dpi`.
std::vector<StatusBarText> LayOutStatusBar(int what, const char* countWord, ListRows rows, const MonitorSamples& sample,
                                           const std::string& helpText, int dpi);

}  // namespace velkor
