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
#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "lists/driver_list_win.h"
#include "lists/network_adapters_win.h"
#include "lists/service_list_win.h"
#include "lists/window_list_win.h"
#include "monitor/diagram_window_win.h"
#include "monitor/history_strip.h"
#include "monitor/monitor_view.h"
#include "monitor/monitor_view_win.h"
#include "monitor/process_summary_win.h"
#include "procs/process_commands_win.h"
#include "procs/process_list.h"
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

// The icons given to the windows, by window and kind (ICON_SMALL/ICON_BIG):
// a new one replaces, and frees, the one it follows.
std::map<std::pair<int, WPARAM>, win::UniqueIcon> windowIcons;

// What the start leaves for the idle time after the first paint
// (CompleteStartWhenIdle): the lists of the hidden views, then windows 1 to 5.
UINT_PTR completionTimer = 0;
std::vector<int> pendingLists;

void StopCompletingStart() {
  if (completionTimer) KillTimer(nullptr, completionTimer);
  completionTimer = 0;
}

// Views whose controls wait for their first use, the two with the most
// controls; their panels exist from the start, empty. The lists of the
// other views are there from the start, for whoever looks for them.
constexpr std::array<int, 2> kDeferredViews = {4, 5};
std::array<bool, kViewPanels.size()> viewPending{};
uint64_t lastWorkingSetSum = 0;  // of the last process list refresh, for the memory tables

// The container of view panel or window that `def` lies in at the top.
int TopContainerOf(const ControlSpec& def) {
  const ControlSpec* top = &def;
  while (top->parent)
    if (const ControlSpec* up = FindControlSpec(top->parent))
      top = up;
    else
      break;
  return top->id;
}

// The deferred view whose controls `def` is among, or -1.
int PendingViewOf(const ControlSpec& def) {
  if (def.window != kMainWindow) return -1;
  const int top = TopContainerOf(def);
  for (int view : kDeferredViews)
    if (viewPending[static_cast<size_t>(view)] && kViewPanels[static_cast<size_t>(view)] == top && top != def.id)
      return view;
  return -1;
}

void FillList(int id);

// One step of what the start left for later; false when nothing is left.
bool CompleteStartStep() {
  VELKOR_PLACE(kProceduresUnit);
  if (!MainWindow) return false;
  if (!pendingLists.empty()) {
    const int id = pendingLists.front();
    pendingLists.erase(pendingLists.begin());
    FillList(id);
    return true;
  }
  for (int view : kDeferredViews) {
    if (!viewPending[static_cast<size_t>(view)]) continue;
    BuildViewControls(view);
    return true;
  }
  for (int number : {kPreferencesWindow, kDiagramWindow, kRunWindow, kInformationWindow, kScaleWindow}) {
    if (BuiltWindow(number)) continue;
    BuildOtherWindow(number);
    return true;
  }
  return false;
}

void FillList(int id) {
  VELKOR_PLACE(kProceduresUnit);
  switch (id) {
    case kWindowList:
      ControlHandle(kWindowList);  // the view's controls built first
      RefreshWindowList();
      break;
    case kServiceList: RefreshServiceList(ControlHandle(kServiceList)); break;
    case kDriverList: RefreshDriverList(ControlHandle(kDriverList)); break;
    case kNetworkList:
      ControlHandle(kNetworkList);  // the view's controls built first
      RefreshNetworkList();
      break;
    default: break;
  }
}

// A picture for a static control. A static control of the version 6 common
// controls shows a private copy of a bitmap with any alpha, and hands that
// copy to whoever sets the next picture: a leak at every tab change. An opaque
// picture loses nothing without its alpha bytes and is shown as it is.
// Each picture is drawn for the DPI of the window it is shown in.
HBITMAP Picture(const char* name, int dpi) {
  const int scale = ImageScaleForDpi(dpi);
  const std::string key = scale == 100 ? std::string(name) : ScaledImageName(name, scale);
  return CachedBitmap(key, [name, dpi]() -> std::optional<Canvas> {
    const Canvas* picture = CachedPictureForDpi(name, dpi);
    std::optional<Canvas> canvas;
    if (picture) canvas = *picture;
    if (canvas && std::all_of(canvas->pixels.begin(), canvas->pixels.end(), [](Pixel p) { return (p >> 24) == 0xFF; }))
      for (Pixel& p : canvas->pixels) p &= 0x00FFFFFFu;
    return canvas;
  });
}

// A picture with transparent parts drawn over the panel colour: opaque, so
// the static control shows it as it is and keeps no private copy.
HBITMAP PictureOnPanel(const char* name, int dpi) {
  return CachedBitmap(ScaledImageName(name, ImageScaleForDpi(dpi)) + "@panel", [name, dpi]() -> std::optional<Canvas> {
    const Canvas* picture = CachedPictureForDpi(name, dpi);
    if (!picture) return std::nullopt;
    Canvas flat(picture->width, picture->height, MakePixel(kPanelColour.r, kPanelColour.g, kPanelColour.b));
    DrawOver(flat, *picture, 0, 0);
    for (Pixel& p : flat.pixels) p &= 0x00FFFFFFu;
    return flat;
  });
}

Size PictureSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {};
  return {info.bmWidth, std::abs(info.bmHeight)};
}

void SetPicture(int id, HBITMAP bitmap) {
  if (HWND control = BuiltControl(id))
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void GiveWindowIcon(int number, WPARAM kind, win::UniqueIcon icon) {
  HWND window = BuiltWindow(number);
  if (!window || !icon) return;
  SendMessageA(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon.get()));
  windowIcons[{number, kind}] = std::move(icon);
}

void SetWindowIcons(int number, const char* small, const char* big) {
  for (auto [name, kind] : {std::pair{small, ICON_SMALL}, std::pair{big, ICON_BIG}}) {
    if (const Canvas* canvas = CachedPictureForDpi(name, LayoutDpiOf(number)))
      GiveWindowIcon(number, static_cast<WPARAM>(kind), CanvasToIcon(*canvas));
  }
}

// Each window's own icons at its DPI. The main window's small icon is its
// class's (16 x 16) unless `always` or its DPI asks for another size.
void SetIconsAtDpi(int number, bool always) {
  if (number == kMainWindow) {
    const int size = win::SystemMetricAtDpi(SM_CXSMICON, LayoutDpiOf(kMainWindow));
    if (size <= 0 || (!always && size == 16)) return;
    GiveWindowIcon(kMainWindow, ICON_SMALL,
                   win::UniqueIcon(static_cast<HICON>(
                       LoadImageA(GetModuleHandleA(nullptr), "APPICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR))));
  } else if (number == kDiagramWindow) {
    SetWindowIcons(kDiagramWindow, images::kWindowDiagram16, images::kWindowDiagram32);
  } else if (number == kPreferencesWindow) {
    SetWindowIcons(kPreferencesWindow, images::kWindowPreferences16, images::kWindowPreferences32);
  }
}

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

// The controls of the "Netzwerk" view, for the view's own code.
NetworkControls NetworkViewControls() {
  NetworkControls controls;
  controls.list = ControlHandle(kNetworkList);
  controls.graph = ControlHandle(kNetworkGraph);
  controls.load = ControlHandle(kNetworkLoad);
  controls.heading = ControlHandle(kAdapterHeading);
  controls.picture = ControlHandle(kAdapterPicture);
  for (int k = 0; k < kAdapterDetailCount; ++k)
    controls.values[static_cast<size_t>(k)] = ControlHandle(kFirstAdapterValue + 2 * k);
  return controls;
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

int DpiOfControl(int id) {
  const ControlSpec* def = FindControlSpec(id);
  return LayoutDpiOf(def ? def->window : kMainWindow);
}

}  // namespace

namespace {

// The pictures window `number` (1 to 5) shows from its creation on, if built.
void SetOtherWindowPictures(int number) {
  const auto shown = [number](int id) {
    const ControlSpec* def = FindControlSpec(id);
    return def && def->window == number && BuiltControl(id);
  };
  for (int banner : kBanners)
    if (shown(banner)) SetPicture(banner, Picture(images::kBanner, DpiOfControl(banner)));
  if (shown(kPreferencesSidebar))
    SetPicture(kPreferencesSidebar, Picture(images::kPrefsSidebar, DpiOfControl(kPreferencesSidebar)));
  if (shown(kAboutLogoPicture))
    SetPicture(kAboutLogoPicture, PictureOnPanel(images::kAboutLogo, DpiOfControl(kAboutLogoPicture)));
  if (shown(kPreferencesTabs))
    SetPicture(kPreferencesTabs, Picture(PreferencesPage() == 0 ? images::kPrefsTabsGeneral : images::kPrefsTabsColumns,
                                         DpiOfControl(kPreferencesTabs)));
}

}  // namespace

// The pictures the windows show from their creation on, at each window's DPI.
// The tab strip is as wide as its picture; the filler takes the rest.
void SetWindowPictures() {
  const int dpi = LayoutDpiOf(kMainWindow);
  SetTabPicture(CurrentView >= 0 && CurrentView <= 5 ? CurrentView : 0);
  SetTabStripWidth(std::max(PictureSize(Picture(images::kTabsProcesses, dpi)).w, 1));
  SetPicture(kTabFiller, Picture(images::kTabsFiller, dpi));
  SetPicture(kStatusBar, Picture(images::kStatusbar, dpi));
  for (int number = kMainWindow + 1; number < kWindowCount; ++number) SetOtherWindowPictures(number);
}

void ChangeWindowDpi(int number, int dpi, const RECT& suggested) {
  VELKOR_PLACE(kProceduresUnit);
  HWND window = WindowHandle(number);
  if (!window) return;
  const int old = LayoutDpiOf(number);
  SetLayoutDpi(number, dpi);
  const bool programSize = number == kMainWindow && WindowHasSizeSetByProgram(window);
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (programSize) NoteWindowSizeSetByProgram(window);
  if (dpi == old) return;
  RelayOutControlsAtDpi(number, ClientSize(MainWindow), old, dpi);
  SetWindowPictures();
  SetIconsAtDpi(number, true);
  if (number == kDiagramWindow) DiagramWindowDpiChanged(dpi);
  if (number == kMainWindow) {
    ApplyAnchoring();
    // Owner-drawn menu items keep the size measured at the old DPI until told.
    if (HMENU bar = MenuBarHandle()) RemeasureMenu(bar);
    for (int menu = 1; menu <= 5; ++menu) {
      if (HMENU popup = PopupMenuHandle(menu)) RemeasureMenu(popup);
    }
    QueueLoopEvent({kEventSize, 0, 0, kMainWindow});  // the graphs and strips follow the width
    UpdateStatusBar(kStatusFigures);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SetControlPicture(int id, const char* name) {
  ControlHandle(id);  // its window built first
  SetPicture(id, Picture(name, DpiOfControl(id)));
}

void SetTabPicture(int view) {
  static constexpr const char* kTabs[] = {images::kTabsProcesses, images::kTabsWindows, images::kTabsServices,
                                          images::kTabsDrivers,   images::kTabsNetwork, images::kTabsMonitoring};
  if (view < 0 || view > 5) return;
  SetPicture(kTabStrip, Picture(kTabs[view], LayoutDpiOf(kMainWindow)));
}

void DestroyWindows() {
  VELKOR_PLACE(kProceduresUnit);
  StopCompletingStart();
  CloseProcessWindow();
  pendingLists.clear();
  viewPending.fill(false);
  RemoveWindowCallback();
  DestroyMenus();
  DestroyMonitorView();  // takes its pictures back from the controls first
  DestroyNetworkView();
  DestroyDiagramWindow();
  DestroyProcessSummary();
  ProcessListCallbacks = ProcessListHooks{};
  FreeAllHistoryImages();
  DestroyTooltips();
  DestroyAllWindows();  // the controls go with their windows
  windowIcons.clear();
  DestroyProcessList();  // the processes it kept open, its arrows
  DestroyServiceList();
  DetachWindowList();
  FreeTransparencyScale();
  FreeStatusBar();
  SettingsHooks = PreferenceHooks{};
  DetachPreferencesWindow();
  ClearLoopEvents();
  FreeLookCache();  // after everything that showed its fonts, brushes and pictures
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

void ForgetPendingList(int id) { std::erase(pendingLists, id); }

void FillListIfPending(int id) {
  if (std::find(pendingLists.begin(), pendingLists.end(), id) == pendingLists.end()) return;
  ForgetPendingList(id);
  FillList(id);
}

void BuildViewControls(int view) {
  VELKOR_PLACE(kProceduresUnit);
  if (view < 0 || view >= static_cast<int>(viewPending.size()) || !viewPending[static_cast<size_t>(view)] ||
      !MainWindow)
    return;
  viewPending[static_cast<size_t>(view)] = false;
  // Placed for the main window's present size, as its panel is.
  const Size mainClient = ClientSize(MainWindow);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const int panel = kViewPanels[static_cast<size_t>(view)];
  for (const ControlSpec& def : ControlTable())
    if (def.window == kMainWindow && def.id != panel && TopContainerOf(def) == panel)
      CreateControl(def, mainClient, instance);
  SetUpViewControls(view, mainClient);
  ApplyAnchoring();  // pictures that sized their controls go back to their places
}

void SetUpViewControls(int view, Size mainClient) {
  if (view == 1)
    AttachWindowList({ControlHandle(kWindowList), ControlHandle(kShowHiddenWindows),
                      ControlHandle(kShowSizelessWindows), ControlHandle(kShowOffscreenWindows)});
  if (view == 2) SortServiceList(ControlHandle(kServiceList), 0);
  if (view == 3) SortDriverList(ControlHandle(kDriverList), 0);
  if (view == 4) AttachNetworkView(NetworkViewControls(), mainClient.w - ScaleToDpi(30, LayoutDpiOf(kMainWindow)));
  if (view == 5) UpdateMemoryTables(lastWorkingSetSum);
}

void BuildViewOfPanel(HWND panel) {
  for (int view : kDeferredViews)
    if (viewPending[static_cast<size_t>(view)] && BuiltControl(kViewPanels[static_cast<size_t>(view)]) == panel)
      BuildViewControls(view);
}

void BuildMissingControl(int id) {
  const ControlSpec* def = FindControlSpec(id);
  if (!def) return;
  if (def->window != kMainWindow) {
    WindowHandle(def->window);
  } else if (const int view = PendingViewOf(*def); view >= 0) {
    BuildViewControls(view);
  }
}

void CompleteStartWhenIdle() {
  StopCompletingStart();
  // A thread timer ticks only when nothing else waits in the queue: one
  // list or window a tick, so input and messages from other programs come
  // first.
  completionTimer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR, DWORD) {
    if (!CompleteStartStep()) StopCompletingStart();
  });
}

void CompleteStartNow() {
  while (CompleteStartStep()) {
  }
  StopCompletingStart();
}

bool BuildWindows() {
  VELKOR_PLACE(kProceduresUnit);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterWindowClasses(instance)) return false;
  // 1. Fonts, brushes and pictures are made at their first use (gfx/look_cache_win.h).

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
  MonitorViewCallbacks.control = [](int id) { return BuiltControl(id); };
  MonitorViewCallbacks.mainWindow = [] { return MainWindow; };
  ProcessListCallbacks.list = [] { return ControlHandle(kProcessList); };
  ProcessListCallbacks.refreshed = [](uint64_t workingSetSum) {
    lastWorkingSetSum = workingSetSum;
    UpdateMemoryTables(workingSetSum);
  };
  ProcessCommandCallbacks.list = [] { return ControlHandle(kProcessList); };
  ProcessCommandCallbacks.owner = [] { return MainWindow; };
  ProcessCommandCallbacks.processMenu = [] { return PopupMenuHandle(2); };
  ProcessCommandCallbacks.showProcessMenu = [] { ShowPopupMenu(2); };
  ProcessCommandCallbacks.listRefreshed = [] { SetListStamp(); };

  // 4.-5. The controls of window 0, containers before their children.
  // Windows 1 to 5 follow at their first use (BuildOtherWindow).
  // Those of the deferred views follow at their first use (BuildViewControls).
  for (int view : kDeferredViews) viewPending[static_cast<size_t>(view)] = true;
  for (const ControlSpec& def : ControlTable())
    if (def.window == kMainWindow && PendingViewOf(def) < 0) CreateControl(def, mainClientAtCreation, instance);
  for (int view = 1; view < static_cast<int>(kViewPanels.size()); ++view)
    if (!viewPending[static_cast<size_t>(view)]) SetUpViewControls(view, mainClientAtCreation);

  // The tab strip is as wide as its picture; the filler takes the rest.
  SetWindowPictures();
  SetIconsAtDpi(kMainWindow, false);

  // 6. The popup menus.
  BuildPopupMenus();

  // 7. The first fill of the lists. The strips, the diagram and the summary
  // panel hang off every refresh of the process list.
  PrepareHistoryImages(ClientSize(MainWindow).w, dpi);
  SetUpProcessSummary(ControlHandle(kProcessSummary));
  ProcessListCallbacks.history = {CreateHistoryImage, AdvanceHistoryImage, FreeHistoryImage};
  ProcessListCallbacks.listChanged = [] {
    if (DiagramWindowVisible()) {
      DrawProcessPie();
      ShowPieInfo();
    }
    UpdateProcessSummary();
  };
  RefreshProcessList();
  // The lists of the hidden views are filled in the idle time after the
  // first paint, or at once when needed before (FillListIfPending); the
  // window list then has the main window shown.
  pendingLists = {kWindowList, kServiceList, kDriverList, kNetworkList};

  // 8. The settings: preferences, column flags and widths, topmost state.
  SettingsHooks.mainWindow = MainWindow;
  // velkor.ini keeps the widths in 96-DPI units.
  SettingsHooks.setColumnWidth = [](int column, int width) {
    ListView_SetColumnWidth(ControlHandle(kProcessList), column, ColumnWidthAtDpi(width, LayoutDpiOf(kMainWindow)));
  };
  SettingsHooks.columnWidth = [](int column) {
    return StoredColumnWidth(ListView_GetColumnWidth(ControlHandle(kProcessList), column), LayoutDpiOf(kMainWindow));
  };
  SettingsHooks.setTopmost = [](bool topmost) {
    SetWindowPos(MainWindow, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  WirePreferencesWindow();
  LoadPreferences(true);
  // The first fill made strips by the default; stored settings may not want them.
  if (!Preferences.PreferencesCPUPerProcess) SetHistoryImagesEnabled(false);
  // 9. The menu bar.
  BuildMenuBar();

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
