// Keyboard shortcuts: which identifier a key delivers in which window.
#pragma once

#include <optional>

namespace velkor {

// Virtual-key codes used here (the same numbers as the system's).
inline constexpr int kKeyReturn = 0x0D;
inline constexpr int kKeyDelete = 0x2E;
inline constexpr int kKeyEscape = 0x1B;
inline constexpr int kKeyTab = 0x09;
inline constexpr int kKeyF1 = 0x70;
inline constexpr int kKeyF5 = 0x74;
inline constexpr int kKeyF10 = 0x79;

// The identifier a key press delivers, or nothing. `window` is the number of
// the active program window. With Shift held a row that asks for Shift comes
// before one that does not care.
std::optional<int> ShortcutFor(int window, bool control, int virtualKey, bool shift = false);

}  // namespace velkor
