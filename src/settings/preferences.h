// The preferences record and the process-list column state, with the values
// they hold before any settings file has been read.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velkor {

struct PreferencesRecord {
  int32_t PreferencesRemain = 1;
  int32_t PreferencesReactivateExplorer = 0;
  int32_t PreferencesOptimize = 1;
  int32_t PreferencesSticky = 1;
  int32_t PreferencesWindowTitle = 1;
  int32_t PreferencesCPUPerProcess = 1;
  int32_t PreferencesUseComma = 0;
  int32_t PreferencesShowZeroCPU = 0;
  int32_t PreferencesExitCodeSpin = 1067;
  std::string PreferencesSearchString = kDefaultSearchString;
  int32_t PreferencesRefresh1Spin = 2500;
  int32_t PreferencesRefresh2Spin = 750;

  friend bool operator==(const PreferencesRecord&, const PreferencesRecord&) = default;

  static constexpr const char* kDefaultSearchString = "https://www.google.com/search?q=%22[SEARCH]%22";
};

inline constexpr int kProcessColumnCount = 14;  // visible columns 0..13
inline constexpr int kShownFlagCount = 13;      // one flag per column 1..13
inline constexpr std::array<int32_t, kProcessColumnCount> kDefaultColumnWidths = {200, 150, 60, 45, 60,  110, 100,
                                                                                  100, 100, 60, 60, 100, 100, 200};

// Program-wide settings state, owned by the settings subsystem.
extern PreferencesRecord Preferences;
extern std::array<int32_t, kShownFlagCount> ColumnShown;
extern std::array<int32_t, kProcessColumnCount> ColumnWidths;
// The autostart choice (0/1). It belongs to the preferences window's check
// box; until that window exists the loaded value is kept here for the save.
extern int32_t PreferencesAutostart;

// Puts the record, the shown flags and the widths back to their start values.
void SetPreferenceDefaults();
void SetDefaultColumnWidths();

// Sets PreferencesCPUPerProcess: the record is the settings' own, and the
// history strips switch the setting through here when they are switched.
void SetCpuPerProcessPreference(bool on);

}  // namespace velkor
