#include "lists/window_list.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

constexpr WindowFilter kNoBoxes{false, false, false, 1280, 1000};

WindowFacts Window(int left, int top, int width, int height) {
  WindowFacts w;
  w.handle = 0x1'0000'0ABCull;  // beyond 32 bits
  w.visible = true;
  w.title = "Editor";
  w.left = left;
  w.top = top;
  w.right = left + width;
  w.bottom = top + height;
  w.pid = 4242;
  w.processPath = "C:\\Programme\\Editor\\editor.exe";
  return w;
}

WindowFilter With(bool hidden, bool sizeless, bool offScreen) { return {hidden, sizeless, offScreen, 1280, 1000}; }

TEST(WindowList, FiltersFollowTheCheckBoxesInTheirOrder) {
  WindowFacts untitled = Window(10, 10, 100, 100);
  untitled.title.clear();
  WindowFacts hidden = Window(10, 10, 100, 100);
  hidden.visible = false;
  WindowFacts flat = Window(10, 10, 100, 0);
  struct Case {
    const char* what;
    WindowFacts window;
    WindowFilter filter;
    bool listed;
  } cases[] = {
      {"plain", Window(10, 10, 100, 100), kNoBoxes, true},
      {"no title", untitled, kNoBoxes, false},
      {"no title, all boxes", untitled, With(true, true, true), false},
      {"hidden", hidden, kNoBoxes, false},
      {"hidden, shown", hidden, With(true, false, false), true},
      {"no height", flat, kNoBoxes, false},
      {"no height, shown", flat, With(false, true, false), true},
      {"left edge on the screen width", Window(1280, 10, 100, 100), kNoBoxes, true},
      {"one pixel further", Window(1281, 10, 100, 100), kNoBoxes, false},
      {"one pixel further, shown", Window(1281, 10, 100, 100), With(false, false, true), true},
      {"top edge on the screen height", Window(10, 1000, 100, 100), kNoBoxes, true},
      {"below", Window(10, 1001, 100, 100), kNoBoxes, false},
      {"right edge on 0", Window(-100, 10, 100, 100), kNoBoxes, true},
      {"left of the screen", Window(-101, 10, 100, 100), kNoBoxes, false},
      {"bottom edge on 0", Window(10, -100, 100, 100), kNoBoxes, true},
      {"above", Window(10, -101, 100, 100), kNoBoxes, false},
  };
  for (const Case& c : cases) EXPECT_EQ(WindowListed(c.window, c.filter), c.listed) << c.what;
  EXPECT_TRUE(SkippedAsHidden(false, false, kNoBoxes));
  EXPECT_FALSE(SkippedAsHidden(false, false, With(true, false, false)));
}

// A window on another virtual desktop or a suspended app's frame has the
// visible style, yet nobody sees it.
TEST(WindowList, ACloakedWindowCountsAsHidden) {
  WindowFacts cloaked = Window(10, 10, 100, 100);
  cloaked.cloaked = true;
  EXPECT_TRUE(SkippedAsHidden(true, true, kNoBoxes));
  EXPECT_FALSE(WindowListed(cloaked, kNoBoxes));
  EXPECT_TRUE(WindowListed(cloaked, With(true, false, false)));
  EXPECT_EQ(WindowRowCells(cloaked)[6], "Ja");
  EXPECT_EQ(WindowRowCells(Window(10, 10, 100, 100))[6], "Nein");
}

// Two monitors: 1280x1000 on the left of the primary one, 1920x1080 primary.
TEST(WindowList, OffScreenMeansOutsideTheVirtualScreen) {
  WindowFilter screen = kNoBoxes;
  screen.screenLeft = -1280;
  screen.screenTop = 0;
  screen.screenWidth = 1280 + 1920;
  screen.screenHeight = 1080;
  EXPECT_TRUE(WindowListed(Window(-1000, 100, 400, 300), screen));  // on the left monitor
  EXPECT_TRUE(WindowListed(Window(1700, 100, 400, 300), screen));   // on the primary, beyond 1280
  EXPECT_TRUE(WindowListed(Window(-1380, 100, 100, 300), screen));  // right edge on the left border
  EXPECT_FALSE(WindowListed(Window(-1381, 100, 100, 300), screen));
  EXPECT_TRUE(WindowListed(Window(1920, 100, 100, 300), screen));  // left edge on the right border
  EXPECT_FALSE(WindowListed(Window(1921, 100, 100, 300), screen));
  EXPECT_FALSE(WindowListed(Window(10, 1081, 100, 100), screen));
}

TEST(WindowList, AThreadThatTimedOutIsNotAskedAgainInTheRefresh) {
  SilentThreads silent;
  EXPECT_TRUE(silent.Ask(7));
  silent.NoteSilent(7);
  silent.NoteSilent(7);
  EXPECT_FALSE(silent.Ask(7));
  EXPECT_TRUE(silent.Ask(8));
  silent.Clear();  // the next refresh asks again
  EXPECT_TRUE(silent.Ask(7));
}

TEST(WindowList, DestroyIsDirectOnlyOnTheOwnThreadAndNeverEndsAProgram) {
  EXPECT_EQ(DestroyWayFor(true), DestroyWay::kDestroy);
  EXPECT_EQ(DestroyWayFor(false), DestroyWay::kCloseRequest);
  EXPECT_EQ(WindowNotDestroyedMessage("Editor"), "Das Fenster \"Editor\" konnte nicht zerstört werden!");
}

TEST(WindowList, RowTextsOfNormalMinimisedAndMaximisedWindows) {
  WindowFacts normal = Window(-8, 20, 640, 480);
  normal.exStyle = kTopmostStyleBit | 0x100;
  using Cells = std::array<std::string, kWindowListColumns>;
  EXPECT_EQ(WindowRowCells(normal),
            (Cells{"Editor", "4294970044", "editor.exe", "4242", "-8, 20", "640x480", "Nein", "", "Ja"}));

  // Parked far outside by the system: still listed, without a position.
  WindowFacts minimised = Window(-32000, -32000, 160, 28);
  minimised.minimised = true;
  minimised.maximised = true;
  minimised.visible = false;
  minimised.processPath.clear();
  EXPECT_TRUE(WindowListed(minimised, With(true, false, false)));
  EXPECT_EQ(WindowRowCells(minimised),
            (Cells{"Editor", "4294970044", "", "4242", "", "160x28", "Ja", "Minimiert", "Nein"}));

  WindowFacts maximised = Window(0, 0, 1280, 1000);
  maximised.maximised = true;
  maximised.processPath = "relative.exe";
  EXPECT_EQ(WindowRowCells(maximised)[7], "Maximiert");
  EXPECT_EQ(WindowRowCells(maximised)[2], "relative.exe");
}

TEST(WindowList, NumbersReadBackWholeOrAsZero) {
  EXPECT_EQ(ParseListNumber(WindowRowCells(Window(0, 0, 1, 1))[kWindowHandleColumn]), 0x1'0000'0ABCull);
  EXPECT_EQ(ParseListNumber("18446744073709551615"), UINT64_MAX);
  EXPECT_EQ(ParseListNumber("18446744073709551616"), 0u);  // out of range
  EXPECT_EQ(ParseListNumber(""), 0u);
  EXPECT_EQ(ParseListNumber("abc"), 0u);
  EXPECT_EQ(ParseListNumber("-5"), 0u);
  EXPECT_EQ(ParseListNumber(" 42x"), 42u);
}

TEST(WindowList, MenuIdentifiersMapToTheirCommands) {
  EXPECT_FALSE(WindowCommandOf(117));
  EXPECT_EQ(WindowCommandOf(118), WindowCommand::kToggleTopmost);
  EXPECT_EQ(WindowCommandOf(124), WindowCommand::kDestroy);
  EXPECT_FALSE(WindowCommandOf(125));
}

}  // namespace
}  // namespace velkor
