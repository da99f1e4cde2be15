#include <gtest/gtest.h>

#include <cstdint>

#include "procs/process_cpu.h"
#include "procs/row_store.h"

namespace velkor {
namespace {

constexpr int64_t kDayMs = 24LL * 3600 * 1000;

TEST(ProcessCpuLoad, LoadIsCpuTimeOverWallTime) {
  EXPECT_FLOAT_EQ(CpuLoadBetween({1000, 500, 10000}, {1300, 700, 11000}), 50.0f);
  EXPECT_FLOAT_EQ(CpuLoadBetween({0, 0, 0}, {1, 0, 3}), 100.0f / 3.0f);
  // Two processors busy: not divided by the processor count, so clamped to 100.
  EXPECT_FLOAT_EQ(CpuLoadBetween({0, 0, 5000}, {1000, 1000, 6000}), 100.0f);
}

TEST(ProcessCpuLoad, SameMillisecondOrTimeGoingBackGivesZero) {
  EXPECT_FLOAT_EQ(CpuLoadBetween({0, 0, 777}, {5000, 5000, 777}), 0.0f);
  // A reused process id: the new process has less CPU time than the old sample.
  EXPECT_FLOAT_EQ(CpuLoadBetween({90000, 9000, 1000}, {10, 10, 2000}), 0.0f);
}

TEST(ProcessCpuLoad, MoreThanADayOfCpuTimeStaysRight) {
  const CpuSample before{kDayMs - 500, 3 * kDayMs, 1000};
  const CpuSample after{kDayMs + 250, 3 * kDayMs, 2000};
  EXPECT_FLOAT_EQ(CpuLoadBetween(before, after), 75.0f);
  EXPECT_EQ(FileTimeToMilliseconds(25ULL * 3600 * 1000 * 10000), 90000000u);
  EXPECT_EQ(FileTimeToMilliseconds(19999), 1u);
  EXPECT_EQ(FileTimeToMilliseconds(UINT64_MAX), UINT64_MAX / 10000);
}

TEST(ProcessCpuLoad, TimerWrapAfter49DaysStaysRight) {
  const uint32_t beforeWrap = 4294967296u - 500u;
  EXPECT_FLOAT_EQ(CpuLoadBetween({0, 0, beforeWrap}, {100, 0, 500}), 10.0f);
}

TEST(ProcessCpuLoad, RowKeepsItsSampleInHiddenColumns) {
  VectorRowStore rows;
  const int row = rows.AddRow();
  // Empty columns are the zero baseline: CPU time since system start over uptime.
  EXPECT_FLOAT_EQ(UpdateCpuLoad(rows, row, {2000, 1000, 60000}), 5.0f);
  EXPECT_EQ(rows.CellText(row, kSampleUserTimeColumn), "2000");
  EXPECT_EQ(rows.CellText(row, kSampleKernelTimeColumn), "1000");
  EXPECT_EQ(rows.CellText(row, kSampleTimerColumn), "60000");
  EXPECT_FLOAT_EQ(UpdateCpuLoad(rows, row, {2400, 1100, 61000}), 50.0f);

  // Same millisecond: load 0, and the row still takes the new sample.
  EXPECT_FLOAT_EQ(UpdateCpuLoad(rows, row, {2600, 1100, 61000}), 0.0f);
  EXPECT_EQ(rows.CellText(row, kSampleUserTimeColumn), "2600");

  // Rows never share a sample; a timer reading stored as signed text is the same reading.
  const int other = rows.AddRow();
  rows.SetCellText(other, kSampleTimerColumn, "-500");
  EXPECT_FLOAT_EQ(UpdateCpuLoad(rows, other, {10, 0, 500}), 1.0f);
  EXPECT_EQ(rows.CellText(row, kSampleTimerColumn), "61000");
  EXPECT_EQ(rows.CellText(other, kSampleTimerColumn), "500");

  // Large CPU times survive the round trip through the text cells.
  WriteCpuSample(rows, row, {40 * kDayMs, 2 * kDayMs, 4294967295u});
  const CpuSample back = ReadCpuSample(rows, row);
  EXPECT_EQ(back.userMs, 40 * kDayMs);
  EXPECT_EQ(back.kernelMs, 2 * kDayMs);
  EXPECT_EQ(back.timerMs, 4294967295u);
}

TEST(SystemCpuUsage, BusyShareOfAllProcessors) {
  // Two processors, one busy: ratio 1.0 gives 100.5 - 50 = 50.5, rounded to the even 50.
  EXPECT_EQ(SystemCpuUsageFrom(7500000, 7500000, 2), 50);
  // An idle share of 29.6 % gives 70.9, rounded to 71.
  EXPECT_EQ(SystemCpuUsageFrom(296, 1000, 1), 71);
  EXPECT_EQ(SystemCpuUsageFrom(0, 1000, 1), 100);    // fully busy: 100.5 rounds to the even 100
  EXPECT_EQ(SystemCpuUsageFrom(1000, 1000, 1), 0);   // fully idle: 0.5 rounds to 0
  EXPECT_EQ(SystemCpuUsageFrom(3000, 1000, 4), 26);  // three of four idle: 25.5 rounds to the even 26
  EXPECT_EQ(SystemCpuUsageFrom(2000, 1000, 4), 50);  // 50.5 rounds to the even 50
  EXPECT_EQ(SystemCpuUsageFrom(500, 1000, 0), 50);   // a processor count of 0 counts as one
}

TEST(SystemCpuUsage, StaysWithinZeroToHundred) {
  EXPECT_EQ(SystemCpuUsageFrom(1020, 1000, 1), 0);  // jitter: idle slightly above elapsed
  EXPECT_EQ(SystemCpuUsageFrom(-30, 1000, 1), 100);
  EXPECT_EQ(SystemCpuUsageFrom(0, 0, 1), 100);  // no time passed: ratio is the idle time
  EXPECT_EQ(SystemCpuUsageFrom(5, 0, 1), 0);
}

TEST(FileTimeToDate, DateValuesAreSecondsOfTheCalendar) {
  EXPECT_EQ(DateFromCalendar(1970, 1, 1, 0, 0, 0), 0);
  EXPECT_EQ(DateFromCalendar(2000, 2, 29, 12, 0, 0), 951825600);
  EXPECT_EQ(DateFromCalendar(2024, 3, 1, 0, 0, 0) - DateFromCalendar(2024, 2, 28, 0, 0, 0), 2 * 86400);
  EXPECT_EQ(DateFromCalendar(2023, 3, 1, 0, 0, 0) - DateFromCalendar(2023, 2, 28, 0, 0, 0), 86400);
  EXPECT_EQ(DateFromCalendar(1601, 1, 1, 0, 0, 0), -11644473600);
  EXPECT_EQ(DateFromCalendar(2038, 1, 19, 3, 14, 8), 2147483648);
}

}  // namespace
}  // namespace velkor
