#include "tray/tray_figures.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "shell/instance.h"

namespace velkor {
namespace {

constexpr Pixel kWhite = MakePixel(255, 255, 255);
constexpr Pixel kBlack = MakePixel(0, 0, 0);

TEST(TrayFigures, TooltipHasFourLinesWithTheFigures) {
  EXPECT_EQ(TrayTooltip(5, 47, 12), "Prozessor: 5%\r\n\r\nArbeitspeicher: 47%\r\nAusgelagert: 12%");
  EXPECT_EQ(TrayTooltip(-1, 100, 0), "Prozessor: -1%\r\n\r\nArbeitspeicher: 100%\r\nAusgelagert: 0%");
  const std::string longest = TrayTooltip(INT_MIN, INT_MIN, INT_MIN);
  EXPECT_EQ(longest.size(), kTrayTipLength);
  EXPECT_EQ(longest.rfind("Prozessor: -2147483648%\r\n", 0), 0u);
}

TEST(TrayFigures, PercentRoundsHalfUpAndSurvivesAnEmptyTotal) {
  EXPECT_EQ(LoadPercent(LoadShare(47, 100)), 47);
  EXPECT_EQ(LoadPercent(LoadShare(125, 1000)), 13);
  EXPECT_EQ(LoadPercent(LoadShare(124999, 1000000)), 12);
  EXPECT_EQ(LoadPercent(LoadShare(5, 0)), 0);  // no page file at all
  EXPECT_EQ(LoadPercent(LoadShare(7, 5)), 100);
  // Above 4 GiB the figures stay exact.
  EXPECT_EQ(LoadPercent(LoadShare(12ull << 32, 16ull << 32)), 75);
}

// Top row of the fill (16 when empty) and of the frame of the bar whose
// fill starts at column `fillColumn`.
int FillTop(const Canvas& icon, int fillColumn) {
  int y = 15;
  while (y > 0 && icon.At(fillColumn, y - 1) != kBlack) --y;
  return y;
}

TEST(TrayFigures, HalfLoadGivesASevenPixelBarInItsColour) {
  const Canvas icon = DrawTrayIcon(50, 0.0, 0.0);
  ASSERT_EQ(icon.width, 16);
  ASSERT_EQ(icon.height, 16);
  for (int x = 1; x <= 6; ++x) {
    for (int y = 8; y <= 14; ++y) EXPECT_EQ(icon.At(x, y), MakePixel(210, 230, 0)) << x << "," << y;
    EXPECT_EQ(icon.At(x, 7), kBlack);
    EXPECT_EQ(icon.At(x, 6), kWhite);
  }
  for (int y = 7; y <= 15; ++y) EXPECT_EQ(icon.At(0, y), kBlack);
}

TEST(TrayFigures, EmptyAndFullBarsAndTheSharedFrameColumns) {
  const Canvas empty = DrawTrayIcon(0, 0.0, 0.0);
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(empty.At(x, 14), kBlack) << x;
    EXPECT_EQ(empty.At(x, 15), kBlack) << x;
    EXPECT_EQ(empty.At(x, 13), kWhite) << x;
  }
  const Canvas full = DrawTrayIcon(100, 1.0, 1.0);
  for (int x : {0, 7, 11, 15})
    for (int y = 0; y < 16; ++y) EXPECT_EQ(full.At(x, y), kBlack) << x << "," << y;
  for (int x : {1, 6, 8, 10, 12, 14}) {
    EXPECT_EQ(full.At(x, 0), kBlack);
    EXPECT_EQ(full.At(x, 1), MakePixel(255, 20, 0));
    EXPECT_EQ(full.At(x, 14), MakePixel(255, 20, 0));
  }
  // A full memory bar between empty neighbours: both shared columns are its frame.
  const Canvas middle = DrawTrayIcon(0, 1.0, 0.0);
  for (int y = 0; y < 16; ++y) {
    EXPECT_EQ(middle.At(7, y), kBlack) << y;
    EXPECT_EQ(middle.At(11, y), kBlack) << y;
  }
  EXPECT_EQ(middle.At(6, 5), kWhite);
  EXPECT_EQ(middle.At(12, 5), kWhite);
  EXPECT_EQ(DrawTrayIcon(-1, 0.0, 0.0).pixels, empty.pixels);  // a failed sample draws an empty bar
}

TEST(TrayFigures, EveryFillIsOneColourEnclosedByItsFrame) {
  for (int load = 0; load <= 100; ++load) {
    SCOPED_TRACE(load);
    const double share = load / 100.0;
    const Canvas icon = DrawTrayIcon(load, share, share);
    const struct {
      int fillColumn;
      double height;
    } bars[] = {{1, load * 0.14}, {8, share * 14}, {12, share * 14}};
    for (const auto& bar : bars) {
      const int top = FillTop(icon, bar.fillColumn);
      EXPECT_EQ(15 - top, static_cast<int>(bar.height + 0.5));
      for (int y = top; y <= 14; ++y) EXPECT_EQ(icon.At(bar.fillColumn, y), TrayBarColour(bar.height));
      EXPECT_EQ(icon.At(bar.fillColumn, top - 1), kBlack);
      if (top >= 2) {
        EXPECT_EQ(icon.At(bar.fillColumn, top - 2), kWhite);
      }
    }
  }
  EXPECT_EQ(TrayBarColour(0), MakePixel(0, 255, 0));
  EXPECT_EQ(TrayBarColour(14), MakePixel(255, 20, 0));
}

// The small-icon sizes of larger scales: the same shapes spread over the
// whole icon, frames of the scaled thickness, bars as high as the inside.
TEST(TrayFigures, LargerIconsKeepTheShapes) {
  for (int size : {20, 24, 32}) {
    SCOPED_TRACE(size);
    const int line = size >= 24 ? 2 : 1;
    const Canvas empty = DrawTrayIcon(0, 0.0, 0.0, size);
    ASSERT_EQ(empty.width, size);
    for (int x = 0; x < size; ++x) EXPECT_EQ(empty.At(x, size - 2 * line - 1), kWhite) << x;
    const Canvas full = DrawTrayIcon(100, 1.0, 1.0, size);
    for (int y = 0; y < size; ++y) EXPECT_EQ(full.At(size - 1, y), kBlack) << y;
    // Each bar's middle column: red from under the top frame to above the bottom one.
    for (int x : {size / 4, size * 9 / 16, size * 13 / 16}) {
      EXPECT_EQ(full.At(x, line - 1), kBlack) << x;
      EXPECT_EQ(full.At(x, line), TrayBarColour(14)) << x;
      EXPECT_EQ(full.At(x, size - line - 1), TrayBarColour(14)) << x;
      EXPECT_EQ(full.At(x, size - line), kBlack) << x;
    }
  }
}

TEST(TrayFigures, SettingsForbidStayingOnlyWhenReadableAndRemainIsZeroOrMissing) {
  EXPECT_FALSE(RemainForbidden(std::nullopt));
  // Bytes without any of the groups are no settings file: as if there were none.
  EXPECT_FALSE(RemainForbidden(std::string()));
  EXPECT_FALSE(RemainForbidden(std::string("\x8a\x01PreferencesRemain = 0\r\n\xff")));
  EXPECT_TRUE(RemainForbidden(std::string("[Column]\r\n")));
  EXPECT_TRUE(RemainForbidden(std::string("[General]\r\nPreferencesRemain = 0\r\n")));
  EXPECT_FALSE(RemainForbidden(std::string("[General]\r\nPreferencesRemain = 1\r\n")));
  EXPECT_TRUE(RemainForbidden(std::string("[Window]\r\nPreferencesRemain = 1\r\n")));
}

TEST(TrayFigures, MainProgramIsFoundByExactName) {
  EXPECT_TRUE(IsMainProgramName("velkor.exe"));
  EXPECT_FALSE(IsMainProgramName("VELKOR.EXE"));
  EXPECT_FALSE(IsMainProgramName("velkor.exe.bak"));
}

}  // namespace
}  // namespace velkor
