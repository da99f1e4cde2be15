// Window effects: the transparency arithmetic, the quick transparency
// gesture (right Alt + right Ctrl) with its on-screen scale, and the
// screen-edge magnet of the main window. The decisions live here; the
// Win32 side (effects_win.h) carries them out.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/canvas.h"

namespace velkor {

// 255 - level x 25.5, rounded to the nearest integer with halves to even:
// levels 0..9 give 255, 230, 204, 178, 153, 128, 102, 76, 51, 26.
int TransparencyAlpha(int level);
// The gesture level for a horizontal mouse movement of `dx` pixels since
// the start: 15 pixels to the right give 1, every further 30 pixels one
// more, clamped to 0..9.
int TransparencyLevel(int dx);

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The state of the gesture, kept between passes of the event loop.
struct TransparencyGesture {
  int alpha = -1;  // alpha last computed; -1 forces the next one to be applied
  int previousAlpha = -1;
  ScreenPoint mouse;    // cursor at the last pass
  ScreenPoint start;    // cursor when the gesture started
  uint64_t target = 0;  // window being made transparent; kept when a gesture ends
  int level = -1;       // -1: no gesture; 0..9: transparency in tenths
};

// What one pass asks the Win32 side to do.
struct GestureOutcome {
  bool showScale = false;  // at `scaleAt`
  ScreenPoint scaleAt;
  bool applyAlpha = false;  // give `target` its new alpha and redraw the scale at `level`
  bool hideScale = false;
};

// One pass of the gesture. `keysHeld`: both keys down and the desktop
// window not in front; `foreground` the window in front (0: none) and
// whether it is the desktop's "Program Manager"; neither starts a gesture.
GestureOutcome StepTransparencyGesture(TransparencyGesture& gesture, bool keysHeld, uint64_t foreground,
                                       bool foregroundIsProgramManager, ScreenPoint cursor);

// The transparency scale: 10 cells of 30 x 20 at 96 DPI (scaled at others),
// the cell of `level` filled blue. The percentages are written over it by
// the Win32 side.
inline constexpr int kScaleWidth = 300;
inline constexpr int kScaleHeight = 20;
inline constexpr int kScaleCellWidth = 30;
Canvas DrawTransparencyScale(int level, int dpi = 96);
// The left edge of cell `cell` (10: the right edge of the last) at `dpi`.
int ScaleCellLeft(int cell, int dpi);
// The text of cell i ("0%" .. "90%").
std::string ScaleCellText(int cell);

// The work area of the monitor the window is on and a proposed window
// rectangle. The monitor's own left and top edges stand where the primary
// monitor has 0: on a monitor left of or above it they are negative.
struct WorkArea {
  int left = 0, top = 0, right = 0, bottom = 0;
  int monitorLeft = 0, monitorTop = 0;
};
struct ProposedPosition {
  int x = 0, y = 0, cx = 0, cy = 0;
};
// The magnet: within 10 pixels inside an edge the window sticks to it; past
// an edge it jumps 10 pixels further out.
void SnapToWorkArea(ProposedPosition& position, const WorkArea& work);

// How far the window rectangle reaches beyond the frame the user sees on
// each side (the invisible resize borders of Windows 10 and 11).
struct FrameMargins {
  int left = 0, top = 0, right = 0, bottom = 0;
};
// The margins between a window rectangle and its visible frame; none where
// the frame does not lie inside the rectangle (the system's answer cannot
// be used then).
FrameMargins MarginsOfFrame(const WorkArea& windowRect, const WorkArea& frame);
// The magnet applied to the visible frame of the proposed window rectangle:
// the frame snaps, the rectangle follows.
void SnapVisibleFrame(ProposedPosition& position, const FrameMargins& margins, const WorkArea& work);

}  // namespace velkor
