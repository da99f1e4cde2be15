#include "win/foreign_window.h"

namespace velkor::win {

bool OwnThreadWindow(HWND window) {
  return window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

std::optional<LRESULT> SendMessageBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT milliseconds) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, milliseconds, &answer))
    return std::nullopt;
  return static_cast<LRESULT>(answer);
}

bool WindowAnswers(HWND window, UINT milliseconds) {
  if (OwnThreadWindow(window)) return true;
  return IsWindow(window) && !IsHungAppWindow(window) && SendMessageBounded(window, WM_NULL, 0, 0, milliseconds);
}

}  // namespace velkor::win
