#include "app/shortcuts.h"

namespace velkor {

std::optional<int> ShortcutFor(int window, bool control, int virtualKey) {
  if (window == 0) {
    if (!control && virtualKey == kKeyDelete) return 23;
    if (control) {
      switch (virtualKey) {
        case 'R': return 22;
        case 'P': return 20;
        case 'D': return 21;
        case 'F': return 24;
        case 'I': return 25;
        default: break;
      }
    }
  }
  if (window == 2 && control && virtualKey == 'D') return 21;
  if (window == 1 && !control && virtualKey == kKeyReturn) return 235;
  // Escape leaves the run dialog as "Abbrechen" does.
  if (window == 1 && !control && virtualKey == kKeyEscape) return 236;
  return std::nullopt;
}

}  // namespace velkor
