// The hover glow of the toolbar buttons, pixel by pixel.
#include <gtest/gtest.h>

#include "app/toolbar.h"

namespace velkor {
namespace {

Pixel Glow(int level, int k) {
  const auto c = static_cast<uint8_t>(255 - 3 * level / k);
  return MakePixel(c, c, 255);
}

TEST(ToolbarGlow, LevelZeroStaysWhite) {
  const Canvas face = DrawToolbarButton(0, true, nullptr);
  ASSERT_EQ(face.width, 28);
  ASSERT_EQ(face.height, 28);
  for (Pixel p : face.pixels) ASSERT_EQ(p, MakePixel(255, 255, 255));
}

TEST(ToolbarGlow, EveryPartHasItsDivisor) {
  struct Probe {
    int x, y, k;
  };
  const Probe probes[] = {
      {3, 0, 4},   {24, 0, 4},  {2, 0, 0},   {25, 0, 0},   {2, 1, 6},   {25, 1, 6},  {2, 2, 7},
      {25, 11, 7}, {13, 5, 7},  {2, 12, 5},  {25, 25, 5},  {13, 20, 5}, {2, 26, 5},  {25, 26, 5},
      {3, 27, 3},  {24, 27, 3}, {2, 27, 0},  {1, 2, 6},    {26, 11, 6}, {1, 12, 4},  {26, 25, 4},
      {0, 3, 4},   {27, 11, 4}, {0, 12, 3},  {27, 24, 3},  {0, 2, 0},   {0, 25, 0},  {27, 25, 0},
      {1, 1, 10},  {26, 1, 10}, {1, 26, 10}, {26, 26, 10}, {0, 0, 0},   {27, 27, 0}, {1, 0, 0},
  };
  for (int level : {100, 200}) {
    const Canvas face = DrawToolbarButton(level, true, nullptr);
    for (const Probe& p : probes) {
      EXPECT_EQ(ToolbarGlowDivisor(p.x, p.y), p.k) << p.x << "," << p.y;
      const Pixel expected = p.k ? Glow(level, p.k) : MakePixel(255, 255, 255);
      EXPECT_EQ(face.At(p.x, p.y), expected) << level << " at " << p.x << "," << p.y;
    }
  }
  // Level 200, k = 3: 255 - 600 / 3.
  EXPECT_EQ(DrawToolbarButton(200, true, nullptr).At(3, 27), MakePixel(55, 55, 255));
  // Level 100, k = 7: 255 - 300 / 7 = 213.
  EXPECT_EQ(DrawToolbarButton(100, true, nullptr).At(10, 5), MakePixel(213, 213, 255));
}

TEST(ToolbarGlow, DisabledButtonsDoNotGlowAndIconsGoOnTop) {
  for (Pixel p : DrawToolbarButton(200, false, nullptr).pixels) ASSERT_EQ(p, MakePixel(255, 255, 255));
  Canvas icon(28, 28, MakePixel(0, 0, 0, 0));
  icon.Set(13, 13, MakePixel(10, 20, 30));
  const Canvas face = DrawToolbarButton(200, true, &icon);
  EXPECT_EQ(face.At(13, 13), MakePixel(10, 20, 30));
  EXPECT_EQ(face.At(13, 14), Glow(200, 5));
  // A level beyond 200 glows as 200.
  EXPECT_EQ(DrawToolbarButton(260, true, nullptr).pixels, DrawToolbarButton(200, true, nullptr).pixels);
  // The greyed look of an icon: light grey values, transparency kept.
  const Canvas grey = GreyedIcon(icon);
  EXPECT_EQ(grey.At(13, 13), MakePixel(136, 136, 136));
  EXPECT_EQ(PixelAlpha(grey.At(0, 0)), 0);
}

TEST(ToolbarGlow, FadingSteps) {
  EXPECT_EQ(NextHoverLevel(0, true), 20);
  EXPECT_EQ(NextHoverLevel(190, true), 200);
  EXPECT_EQ(NextHoverLevel(200, true), 200);
  EXPECT_EQ(NextHoverLevel(200, false), 180);
  EXPECT_EQ(NextHoverLevel(10, false), 0);
  EXPECT_EQ(NextHoverLevel(0, false), 0);
  int level = 0;
  for (int pass = 0; pass < 10; ++pass) level = NextHoverLevel(level, true);
  EXPECT_EQ(level, 200);
}

}  // namespace
}  // namespace velkor
