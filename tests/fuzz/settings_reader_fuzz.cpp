// libFuzzer target for the settings reader: any bytes read as velkor.ini must
// give values inside their ranges, and the file the program would write from
// them must read back to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (bool xpOrLater : {false, true}) {
    const velkor::SettingsSnapshot read = velkor::ReadSettingsSnapshot(velkor::SettingsFile(bytes), xpOrLater);
    const velkor::PreferencesRecord& p = read.preferences;
    if (p.PreferencesExitCodeSpin < 0 || p.PreferencesExitCodeSpin > 14080) std::abort();
    if (p.PreferencesRefresh1Spin < 0 || p.PreferencesRefresh2Spin < 0) std::abort();
    if (xpOrLater && p.PreferencesReactivateExplorer != 0) std::abort();
    const std::string written = velkor::FormatSettingsFile(read);
    const velkor::SettingsSnapshot again = velkor::ReadSettingsSnapshot(velkor::SettingsFile(written), xpOrLater);
    if (!(again == read)) std::abort();
  }
  return 0;
}
