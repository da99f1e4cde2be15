// MonitorTick: the periodic procedure of the main program. It owns all
// timing: graph steps, system samples and list refreshes, each on its own
// interval, driven by the event loop's idle passes.
#pragma once

#include <cstdint>

namespace velkor {

// The last system sample, in whole percent (the status bar and the
// monitoring view show them; the tray companion draws its own).
struct MonitorSamples {
  int cpuLoad = 0;       // processor load
  int memoryLoad = 0;    // physical memory in use
  int pageFileLoad = 0;  // page file in use
};
extern MonitorSamples LastSample;

// True when more than `interval` milliseconds lie between `now` and `stamp`.
// The absolute difference as a floating-point value, so a wrapped tick
// counter or a stamp taken from another clock counts as due at once.
bool IntervalElapsed(double now, double stamp, double interval);

// The three stamps of the periodic refreshes, in milliseconds.
struct RefreshStamps {
  double graph = 0;
  double monitor = 0;
  double list = 0;
};

// What one pass of MonitorTick has to do, from the intervals and the stamps;
// the stamps of what is due are set to `now`.
struct TickPlan {
  bool graphStep = false;
  bool monitorSample = false;
  bool listRefresh = false;
};
TickPlan PlanTick(RefreshStamps& stamps, double now, int32_t refresh1Spin, int32_t refresh2Spin);

}  // namespace velkor
