// Reads the system's high-contrast mode and its colours into HighContrast().
#pragma once

#include <functional>

namespace velkor {

// Whether the mode is on; by default the system's answer
// (SPI_GETHIGHCONTRAST). Tests make the program believe it is on.
using HighContrastHook = std::function<bool()>;
void SetHighContrastHook(HighContrastHook hook);

// Reads the mode and the system's colours again (at start, and on
// WM_SETTINGCHANGE and WM_SYSCOLORCHANGE); true when anything changed.
bool FollowHighContrast();

}  // namespace velkor
