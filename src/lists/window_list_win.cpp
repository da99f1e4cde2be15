#include "lists/window_list_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/image_names.h"
#include "procs/list_icons_win.h"
#include "procs/process_library.h"
#include "procs/process_list_win.h"
#include "win/foreign_window.h"
#include "win/list_view.h"
#include "win/message_box.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {

// How long a changed topmost state may take to show when another program's
// thread carries it out.
constexpr DWORD kTopmostSettleMilliseconds = 250;

struct KnownOwner {
  win::UniqueKernelHandle process;  // none: could not be opened, asked again each refresh
  std::string path;
  uint64_t seenIn = 0;  // the refresh that last listed one of its windows
};

struct WindowListState {
  WindowListControls controls;
  HIMAGELIST images = nullptr;  // owned by the list view (win::ReplaceListImages)
  int sortColumn = 0;
  bool ascending = true;
  // Icons we extracted ourselves, kept while the program runs: the first
  // small icon of each executable (null when it has none) and the shell's.
  std::unordered_map<std::string, win::UniqueIcon> executableIcons;
  win::UniqueIcon shellIcon;
  bool shellIconLoaded = false;
  int iconSize = 0;  // the size they were taken at: the list's small-icon size
  int dpi = 0;       // the list's
  SortArrows arrows;
  std::vector<win::ListRow> shown;  // what the list's rows show, in its order
  // The owners of the last refresh's windows, kept open while they own one:
  // a PID cannot be reused while we hold its process, so the path read when
  // the owner first showed stays its own.
  std::unordered_map<uint32_t, KnownOwner> owners;
  uint64_t refreshCount = 0;
  // Only during a refresh.
  WindowFilter filter;
  std::vector<win::ListRow> rows;
  std::unordered_map<HICON, int> imageByIcon;
  SilentThreads silentThreads;
};
WindowListState state;

bool Checked(HWND box) { return box && SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// A usable icon: the window messages answer 1 for some windows.
bool Usable(HICON icon) { return reinterpret_cast<uintptr_t>(icon) > 1; }

HICON AskWindowIcon(HWND window, uint32_t thread) {
  // One question to the window (one that does not answer is not asked
  // again, nor any other window of its thread in this refresh); without an
  // icon of its own, its class's, which the system keeps and gives without
  // asking the window's program. Rows larger than the system's small icons
  // take the large one, made smaller to fit rather than a small one made
  // larger.
  if (!state.silentThreads.Ask(thread)) return nullptr;
  const bool large = state.iconSize > GetSystemMetrics(SM_CXSMICON);
  const std::optional<LRESULT> answer = win::SendMessageBounded(window, WM_GETICON, large ? ICON_BIG : ICON_SMALL, 0);
  if (!answer) {
    state.silentThreads.NoteSilent(thread);
    return nullptr;
  }
  if (HICON icon = reinterpret_cast<HICON>(*answer); Usable(icon)) return icon;
  if (large) {
    if (HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICON)); Usable(icon)) return icon;
  }
  return reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICONSM));
}

HICON ExecutableIcon(const std::string& path) {
  if (path.empty()) return nullptr;
  auto found = state.executableIcons.find(path);
  if (found == state.executableIcons.end()) {
    found = state.executableIcons.emplace(path, ExtractSmallIcon(path.c_str(), 0, state.iconSize)).first;
  }
  return found->second.get();
}

HICON ShellIcon() {
  if (!state.shellIconLoaded) {
    state.shellIcon = ExtractSmallIcon("shell32.dll", 2, state.iconSize);
    state.shellIconLoaded = true;
  }
  return state.shellIcon.get();
}

// The row image of an icon; each icon goes into the image list once per refresh.
int ImageOf(HICON icon) {
  if (!Usable(icon) || !state.images) return -1;
  auto found = state.imageByIcon.find(icon);
  if (found != state.imageByIcon.end()) return found->second;
  const int image = ImageList_ReplaceIcon(state.images, -1, icon);
  if (image >= 0) state.imageByIcon.emplace(icon, image);
  return image;
}

const std::string& PathOf(uint32_t pid) {
  KnownOwner& owner = state.owners[pid];
  if (!owner.process && owner.seenIn != state.refreshCount) {
    owner.process.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    owner.path = ProcessPath(pid);
  }
  owner.seenIn = state.refreshCount;
  return owner.path;
}

std::string Cell(HWND list, int row, int column) { return win::ListViewCellText(list, row, column); }

// The rows as the list shows them, read back after the list reordered them.
void ReadShownRows(HWND list) {
  state.shown.clear();
  const int count = ListView_GetItemCount(list);
  for (int row = 0; row < count; ++row) {
    win::ListRow shown;
    for (int column = 0; column < kWindowListColumns; ++column) shown.cells.push_back(Cell(list, row, column));
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    shown.image = ListView_GetItem(list, &item) ? item.iImage : -1;
    state.shown.push_back(std::move(shown));
  }
}

void ShowSortArrow() {
  DrawSortArrowsFor(state.arrows, state.dpi);
  win::ShowListSortArrow(state.controls.list, state.sortColumn, state.ascending, state.arrows.up.get(),
                         state.arrows.down.get());
}

int CALLBACK CompareRowsByIndex(LPARAM first, LPARAM second, LPARAM) {
  HWND list = state.controls.list;
  const int order = win::LocaleCompare(Cell(list, static_cast<int>(first), state.sortColumn),
                                       Cell(list, static_cast<int>(second), state.sortColumn));
  return state.ascending ? order : -order;
}

// Gives the list an image list of the small-icon size at `dpi`.
void UseIconsAtDpi(HWND list, int dpi) {
  state.dpi = dpi;
  // Icons taken for a list of another scale would be stretched into this one.
  if (const int size = SmallIconSizeAtDpi(dpi); size != state.iconSize) {
    state.executableIcons.clear();
    state.shellIcon.reset();
    state.shellIconLoaded = false;
    state.iconSize = size;
  }
  state.images = win::ReplaceListImages(list, win::UniqueImageList(CreateSmallImageListAtDpi(dpi, 16, 16)));
}

}  // namespace

void WindowListDpiChanged(int dpi) {
  HWND list = state.controls.list;
  if (!list || dpi == state.dpi) return;
  UseIconsAtDpi(list, dpi);
  ShowSortArrow();
  RefreshWindowList();
}

void AttachWindowList(const WindowListControls& controls) {
  state.controls = controls;
  HWND list = controls.list;
  if (!list) return;
  UseIconsAtDpi(list, win::WindowDpi(list));
  state.sortColumn = 0;
  state.ascending = true;
  ShowSortArrow();
}

void DestroyWindowList() { state = WindowListState{}; }

BOOL CALLBACK AddWindowRow(HWND window, LPARAM buffer) {
  WindowFacts facts;
  facts.visible = IsWindowVisible(window) != FALSE;
  facts.cloaked = facts.visible && win::WindowCloaked(window);
  if (SkippedAsHidden(facts.visible, facts.cloaked, state.filter)) return TRUE;
  char* title = reinterpret_cast<char*>(buffer);
  // Another program's window is not asked: the system answers with the
  // caption it keeps, so a window that does not answer cannot stop us here.
  const int length = GetWindowTextA(window, title, 256);
  facts.title.assign(title, static_cast<size_t>(std::clamp(length, 0, 255)));
  RECT r{};
  GetWindowRect(window, &r);
  facts.left = r.left;
  facts.top = r.top;
  facts.right = r.right;
  facts.bottom = r.bottom;
  facts.minimised = IsIconic(window) != FALSE;
  facts.maximised = IsZoomed(window) != FALSE;
  facts.exStyle = static_cast<uint32_t>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  if (!WindowListed(facts, state.filter)) return TRUE;
  facts.handle = reinterpret_cast<uintptr_t>(window);
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &pid);
  facts.pid = pid;
  facts.processPath = PathOf(pid);

  // The first icon that can be shown: the window's own (which the system
  // may not let us copy from another program), the executable's, the shell's.
  int image = ImageOf(AskWindowIcon(window, thread));
  if (image < 0) image = ImageOf(ExecutableIcon(facts.processPath));
  if (image < 0) image = ImageOf(ShellIcon());
  const auto cells = WindowRowCells(facts);
  state.rows.push_back({{cells.begin(), cells.end()}, image});
  return TRUE;
}

int RefreshWindowList() {
  VELKOR_PLACE(kProceduresUnit);
  HWND list = state.controls.list;
  if (!list) return 0;
  // The image list is filled afresh; icons come in the same order as long
  // as the windows do, so unchanged rows keep their image index.
  if (state.images) ImageList_RemoveAll(state.images);
  ++state.refreshCount;

  state.filter = {Checked(state.controls.showHidden),    Checked(state.controls.showSizeless),
                  Checked(state.controls.showOffScreen), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                  GetSystemMetrics(SM_CYVIRTUALSCREEN),  GetSystemMetrics(SM_XVIRTUALSCREEN),
                  GetSystemMetrics(SM_YVIRTUALSCREEN)};
  {
    std::vector<char> title(256);
    EnumWindows(AddWindowRow, reinterpret_cast<LPARAM>(title.data()));
  }

  std::vector<std::string> keys;
  keys.reserve(state.rows.size());
  for (const win::ListRow& row : state.rows) keys.push_back(row.cells[static_cast<size_t>(state.sortColumn)]);
  const std::vector<int> order = SortedRowOrder(keys, SortKind::kText, state.ascending, win::LocaleCompare);
  std::vector<win::ListRow> sorted;
  sorted.reserve(order.size());
  for (int at : order) sorted.push_back(std::move(state.rows[static_cast<size_t>(at)]));
  const int count = static_cast<int>(sorted.size());
  win::UpdateListRows(list, state.shown, std::move(sorted));
  state.rows.clear();
  std::erase_if(state.owners, [](const auto& owner) { return owner.second.seenIn != state.refreshCount; });
  state.imageByIcon.clear();
  state.silentThreads.Clear();
  return count;
}

void SortWindowList(int column, bool ascending) {
  VELKOR_PLACE(kProceduresUnit);
  HWND list = state.controls.list;
  if (!list || column < 0 || column >= kWindowListColumns) return;
  state.sortColumn = column;
  state.ascending = ascending;
  ShowSortArrow();
  win::RedrawGuard redraw(list);
  ListView_SortItemsEx(list, CompareRowsByIndex, 0);
  win::SortHiddenListRows(list, {column, ascending});
  ReadShownRows(list);
}

int WindowListSortColumn() { return state.sortColumn; }
bool WindowListSortAscending() { return state.ascending; }

std::optional<LRESULT> WindowListNotify(const NMHDR* header) {
  VELKOR_PLACE(kProceduresUnit);
  if (!header || !state.controls.list || header->hwndFrom != state.controls.list) return std::nullopt;
  if (header->code != static_cast<UINT>(LVN_COLUMNCLICK)) return std::nullopt;
  const int column = reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem;
  SortWindowList(column, column == state.sortColumn ? !state.ascending : true);
  return 0;
}

bool SelectProcessRowByPid(HWND processList, uint32_t pid) {
  VELKOR_PLACE(kProceduresUnit);
  if (!processList) return false;
  const int row = ProcessRowOf(pid);
  if (row < 0) return false;
  SetFocus(processList);
  SelectListRow(processList, row);
  ListView_EnsureVisible(processList, row, FALSE);
  return true;
}

int SelectedWindowRow() {
  return state.controls.list ? ListView_GetNextItem(state.controls.list, -1, LVNI_SELECTED) : -1;
}

HWND SelectedWindow() {
  const int row = SelectedWindowRow();
  if (row < 0) return nullptr;
  return reinterpret_cast<HWND>(
      static_cast<uintptr_t>(ParseListNumber(Cell(state.controls.list, row, kWindowHandleColumn))));
}

uint32_t SelectedWindowPid() {
  const int row = SelectedWindowRow();
  if (row < 0) return 0;
  const uint64_t pid = ParseListNumber(Cell(state.controls.list, row, kWindowPidColumn));
  return pid <= UINT32_MAX ? static_cast<uint32_t>(pid) : 0;
}

bool WindowIsTopmost(HWND window) {
  return window && (static_cast<uint32_t>(GetWindowLongPtrA(window, GWL_EXSTYLE)) & kTopmostStyleBit) != 0;
}

void RunWindowCommand(HWND target, WindowCommand command) {
  VELKOR_PLACE(kProceduresUnit);
  if (!target || !IsWindow(target)) return;
  const bool own = win::OwnThreadWindow(target);
  auto show = [&](int how) { own ? ShowWindow(target, how) : ShowWindowAsync(target, how); };
  switch (command) {
    case WindowCommand::kToggleTopmost: {
      const bool topmost = WindowIsTopmost(target);
      SetWindowPos(target, topmost ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (own ? 0 : SWP_ASYNCWINDOWPOS));
      // The refresh that follows should show the new state: give the other
      // program's thread a moment to carry it out.
      const ULONGLONG end = GetTickCount64() + kTopmostSettleMilliseconds;
      while (!own && WindowIsTopmost(target) == topmost && GetTickCount64() < end) Sleep(5);
      break;
    }
    case WindowCommand::kToggleVisible:
      show((GetWindowLongPtrA(target, GWL_STYLE) & WS_VISIBLE) ? SW_HIDE : SW_SHOW);
      break;
    case WindowCommand::kMinimise: show(SW_MINIMIZE); break;
    case WindowCommand::kMaximise: show(SW_SHOWMAXIMIZED); break;
    case WindowCommand::kRestore: show(SW_RESTORE); break;
    case WindowCommand::kClose: win::SendMessageBounded(target, WM_CLOSE, 0, 0); break;
    case WindowCommand::kDestroy: {
      if (DestroyWayFor(own) == DestroyWay::kDestroy) {
        DestroyWindow(target);
        break;
      }
      win::SendMessageBounded(target, WM_CLOSE, 0, 0);
      if (!IsWindow(target)) break;
      // The system's caption, not one asked of the window's thread.
      char title[256] = {};
      GetWindowTextA(target, title, sizeof title);
      HWND list = state.controls.list;
      win::ShowMessageBox(list ? GetAncestor(list, GA_ROOT) : nullptr, WindowNotDestroyedMessage(title), "Hinweis",
                          MB_OK | MB_ICONEXCLAMATION);
      break;
    }
  }
}

}  // namespace velkor
