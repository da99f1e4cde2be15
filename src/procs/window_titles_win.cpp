#include "procs/window_titles_win.h"

#include <algorithm>
#include <string>

#include "win/wide_text.h"

namespace velkor {

namespace {

std::vector<WindowTitle> titles;

BOOL CALLBACK CollectWindowTitle(HWND window, LPARAM) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  if ((style & WS_CHILD) || !(style & WS_VISIBLE) || (style & WS_CAPTION) != WS_CAPTION) return TRUE;
  if (GetWindow(window, GW_OWNER) || GetParent(window)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == 0) return TRUE;
  wchar_t text[257] = {};
  const int length = InternalGetWindowText(window, text, 257);
  std::string title = win::NarrowText(std::wstring_view(text, static_cast<size_t>(std::clamp(length, 0, 256))));
  if (TrimBlanks(title).empty()) return TRUE;
  titles.push_back({pid, std::move(title)});
  return TRUE;
}

}  // namespace

const std::vector<WindowTitle>& CollectWindowTitles() {
  titles.clear();
  EnumWindows(CollectWindowTitle, 0);
  return titles;
}

void ClearWindowTitles() { titles.clear(); }

const std::vector<WindowTitle>& CollectedWindowTitles() { return titles; }

}  // namespace velkor
