#include "app/process_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>

#include "app/control_factory.h"
#include "app/control_ids.h"
#include "app/layout.h"
#include "app/program_windows.h"
#include "app/window_registry.h"
#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "procs/process_commands_win.h"
#include "procs/process_details_win.h"
#include "procs/process_list.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "settings/settings_file_win.h"
#include "win/list_view.h"
#include "win/system_functions.h"
#include "win/source_location.h"

namespace velkor {

namespace {

constexpr std::array<const char*, kDetailPageCount> kPageCaptions = {"Allgemein", "Leistung", "Threads", "Module",
                                                                     "Umgebung",  "Netzwerk", "Fenster", "Dienste"};
constexpr DWORD kWindowStyle =
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
// The smallest client size, in 96-DPI units.
constexpr Size kSmallest{420, 300};

// What the open window shows; none while it is closed.
struct OpenWindow {
  InspectedProcess process;
  int page = kGeneralPage;
  bool endShown = false;
  win::UniqueBitmap graph;  // the picture the load graph shows
  // What each page's list shows, kept beside it: a merge compares with this
  // instead of asking the list for every cell.
  std::array<std::vector<std::vector<std::string>>, kDetailPageCount> cells;
};
std::unique_ptr<OpenWindow> shown;

HWND Window() { return BuiltWindow(kProcessInfoWindow); }
// The window refreshes with the list; a snapshot the list took within one
// of its intervals is as fresh as one of the window's own.
uint32_t ListInterval() { return static_cast<uint32_t>(std::max(Preferences.PreferencesRefresh1Spin, 1)); }
HWND PageList(int page) { return BuiltControl(kProcessInfoLists[static_cast<size_t>(page)]); }

// A page's list view as the merge sees it: its texts are read from the copy
// kept beside it, every change goes to both.
class ListRows final : public DetailRowStore {
 public:
  ListRows(HWND list, std::vector<std::vector<std::string>>& cells) : list_(list), cells_(cells) {}
  [[nodiscard]] int RowCount() const override { return static_cast<int>(cells_.size()); }
  [[nodiscard]] std::string CellText(int row, int column) const override {
    const auto& cells = cells_[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : std::string();
  }
  void SetCellText(int row, int column, const std::string& text) override {
    auto& cells = cells_[static_cast<size_t>(row)];
    if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = text;
    std::string copy = text;
    ListView_SetItemText(list_, row, column, copy.data());
  }
  void InsertRow(int row) override {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>("");
    ListView_InsertItem(list_, &item);
    cells_.insert(cells_.begin() + row, std::vector<std::string>{});
  }
  void DeleteRow(int row) override {
    ListView_DeleteItem(list_, row);
    cells_.erase(cells_.begin() + row);
  }

 private:
  HWND list_;
  std::vector<std::vector<std::string>>& cells_;
};

int ColumnCount(HWND list) {
  HWND header = ListView_GetHeader(list);
  return header ? Header_GetItemCount(header) : 0;
}

void ShowRows(int page, DetailPage rows) {
  HWND list = PageList(page);
  if (!list) return;
  if (rows.denied) rows = DetailPage{{{{std::string(kAccessDeniedText)}}}, 1, true};
  ListRows store(list, shown->cells[static_cast<size_t>(page)]);
  MergeDetailRows(store, rows, ColumnCount(list));
}

void DrawGraph() {
  HWND graph = BuiltControl(kProcessInfoGraph);
  if (!shown || !graph) return;
  RECT client{};
  GetClientRect(graph, &client);
  const Canvas canvas =
      DrawLoadHistory(shown->process.loadHistory, client.right, client.bottom, LayoutDpiOf(kProcessInfoWindow));
  if (canvas.width > 0 && canvas.height > 0) ShowCanvasInPicture(graph, canvas, shown->graph);
}

void SetCaption() {
  if (shown && Window())
    SetWindowTextA(Window(),
                   ProcessWindowCaption(shown->process.name, shown->process.pid, shown->process.ended).c_str());
}

// The process ended: the pages keep their figures, "Allgemein" gains the
// exit code and its state says so.
void ShowEnd() {
  if (!shown || shown->endShown) return;
  shown->endShown = true;
  SetCaption();
  HWND list = PageList(kGeneralPage);
  DetailPage general;
  for (int row = 0; row < ListView_GetItemCount(list); ++row)
    general.rows.push_back({{win::ListViewCellText(list, row, 0), win::ListViewCellText(list, row, 1)}});
  for (DetailRow& row : general.rows)
    if (row.cells[0] == "Status") row.cells[1] = "Beendet";
  // Without a handle the end was seen in the snapshot only.
  general.rows.push_back({{"Exitcode", shown->process.limited ? std::to_string(shown->process.exitCode)
                                                              : std::string(kAccessDeniedText)}});
  ShowRows(kGeneralPage, general);
  EnableWindow(BuiltControl(kProcessInfoEndButton), FALSE);
}

void RefreshNow() {
  VELKOR_PLACE(kProceduresUnit);
  if (!shown) return;
  RefreshInspectedProcess(shown->process, ListInterval());
  if (shown->process.ended) {
    ShowEnd();
    return;
  }
  // The load is sampled at every refresh, for the graph since the opening.
  DetailPage performance = ReadDetailPage(shown->process, kPerformancePage);
  if (shown->page == kPerformancePage) {
    ShowRows(kPerformancePage, std::move(performance));
    DrawGraph();
  } else {
    ShowRows(shown->page, ReadDetailPage(shown->process, shown->page));
  }
}

void ShowPage(int page) {
  if (!shown || page < 0 || page >= kDetailPageCount) return;
  shown->page = page;
  TabCtrl_SetCurSel(BuiltControl(kProcessInfoTabs), page);
  for (int other = 0; other < kDetailPageCount; ++other)
    if (other != page) ShowWindow(PageList(other), SW_HIDE);
  const int general = page == kGeneralPage ? SW_SHOW : SW_HIDE;
  ShowWindow(BuiltControl(kProcessInfoFolderButton), general);
  ShowWindow(BuiltControl(kProcessInfoEndButton), general);
  ShowWindow(BuiltControl(kProcessInfoGraph), page == kPerformancePage ? SW_SHOW : SW_HIDE);
  if (!shown->process.ended) {
    ShowRows(page, ReadDetailPage(shown->process, page));
    if (page == kPerformancePage) DrawGraph();
  }
  ShowWindow(PageList(page), SW_SHOW);
}

// Beside the main window on its monitor, at the main window's DPI.
HWND CreateProcessWindow() {
  VELKOR_PLACE(kProceduresUnit);
  const WindowSpec* def = nullptr;
  for (const WindowSpec& w : WindowTable())
    if (w.number == kProcessInfoWindow) def = &w;
  if (!def || !MainWindow) return nullptr;
  int dpi = LayoutDpiOf(kMainWindow);
  SetLayoutDpi(kProcessInfoWindow, dpi);
  const SIZE stored = ProcessWindowSize();
  const Size client{std::max<int>(stored.cx, kSmallest.w), std::max<int>(stored.cy, kSmallest.h)};
  const RECT outer =
      win::OuterRectAtDpi({0, 0, ScaleToDpi(client.w, dpi), ScaleToDpi(client.h, dpi)}, kWindowStyle, false, 0, dpi);
  RECT main{};
  GetWindowRect(MainWindow, &main);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(MainWindow, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  const Rect place = BesideWindow({main.left, main.top, main.right - main.left, main.bottom - main.top},
                                  {outer.right - outer.left, outer.bottom - outer.top},
                                  {work.left, work.top, work.right - work.left, work.bottom - work.top});
  AdoptWindow(kProcessInfoWindow, win::UniqueWindow(CreateTopLevel(*def, GetModuleHandleA(nullptr), place.x, place.y,
                                                                   place.w, place.h, kWindowStyle, 0)));
  HWND window = Window();
  if (!window) return nullptr;
  // Placed on a monitor of another scale: laid out at that one's.
  if (const int placedDpi = win::WindowDpi(window); placedDpi != dpi && placedDpi > 0) {
    dpi = placedDpi;
    SetLayoutDpi(kProcessInfoWindow, dpi);
    const RECT again =
        win::OuterRectAtDpi({0, 0, ScaleToDpi(client.w, dpi), ScaleToDpi(client.h, dpi)}, kWindowStyle, false, 0, dpi);
    SetWindowPos(window, nullptr, 0, 0, again.right - again.left, again.bottom - again.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const Size made = ClientSize(window);
  for (const ControlSpec& control : ControlTable())
    if (control.window == kProcessInfoWindow) CreateControl(control, made, GetModuleHandleA(nullptr));
  HWND tabs = BuiltControl(kProcessInfoTabs);
  for (int page = 0; page < kDetailPageCount; ++page) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(kPageCaptions[static_cast<size_t>(page)]);
    TabCtrl_InsertItem(tabs, page, &item);
  }
  // The lists lie over the tab strip's page area and are drawn above it.
  for (int id : kProcessInfoLists) SetWindowPos(BuiltControl(id), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  GiveWindowCallback(window);
  return window;
}

// Kept in 96-DPI units, as the main window's size; the next save writes it.
void RememberSize(HWND window) {
  if (IsIconic(window) || IsZoomed(window)) return;
  const Size client = ClientSize(window);
  const int dpi = LayoutDpiOf(kProcessInfoWindow);
  SetProcessWindowSize({ScaleFromDpi(client.w, dpi), ScaleFromDpi(client.h, dpi)});
}

void ApplyProcessWindowAnchoring() {
  HWND window = Window();
  if (!window) return;
  const Size now = ClientSize(window);
  for (const ControlSpec& def : ControlTable()) {
    if (def.window != kProcessInfoWindow) continue;
    const ControlEntry* entry = FindControlEntry(def.id);
    if (!entry || !entry->handle) continue;
    const Rect r = AnchoredRect(entry->created, def.anchors, entry->parentCreated, now);
    SetWindowPos(entry->handle, nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (shown && shown->page == kPerformancePage) DrawGraph();
}

SelectedProcess ShownRow() {
  SelectedProcess row;
  row.pid = shown->process.pid;
  row.name = shown->process.name;
  row.path = InspectedImagePath(shown->process);
  return row;
}

void OnButton(int id) {
  if (!shown) return;
  const SelectedProcess row = ShownRow();
  if (id == kProcessInfoFolderButton) OpenProcessFolders({row}, Window());
  if (id == kProcessInfoEndButton && !shown->process.ended) {
    KillProcesses({row}, Window());
    RefreshNow();
  }
  SetFocus(PageList(shown ? shown->page : 0));
}

bool EscapeNotification(const NMHDR* header) {
  if (header->code == static_cast<UINT>(LVN_KEYDOWN))
    return reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_ESCAPE;
  if (header->code == static_cast<UINT>(TCN_KEYDOWN))
    return reinterpret_cast<const NMTCKEYDOWN*>(header)->wVKey == VK_ESCAPE;
  return false;
}

}  // namespace

std::optional<LRESULT> ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window || window != Window()) return std::nullopt;
  switch (message) {
    case WM_CLOSE: CloseProcessWindow(); return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && lParam) OnButton(LOWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == static_cast<UINT_PTR>(kProcessInfoTabs) && header->code == static_cast<UINT>(TCN_SELCHANGE))
        ShowPage(TabCtrl_GetCurSel(header->hwndFrom));
      // Closed once the key's own handling is over.
      if (EscapeNotification(header)) PostMessageA(window, WM_CLOSE, 0, 0);
      return std::nullopt;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) ApplyProcessWindowAnchoring();
      if (shown) RememberSize(window);
      return std::nullopt;
    case WM_GETMINMAXINFO: {
      const int dpi = LayoutDpiOf(kProcessInfoWindow);
      const RECT outer = win::OuterRectAtDpi({0, 0, ScaleToDpi(kSmallest.w, dpi), ScaleToDpi(kSmallest.h, dpi)},
                                             kWindowStyle, false, 0, dpi);
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {outer.right - outer.left, outer.bottom - outer.top};
      return 0;
    }
    case WM_DPICHANGED: {
      const int old = LayoutDpiOf(kProcessInfoWindow), dpi = LOWORD(wParam);
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetLayoutDpi(kProcessInfoWindow, dpi);
      SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      RelayOutControlsAtDpi(kProcessInfoWindow, ClientSize(window), old, dpi);
      if (shown && shown->page == kPerformancePage) DrawGraph();
      return 0;
    }
    default: return std::nullopt;
  }
}

void ShowProcessInformation() {
  VELKOR_PLACE(kProceduresUnit);
  HWND list = ProcessListHandle();
  if (!list) return;
  int row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
  if (row < 0 || !(ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED))
    row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  if (row < 0) return;
  const ProcessRowFacts* facts = ProcessFactsAt(row);
  if (facts && facts->pid != 0) ShowProcessInformationFor(facts->pid, facts->name);
}

void ShowProcessInformationFor(uint32_t pid, const std::string& name) {
  VELKOR_PLACE(kProceduresUnit);
  if (shown && shown->process.pid == pid && !shown->process.ended && Window()) {
    if (IsIconic(Window())) ShowWindow(Window(), SW_RESTORE);
    SetForegroundWindow(Window());
    return;
  }
  const bool opening = !Window();
  if (opening && !CreateProcessWindow()) return;
  const int page = shown ? shown->page : kGeneralPage;
  shown = std::make_unique<OpenWindow>();
  OpenInspectedProcess(shown->process, pid, name);
  // Another process: its rows replace the last one's.
  for (int id : kProcessInfoLists) ListView_DeleteAllItems(BuiltControl(id));
  EnableWindow(BuiltControl(kProcessInfoEndButton), TRUE);
  SetCaption();
  RefreshInspectedProcess(shown->process, ListInterval());
  ReadDetailPage(shown->process, kPerformancePage);  // the first sample of the load
  ShowPage(page);
  if (shown->process.ended) ShowEnd();
  ShowWindow(Window(), opening ? SW_SHOWNORMAL : SW_SHOW);
  SetForegroundWindow(Window());
}

void RefreshProcessWindow() {
  HWND window = Window();
  if (!shown || !window || !IsWindowVisible(window) || IsIconic(window)) return;
  RefreshNow();
}

void CloseProcessWindow() {
  VELKOR_PLACE(kProceduresUnit);
  if (HWND window = Window(); window && shown) {
    RememberSize(window);
    ReleaseStaticPicture(BuiltControl(kProcessInfoGraph), shown->graph);
  }
  ForgetWindow(kProcessInfoWindow);
  shown.reset();
}

std::optional<uint32_t> ProcessWindowPid() {
  if (!shown || !Window()) return std::nullopt;
  return shown->process.pid;
}

void SelectProcessWindowPage(int page) { ShowPage(page); }

}  // namespace velkor
