// The toolbar buttons 19..25: a 28x28 picture each, a pale blue glow that
// fades in while the mouse is over the button, and the enabled states.
#pragma once

#include "gfx/canvas.h"

namespace velkor {

inline constexpr int kToolbarButtonSize = 28;
inline constexpr int kHoverLevelMax = 200;
inline constexpr int kHoverLevelStep = 20;

// The glow's divisor k at (x, y) of the button face, 0 outside the rounded
// face: the pixel becomes RGB(255 - h/k, 255 - h/k, 255) with h = 3 x level.
int ToolbarGlowDivisor(int x, int y);
// The 28x28 picture of a button: white, the glow of `hoverLevel` (0..200)
// while enabled, then the icon on top (the caller passes the greyed icon of
// a disabled button). At another DPI the face is 28 scaled, the icon (the
// one drawn for that DPI) centred on it.
Canvas DrawToolbarButton(int hoverLevel, bool enabled, const Canvas* icon, int dpi = 96);
// The disabled look of an icon that has none of its own: its grey values,
// lightened halfway to white, with its transparency kept.
Canvas GreyedIcon(const Canvas& icon);
// One idle pass of the hover fading: up by 20 under the mouse, down by 20
// otherwise, within 0..200.
int NextHoverLevel(int level, bool underMouse);

}  // namespace velkor
