#include "monitor/monitor_tick.h"

#include <algorithm>
#include <cmath>

namespace velkor {

MonitorSamples LastSample;

bool IntervalElapsed(double now, double stamp, double interval) { return std::fabs(now - stamp) > interval; }

TickPlan PlanTick(RefreshStamps& stamps, double now, int32_t refresh1Spin, int32_t refresh2Spin) {
  TickPlan plan;
  // The graphs step 15 times per monitoring interval (every 50 ms by default).
  if (IntervalElapsed(now, stamps.graph, refresh2Spin / 15)) {
    plan.graphStep = true;
    stamps.graph = now;
  }
  if (IntervalElapsed(now, stamps.monitor, refresh2Spin)) {
    plan.monitorSample = true;
    stamps.monitor = now;
  }
  if (IntervalElapsed(now, stamps.list, refresh1Spin)) {
    plan.listRefresh = true;
    stamps.list = now;
  }
  return plan;
}

namespace {

// Milliseconds until IntervalElapsed turns true for this stamp.
double UntilElapsed(double now, double stamp, double interval) {
  const double gap = std::fabs(now - stamp);
  return gap > interval ? 0 : interval - gap + 1;
}

}  // namespace

int NextPassDelay(const RefreshStamps& stamps, double now, int32_t refresh1Spin, int32_t refresh2Spin,
                  bool graphsRunning, bool animating, double untilCheck) {
  if (animating) return kShortestPass;
  double wait = std::min(
      {untilCheck, UntilElapsed(now, stamps.monitor, refresh2Spin), UntilElapsed(now, stamps.list, refresh1Spin)});
  if (graphsRunning) wait = std::min(wait, UntilElapsed(now, stamps.graph, refresh2Spin / 15));
  return static_cast<int>(std::clamp(std::ceil(wait), double{kShortestPass}, double{kLongestPass}));
}

}  // namespace velkor
