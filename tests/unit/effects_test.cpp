#include "app/effects.h"

#include <gtest/gtest.h>

#include "gfx/dpi_scale.h"

namespace velkor {
namespace {

TEST(Effects, AlphaOfEveryLevelRoundsHalvesToEven) {
  const int expected[] = {255, 230, 204, 178, 153, 128, 102, 76, 51, 26};
  for (int level = 0; level < 10; ++level) EXPECT_EQ(TransparencyAlpha(level), expected[level]) << level;
}

TEST(Effects, GestureLevelFollowsTheHorizontalMovement) {
  const std::pair<int, int> cases[] = {{0, 0},   {14, 0},  {15, 1},  {44, 1},  {45, 2},
                                       {284, 9}, {285, 9}, {900, 9}, {-14, 0}, {-500, 0}};
  for (auto [dx, level] : cases) EXPECT_EQ(TransparencyLevel(dx), level) << dx;
}

TEST(Effects, GestureStartsFollowsAndEnds) {
  TransparencyGesture g;
  // A stale cursor of an earlier pass must not leak into a new gesture.
  g.mouse = {5000, 0};
  GestureOutcome o = StepTransparencyGesture(g, true, 77, false, {100, 200});
  EXPECT_TRUE(o.showScale);
  EXPECT_EQ(o.scaleAt.x, 85);
  EXPECT_EQ(o.scaleAt.y, 190);
  EXPECT_TRUE(o.applyAlpha);
  EXPECT_EQ(g.target, 77u);
  EXPECT_EQ(g.alpha, 255);
  EXPECT_EQ(g.level, 0);

  o = StepTransparencyGesture(g, true, 77, false, {114, 260});  // same level: nothing to apply
  EXPECT_FALSE(o.showScale);
  EXPECT_FALSE(o.applyAlpha);
  o = StepTransparencyGesture(g, true, 88, false, {115, 200});  // another window in front changes nothing
  EXPECT_TRUE(o.applyAlpha);
  EXPECT_EQ(g.target, 77u);
  EXPECT_EQ(g.alpha, 230);

  o = StepTransparencyGesture(g, false, 77, false, {115, 200});
  EXPECT_TRUE(o.hideScale);
  EXPECT_EQ(g.level, -1);
  EXPECT_EQ(g.target, 77u);  // kept for the next gesture
  EXPECT_FALSE(StepTransparencyGesture(g, false, 77, false, {115, 200}).hideScale);
}

TEST(Effects, ProgramManagerOrNoWindowInFrontStartsNoGestureButMovesAnEarlierTarget) {
  TransparencyGesture fresh;
  GestureOutcome o = StepTransparencyGesture(fresh, true, 5, true, {0, 0});
  EXPECT_FALSE(o.showScale);
  EXPECT_FALSE(o.applyAlpha);
  EXPECT_EQ(fresh.target, 0u);
  o = StepTransparencyGesture(fresh, true, 0, false, {0, 0});
  EXPECT_FALSE(o.showScale);
  EXPECT_EQ(fresh.level, -1);

  TransparencyGesture earlier;
  StepTransparencyGesture(earlier, true, 9, false, {100, 0});
  StepTransparencyGesture(earlier, false, 9, false, {100, 0});
  o = StepTransparencyGesture(earlier, true, 5, true, {400, 0});  // relative to the earlier start
  EXPECT_FALSE(o.showScale);
  EXPECT_TRUE(o.applyAlpha);
  EXPECT_EQ(earlier.target, 9u);
  EXPECT_EQ(earlier.alpha, 26);
  o = StepTransparencyGesture(earlier, true, 0, false, {100, 0});
  EXPECT_FALSE(o.showScale);
  EXPECT_EQ(earlier.target, 9u);
  EXPECT_EQ(earlier.alpha, 255);
}

TEST(Effects, ScaleMarksTheCurrentCell) {
  const Canvas scale = DrawTransparencyScale(3);
  ASSERT_EQ(scale.width, 300);
  ASSERT_EQ(scale.height, 20);
  const Pixel blue = MakePixel(0, 32, 255), white = MakePixel(255, 255, 255), black = MakePixel(0, 0, 0),
              grey = MakePixel(128, 128, 128);
  EXPECT_EQ(scale.At(105, 10), blue);
  EXPECT_EQ(scale.At(15, 10), white);
  EXPECT_EQ(scale.At(90, 0), black);
  EXPECT_EQ(scale.At(119, 19), black);
  EXPECT_EQ(scale.At(91, 1), grey);
  EXPECT_EQ(scale.At(118, 18), grey);
  // At other scales the cells keep their share of the scale and their borders.
  for (int dpi : {120, 144, 192}) {
    SCOPED_TRACE(dpi);
    const Canvas scaled = DrawTransparencyScale(3, dpi);
    EXPECT_EQ(scaled.width, ScaleToDpi(300, dpi));
    EXPECT_EQ(scaled.height, ScaleToDpi(20, dpi));
    const int left = ScaleCellLeft(3, dpi), right = ScaleCellLeft(4, dpi);
    EXPECT_EQ(scaled.At(left, 0), black);
    EXPECT_EQ(scaled.At(left + 1, 1), grey);
    EXPECT_EQ(scaled.At((left + right) / 2, scaled.height / 2), blue);
    EXPECT_EQ(scaled.At(right + (right - left) / 2, scaled.height / 2), white);
    EXPECT_EQ(scaled.At(scaled.width - 1, scaled.height - 1), black);
  }
  EXPECT_EQ(ScaleCellText(0), "0%");
  EXPECT_EQ(ScaleCellText(9), "90%");
}

TEST(Effects, MagnetSnapsInsideAndPushesOutside) {
  const WorkArea work{0, 0, 1280, 994};
  struct Case {
    ProposedPosition in;
    int x, y;
  } cases[] = {
      {{7, 300, 640, 500}, 0, 300},                                        // near the left edge: sticks to it
      {{-1, 300, 640, 500}, -11, 300},                                     // past it: 10 further out
      {{11, 300, 640, 500}, 11, 300},                                      // just outside the magnet
      {{635, 300, 640, 500}, 640, 300},                                    // near the right edge
      {{641, 300, 640, 500}, 651, 300},                                    // past it
      {{300, 9, 640, 500}, 300, 0},                                        // top
      {{300, -3, 640, 500}, 300, -13},  {{300, 490, 640, 500}, 300, 494},  // bottom
      {{300, 495, 640, 500}, 300, 505},
  };
  for (const Case& c : cases) {
    ProposedPosition p = c.in;
    SnapToWorkArea(p, work);
    EXPECT_EQ(p.x, c.x) << c.in.x << "," << c.in.y;
    EXPECT_EQ(p.y, c.y) << c.in.x << "," << c.in.y;
  }
  ProposedPosition offset{25, 40, 640, 500};
  SnapToWorkArea(offset, {30, 30, 1280, 994});  // a task bar on the left and at the top
  EXPECT_EQ(offset.x, 30);
  EXPECT_EQ(offset.y, 30);
}

// Windows 10 and 11 count invisible borders of about 7 px into the window
// rectangle: the frame the user sees is what meets the edges.
TEST(Effects, MagnetMovesTheVisibleFrame) {
  const WorkArea work{0, 0, 1280, 994};
  const FrameMargins margins = MarginsOfFrame({100, 50, 754, 557}, {107, 50, 747, 550});
  EXPECT_EQ(margins.left, 7);
  EXPECT_EQ(margins.top, 0);
  EXPECT_EQ(margins.right, 7);
  EXPECT_EQ(margins.bottom, 7);
  struct Case {
    ProposedPosition in;
    int x, y;
  } cases[] = {
      {{0, 300, 654, 507}, -7, 300},     // frame 7 px inside the left edge: sticks to it
      {{-7, 300, 654, 507}, -7, 300},    // frame flush with the left edge stays there
      {{-8, 300, 654, 507}, -18, 300},   // frame past it: 10 further out
      {{626, 487, 654, 507}, 633, 494},  // right and bottom edges
  };
  for (const Case& c : cases) {
    ProposedPosition p = c.in;
    SnapVisibleFrame(p, margins, work);
    EXPECT_EQ(p.x, c.x) << c.in.x << "," << c.in.y;
    EXPECT_EQ(p.y, c.y) << c.in.x << "," << c.in.y;
  }
  // A frame the system reports outside the rectangle is not used.
  const FrameMargins none = MarginsOfFrame({100, 50, 754, 557}, {90, 50, 747, 550});
  EXPECT_EQ(none.left + none.top + none.right + none.bottom, 0);
}

// A second monitor right of the primary one, its task bar at the bottom.
TEST(Effects, MagnetSnapsToTheWorkAreaOfTheWindowsMonitor) {
  const WorkArea second{1920, 0, 3200, 984, 1920, 0};
  ProposedPosition p{1925, 300, 640, 500};
  SnapToWorkArea(p, second);
  EXPECT_EQ(p.x, 1920);
  p = {1500, 300, 640, 500};  // still reaching back over the primary one
  SnapToWorkArea(p, second);
  EXPECT_EQ(p.x, 1490);
  p = {2300, 480, 640, 500};
  SnapToWorkArea(p, second);
  EXPECT_EQ(p.y, 484);
  p = {2000, 300, 640, 500};  // in the middle: left where it is
  SnapToWorkArea(p, second);
  EXPECT_EQ(p.x, 2000);
  // One left of the primary monitor: negative coordinates are on it.
  const WorkArea left{-1280, 0, 0, 1000, -1280, 0};
  p = {-1275, 300, 640, 500};
  SnapToWorkArea(p, left);
  EXPECT_EQ(p.x, -1280);
}

}  // namespace
}  // namespace velkor
