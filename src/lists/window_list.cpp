#include "lists/window_list.h"

#include <algorithm>
#include <charconv>

#include "procs/path_text.h"

namespace velkor {

bool SkippedAsHidden(bool visible, bool cloaked, const WindowFilter& filter) {
  return (!visible || cloaked) && !filter.showHidden;
}

bool WindowListed(const WindowFacts& window, const WindowFilter& filter) {
  if (SkippedAsHidden(window.visible, window.cloaked, filter)) return false;
  if (window.title.empty()) return false;  // whatever the filters say
  const int64_t width = int64_t{window.right} - window.left;
  const int64_t height = int64_t{window.bottom} - window.top;
  if (!filter.showSizeless && (width == 0 || height == 0)) return false;
  if (!filter.showOffScreen && !window.minimised) {
    const int64_t right = int64_t{filter.screenLeft} + filter.screenWidth;
    const int64_t bottom = int64_t{filter.screenTop} + filter.screenHeight;
    if (window.left > right || window.top > bottom || window.bottom < filter.screenTop ||
        window.right < filter.screenLeft)
      return false;
  }
  return true;
}

std::array<std::string, kWindowListColumns> WindowRowCells(const WindowFacts& window) {
  const int64_t width = int64_t{window.right} - window.left;
  const int64_t height = int64_t{window.bottom} - window.top;
  const std::string process(FileNameOf(window.processPath));
  return {
      window.title,
      std::to_string(window.handle),
      process,
      std::to_string(window.pid),
      window.minimised ? std::string() : std::to_string(window.left) + ", " + std::to_string(window.top),
      std::to_string(width) + "x" + std::to_string(height),
      window.visible && !window.cloaked ? "Nein" : "Ja",
      window.minimised ? "Minimiert" : (window.maximised ? "Maximiert" : ""),
      (window.exStyle & kTopmostStyleBit) ? "Ja" : "Nein",
  };
}

bool SilentThreads::Ask(uint32_t thread) const {
  return std::find(threads_.begin(), threads_.end(), thread) == threads_.end();
}

void SilentThreads::NoteSilent(uint32_t thread) {
  if (Ask(thread)) threads_.push_back(thread);
}

void SilentThreads::Clear() { threads_.clear(); }

uint64_t ParseListNumber(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  uint64_t value = 0;
  const char* first = text.data() + start;
  const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
  return error == std::errc() && end != first ? value : 0;
}

std::optional<WindowCommand> WindowCommandOf(int id) {
  switch (id) {
    case kTopmostCommand: return WindowCommand::kToggleTopmost;
    case kToggleVisibleCommand: return WindowCommand::kToggleVisible;
    case kMinimiseCommand: return WindowCommand::kMinimise;
    case kMaximiseCommand: return WindowCommand::kMaximise;
    case kRestoreCommand: return WindowCommand::kRestore;
    case kCloseWindowCommand: return WindowCommand::kClose;
    case kDestroyWindowCommand: return WindowCommand::kDestroy;
    default: return std::nullopt;
  }
}

DestroyWay DestroyWayFor(bool ownThread) { return ownThread ? DestroyWay::kDestroy : DestroyWay::kCloseRequest; }

std::string WindowNotDestroyedMessage(std::string_view title) {
  return "Das Fenster \"" + std::string(title) + "\" konnte nicht zerstört werden!";
}

}  // namespace velkor
