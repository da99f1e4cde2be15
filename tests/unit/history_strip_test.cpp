// The CPU history strips: background, 2-pixel steps with bar colours by
// row, resizing, switching off and on, and one picture per listed process.
#include "monitor/history_strip.h"

#include <gtest/gtest.h>

#include "procs/process_list.h"
#include "settings/preferences.h"

namespace velkor {
namespace {

// The status bar strip as the program stores it.
Canvas Strip() {
  Canvas strip(4, 20);
  strip.FillRect(0, 0, 4, 1, MakePixel(184, 196, 224));
  strip.FillRect(0, 1, 4, 1, MakePixel(157, 168, 191));
  for (int y = 2; y < 20; ++y)
    strip.FillRect(
        0, y, 4, 1,
        MakePixel(static_cast<uint8_t>(210 + (y - 2) * 42 / 17), static_cast<uint8_t>(225 + (y - 2) * 28 / 17), 255));
  return strip;
}

class HistoryStrips : public ::testing::Test {
 protected:
  void SetUp() override {
    DestroyAllHistoryImages();
    SetHistoryBackground(strip);
    SetHistoryImageWidth(20);
  }
  void TearDown() override { DestroyAllHistoryImages(); }
  // The visible bar height of the newest column.
  static int BarHeight(const Canvas& image) {
    int height = 0;
    for (int y = 0; y < image.height; ++y) height += image.At(image.width - 1, y) != image.At(0, y);
    return height;
  }
  // A row carrying picture `image`, as the merge adds it.
  static void AddRow(VectorProcessRows& rows, int image) {
    ProcessRows::NewRow row;
    row.cells[kHistoryImageColumn] = std::to_string(image);
    row.facts.historyImage = image;
    rows.AppendRow(row);
  }
  // The row's picture: the number and its text agree.
  static int ImageOf(const VectorProcessRows& rows, int row) {
    EXPECT_EQ(rows.CellText(row, kHistoryImageColumn), std::to_string(rows.HistoryImageOf(row)));
    return rows.HistoryImageOf(row);
  }
  static Pixel BarPixel(int y) {
    return MakePixel(static_cast<uint8_t>(255 - 14 * y), static_cast<uint8_t>(14 * y), 0);
  }
  Canvas strip = Strip();
};

TEST_F(HistoryStrips, NewPictureShowsRowsTwoToNineteenOfTheStrip) {
  const Canvas image = HistoryImage(CreateHistoryImage()).value();
  ASSERT_EQ(image.width, 20);
  ASSERT_EQ(image.height, 18);
  for (int y = 0; y < 18; ++y)
    for (int x : {0, 19}) EXPECT_EQ(image.At(x, y), strip.At(0, y + 2)) << x << "," << y;
}

TEST_F(HistoryStrips, StepsScrollTwoPixelsWithBarsColouredByRow) {
  const int number = CreateHistoryImage();
  // Load -> bar height, 18 pixels for 100 %, rounded half up.
  for (auto [load, height] : {std::pair{0.0f, 0}, {2.7f, 0}, {2.8f, 1}, {50.0f, 9}, {100.0f, 18}, {250.0f, 18}}) {
    AdvanceHistoryImage(number, load);
    EXPECT_EQ(BarHeight(HistoryImage(number).value()), height) << load;
  }
  for (int y = 0; y < 18; ++y)
    for (int x : {18, 19})
      EXPECT_EQ(HistoryImage(number)->At(x, y),
                MakePixel(static_cast<uint8_t>(255 - 14 * y), static_cast<uint8_t>(14 * y), 0));
  AdvanceHistoryImage(number, 0);
  const Canvas image = HistoryImage(number).value();
  EXPECT_EQ(BarHeight(image), 0);
  EXPECT_EQ(image.At(17, 17), MakePixel(17, 238, 0));  // the full bar moved 2 left
  EXPECT_EQ(image.At(15, 17), MakePixel(17, 238, 0));  // the one before it too
  EXPECT_EQ(image.At(13, 8), strip.At(0, 10));         // 50 %: rows 9..17, row 8 stays clear
  EXPECT_EQ(image.At(13, 9), MakePixel(129, 126, 0));
  AdvanceHistoryImage(12345, 100);  // unknown numbers change nothing
}

TEST_F(HistoryStrips, ResizingKeepsTheNewestHistoryAtTheRightEdge) {
  VectorProcessRows rows;
  AddRow(rows, CreateHistoryImage());
  AddRow(rows, 0);
  const int old = ImageOf(rows, 0);
  AdvanceHistoryImage(old, 100);
  ResizeHistoryImages(rows, 30);
  const int fresh = ImageOf(rows, 0);
  EXPECT_NE(fresh, old);
  EXPECT_FALSE(HistoryImage(old));
  EXPECT_EQ(ImageOf(rows, 1), 0);
  EXPECT_EQ(HistoryImageCount(), 1);
  const Canvas image = HistoryImage(fresh).value();
  EXPECT_EQ(image.width, 30);
  EXPECT_EQ(BarHeight(image), 18);
  EXPECT_EQ(image.At(5, 17), strip.At(0, 19));  // new space: background only
  EXPECT_EQ(HistoryImageWidth(), 30);
  // Narrower and odd: the oldest columns are cut on the left, the newest
  // bar stays whole at the right edge and keeps stepping there.
  AdvanceHistoryImage(fresh, 50);
  ResizeHistoryImages(rows, 5);
  const int narrow = ImageOf(rows, 0);
  AdvanceHistoryImage(narrow, 0);
  const Canvas cut = HistoryImage(narrow).value();
  ASSERT_EQ(cut.width, 5);
  for (int y = 0; y < 18; ++y) {
    const Pixel clear = strip.At(0, y + 2);
    EXPECT_EQ(cut.At(0, y), BarPixel(y)) << y;  // the right half of the 100 % bar
    for (int x : {1, 2}) EXPECT_EQ(cut.At(x, y), y >= 9 ? BarPixel(y) : clear) << x << "," << y;
    for (int x : {3, 4}) EXPECT_EQ(cut.At(x, y), clear) << x << "," << y;
  }
  EXPECT_EQ(HistoryImageWidthFor(200), 2);  // narrower than the counters: one step
}

TEST_F(HistoryStrips, SwitchingOffFreesEveryPictureAndOnGivesFreshOnes) {
  VectorProcessRows rows;
  for (int i = 0; i < 3; ++i) AddRow(rows, CreateHistoryImage());
  SwitchHistoryImages(rows, false);
  EXPECT_EQ(HistoryImageCount(), 0);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(ImageOf(rows, row), 0);
  SwitchHistoryImages(rows, true);
  SwitchHistoryImages(rows, true);  // twice: still one each
  EXPECT_EQ(HistoryImageCount(), 3);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(BarHeight(*HistoryImage(ImageOf(rows, row))), 0);
}

TEST_F(HistoryStrips, TheMergeKeepsOnePicturePerListedProcess) {
  SetPreferenceDefaults();
  VectorProcessRows rows;
  MergeSettings settings;
  settings.cpuPerProcess = true;
  const HistoryImageHooks hooks{CreateHistoryImage, AdvanceHistoryImage, DestroyHistoryImage};
  auto process = [](uint32_t pid) {
    ProcessFacts facts;
    facts.pid = pid;
    facts.name = "p" + std::to_string(pid) + ".exe";
    facts.queryable = true;
    return facts;
  };
  std::vector<ProcessFacts> snapshot;
  for (uint32_t pid = 10; pid < 60; ++pid) snapshot.push_back(process(pid));
  for (int round = 0; round < 20; ++round) {
    MergeProcessSnapshot(rows, snapshot, {}, settings, hooks);
    snapshot.erase(snapshot.begin());  // one ends, another starts
    snapshot.push_back(process(static_cast<uint32_t>(100 + round)));
    ASSERT_EQ(HistoryImageCount(), rows.RowCount());
  }
}

}  // namespace
}  // namespace velkor
