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
  const int left = work.monitorLeft, top = work.monitorTop;
  if (p.x < left) p.x -= 10;
  if (p.x + p.cx > work.right) p.x += 10;
  if (p.y < top) p.y -= 10;
  if (p.y + p.cy > work.bottom) p.y += 10;
  if (p.x >= left && p.x <= work.left + 10) p.x = work.left;
  if (p.x + p.cx >= work.right - 10 && p.x + p.cx <= work.right) p.x = work.right - p.cx;
  if (p.y >= top && p.y <= work.top + 10) p.y = work.top;
  if (p.y + p.cy >= work.bottom - 10 && p.y + p.cy <= work.bottom) p.y = work.bottom - p.cy;
}

FrameMargins MarginsOfFrame(const WorkArea& windowRect, const WorkArea& frame) {
  const FrameMargins margins{frame.left - windowRect.left, frame.top - windowRect.top, windowRect.right - frame.right,
                             windowRect.bottom - frame.bottom};
  // A frame partly outside the rectangle, or one that leaves nothing of it.
  if (margins.left < 0 || margins.top < 0 || margins.right < 0 || margins.bottom < 0 || frame.right <= frame.left ||
      frame.bottom <= frame.top)
    return {};
  return margins;
}

void SnapVisibleFrame(ProposedPosition& position, const FrameMargins& margins, const WorkArea& work) {
  ProposedPosition frame{position.x + margins.left, position.y + margins.top,
                         position.cx - margins.left - margins.right, position.cy - margins.top - margins.bottom};
  if (frame.cx <= 0 || frame.cy <= 0) frame = position;  // the margins do not fit this size: none
  const int dx = frame.x - position.x, dy = frame.y - position.y;
  SnapToWorkArea(frame, work);
  position.x = frame.x - dx;
  position.y = frame.y - dy;
}

}  // namespace velkor
