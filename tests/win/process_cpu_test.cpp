#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

#include "procs/process_cpu_win.h"
#include "procs/row_store.h"

namespace velkor {
namespace {

void Spin(std::chrono::milliseconds span) {
  const auto end = std::chrono::steady_clock::now() + span;
  volatile unsigned sink = 0;
  while (std::chrono::steady_clock::now() < end) sink = sink + 1;
}

TEST(SystemCpuMeter, ReportsLoadWithinZeroToHundred) {
  ASSERT_EQ(InitCpuUsage(), 1);
  Spin(std::chrono::milliseconds(100));
  const int first = SystemCpuUsage();
  EXPECT_GE(first, 0);
  EXPECT_LE(first, 100);
  Sleep(50);
  const int second = SystemCpuUsage();
  EXPECT_GE(second, 0);
  EXPECT_LE(second, 100);
  EXPECT_EQ(EndCpuUsage(), 1);
  EXPECT_EQ(SystemCpuUsage(), -1);  // nothing bound any more
}

TEST(SystemCpuMeter, WithoutTheDynamicStatisticsReportsFailure) {
  // The Windows 95 family path on an NT system: there is no dynamic-data
  // statistic to start, sample or stop.
  EXPECT_EQ(InitCpuUsageForPlatform(VER_PLATFORM_WIN32_WINDOWS), 0);
  EXPECT_EQ(SystemCpuUsage(), -1);
  EXPECT_EQ(EndCpuUsage(), 0);
}

TEST(ProcessCpuLoad, MeasuresTheOwnProcess) {
  VectorRowStore rows;
  const int row = rows.AddRow();
  ProcessCpuLoad(GetCurrentProcess(), rows, row);  // first sample
  EXPECT_FALSE(rows.CellText(row, kSampleTimerColumn).empty());
  Spin(std::chrono::milliseconds(300));
  const float load = ProcessCpuLoad(GetCurrentProcess(), rows, row);
  EXPECT_GT(load, 0.0f);
  EXPECT_LE(load, 100.0f);
}

TEST(ProcessCpuLoad, FailingTimeQueryCountsAsNoCpuTime) {
  VectorRowStore rows;
  const int row = rows.AddRow();
  rows.SetCellText(row, kSampleUserTimeColumn, "5000");
  EXPECT_EQ(ProcessCpuLoad(nullptr, rows, row), 0.0f);
  EXPECT_EQ(rows.CellText(row, kSampleUserTimeColumn), "0");
  EXPECT_EQ(rows.CellText(row, kSampleKernelTimeColumn), "0");
}

TEST(ProcessTimes, DatesAndMillisecondsOfFileTimes) {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  EXPECT_NEAR(static_cast<double>(FileTimeToDate(now)), static_cast<double>(CurrentLocalDate()), 2.0);
  const FILETIME day{0x2A69C000u, 0xC9u};  // 24 h in 100-ns units: the day is kept
  EXPECT_EQ(FileTimeToMilliseconds(day), 86400000u);
}

TEST(MemoryStatus, CountsAreConsistent) {
  const uint64_t total = TotalPhysicalMemory();
  EXPECT_GT(total, 0u);
  EXPECT_EQ(PhysicalMemorySize(), total);
  EXPECT_GT(UsedPhysicalMemory(), 0u);
  EXPECT_LE(UsedPhysicalMemory(), total);
  EXPECT_GT(TotalPageFile(), 0u);
  EXPECT_LE(UsedPageFile(), TotalPageFile());
  EXPECT_GT(TotalVirtualMemory(), 0u);
}

}  // namespace
}  // namespace velkor
