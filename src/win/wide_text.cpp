#include "win/wide_text.h"

#include <windows.h>

#include <limits>

namespace velkor::win {

namespace {

std::string Narrow(std::wstring_view text, UINT codePage) {
  if (text.empty() || text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return {};
  const int count = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(codePage, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string narrow(static_cast<size_t>(size), '\0');
  if (WideCharToMultiByte(codePage, 0, text.data(), count, narrow.data(), size, nullptr, nullptr) != size) return {};
  return narrow;
}

}  // namespace

std::string NarrowText(std::wstring_view text) { return Narrow(text, CP_ACP); }

std::string Utf8Text(std::wstring_view text) { return Narrow(text, CP_UTF8); }

std::wstring WideText(std::string_view text, unsigned codePage) {
  if (text.empty() || text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return {};
  const int count = static_cast<int>(text.size());
  // Invalid UTF-8 fails rather than turning into replacement characters:
  // a path that is not the one named must not be used.
  const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
  const int size = MultiByteToWideChar(codePage, flags, text.data(), count, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<size_t>(size), L'\0');
  if (MultiByteToWideChar(codePage, flags, text.data(), count, wide.data(), size) != size) return {};
  return wide;
}

}  // namespace velkor::win
