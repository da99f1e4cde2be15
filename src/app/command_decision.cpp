#include "app/command_decision.h"

#include <algorithm>

#include "app/command_table.h"

namespace velkor {

namespace {

bool Offered(const CommandRow& row, int id, const CommandContext& context) {
  if (row.state != StateRule::kOneProcessorEach) return true;
  const auto count = static_cast<int>(std::clamp<uint32_t>(context.processorCount, 1, kMaxProcessorItems));
  return id - row.first < count;
}

}  // namespace

CommandState DecideCommandState(int id, const CommandContext& context) {
  CommandState state;
  const CommandRow* row = FindCommandRow(id);
  if (!row) return state;
  state.visible = Offered(*row, id, context);
  const bool process = context.view == kProcessView && context.processSelected;
  const bool driver = context.view == kDriverView && context.driverSelected;
  switch (row->state) {
    case StateRule::kNeverEnabled: state.enabled = false; break;
    case StateRule::kProcessSelected: state.enabled = process; break;
    case StateRule::kProcessOrDriverSelected: state.enabled = process || driver; break;
    case StateRule::kPower: state = PowerCommandState(static_cast<PowerCommand>(id - row->first), context.power); break;
    case StateRule::kCurrentView: state.checked = id - kFirstViewCommand == context.view; break;
    case StateRule::kWindowTopmost: state.checked = context.windowTopmost; break;
    case StateRule::kEnabled:
    case StateRule::kOneProcessorEach: break;
  }
  state.enabled = state.enabled && state.visible;
  return state;
}

bool CommandRuns(int id, const CommandContext& context) {
  const CommandRow* row = FindCommandRow(id);
  return !row || Offered(*row, id, context);
}

}  // namespace velkor
