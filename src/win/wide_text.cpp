#include "win/wide_text.h"

#include <windows.h>

#include <limits>

namespace velkor::win {

std::string NarrowText(std::wstring_view text) {
  if (text.empty() || text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return {};
  const int count = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), count, narrow.data(), size, nullptr, nullptr);
  return narrow;
}

}  // namespace velkor::win
