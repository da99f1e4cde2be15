// CPU load arithmetic, and the memory figures beside it. A process's load is
// measured between two samples kept in hidden columns of its process-list
// row, so its history lives exactly as long as the row; the machine's load
// comes from the idle time of all processors between two samples. The
// system queries are in process_cpu_win.
#pragma once

#include <cstdint>

#include "procs/row_store.h"

namespace velkor {

// The hidden sample columns of a process-list row, as decimal text. Only the
// sum of the two CPU-time columns is ever used.
inline constexpr int kSampleUserTimeColumn = 15;
inline constexpr int kSampleKernelTimeColumn = 16;
inline constexpr int kSampleTimerColumn = 17;

// The global memory status, in bytes (ReadMemoryStatus).
struct MemoryStatus {
  uint64_t totalPhysical = 0;
  uint64_t availablePhysical = 0;
  uint64_t totalPageFile = 0;
  uint64_t availablePageFile = 0;
  uint64_t totalVirtual = 0;
};

struct CpuSample {
  int64_t userMs = 0;    // user-mode CPU time, milliseconds
  int64_t kernelMs = 0;  // kernel-mode CPU time, milliseconds
  // Milliseconds since system start, wrapping after 49.7 days. Read from
  // GetTickCount, which counts the same as the multimedia timer without
  // loading winmm (and the COM libraries it brings) at every start; the
  // process times it divides tick at the same pace.
  uint32_t timerMs = 0;
};

// Empty or missing cells read as 0.
CpuSample ReadCpuSample(const RowStore& rows, int row);
void WriteCpuSample(RowStore& rows, int row, const CpuSample& sample);

// Share of wall-clock time spent running between two samples, 0 to 100; not
// divided by the processor count. 0 when both samples fall in the same
// millisecond or the CPU time went backwards (a reused process id).
float CpuLoadBetween(const CpuSample& previous, const CpuSample& current);

// The per-process step: the load since the sample in the row, after which
// `current` becomes the row's sample.
float UpdateCpuLoad(RowStore& rows, int row, const CpuSample& current);

// A CPU time in 100-ns units as whole milliseconds. The full count is kept:
// a process with more than a day of CPU time keeps its days.
uint64_t FileTimeToMilliseconds(uint64_t fileTime);

// A date value in seconds from 1970-01-01 00:00:00 of the given calendar
// values. Built from local calendar values on both sides, so the difference
// of two such values is a duration in seconds.
int64_t DateFromCalendar(int year, int month, int day, int hour, int minute, int second);

// The machine's load in whole percent from the idle time of all processors
// and the elapsed system time between two samples (both in 100-ns units):
// the busy share rounded to nearest (ties to even) after adding a half, which
// mostly rounds it up. Kept within 0..100 so jitter never looks like -1, the
// failure value of SystemCpuUsage.
int SystemCpuUsageFrom(int64_t idleDelta, int64_t elapsedDelta, int processors);

}  // namespace velkor
