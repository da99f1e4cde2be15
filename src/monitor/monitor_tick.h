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

// How long the event loop may wait for an event before its next idle pass,
// in milliseconds. A pass that finds nothing due changes nothing, so the loop
// sleeps until the first thing falls due: a sample, a list refresh, a graph
// step while `graphsRunning`, or the loop's own checks `untilCheck` ms from
// now. While something fades or follows the mouse (`animating`) every 25 ms
// pass counts. Never below 25 ms (the pace of the polled loop) nor above
// 2 s.
inline constexpr int kShortestPass = 25;
inline constexpr int kLongestPass = 2000;
int NextPassDelay(const RefreshStamps& stamps, double now, int32_t refresh1Spin, int32_t refresh2Spin,
                  bool graphsRunning, bool animating, double untilCheck);

}  // namespace velkor
