// Display scaling: the rounding rule, the layout at other DPIs and the stored
// geometry's round trip.
#include "gfx/dpi_scale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "app/layout_scale.h"

namespace velkor {
namespace {

constexpr int kDpis[] = {96, 120, 144, 192};

TEST(DpiScale, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
  struct Case {
    int value, dpi, scaled;
  };
  const Case cases[] = {{7, 96, 7},
                        {1, 120, 1},
                        {2, 120, 3},
                        {-2, 120, -3},
                        {3, 144, 5},
                        {-3, 144, -5},
                        {195, 144, 293},
                        {601, 144, 902},
                        {1, 192, 2},
                        {0, 144, 0},
                        {5, 0, 5},
                        {5, -1, 5},
                        {2000000000, 192, 2147483647}};
  for (const Case& c : cases) EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
  EXPECT_EQ(ScaleFromDpi(8, 144), 5);
  EXPECT_EQ(ScaleFromDpi(601, 144), 401);
  for (int dpi : kDpis) {
    for (int v = -300; v <= 300; ++v) {
      EXPECT_EQ(ScaleToDpi(-v, dpi), -ScaleToDpi(v, dpi));
      EXPECT_LE(ScaleToDpi(v, dpi), ScaleToDpi(v + 1, dpi));
      if (dpi == 96) {
        EXPECT_EQ(ScaleToDpi(v, dpi), v);
      }
      const int u = DesignCoordinateAt(v, dpi);
      EXPECT_GE(ScaleToDpi(u, dpi), v);
      EXPECT_LT(ScaleToDpi(u - 1, dpi), v);
    }
  }
}

// Rectangles scale by their edges: neighbours keep touching, and a width is
// within a pixel of the scaled width.
TEST(DpiScale, RectanglesKeepTheirNeighbours) {
  for (int dpi : kDpis) {
    const Rect left = ScaleRectToDpi(Rect{3, 3, 27, 7}, dpi), right = ScaleRectToDpi(Rect{30, 3, 5, 7}, dpi);
    EXPECT_EQ(left.x + left.w, right.x) << dpi;
    EXPECT_LE(std::abs(right.w - ScaleToDpi(5, dpi)), 1) << dpi;
  }
}

// At 96 DPI the scaled layout is the table; at 144 and 192 DPI every control's
// rectangle, resolved in its window's scaled client size, is the table's times
// 1.5 and 2 within a pixel, and a right- or bottom-anchored distance is exact.
TEST(DpiScale, LayoutScalesEveryControlWithinAPixel) {
  for (int dpi : {96, 144, 192}) {
    const ScaledLayout layout = ScaleLayout(dpi);
    ASSERT_EQ(layout.controls.size(), ControlTable().size());
    // Extents resolve against the main window's client size, 640 x 500: whole at 1.5 and 2.
    const int w = WindowTable()[0].clientWidth, h = WindowTable()[0].clientHeight;
    const int sw = layout.windows[0].clientWidth, sh = layout.windows[0].clientHeight;
    ASSERT_EQ(sw * 96, w * dpi);
    for (size_t i = 0; i < layout.controls.size(); ++i) {
      const ControlSpec &entry = ControlTable()[i], &scaled = layout.controls[i];
      const auto near = [&](const Extent& a, const Extent& b) {
        return std::abs(b.Resolve(sw, sh) * 96 - a.Resolve(w, h) * dpi) <= 96;
      };
      EXPECT_TRUE(near(entry.x, scaled.x) && near(entry.y, scaled.y) && near(entry.w, scaled.w) &&
                  near(entry.h, scaled.h))
          << "control " << entry.id << " at " << dpi;
      if (entry.x.perW == 1 && entry.w.perW == 0) {
        EXPECT_EQ(scaled.x.base + scaled.w.base, ScaleToDpi(entry.x.base + entry.w.base, dpi)) << entry.id;
      }
    }
    EXPECT_EQ(layout.columns[0].width, ScaleToDpi(ColumnTable()[0].width, dpi));
    EXPECT_EQ(layout.minimumOuter, (Size{ScaleToDpi(kMinimumOuterWidth, dpi), ScaleToDpi(kMinimumOuterHeight, dpi)}));
  }
}

// The tab strip is hit-tested at the boundaries of the picture shown: the
// 96-DPI ones at 96 and 120 DPI, 1.5 and 2 times them at 144 and 192 DPI.
TEST(DpiScale, TabHitTestFollowsTheScaledBoundaries) {
  for (int dpi : {96, 120, 144, 168, 192}) {
    const std::vector<int> edges = ScaleLayout(dpi).tabRightEdges;
    const int k = ImageScaleForDpi(dpi);
    EXPECT_EQ(edges[2], k == 100 ? 195 : k == 150 ? 293 : 390) << dpi;
    for (int x = -3; x <= edges.back() + 3; ++x) {
      std::optional<int> expected;
      for (int view = 5; view >= 0; --view)
        if (x <= edges[static_cast<size_t>(view)]) expected = view;
      EXPECT_EQ(TabAtX(x, dpi), expected) << "x " << x << " at " << dpi;
    }
  }
}

// A window saved at one DPI reopens within a pixel of its size at that DPI
// and at its 96-DPI size at 96 DPI, and saving again never drifts.
TEST(DpiScale, StoredGeometryRoundTripsWithoutDrift) {
  for (int dpi : kDpis) {
    for (int w = 1140; w < 1600; ++w) {
      const Size stored = StoredOuterSize(Size{w, w}, dpi);
      const Rect reopened =
          MainWindowStartRect(10, 10, stored, 30, {4000, 4000}, std::vector<Rect>{{0, 0, 4000, 4000}}, dpi);
      EXPECT_LE(std::abs(reopened.w - w), dpi == 96 ? 0 : 1) << w << " at " << dpi;
      EXPECT_EQ(StoredOuterSize(Size{reopened.w, reopened.h}, dpi), stored) << w << " at " << dpi;
      EXPECT_EQ(MainWindowStartRect(10, 10, stored, 30, {4000, 4000}, std::vector<Rect>{{0, 0, 4000, 4000}}, 96).w,
                stored.w);
      EXPECT_EQ(ColumnWidthAtDpi(StoredColumnWidth(ColumnWidthAtDpi(w, dpi), dpi), dpi), ColumnWidthAtDpi(w, dpi));
    }
  }
  EXPECT_EQ(MainWindowStartRect(-1, -1, {100, 100}, 30, {2000, 2000}, {}, 144),
            (Rect{(2000 - 855) / 2, (2000 - 698) / 2, 855, 698}));
}

}  // namespace
}  // namespace velkor
