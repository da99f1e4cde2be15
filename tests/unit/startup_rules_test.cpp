#include <gtest/gtest.h>

#include "shell/instance.h"
#include "procs/priority.h"
#include "settings/preferences.h"

namespace velkor {
namespace {

TEST(StartupRules, CompanionIsFoundByExactName) {
  EXPECT_TRUE(IsCompanionName("dornat.exe"));
  EXPECT_FALSE(IsCompanionName("DORNAT.EXE"));
  EXPECT_FALSE(IsCompanionName("Dornat.exe"));
  EXPECT_FALSE(IsCompanionName("dornat.exe "));
  EXPECT_FALSE(IsCompanionName(""));
}

TEST(StartupRules, OnlyACompanionOfTheOwnSessionCounts) {
  EXPECT_TRUE(IsCompanionProcess("dornat.exe", 1, 1));
  EXPECT_FALSE(IsCompanionProcess("dornat.exe", 0, 1));  // another user's, seen by an elevated program
  EXPECT_FALSE(IsCompanionProcess("dornat.exe", std::nullopt, 1));
  EXPECT_FALSE(IsCompanionProcess("DORNAT.EXE", 1, 1));
  EXPECT_TRUE(InOwnSession(0, 0));
}

TEST(StartupRules, OnlyAnEmptyFileIsTheStartSignal) {
  EXPECT_TRUE(IsStartSignal(true, 0));
  EXPECT_FALSE(IsStartSignal(true, 1));
  EXPECT_FALSE(IsStartSignal(false, 0));
}

TEST(StartupRules, DefaultsBeforeAnySettingsFile) {
  Preferences.PreferencesRemain = 0;
  Preferences.PreferencesSearchString.clear();
  ColumnShown[5] = 0;
  SetPreferenceDefaults();
  EXPECT_EQ(Preferences.PreferencesRemain, 1);
  EXPECT_EQ(Preferences.PreferencesReactivateExplorer, 0);
  EXPECT_EQ(Preferences.PreferencesOptimize, 1);
  EXPECT_EQ(Preferences.PreferencesSticky, 1);
  EXPECT_EQ(Preferences.PreferencesWindowTitle, 1);
  EXPECT_EQ(Preferences.PreferencesCPUPerProcess, 1);
  EXPECT_EQ(Preferences.PreferencesUseComma, 0);
  EXPECT_EQ(Preferences.PreferencesShowZeroCPU, 0);
  EXPECT_EQ(Preferences.PreferencesExitCodeSpin, 1067);
  EXPECT_EQ(Preferences.PreferencesRefresh1Spin, 2500);
  EXPECT_EQ(Preferences.PreferencesRefresh2Spin, 750);
  const std::string& url = Preferences.PreferencesSearchString;
  EXPECT_EQ(url.substr(url.find("/search?")), "/search?q=%22[SEARCH]%22");
  for (int shown : ColumnShown) EXPECT_EQ(shown, 1);
  ColumnWidths[0] = 7;
  SetDefaultColumnWidths();
  EXPECT_EQ(ColumnWidths, (std::array<int32_t, 14>{200, 150, 60, 45, 60, 110, 100, 100, 100, 60, 60, 100, 100, 200}));
}

TEST(StartupRules, PriorityNamesAndRowColours) {
  EXPECT_EQ(PriorityName(0x100), "Echtzeit");
  EXPECT_EQ(PriorityName(0x80), "Hoch");
  EXPECT_EQ(PriorityName(0x8000), "Erh\xF6ht");  // Windows-1252 ö
  EXPECT_EQ(PriorityName(0x20), "Normal");
  EXPECT_EQ(PriorityName(0x4000), "Erniedrigt");
  EXPECT_EQ(PriorityName(0x40), "Niedrig");
  EXPECT_EQ(PriorityName(0), "N/A");
  EXPECT_EQ(PriorityName(0x41), "N/A");
  PriorityColours.high = Rgb{1, 2, 3};
  SetPriorityColours();
  EXPECT_EQ(PriorityColours.idle, (Rgb{170, 255, 170}));
  EXPECT_EQ(PriorityColours.belowNormal, (Rgb{204, 255, 204}));
  EXPECT_EQ(PriorityColours.normal, (Rgb{255, 255, 255}));
  EXPECT_EQ(PriorityColours.aboveNormal, (Rgb{255, 208, 208}));
  EXPECT_EQ(PriorityColours.high, (Rgb{255, 192, 192}));
  EXPECT_EQ(PriorityColours.realtime, (Rgb{255, 144, 144}));
}

}  // namespace
}  // namespace velkor
