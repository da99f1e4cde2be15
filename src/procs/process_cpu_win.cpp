#include "procs/process_cpu_win.h"

#include <algorithm>

#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {
namespace {

constexpr ULONG kBasicInformationClass = 0;
constexpr ULONG kPerformanceInformationClass = 2;
constexpr ULONG kTimeOfDayInformationClass = 3;

// The records of the native query that the meter reads; only the fields it
// uses are named. The basic record holds pointer-sized fields, so it is
// 44 bytes for 32-bit and 64 bytes for 64-bit programs.
struct BasicInformation {
  ULONG reserved;
  ULONG timerResolution;
  ULONG pageSize;
  ULONG physicalPages;
  ULONG lowestPhysicalPage;
  ULONG highestPhysicalPage;
  ULONG allocationGranularity;
  ULONG_PTR lowestUserAddress;
  ULONG_PTR highestUserAddress;
  ULONG_PTR activeProcessorsMask;
  CCHAR numberOfProcessors;
};
static_assert(sizeof(BasicInformation) == (sizeof(void*) == 8 ? 64 : 44));

struct TimeOfDayInformation {
  LONGLONG bootTime;
  LONGLONG currentTime;  // 100-ns units
  LONGLONG timeZoneBias;
  ULONG timeZoneId;
  ULONG reserved;
};
static_assert(sizeof(TimeOfDayInformation) == 32);

struct PerformanceInformation {
  LONGLONG idleTime;  // of all processors together, 100-ns units
  BYTE rest[304];
};
static_assert(sizeof(PerformanceInformation) == 312);

constexpr const char* kStatisticValue = "KERNEL\\CPUUsage";

// The machine's CPU meter: one baseline for every caller. The records are
// kept here so that a sample allocates nothing.
struct CpuMeter {
  DWORD platform = 0;  // as the version query reported it; 0 before InitCpuUsage
  win::NativeFunctions::QuerySystemInformation query = nullptr;
  int64_t previousIdle = 0;
  int64_t previousSystemTime = 0;
  BasicInformation basic{};
  TimeOfDayInformation timeOfDay{};
  PerformanceInformation performance{};
  win::UniqueRegistryKey statistics;  // Windows 95 family: PerfStats\StatData
};
CpuMeter meter;

template <typename Record>
bool QuerySystem(ULONG infoClass, Record& record) {
  if (!meter.query) return false;
  ULONG returned = 0;
  return meter.query(infoClass, &record, sizeof record, &returned) >= 0;
}

// Reading the CPU value of a statistics key starts, samples or stops the
// statistic, depending on the key.
bool ReadStatistic(HKEY key, DWORD& value) {
  DWORD type = 0;
  DWORD size = sizeof value;
  return RegQueryValueExA(key, kStatisticValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
         ERROR_SUCCESS;
}

bool TouchStatistic(const char* keyName) {
  win::UniqueRegistryKey key;
  if (RegOpenKeyExA(HKEY_DYN_DATA, keyName, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return false;
  DWORD value = 0;
  ReadStatistic(key.get(), value);
  return true;
}

int64_t Difference(int64_t later, int64_t earlier) {
  return static_cast<int64_t>(static_cast<uint64_t>(later) - static_cast<uint64_t>(earlier));
}

CpuSample TakeCpuSample(HANDLE process) {
  CpuSample sample;
  sample.timerMs = GetTickCount();
  FILETIME creation{}, exit{}, kernel{}, user{};
  if (GetProcessTimes(process, &creation, &exit, &kernel, &user)) {
    sample.userMs = static_cast<int64_t>(FileTimeToMilliseconds(user));
    sample.kernelMs = static_cast<int64_t>(FileTimeToMilliseconds(kernel));
  }
  return sample;
}

}  // namespace

float ProcessCpuLoad(HANDLE process, RowStore& rows, int row) {
  VELKOR_PLACE(kProcessCpuUnit);
  // One sample serves both as the end of this interval and the start of the
  // next, so no CPU time between two refreshes goes uncounted.
  return UpdateCpuLoad(rows, row, TakeCpuSample(process));
}

uint64_t FileTimeToMilliseconds(const FILETIME& time) {
  return FileTimeToMilliseconds((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

int64_t FileTimeToDate(const FILETIME& time) {
  FILETIME local{};
  SYSTEMTIME calendar{};
  if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &calendar)) return 0;
  return DateFromCalendar(calendar.wYear, calendar.wMonth, calendar.wDay, calendar.wHour, calendar.wMinute,
                          calendar.wSecond);
}

int64_t CurrentLocalDate() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return DateFromCalendar(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

int InitCpuUsageForPlatform(DWORD platformId) {
  meter = CpuMeter{};
  meter.platform = platformId;
  if (platformId == VER_PLATFORM_WIN32_NT) {
    meter.query = win::Native().querySystemInformation;
    if (!meter.query) return 0;
    // Start-up alarms: the meter cannot work on this system.
    if (!QuerySystem(kTimeOfDayInformationClass, meter.timeOfDay)) {
      Beep(1400, 5000);
      return 0;
    }
    if (!QuerySystem(kPerformanceInformationClass, meter.performance)) {
      Beep(1000, 5000);
      return 0;
    }
    meter.previousIdle = meter.performance.idleTime;
    meter.previousSystemTime = meter.timeOfDay.currentTime;
    return 1;
  }
  // Windows 95 family: reading the start key switches the statistic on.
  if (!TouchStatistic("PerfStats\\StartStat")) return 0;
  return RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_READ, meter.statistics.put()) == ERROR_SUCCESS ? 1
                                                                                                                   : 0;
}

int InitCpuUsage() {
  VELKOR_PLACE(kProcessCpuUnit);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) version.dwPlatformId = VER_PLATFORM_WIN32_NT;
  return InitCpuUsageForPlatform(version.dwPlatformId);
}

int SystemCpuUsage() {
  VELKOR_PLACE(kProcessCpuUnit);
  if (meter.platform != VER_PLATFORM_WIN32_NT) {
    DWORD usage = 0;
    if (!meter.statistics || !ReadStatistic(meter.statistics.get(), usage)) return -1;
    return static_cast<int>(std::min<DWORD>(usage, 100));
  }
  if (!QuerySystem(kBasicInformationClass, meter.basic) || !QuerySystem(kTimeOfDayInformationClass, meter.timeOfDay) ||
      !QuerySystem(kPerformanceInformationClass, meter.performance)) {
    return -1;
  }
  const int64_t idle = Difference(meter.performance.idleTime, meter.previousIdle);
  const int64_t elapsed = Difference(meter.timeOfDay.currentTime, meter.previousSystemTime);
  meter.previousIdle = meter.performance.idleTime;
  meter.previousSystemTime = meter.timeOfDay.currentTime;
  return SystemCpuUsageFrom(idle, elapsed, static_cast<unsigned char>(meter.basic.numberOfProcessors));
}

int EndCpuUsage() {
  VELKOR_PLACE(kProcessCpuUnit);
  const DWORD platform = meter.platform;
  meter = CpuMeter{};  // closes the statistics key
  if (platform != VER_PLATFORM_WIN32_WINDOWS) return 1;
  // Reading the stop key switches the statistic off again.
  return TouchStatistic("PerfStats\\StopStat") ? 1 : 0;
}

MemoryStatus ReadMemoryStatus() {
  VELKOR_PLACE(kProcessCpuUnit);
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return {};
  MemoryStatus result;
  result.totalPhysical = status.ullTotalPhys;
  result.availablePhysical = status.ullAvailPhys;
  result.totalPageFile = status.ullTotalPageFile;
  result.availablePageFile = status.ullAvailPageFile;
  result.totalVirtual = status.ullTotalVirtual;
  return result;
}

uint64_t TotalPhysicalMemory() { return ReadMemoryStatus().totalPhysical; }

uint64_t UsedPhysicalMemory() {
  const MemoryStatus status = ReadMemoryStatus();
  return status.totalPhysical - std::min(status.availablePhysical, status.totalPhysical);
}

uint64_t TotalPageFile() { return ReadMemoryStatus().totalPageFile; }

uint64_t UsedPageFile() {
  const MemoryStatus status = ReadMemoryStatus();
  return status.totalPageFile - std::min(status.availablePageFile, status.totalPageFile);
}

uint64_t TotalVirtualMemory() { return ReadMemoryStatus().totalVirtual; }

uint64_t PhysicalMemorySize() { return TotalPhysicalMemory(); }

}  // namespace velkor
