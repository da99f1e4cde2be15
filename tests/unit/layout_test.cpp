#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "app/control_ids.h"
#include "app/layout.h"
#include "app/shortcuts.h"
#include "lists/network_adapters.h"
#include "monitor/monitor_tick.h"
#include "settings/preferences_window.h"

namespace velkor {
namespace {

TEST(TabStrip, MapsXToTheViewWhoseTabEndsAtOrAfterIt) {
  EXPECT_EQ(TabAtX(0), 0);
  EXPECT_EQ(TabAtX(84), 0);
  EXPECT_EQ(TabAtX(85), 1);
  EXPECT_EQ(TabAtX(140), 1);
  EXPECT_EQ(TabAtX(141), 2);
  EXPECT_EQ(TabAtX(195), 2);
  EXPECT_EQ(TabAtX(247), 3);
  EXPECT_EQ(TabAtX(248), 4);
  EXPECT_EQ(TabAtX(313), 4);
  EXPECT_EQ(TabAtX(314), 5);
  EXPECT_EQ(TabAtX(398), 5);
  EXPECT_EQ(TabAtX(399), std::nullopt);
  EXPECT_EQ(TabAtX(2000), std::nullopt);
}

TEST(Anchoring, EdgesKeepTheirDistances) {
  const Size created{640, 425}, now{900, 625};
  const Rect list{5, 0, 630, 315};
  EXPECT_EQ(AnchoredRect(list, kAllEdges, created, now), (Rect{5, 0, 890, 515}));
  const Rect details{5, 320, 630, 100};  // left, right, bottom: moves down, keeps its height
  EXPECT_EQ(AnchoredRect(details, kLeft | kRight | kBottom, created, now), (Rect{5, 520, 890, 100}));
  const Rect checkBox{10, 325, 165, 20};  // left and bottom
  EXPECT_EQ(AnchoredRect(checkBox, kLeft | kBottom, created, now), (Rect{10, 525, 165, 20}));
  const Rect rightBox{355, 160, 280, 185};  // top, right, bottom
  EXPECT_EQ(AnchoredRect(rightBox, kTop | kRight | kBottom, created, now), (Rect{615, 160, 280, 385}));
  const Rect fixed{10, 10, 32, 32};
  EXPECT_EQ(AnchoredRect(fixed, kAnchorNone, created, now), fixed);
  // Back to the creation size gives the creation rectangle again, without drift.
  EXPECT_EQ(AnchoredRect(list, kAllEdges, created, created), list);
  // A parent smaller than at creation never gives a negative size.
  EXPECT_EQ(AnchoredRect(list, kAllEdges, created, Size{10, 10}), (Rect{5, 0, 0, 0}));
  EXPECT_EQ(AnchoredRect(details, kLeft | kRight | kBottom, created, Size{10, 10}), (Rect{5, -95, 0, 100}));
}

TEST(Anchoring, MinimumOuterSizeIsRaisedNotClamped) {
  EXPECT_EQ(EnforceMinimumSize({300, 200}), (Size{570, 465}));
  EXPECT_EQ(EnforceMinimumSize({569, 900}), (Size{570, 900}));
  EXPECT_EQ(EnforceMinimumSize({1000, 464}), (Size{1000, 465}));
  EXPECT_EQ(EnforceMinimumSize({570, 465}), (Size{570, 465}));
}

// The start rectangle: the stored place unless a coordinate is -1 or the
// title bar (30 high) could not be grabbed on any work area; the size is
// always the stored one raised to the minimum.
TEST(Anchoring, StartRectKeepsTheTitleBarWithinReach) {
  const Size screen{1280, 1024};
  const std::vector<Rect> work = {{0, 0, 1280, 994}, {1280, 100, 1024, 700}};  // a second monitor to the right
  struct Case {
    int x, y;
    bool stored;
  };
  const Case cases[] = {
      {30, 40, true},         {-600, 0, true},     // 40 pixels left at the screen's left edge
      {-601, 0, false},       {1240, 0, true},     // 40 pixels at the right edge
      {2264, 100, true},      {2265, 100, false},  // monitor 2's right edge
      {0, -15, true},         {0, -16, false},     // half of the title bar above the top
      {0, 979, true},         {0, 980, false},     // half of it below the work area (the task bar)
      {1400, 50, false},      {1400, 86, true},    // above monitor 2, then on it
      {32767, -32768, false}, {-1, 40, false},
  };
  for (const Case& c : cases) {
    const Rect r = MainWindowStartRect(c.x, c.y, {640, 530}, 30, screen, work);
    EXPECT_EQ(r, c.stored ? (Rect{c.x, c.y, 640, 530}) : (Rect{320, 247, 640, 530})) << c.x << "," << c.y;
  }
  // A stored size below the minimum is raised, also where the place is kept.
  EXPECT_EQ(MainWindowStartRect(30, 40, {10, 20}, 30, screen, work), (Rect{30, 40, 570, 465}));
  EXPECT_EQ(MainWindowStartRect(-1, -1, {0, 0}, 30, screen, work), (Rect{355, 279, 570, 465}));
  // A size beyond the screen (a damaged file) is centred as the screen's own.
  EXPECT_EQ(MainWindowStartRect(-1, -1, {40000, 32767}, 30, screen, work), (Rect{0, 0, 40000, 32767}));
  EXPECT_EQ(MainWindowStartRect(-32768, 32767, {640, 32767}, 30, screen, work), (Rect{320, 0, 640, 32767}));
  // No work area at all: nothing is within reach.
  EXPECT_EQ(MainWindowStartRect(30, 40, {640, 530}, 30, screen, {}), (Rect{320, 247, 640, 530}));
}

// A side longer than the work area is cut to it at the area's edge, never
// below the minimum; a side that fits keeps its place, even off the area.
TEST(Anchoring, StartRectIsFittedToTheWorkArea) {
  const Rect work{1280, 100, 1024, 700};  // a monitor right of the primary one
  const Size minimum{855, 698};
  EXPECT_EQ(FitToWorkArea({1380, 150, 1500, 1100}, work, minimum), (Rect{1280, 100, 1024, 700}));
  EXPECT_EQ(FitToWorkArea({1380, 150, 1500, 600}, work, minimum), (Rect{1280, 150, 1024, 600}));
  EXPECT_EQ(FitToWorkArea({-200, 900, 900, 600}, work, minimum), (Rect{-200, 900, 900, 600}));
  EXPECT_EQ(FitToWorkArea({1300, 120, 1200, 800}, {0, 0, 800, 600}, minimum), (Rect{0, 0, 855, 698}));
}

// The process-information window opens beside the main window on its work area.
TEST(Anchoring, SecondWindowOpensBesideTheMainWindow) {
  const Rect work{0, 0, 1600, 900};
  EXPECT_EQ(BesideWindow({100, 50, 640, 500}, {500, 400}, work), (Rect{740, 50, 500, 400}));    // right
  EXPECT_EQ(BesideWindow({900, 50, 640, 500}, {500, 400}, work), (Rect{400, 50, 500, 400}));    // left
  EXPECT_EQ(BesideWindow({500, 700, 640, 150}, {700, 400}, work), (Rect{0, 500, 700, 400}));    // into the area
  EXPECT_EQ(BesideWindow({1700, 50, 640, 500}, {500, 400}, work), (Rect{1100, 50, 500, 400}));  // main off the area
}

TEST(Anchoring, StoredPositionOnlyWithBothCoordinates) {
  EXPECT_TRUE(UseStoredPosition(10, 20));
  EXPECT_TRUE(UseStoredPosition(-5, -300));  // off-screen positions are used unchanged
  EXPECT_FALSE(UseStoredPosition(10, -1));
  EXPECT_FALSE(UseStoredPosition(-1, 20));
  EXPECT_FALSE(UseStoredPosition(-1, -1));
}

TEST(Layout, TableIsConsistent) {
  std::set<int> seen;
  std::map<int, const ControlSpec*> byId;
  for (const ControlSpec& def : ControlTable()) {
    EXPECT_TRUE(seen.insert(def.id).second) << "identifier used twice: " << def.id;
    if (def.parent != 0) {
      // A container comes before its children and belongs to the same window.
      ASSERT_TRUE(byId.count(def.parent)) << def.id << " before its parent " << def.parent;
      const ControlSpec& parent = *byId[def.parent];
      EXPECT_EQ(parent.window, def.window) << def.id;
      EXPECT_TRUE(parent.kind == ControlKind::kPanel || parent.kind == ControlKind::kBox ||
                  parent.kind == ControlKind::kScrollArea)
          << def.id;
    }
    byId[def.id] = &def;
    EXPECT_GE(def.window, 0);
    EXPECT_LT(def.window, kWindowCount);
  }
  for (int toolbar = 19; toolbar <= 25; ++toolbar) EXPECT_TRUE(byId.count(toolbar)) << toolbar;
  for (int id = 135; id <= 229; ++id) {
    if (id == 212 || id == 211) continue;
    EXPECT_TRUE(byId.count(id)) << "main window control missing: " << id;
  }
}

// The names the code uses stand for controls of the table of the kind they name.
TEST(Layout, NamedControlsAreOfTheirKind) {
  const auto kindOf = [](int id) {
    const ControlSpec* def = FindControlSpec(id);
    return def ? std::optional<ControlKind>(def->kind) : std::nullopt;
  };
  for (int id : kViewPanels) EXPECT_EQ(kindOf(id), ControlKind::kPanel) << id;
  for (int id : kViewLists) EXPECT_EQ(kindOf(id), ControlKind::kList) << id;
  for (int id : kBanners) EXPECT_EQ(kindOf(id), ControlKind::kImage) << id;
  for (int id : {kTabFiller, kTabStrip, kStatusBar, kAdapterPicture, kPrefsSidebarId, kPrefsPageSelectorId,
                 kAboutLogoPicture, kScalePicture})
    EXPECT_EQ(kindOf(id), ControlKind::kImage) << id;
  for (int id : {kShowHiddenWindows, kShowSizelessWindows, kShowOffscreenWindows})
    EXPECT_EQ(kindOf(id), ControlKind::kCheckBox) << id;
  EXPECT_EQ(kindOf(kNetworkGraph), ControlKind::kSunkenImage);
  EXPECT_EQ(kindOf(kProcessSummary), ControlKind::kBox);
  EXPECT_EQ(kindOf(kDisclaimerText), ControlKind::kMultiLineReadOnly);
  EXPECT_EQ(kindOf(kFirstAdapterValue + 2 * (kAdapterDetailCount - 1)), ControlKind::kLabel);
}

TEST(Layout, MainWindowControlsAtTheDefaultClientSize) {
  const int w = 640, h = 500;
  auto at = [&](int id) {
    const ControlSpec* s = FindControlSpec(id);
    return Rect{s->x.Resolve(w, h), s->y.Resolve(w, h), s->w.Resolve(w, h), s->h.Resolve(w, h)};
  };
  EXPECT_EQ(at(137), (Rect{0, 480, 640, 20}));
  EXPECT_EQ(at(138), (Rect{0, 55, 640, 425}));
  EXPECT_EQ(at(139), (Rect{5, 0, 630, 315}));
  EXPECT_EQ(at(140), (Rect{5, 320, 630, 100}));  // 5 pixels below the list
  EXPECT_EQ(at(148), (Rect{10, 400, 165, 20}));
  EXPECT_EQ(at(161), (Rect{5, 160, 340, 260}));
  EXPECT_EQ(at(162), (Rect{355, 160, 280, 260}));
  EXPECT_EQ(at(195), (Rect{110, 10, 510, 100}));
  EXPECT_EQ(at(200), (Rect{10, 10, 320, 100}));
  // Both "Pause" boxes lie inside their graph boxes.
  EXPECT_LE(at(198).x + at(198).w, at(193).w);
  EXPECT_LE(at(205).x + at(205).w, at(199).w);
}

TEST(Layout, ColumnsOfTheProcessList) {
  int count = 0, hidden = 0;
  for (const ColumnSpec& c : ColumnTable()) {
    if (c.list != 139) continue;
    ++count;
    if (c.width == 0) ++hidden;
  }
  EXPECT_EQ(count, 18);
  EXPECT_EQ(hidden, 4);
  EXPECT_EQ(ColumnTable()[2].header, "CPU-Last");
  EXPECT_TRUE(ColumnTable()[2].right);
  EXPECT_EQ(ColumnTable()[12].header,
            "Dateigr\xF6\xDF"
            "e");
}

TEST(Shortcuts, DeliverTheirButtonsInTheirWindows) {
  EXPECT_EQ(ShortcutFor(0, true, 'R'), 22);
  EXPECT_EQ(ShortcutFor(0, true, 'P'), 20);
  EXPECT_EQ(ShortcutFor(0, true, 'D'), 21);
  EXPECT_EQ(ShortcutFor(2, true, 'D'), 21);
  EXPECT_EQ(ShortcutFor(0, false, kKeyDelete), 23);
  EXPECT_EQ(ShortcutFor(0, true, 'F'), 24);
  EXPECT_EQ(ShortcutFor(0, true, 'I'), 25);
  EXPECT_EQ(ShortcutFor(1, false, kKeyReturn), 235);
  EXPECT_EQ(ShortcutFor(1, false, kKeyEscape), 236);
  EXPECT_EQ(ShortcutFor(0, false, kKeyEscape), std::nullopt);
  EXPECT_EQ(ShortcutFor(2, true, 'R'), std::nullopt);  // Ctrl+D is the diagram's only shortcut
  EXPECT_EQ(ShortcutFor(3, false, kKeyDelete), std::nullopt);
  // The modifier must be the right one.
  for (int key : {'R', 'P', 'D', 'F', 'I'}) EXPECT_EQ(ShortcutFor(0, false, key), std::nullopt) << key;
  EXPECT_EQ(ShortcutFor(2, false, 'D'), std::nullopt);
  EXPECT_EQ(ShortcutFor(0, true, kKeyDelete), std::nullopt);
  EXPECT_EQ(ShortcutFor(1, true, kKeyReturn), std::nullopt);
  EXPECT_EQ(ShortcutFor(0, false, kKeyReturn), std::nullopt);
}

TEST(MonitorSchedule, AnIntervalMustBeExceeded) {
  EXPECT_FALSE(IntervalElapsed(3500, 1000, 2500));  // equal waits one more pass
  EXPECT_TRUE(IntervalElapsed(3501, 1000, 2500));
  EXPECT_TRUE(IntervalElapsed(1000, 3501, 2500));  // a stamp from another clock
  EXPECT_FALSE(IntervalElapsed(1000, 1000, 0));    // interval 0: only when the tick moved
  EXPECT_TRUE(IntervalElapsed(1001, 1000, 0));
}

TEST(MonitorSchedule, PlansEachRefreshOnItsOwnInterval) {
  RefreshStamps stamps{1.7e12, 1.7e12, 1.7e12};  // calendar stamps: everything at once
  TickPlan plan = PlanTick(stamps, 5000, 2500, 750);
  EXPECT_TRUE(plan.graphStep && plan.monitorSample && plan.listRefresh);
  EXPECT_EQ(stamps.list, 5000);

  plan = PlanTick(stamps, 5050, 2500, 750);  // 750 / 15 = 50: not exceeded yet
  EXPECT_FALSE(plan.graphStep || plan.monitorSample || plan.listRefresh);
  plan = PlanTick(stamps, 5051, 2500, 750);
  EXPECT_TRUE(plan.graphStep);
  EXPECT_FALSE(plan.monitorSample || plan.listRefresh);
  plan = PlanTick(stamps, 5751, 2500, 750);
  EXPECT_TRUE(plan.graphStep && plan.monitorSample);
  EXPECT_FALSE(plan.listRefresh);
  plan = PlanTick(stamps, 7501, 2500, 750);
  EXPECT_TRUE(plan.listRefresh);

  // A list interval of 0 refreshes on every pass in which the tick moved.
  RefreshStamps fast{100, 100, 100};
  EXPECT_FALSE(PlanTick(fast, 100, 0, 0).listRefresh);
  EXPECT_TRUE(PlanTick(fast, 101, 0, 0).listRefresh);
  // The graph step interval is the monitoring interval divided by 15, in whole milliseconds.
  RefreshStamps graph{0, 0, 0};
  EXPECT_FALSE(PlanTick(graph, 14, 99999, 224).graphStep);  // 224 / 15 = 14
  EXPECT_TRUE(PlanTick(graph, 15, 99999, 224).graphStep);
}

TEST(MonitorSchedule, TheLoopSleepsUntilTheFirstTaskFallsDue) {
  // Stamps at 1000: sample due after 1750, list after 3500, graph after 1050.
  const RefreshStamps stamps{1000, 1000, 1000};
  // Idle in a view without graphs: the 250 ms checks bound the wait.
  EXPECT_EQ(NextPassDelay(stamps, 1000, 2500, 750, false, false, 250), 250);
  EXPECT_EQ(NextPassDelay(stamps, 1000, 2500, 750, false, false, 120), 120);
  // The sample falls due first: wake in time for the pass that takes it.
  const int wait = NextPassDelay(stamps, 1600, 2500, 750, false, false, 250);
  EXPECT_EQ(wait, 151);
  RefreshStamps planned = stamps;
  EXPECT_TRUE(PlanTick(planned, 1600 + wait, 2500, 750).monitorSample);
  // Never shorter than the 25 ms pass of a polling loop, even when overdue.
  EXPECT_EQ(NextPassDelay(stamps, 1740, 2500, 750, false, false, 250), kShortestPass);
  EXPECT_EQ(NextPassDelay(stamps, 9000, 2500, 750, false, false, 250), kShortestPass);
  EXPECT_EQ(NextPassDelay(stamps, 1000, 2500, 750, false, false, -40), kShortestPass);
  // A list interval of 0 keeps the loop at the polled pace, not busier.
  EXPECT_EQ(NextPassDelay(stamps, 1000, 0, 750, false, false, 250), kShortestPass);
  // Running graphs step every 750 / 15 = 50 ms; fading needs every pass.
  EXPECT_EQ(NextPassDelay(stamps, 1000, 2500, 750, true, false, 250), 51);
  EXPECT_EQ(NextPassDelay(stamps, 1000, 2500, 750, false, true, 250), kShortestPass);
  // Calendar stamps at start-up: everything is due at once.
  EXPECT_EQ(NextPassDelay({1.7e12, 1.7e12, 1.7e12}, 1000, 2500, 750, false, false, 250), kShortestPass);
  // Long intervals: the loop's own checks still come when due, and the loop
  // wakes at least every 2 s whatever is due.
  EXPECT_EQ(NextPassDelay(stamps, 1000, 60000, 60000, false, false, 251), 251);
  EXPECT_EQ(NextPassDelay(stamps, 1000, 60000, 60000, false, false, 1e9), kLongestPass);
  EXPECT_EQ(NextPassDelay(stamps, 1000, 2500, 60000, false, false, 1e9), 2000);
  EXPECT_EQ(NextPassDelay(stamps, 2400, 2500, 60000, false, false, 1e9), 1101);
}

}  // namespace
}  // namespace velkor
