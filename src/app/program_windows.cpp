#include "app/program_windows.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/anchoring.h"
#include "app/control_factory.h"
#include "app/effects_win.h"
#include "app/event_loop.h"
#include "app/filter_field.h"
#include "app/information.h"
#include "app/layout_scale.h"
#include "app/menus.h"
#include "app/preferences_commands.h"
#include "app/process_window.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "app/tooltips.h"
#include "app/window_procs.h"
#include "app/window_registry.h"
#include "gfx/contrast_win.h"
#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "lists/driver_list_win.h"
#include "lists/network_adapters_win.h"
#include "lists/service_list_win.h"
#include "lists/window_list_win.h"
#include "monitor/diagram_window_win.h"
#include "monitor/history_strip_win.h"
#include "monitor/monitor_view_win.h"
#include "monitor/process_summary_win.h"
#include "procs/process_commands_win.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "settings/preferences_window_win.h"
#include "settings/settings_file_win.h"
#include "shell/menu_draw.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {

std::vector<Rect> MonitorWorkAreas() {
  std::vector<Rect> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoA(monitor, &info)) {
          const RECT& r = info.rcWork;
          reinterpret_cast<std::vector<Rect>*>(data)->push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

// The main window's outer rectangle at start on a monitor of `dpi`: the
// stored client size (96-DPI units) scaled, with the frame at that DPI.
Rect MainWindowStartAt(const WindowGeometry& geometry, DWORD style, int dpi) {
  const RECT outer = win::OuterRectAtDpi({0, 0, ScaleToDpi(geometry.width, dpi), ScaleToDpi(geometry.height, dpi)},
                                         style, false, 0, dpi);
  const Rect start = MainWindowStartRect(
      geometry.x, geometry.y, EnforceMinimumSize({outer.right - outer.left, outer.bottom - outer.top}, dpi), -outer.top,
      {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, MonitorWorkAreas());
  // A size stored at a smaller scale may not fit the monitor the window
  // opens on, the one that holds most of it.
  const RECT placed{start.x, start.y, start.x + start.w, start.y + start.h};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromRect(&placed, MONITOR_DEFAULTTONEAREST), &monitor)) return start;
  const RECT& work = monitor.rcWork;
  return FitToWorkArea(start, {work.left, work.top, work.right - work.left, work.bottom - work.top},
                       EnforceMinimumSize({0, 0}, dpi));
}

}  // namespace

void DestroyWindows() {
  VELKOR_PLACE(kProceduresUnit);
  ForgetWhatIsLeft();
  CloseProcessWindow();
  RemoveWindowCallback();
  DestroyMenus();
  DestroyMonitorView();  // takes its pictures back from the controls first
  DestroyNetworkView();
  DestroyDiagramWindow();
  DestroyProcessSummary();
  SetProcessListHooks({});
  DestroyAllHistoryImages();
  DestroyTooltips();
  DestroyAllWindows();  // the controls go with their windows
  DestroyWindowIcons();
  DestroyProcessList();  // the processes it kept open, its arrows
  DestroyServiceList();
  DestroyWindowList();
  DestroyFilterField();
  DestroyTransparencyScale();
  DestroyStatusBar();
  SetPreferenceHooks({});
  DetachPreferencesWindow();
  ClearLoopEvents();
  DestroyLookCache();  // after everything that showed its fonts, brushes and pictures
}

void BuildOtherWindow(int number) {
  VELKOR_PLACE(kProceduresUnit);
  // The process-information window is made by its own code, each time it opens.
  if (number <= kMainWindow || number >= kProcessInfoWindow || !MainWindow || BuiltWindow(number)) return;
  const WindowSpec* found = nullptr;
  for (const WindowSpec& def : WindowTable())
    if (def.number == number) found = &def;
  if (!found) return;
  const WindowSpec& def = *found;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  DWORD style = def.caption ? (WS_CAPTION | WS_SYSMENU) : WS_POPUP;
  style |= WS_CLIPCHILDREN;
  DWORD exStyle = def.topmost ? (WS_EX_TOPMOST | WS_EX_TOOLWINDOW) : 0;
  // Opened over the main window, on its monitor: laid out at its DPI;
  // centred over it (all but 5).
  const int dpi = LayoutDpiOf(kMainWindow);
  SetLayoutDpi(number, dpi);
  const RECT r = win::OuterRectAtDpi({0, 0, ScaleToDpi(def.clientWidth, dpi), ScaleToDpi(def.clientHeight, dpi)}, style,
                                     false, exStyle, dpi);
  const int w = r.right - r.left, h = r.bottom - r.top;
  int wx = 0, wy = 0;
  if (def.owned) {
    RECT mainRect{};
    GetWindowRect(MainWindow, &mainRect);
    wx = mainRect.left + (mainRect.right - mainRect.left - w) / 2;
    wy = mainRect.top + (mainRect.bottom - mainRect.top - h) / 2;
  }
  AdoptWindow(number, win::UniqueWindow(CreateTopLevel(def, instance, wx, wy, w, h, style, exStyle)));
  HWND window = BuiltWindow(number);
  if (!window) return;
  const Size mainClient = ClientSize(MainWindow);
  for (const ControlSpec& control : ControlTable())
    if (control.window == number) CreateControl(control, mainClient, instance);
  // What the window shows from its creation on.
  SetOtherWindowPictures(number);
  if (const ControlSpec* disclaimer = FindControlSpec(kDisclaimerText); disclaimer && disclaimer->window == number)
    SetWindowTextA(BuiltControl(kDisclaimerText), std::string(DisclaimerText()).c_str());
  SetIconsAtDpi(number, false);
  if (number == kDiagramWindow) SetUpDiagramWindow(window, dpi);
  if (number == kPreferencesWindow) PreferencesWindowBuilt();
  GiveWindowCallback(window);
}

bool BuildWindows() {
  VELKOR_PLACE(kProceduresUnit);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterWindowClasses(instance)) return false;
  // 1. Fonts, brushes and pictures are made at their first use (gfx/look_cache_win.h),
  // in the system's colours while its high-contrast mode is on.
  FollowHighContrast();

  // 2.-3. Window 0 with its stored geometry: client size W x H, centred
  // unless both X and Y were stored.
  const WindowGeometry geometry = ReadWindowGeometry();
  const DWORD mainStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
  // The minimum size holds from the start, and a window whose title bar
  // would be out of reach (a damaged file, a monitor since unplugged) opens
  // centred instead. It is laid out at the DPI of the monitor it opens on,
  // known once it exists.
  int dpi = win::SystemDpi();
  SetLayoutDpi(kMainWindow, dpi);
  Rect start = MainWindowStartAt(geometry, mainStyle, dpi);
  const WindowSpec& mainSpec = WindowTable()[0];
  AdoptWindow(kMainWindow,
              win::UniqueWindow(CreateTopLevel(mainSpec, instance, start.x, start.y, start.w, start.h, mainStyle, 0)));
  if (!MainWindow) return false;
  if (const int monitorDpi = win::WindowDpi(MainWindow); monitorDpi != dpi) {
    dpi = monitorDpi;
    SetLayoutDpi(kMainWindow, dpi);
    start = MainWindowStartAt(geometry, mainStyle, dpi);
    SetWindowPos(MainWindow, nullptr, start.x, start.y, start.w, start.h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  NoteWindowSizeSetByProgram(MainWindow);
  const Size mainClientAtCreation = ClientSize(MainWindow);

  // The subsystems find their controls and owner through these; app does
  // what follows from their outcomes (memory tables, menus, refresh stamp).
  // The monitoring view draws into its controls once they are built.
  SetMonitorViewHooks({[](int id) { return BuiltControl(id); }, [] { return MainWindow; }});
  // The strips, the diagram and the summary panel hang off every refresh.
  SetProcessListHooks({{CreateHistoryImage, AdvanceHistoryImage, DestroyHistoryImage},
                       [] {
                         if (DiagramWindowVisible()) {
                           DrawProcessPie();
                           ShowPieInfo();
                         }
                         UpdateProcessSummary();
                       },
                       [] { return ControlHandle(kProcessList); },
                       ProcessesRefreshed});
  SetProcessCommandHooks({[] { return ControlHandle(kProcessList); }, [] { return MainWindow; },
                          [] { return PopupMenuHandle(2); }, [] { ShowPopupMenu(2); }, [] { SetListStamp(); }});

  // 4.-5. The controls of window 0, containers before their children.
  // Windows 1 to 5 follow at their first use (BuildOtherWindow).
  // Those of the deferred views follow at their first use (BuildViewControls).
  // The lists of the hidden views are filled in the idle time after the
  // first paint, or at once when needed before (FillListIfPending); the
  // window list then has the main window shown.
  LeaveForLater();
  for (const ControlSpec& def : ControlTable())
    if (def.window == kMainWindow && !LeftForLater(def)) CreateControl(def, mainClientAtCreation, instance);
  for (const ViewSpec& view : ViewTable())
    if (!view.builtLate && view.setUp) view.setUp(mainClientAtCreation);

  // The tab strip is as wide as its picture; the filler takes the rest.
  SetWindowPictures();
  SetIconsAtDpi(kMainWindow, false);

  // 6. The popup menus.
  BuildPopupMenus();

  // 7. The first fill of the lists.
  PrepareHistoryImages(ClientSize(MainWindow).w, dpi);
  SetUpProcessSummary(ControlHandle(kProcessSummary));
  RefreshProcessList();

  // 8. The settings: preferences, column flags and widths, topmost state.
  // velkor.ini keeps the widths in 96-DPI units.
  SetPreferenceHooks({[window = MainWindow] { return window; },
                      [](int column, int width) {
                        ListView_SetColumnWidth(ControlHandle(kProcessList), column,
                                                ColumnWidthAtDpi(width, LayoutDpiOf(kMainWindow)));
                      },
                      [](int column) {
                        return StoredColumnWidth(ListView_GetColumnWidth(ControlHandle(kProcessList), column),
                                                 LayoutDpiOf(kMainWindow));
                      },
                      [](bool topmost) {
                        SetWindowPos(MainWindow, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                      },
                      FillPreferenceControls});
  WirePreferencesWindow();
  LoadPreferences(true);
  // The first fill made strips by the default; stored settings may not want them.
  if (!Preferences.PreferencesCPUPerProcess) SetHistoryImagesEnabled(false);
  // 9. The menu bar.
  BuildMenuBar();

  SetUpFilterField();
  // 10. View 0 without a refresh.
  ShowView(0, false);
  // 11. Trim the working sets of the listed processes once.
  if (Preferences.PreferencesOptimize) OptimizeAllProcesses();
  // 12.-13. Header-click sorting, then the column visibility.
  SetUpProcessListSorting();
  ApplyColumnVisibility();
  // 14.-15. The callback, then the window appears. It has its minimum size
  // from its creation on, so it needs no minimise and restore to take it.
  InstallWindowCallback();
  ShowWindow(MainWindow, SW_SHOW);
  UpdateWindow(MainWindow);
  QuickTransparencyStep = QuickTransparencyPass;
  // 17. The first idle pass refreshes everything.
  ResetStampsForFirstPass();
  return true;
}

}  // namespace velkor
