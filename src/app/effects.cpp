#include "app/effects.h"

#include <algorithm>

#include "gfx/dpi_scale.h"

namespace velkor {

int TransparencyAlpha(int level) {
  // Twice the exact value, 510 - 51 x level, is a whole number; an odd one
  // lies halfway and goes to the even neighbour.
  const int twice = 510 - 51 * level;
  const int down = twice >= 0 ? twice / 2 : (twice - 1) / 2;
  if (twice % 2 == 0) return down;
  return down % 2 == 0 ? down : down + 1;
}

int TransparencyLevel(int dx) {
  const auto level = static_cast<long long>(static_cast<double>(dx) / 30.0 + 0.5);  // truncated toward zero
  return static_cast<int>(std::clamp<long long>(level, 0, 9));
}

GestureOutcome StepTransparencyGesture(TransparencyGesture& gesture, bool keysHeld, uint64_t foreground,
                                       bool foregroundIsProgramManager, ScreenPoint cursor) {
  GestureOutcome outcome;
  if (!keysHeld) {
    outcome.hideScale = gesture.level != -1;
    gesture.level = -1;
    return outcome;
  }
  // Without a window in front there is nothing to make transparent: an
  // earlier target follows as behind the desktop, and no scale shows.
  if (foreground != 0 && !foregroundIsProgramManager && gesture.level == -1) {
    gesture.start = cursor;
    gesture.alpha = -1;
    gesture.target = foreground;
    outcome.showScale = true;
    outcome.scaleAt = {cursor.x - 15, cursor.y - 10};
  }
  if (gesture.target == 0) return outcome;
  // The level follows the cursor of this pass: the one of the last pass
  // would belong to an earlier gesture when this one has just started.
  gesture.mouse = cursor;
  gesture.level = TransparencyLevel(gesture.mouse.x - gesture.start.x);
  gesture.previousAlpha = gesture.alpha;
  gesture.alpha = TransparencyAlpha(gesture.level);
  outcome.applyAlpha = gesture.alpha != gesture.previousAlpha;
  return outcome;
}

namespace {

void Outline(Canvas& canvas, int x, int y, int w, int h, Pixel colour) {
  canvas.FillRect(x, y, w, 1, colour);
  canvas.FillRect(x, y + h - 1, w, 1, colour);
  canvas.FillRect(x, y, 1, h, colour);
  canvas.FillRect(x + w - 1, y, 1, h, colour);
}

}  // namespace

int ScaleCellLeft(int cell, int dpi) { return ScaleToDpi(cell * kScaleCellWidth, dpi); }

Canvas DrawTransparencyScale(int level, int dpi) {
  const int height = ScaleToDpi(kScaleHeight, dpi);
  Canvas scale(ScaleCellLeft(10, dpi), height, MakePixel(255, 255, 255));
  for (int i = 0; i < 10; ++i) {
    const int left = ScaleCellLeft(i, dpi), width = ScaleCellLeft(i + 1, dpi) - left;
    if (i == level) scale.FillRect(left, 0, width, height, MakePixel(0, 32, 255));
    Outline(scale, left, 0, width, height, MakePixel(0, 0, 0));
    Outline(scale, left + 1, 1, width - 2, height - 2, MakePixel(128, 128, 128));
  }
  return scale;
}

std::string ScaleCellText(int cell) { return std::to_string(cell * 10) + "%"; }

void SnapToWorkArea(ProposedPosition& p, const WorkArea& work) {
  if (p.x < 0) p.x -= 10;
  if (p.x + p.cx > work.right) p.x += 10;
  if (p.y < 0) p.y -= 10;
  if (p.y + p.cy > work.bottom) p.y += 10;
  if (p.x >= 0 && p.x <= work.left + 10) p.x = work.left;
  if (p.x + p.cx >= work.right - 10 && p.x + p.cx <= work.right) p.x = work.right - p.cx;
  if (p.y >= 0 && p.y <= work.top + 10) p.y = work.top;
  if (p.y + p.cy >= work.bottom - 10 && p.y + p.cy <= work.bottom) p.y = work.bottom - p.cy;
}

}  // namespace velkor
