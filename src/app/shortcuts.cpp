#include "app/shortcuts.h"

#include "app/command_table.h"

namespace velkor {

std::optional<int> ShortcutFor(int window, bool control, int virtualKey, bool shift) {
  if (window < 0 || window >= kWindowCount) return std::nullopt;
  for (const bool withShift : {true, false}) {
    if (withShift && !shift) continue;
    for (const CommandRow& row : kCommandTable) {
      const Shortcut& shortcut = row.shortcut;
      if ((shortcut.windows & InWindow(window)) && shortcut.control == control && shortcut.key == virtualKey &&
          shortcut.shift == withShift)
        return row.first;
    }
  }
  return std::nullopt;
}

}  // namespace velkor
