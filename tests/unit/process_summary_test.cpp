#include "monitor/process_summary.h"

#include <gtest/gtest.h>

#include "settings/preferences.h"

namespace velkor {
namespace {

TEST(ProcessSummary, SelectedProcess) {
  SetPreferenceDefaults();
  const SummaryTexts plain = SelectedProcessSummary("Editor", "", "Firma", "", 3 * 1024 * 1024);
  EXPECT_EQ(plain, (SummaryTexts{"Editor", "Firma", "CPU: 0%", "Speicher: 3.00 MB"}));
  EXPECT_EQ(SelectedProcessSummary("Editor", "Brief.txt", "", "12.5%", 512).title, "Editor (Brief.txt)");
  EXPECT_EQ(SelectedProcessSummary("Editor", "", "", "12.5%", 512).line3, "CPU: 12.5%");
}

TEST(ProcessSummary, MachineWithoutSelection) {
  const Desktop desktop{1024, 768, 32, 60};
  EXPECT_EQ(MachineSummary(1, "anna", 3'661'999, desktop),
            (SummaryTexts{"1 Prozesse", "Username: anna", "Computer an seit 1:01:01",
                          "Desktopauflösung: 1024x768, 32 Bit, 60 Hz"}));
  // Beyond 24.8 days (a signed 32-bit count) and 49.7 days (its wrap).
  EXPECT_EQ(MachineSummary(0, "", 25ull * 86'400'000, desktop).line3, "Computer an seit 600:00:00");
  EXPECT_EQ(MachineSummary(0, "", 50ull * 86'400'000, desktop).line3, "Computer an seit 1200:00:00");
}

}  // namespace
}  // namespace velkor
