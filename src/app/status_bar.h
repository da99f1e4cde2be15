// The status bar of the main window (control 137): the figures of the
// current view, or the help line of the highlighted menu item.
#pragma once

#include <string>
#include <vector>

namespace velkor {

// What UpdateStatusBar draws besides a menu identifier.
inline constexpr int kStatusFigures = -1;  // the figures of the current view
inline constexpr int kStatusPlain = -2;    // the bar without text

// -1: the figures of the current view; -2: the empty bar; any other value:
// the help line of that menu identifier (empty for identifiers without one).
void UpdateStatusBar(int what);

// The texts drawn by the last UpdateStatusBar, left to right.
struct StatusBarText {
  int x = 0;
  int y = 0;
  std::string text;
  bool operator==(const StatusBarText&) const = default;
};
const std::vector<StatusBarText>& StatusBarTexts();
// Destroys the bar's picture (tests, after the windows are gone).
void DestroyStatusBar();

}  // namespace velkor
