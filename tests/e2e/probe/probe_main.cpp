// velkor_probe.exe: velkor.exe as shipped (same start, windows and loop) with
// registered messages to its main window through which the long-running
// tests refresh a list at once, look for a row and read the program's own
// object counts. Never part of the shipped program.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>

#include "app/control_ids.h"
#include "app/event_loop.h"
#include "app/startup.h"
#include "app/program_windows.h"
#include "gfx/contrast.h"
#include "gfx/contrast_win.h"
#include "win/source_location.h"
#include "lists/driver_list_win.h"
#include "lists/network_adapters_win.h"
#include "lists/service_list_win.h"
#include "lists/window_list_win.h"
#include "monitor/monitor_view_win.h"
#include "probe_messages.h"
#include "procs/process_list_win.h"
#include "support/wine_support.h"

namespace {

using namespace velkor;

WNDPROC shippedCallback = nullptr;

// Refreshes list `list` (an index into the view lists; the monitoring view
// takes a sample and steps its graphs) as the periodic pass does.
LRESULT Refresh(WPARAM list) {
  switch (list) {
    case 0: RefreshProcessList(); break;
    case 1: RefreshWindowList(); break;
    case 2: RefreshServiceList(ControlHandle(kServiceList)); break;
    case 3: RefreshDriverList(ControlHandle(kDriverList)); break;
    case 4: RefreshNetworkList(); break;
    case 5:
      TakeMonitorSample(true);
      StepMonitorGraphs();
      return 1;
    default: return -1;
  }
  return ListView_GetItemCount(ControlHandle(kViewLists[list]));
}

// Rows of view list `list` whose cell in `column` reads `number` in decimal.
LRESULT RowsWith(WPARAM list, int column, LPARAM number) {
  if (list >= kViewLists.size()) return -1;
  HWND view = ControlHandle(kViewLists[list]);
  const std::string wanted = std::to_string(static_cast<uint64_t>(number));
  LRESULT found = 0;
  char text[64];
  for (int row = 0, rows = ListView_GetItemCount(view); row < rows; ++row) {
    text[0] = 0;
    ListView_GetItemText(view, row, column, text, sizeof text);
    if (wanted == text) ++found;
  }
  return found;
}

// Windows of this process, at the top level and below: its USER objects
// where the system does not count them (Wine answers 0).
LRESULT OwnWindowCount() {
  if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS); count > 0) return count;
  struct Tally {
    LRESULT windows = 0;
  } tally;
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != GetCurrentProcessId()) return TRUE;
        auto* t = reinterpret_cast<Tally*>(data);
        ++t->windows;
        EnumChildWindows(
            window, [](HWND, LPARAM inner) -> BOOL { return ++reinterpret_cast<Tally*>(inner)->windows, TRUE; }, data);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tally));
  return tally.windows;
}

LRESULT MenuItem(WPARAM menu, LPARAM position) {
  static MENUITEMINFOW info;
  info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE;
  if (!GetMenuItemInfoW(reinterpret_cast<HMENU>(menu), static_cast<UINT>(position), TRUE, &info)) return 0;
  return reinterpret_cast<LRESULT>(&info);
}

LRESULT CALLBACK ProbeCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT refresh = RegisterWindowMessageA(probe::kRefresh);
  static const UINT rowsWith = RegisterWindowMessageA(probe::kRowsWith);
  static const UINT count = RegisterWindowMessageA(probe::kCount);
  static const UINT menuItem = RegisterWindowMessageA(probe::kMenuItem);
  static const UINT highContrast = RegisterWindowMessageA(probe::kHighContrast);
  if (window == MainWindow && message == highContrast) {
    if (wParam)
      SetHighContrastHook([] { return true; });
    else
      SetHighContrastHook({});
    // As the system sends it to every top-level window.
    SendMessageA(MainWindow, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    return HighContrast() ? 1 : 0;
  }
  if (window == MainWindow && message == menuItem) return MenuItem(wParam, lParam);
  if (window == MainWindow && message == refresh) return Refresh(wParam);
  if (window == MainWindow && message == rowsWith)
    return RowsWith(wParam & 0xFF, static_cast<int>(wParam >> 8), lParam);
  if (window == MainWindow && message == count) {
    CompleteStartNow();  // the counts are those of the whole program
    if (wParam == probe::kHandles) return test::OwnHandleCount();
    if (wParam == probe::kGdiObjects) return test::OwnGdiObjectCount();
    if (wParam == probe::kUserObjects) return OwnWindowCount();
    return -1;
  }
  return CallWindowProcA(shippedCallback, window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  VELKOR_LINE(velkor::kMainModule);
  if (!velkor::StartProgram()) ExitProcess(0);
  if (!velkor::BuildWindows()) velkor::ShutdownProgram();
  velkor::StartCompanionSoon();
  velkor::CompleteStartWhenIdle();
  shippedCallback = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(velkor::MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProbeCallback)));
  velkor::RunEventLoop();
}
