#include "settings/preferences.h"

namespace velkor {

PreferencesRecord Preferences;
std::array<int32_t, kShownFlagCount> ColumnShown = [] {
  std::array<int32_t, kShownFlagCount> shown{};
  shown.fill(1);
  return shown;
}();
std::array<int32_t, kProcessColumnCount> ColumnWidths = kDefaultColumnWidths;
int32_t PreferencesAutostart = 0;

void SetPreferenceDefaults() {
  Preferences = PreferencesRecord{};
  ColumnShown.fill(1);
  PreferencesAutostart = 0;
}

void SetCpuPerProcessPreference(bool on) { Preferences.PreferencesCPUPerProcess = on ? 1 : 0; }

void SetDefaultColumnWidths() { ColumnWidths = kDefaultColumnWidths; }

}  // namespace velkor
