#include "app/command_decision.h"

#include <algorithm>

namespace velkor {

namespace {

constexpr int kFirstPowerItem = 26;
constexpr int kFirstProcessorItem = 39;
constexpr int kMaxProcessorItems = 64;

bool Built(int id, const CommandContext& context) {
  return std::find(context.notBuilt.begin(), context.notBuilt.end(), id) == context.notBuilt.end();
}

bool Offered(int id, const CommandContext& context) {
  if (id < kFirstProcessorItem || id >= kFirstProcessorItem + kMaxProcessorItems) return true;
  const auto count = static_cast<int>(std::clamp<uint32_t>(context.processorCount, 1, kMaxProcessorItems));
  return id - kFirstProcessorItem < count;
}

}  // namespace

CommandState DecideCommandState(int id, const CommandContext& context) {
  CommandState state;
  state.visible = Offered(id, context);
  const bool process = context.view == 0 && context.processSelected;
  const bool driver = context.view == 3 && context.driverSelected;
  if (id >= 5 && id <= 11) state.enabled = false;
  if (id == 23 || id == 25) state.enabled = process;
  if (id == 24) state.enabled = process || driver;
  if (id >= kFirstPowerItem && id < kFirstPowerItem + kPowerCommandCount)
    state = PowerCommandState(static_cast<PowerCommand>(id - kFirstPowerItem), context.power);
  if (id >= 13 && id <= 18) state.checked = id - 13 == context.view;
  if (id == 118) state.checked = context.windowTopmost;
  state.enabled = state.enabled && state.visible && Built(id, context);
  return state;
}

bool CommandRuns(int id, const CommandContext& context) { return Offered(id, context) && Built(id, context); }

}  // namespace velkor
