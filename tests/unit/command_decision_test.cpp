// The one decision behind toolbar buttons, menu items and dispatch.
#include "app/command_decision.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace velkor {
namespace {

TEST(CommandDecision, ButtonsFollowViewAndSelection) {
  struct Case {
    int view;
    bool process, driver;
    bool end, search, information;  // 23, 24, 25
  };
  const Case cases[] = {
      {0, false, false, false, false, false}, {0, true, false, true, true, true},
      {0, false, true, false, false, false},  {1, true, true, false, false, false},
      {3, true, false, false, false, false},  {3, false, true, false, true, false},
      {5, true, true, false, false, false},
  };
  for (const Case& c : cases) {
    CommandContext context;
    context.view = c.view;
    context.processSelected = c.process;
    context.driverSelected = c.driver;
    EXPECT_EQ(DecideCommandState(23, context).enabled, c.end) << c.view << c.process << c.driver;
    EXPECT_EQ(DecideCommandState(24, context).enabled, c.search) << c.view << c.process << c.driver;
    EXPECT_EQ(DecideCommandState(25, context).enabled, c.information) << c.view << c.process << c.driver;
    for (int id : {19, 20, 21, 22, 32, 133}) EXPECT_TRUE(DecideCommandState(id, context).enabled) << id;
    // A shortcut acts whatever the buttons show.
    EXPECT_TRUE(CommandRuns(23, context));
  }
}

TEST(CommandDecision, ChecksSeparatorsAndPower) {
  CommandContext context;
  context.view = 4;
  for (int id = 13; id <= 18; ++id) EXPECT_EQ(DecideCommandState(id, context).checked, id == 17) << id;
  EXPECT_FALSE(DecideCommandState(118, context).checked);
  context.windowTopmost = true;
  EXPECT_TRUE(DecideCommandState(118, context).checked);
  for (int id = 5; id <= 11; ++id) EXPECT_FALSE(DecideCommandState(id, context).enabled) << id;

  context.power = PowerPolicy{false, false, true};  // shutdown, hibernate, suspend
  const std::array<bool, 6> expected = {false, true, true, false, true, true};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(DecideCommandState(26 + i, context).enabled, expected[i]) << 26 + i;
  EXPECT_TRUE(CommandRuns(26, context));  // a greyed item cannot be chosen; nothing else stops it
}

TEST(CommandDecision, ProcessorItems) {
  // Processor items 39..102: as many as there are processors, at least one, at most 64.
  for (const auto& [processors, shown] : {std::pair<uint32_t, int>{0, 1}, {1, 1}, {2, 2}, {64, 64}, {200, 64}}) {
    CommandContext context;
    context.processorCount = processors;
    int visible = 0;
    int runs = 0;
    for (int id = 39; id <= 102; ++id) {
      visible += DecideCommandState(id, context).visible ? 1 : 0;
      runs += CommandRuns(id, context) ? 1 : 0;
    }
    EXPECT_EQ(visible, shown) << processors;
    EXPECT_EQ(runs, shown) << processors;
    EXPECT_TRUE(DecideCommandState(38 + shown, context).visible) << processors;
  }
}

}  // namespace
}  // namespace velkor
