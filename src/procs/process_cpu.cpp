#include "procs/process_cpu.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "procs/format.h"
#include "win/source_location.h"

namespace velkor {

CpuSample ReadCpuSample(const RowStore& rows, int row) {
  VELKOR_PLACE(kProcessCpuUnit);
  CpuSample sample;
  sample.userMs = LeadingWholeNumber(rows.CellText(row, kSampleUserTimeColumn));
  sample.kernelMs = LeadingWholeNumber(rows.CellText(row, kSampleKernelTimeColumn));
  // The timer column may hold a reading written as signed or unsigned; both
  // are the same 32-bit value.
  sample.timerMs = static_cast<uint32_t>(LeadingWholeNumber(rows.CellText(row, kSampleTimerColumn)));
  return sample;
}

void WriteCpuSample(RowStore& rows, int row, const CpuSample& sample) {
  VELKOR_PLACE(kProcessCpuUnit);
  rows.SetCellText(row, kSampleUserTimeColumn, std::to_string(sample.userMs));
  rows.SetCellText(row, kSampleKernelTimeColumn, std::to_string(sample.kernelMs));
  rows.SetCellText(row, kSampleTimerColumn, std::to_string(sample.timerMs));
}

float CpuLoadBetween(const CpuSample& previous, const CpuSample& current) {
  VELKOR_PLACE(kProcessCpuUnit);
  // Unsigned 32-bit difference: stays right when the timer wraps after 49.7 days.
  const uint32_t elapsed = current.timerMs - previous.timerMs;
  if (elapsed == 0) return 0.0f;
  // In double, so that whatever the cells held cannot overflow.
  const double used = (static_cast<double>(current.userMs) - static_cast<double>(previous.userMs)) +
                      (static_cast<double>(current.kernelMs) - static_cast<double>(previous.kernelMs));
  const double load = used * 100.0 / static_cast<double>(elapsed);
  return static_cast<float>(std::clamp(load, 0.0, 100.0));
}

float UpdateCpuLoad(RowStore& rows, int row, const CpuSample& current) {
  VELKOR_PLACE(kProcessCpuUnit);
  const float load = CpuLoadBetween(ReadCpuSample(rows, row), current);
  WriteCpuSample(rows, row, current);
  return load;
}

uint64_t FileTimeToMilliseconds(uint64_t fileTime) { return fileTime / 10000; }

int64_t DateFromCalendar(int year, int month, int day, int hour, int minute, int second) {
  // Days from 1970-01-01 of a proleptic Gregorian date, in eras of 400 years.
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t shiftedMonth = month > 2 ? month - 3 : month + 9;
  const int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t days = era * 146097 + dayOfEra - 719468;
  return days * 86400 + static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;
}

int SystemCpuUsageFrom(int64_t idleDelta, int64_t elapsedDelta, int processors) {
  VELKOR_PLACE(kProcessCpuUnit);
  // Single precision throughout, as the busy share has always been figured.
  const float idle = static_cast<float>(idleDelta);
  const float ratio = elapsedDelta != 0 ? idle / static_cast<float>(elapsedDelta) : idle;
  const float usage = 100.5f - ratio * 100.0f / static_cast<float>(std::max(processors, 1));
  const float rounded = std::nearbyint(usage);
  if (!(rounded >= 0.0f)) return 0;
  if (rounded > 100.0f) return 100;
  return static_cast<int>(rounded);
}

}  // namespace velkor
