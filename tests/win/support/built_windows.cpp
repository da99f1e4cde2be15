#include "support/built_windows.h"

#include <commctrl.h>

#include <algorithm>

#include "app/event_loop.h"

#include "app/program_windows.h"
#include "procs/process_cpu_win.h"
#include "procs/process_library.h"
#include "settings/preferences.h"

namespace velkor::test {

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  LoopEvent event;
  while (TakeLoopEvent(event)) {
  }
}

bool LoopUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  for (;;) {
    const LoopEvent event = WaitEvent(20);
    if (event.code != kEventNone) DispatchEvent(event);
    if (done()) return true;
    if (GetTickCount64() > end) return false;
  }
}

bool ClickListHeader(HWND list, int column, const std::function<bool()>& done) {
  HWND header = ListView_GetHeader(list);
  HWND top = GetAncestor(list, GA_ROOT);
  if (!header || !top) return false;
  ShowWindow(top, SW_SHOW);
  SetForegroundWindow(top);
  RECT item{}, client{};
  if (!Header_GetItemRect(header, column, &item) || item.right <= item.left) return false;
  GetClientRect(list, &client);
  if (item.right > client.right || item.left < 0) {
    ListView_Scroll(list, item.left, 0);
    Header_GetItemRect(header, column, &item);
  }
  Pump();
  // Clicks in turn left and right of the middle, so that two in a row on
  // one column are two clicks and not a double click.
  static bool right = false;
  right = !right;
  const int aside = std::min<int>(GetSystemMetrics(SM_CXDOUBLECLK) + 2, (item.right - item.left) / 4);
  POINT point{(item.left + item.right) / 2 + (right ? aside : -aside), (item.top + item.bottom) / 2};
  ClientToScreen(header, &point);
  if (WindowFromPoint(point) != header) return false;
  SetCursorPos(point.x, point.y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  if (SendInput(2, clicks, sizeof(INPUT)) != 2) return false;
  return LoopUntil(done);
}

void BuiltWindows::BuildHere(const std::string& settings, bool fillLists) {
  GetCurrentDirectoryA(MAX_PATH, previous_);
  SetCurrentDirectoryA(folder_.path().c_str());
  if (!settings.empty()) {
    ASSERT_TRUE(WriteFileBytes(folder_.File("velkor.ini"), settings));
  }
  SetPreferenceDefaults();
  InitProcessLibrary();  // as the program binds it at start
  InitCpuUsage();
  ASSERT_TRUE(BuildWindows());
  if (fillLists) {
    for (int list : kViewLists) FillListIfPending(list);
    for (int view = 0; view < kViewCount; ++view) BuildViewControls(view);
  }
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

void BuiltWindows::TearDown() {
  DestroyWindows();
  if (previous_[0]) SetCurrentDirectoryA(previous_);
}

}  // namespace velkor::test
