#include "monitor/process_summary.h"

#include <algorithm>
#include <limits>

#include "procs/format.h"

namespace velkor {

SummaryTexts SelectedProcessSummary(const std::string& name, const std::string& windowTitle, const std::string& company,
                                    const std::string& cpuText, uint64_t workingSet) {
  SummaryTexts texts;
  texts.title = windowTitle.empty() ? name : name + " (" + windowTitle + ")";
  texts.line2 = company;
  texts.line3 = "CPU: " + (cpuText.empty() ? std::string("0%") : cpuText);
  texts.line4 = "Speicher: " + FormatSize64(static_cast<int64_t>(std::min<uint64_t>(workingSet, INT64_MAX)), 2);
  return texts;
}

SummaryTexts MachineSummary(int rows, const std::string& userName, uint64_t uptimeMs, const Desktop& desktop) {
  SummaryTexts texts;
  texts.title = std::to_string(rows) + " Prozesse";
  texts.line2 = "Username: " + userName;
  // FormatDuration takes 32-bit seconds: good for 68 years of uptime.
  const uint64_t seconds = std::min<uint64_t>(uptimeMs / 1000, std::numeric_limits<int32_t>::max());
  texts.line3 = "Computer an seit " + FormatDuration(static_cast<int32_t>(seconds));
  texts.line4 = "Desktopauflösung: " + std::to_string(desktop.width) + "x" + std::to_string(desktop.height) + ", " +
                std::to_string(desktop.bitsPerPixel) + " Bit, " + std::to_string(desktop.refreshRate) + " Hz";
  return texts;
}

}  // namespace velkor
