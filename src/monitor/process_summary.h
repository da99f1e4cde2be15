// The summary panel below the process list (controls 141..145): the
// selected process, or the machine when no row is selected.
#pragma once

#include <cstdint>
#include <string>

namespace velkor {

struct SummaryTexts {
  std::string title;
  std::string line2;
  std::string line3;
  std::string line4;
  bool operator==(const SummaryTexts&) const = default;
};

// A selected row: its name and window title cells, the company name of its
// file, its CPU cell and its current working set in bytes.
SummaryTexts SelectedProcessSummary(const std::string& name, const std::string& windowTitle, const std::string& company,
                                    const std::string& cpuText, uint64_t workingSet);

struct Desktop {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int refreshRate = 0;
};
// No selection: the row count, the user, the time since the system started
// (64-bit milliseconds, so it stays right beyond 24.8 and 49.7 days) and
// the primary desktop.
SummaryTexts MachineSummary(int rows, const std::string& userName, uint64_t uptimeMs, const Desktop& desktop);

}  // namespace velkor
