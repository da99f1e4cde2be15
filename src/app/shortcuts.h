// Keyboard shortcuts: which identifier a key delivers in which window.
#pragma once

#include <optional>

namespace velkor {

// Virtual-key codes used here (the same numbers as the system's).
inline constexpr int kKeyReturn = 0x0D;
inline constexpr int kKeyDelete = 0x2E;
inline constexpr int kKeyEscape = 0x1B;

// The identifier a key press delivers, or nothing. `window` is the number of
// the active program window.
std::optional<int> ShortcutFor(int window, bool control, int virtualKey);

}  // namespace velkor
