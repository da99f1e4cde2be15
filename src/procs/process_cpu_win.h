// CPU load and memory status from the system: the per-process sample taken
// through the process times and the tick count, the machine's load
// through the native system-information query (NT family) or the dynamic
// performance statistics of the registry (Windows 95 family), and the global
// memory status. The arithmetic is in process_cpu.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "procs/process_cpu.h"
#include "procs/row_store.h"

namespace velkor {

// Load in percent (0 to 100) of the process since the sample in its row,
// after which the row holds a fresh sample. `process` needs query-information
// rights; a failing time query counts as no CPU time.
float ProcessCpuLoad(HANDLE process, RowStore& rows, int row);

// A CPU time as whole milliseconds, days included.
uint64_t FileTimeToMilliseconds(const FILETIME& time);
// An absolute file time as a local date value (DateFromCalendar); 0 when the
// time cannot be converted.
int64_t FileTimeToDate(const FILETIME& time);
// The current local date and time on the same scale.
int64_t CurrentLocalDate();

// The machine's CPU meter. InitCpuUsage takes the first sample (1 on
// success, 0 on failure); SystemCpuUsage returns the load in whole percent
// (0..100) since the previous call, or -1 when the system could not be asked;
// EndCpuUsage returns 1, or 0 when the statistic could not be stopped.
int InitCpuUsage();
int SystemCpuUsage();
int EndCpuUsage();
// InitCpuUsage for a given platform identifier as the version query reports
// it (VER_PLATFORM_WIN32_NT or VER_PLATFORM_WIN32_WINDOWS).
int InitCpuUsageForPlatform(DWORD platformId);

// The global memory status, read afresh at each call, in bytes; all zero
// when the system does not answer.
MemoryStatus ReadMemoryStatus();
uint64_t TotalPhysicalMemory();
uint64_t UsedPhysicalMemory();
uint64_t TotalPageFile();
uint64_t UsedPageFile();
uint64_t TotalVirtualMemory();
uint64_t PhysicalMemorySize();

}  // namespace velkor
