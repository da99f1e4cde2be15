#include "procs/process_list_win.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>

#include "gfx/bitmap.h"
#include "gfx/image_names.h"
#include "procs/file_version_info_win.h"
#include "procs/process_cpu_win.h"
#include "procs/process_library.h"
#include "settings/preferences.h"
#include "win/list_view.h"
#include "win/unique_handle.h"

namespace velkor {

ProcessListHooks ProcessListCallbacks;

namespace {

// --- The system's process snapshot --------------------------------------

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG infoClass, void* buffer, ULONG length, ULONG* returned);
constexpr ULONG kProcessInformationClass = 5;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct CountedText {
  USHORT length;  // bytes
  USHORT maximumLength;
  PWSTR buffer;
};

// One record of the native process snapshot; only the leading fields, up to
// the memory counters, are read.
struct ProcessRecord {
  ULONG nextEntryOffset;
  ULONG numberOfThreads;
  LARGE_INTEGER workingSetPrivateSize;
  ULONG hardFaultCount;
  ULONG numberOfThreadsHighWatermark;
  ULONGLONG cycleTime;
  LARGE_INTEGER createTime;
  LARGE_INTEGER userTime;
  LARGE_INTEGER kernelTime;
  CountedText imageName;
  LONG basePriority;
  HANDLE uniqueProcessId;
  HANDLE inheritedFromUniqueProcessId;
  ULONG handleCount;
  ULONG sessionId;
  ULONG_PTR uniqueProcessKey;
  SIZE_T peakVirtualSize;
  SIZE_T virtualSize;
  ULONG pageFaultCount;
  SIZE_T peakWorkingSetSize;
  SIZE_T workingSetSize;
  SIZE_T quotaPeakPagedPoolUsage;
  SIZE_T quotaPagedPoolUsage;
  SIZE_T quotaPeakNonPagedPoolUsage;
  SIZE_T quotaNonPagedPoolUsage;
  SIZE_T pagefileUsage;
  SIZE_T peakPagefileUsage;
};
#ifdef _WIN64
static_assert(offsetof(ProcessRecord, imageName) == 56 && offsetof(ProcessRecord, uniqueProcessId) == 80 &&
              offsetof(ProcessRecord, workingSetSize) == 144 && offsetof(ProcessRecord, pagefileUsage) == 184);
#endif

struct SnapshotSource {
  win::UniqueModule ntdll;
  NtQuerySystemInformationFn query = nullptr;
  bool bound = false;
  std::vector<uint64_t> buffer = std::vector<uint64_t>(64 * 1024 / sizeof(uint64_t));  // grows, and keeps its size
  ULONG returned = 0;
};
SnapshotSource source;

// Takes the snapshot into source.buffer; false when the system refused.
bool QueryProcessSnapshot() {
  if (!source.bound) {
    source.bound = true;
    source.ntdll.reset(LoadLibraryA("ntdll.dll"));
    source.query = win::BindFunction<NtQuerySystemInformationFn>(source.ntdll.get(), "NtQuerySystemInformation");
  }
  if (!source.query) return false;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const auto capacity = static_cast<ULONG>(source.buffer.size() * sizeof(uint64_t));
    ULONG needed = 0;
    const LONG status = source.query(kProcessInformationClass, source.buffer.data(), capacity, &needed);
    if (status == kInfoLengthMismatch) {
      // Processes come and go between two calls: ask for some room to spare.
      const size_t bytes = std::max<size_t>(static_cast<size_t>(needed) + 64 * 1024, source.buffer.size() * sizeof(uint64_t) * 2);
      source.buffer.assign(bytes / sizeof(uint64_t) + 1, 0);
      continue;
    }
    if (status < 0) return false;
    source.returned = std::min(needed, capacity);
    return true;
  }
  return false;
}

std::string Narrow(const wchar_t* text, int count) {
  if (!text || count <= 0) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, count, narrow.data(), size, nullptr, nullptr);
  return narrow;
}

// --- The list view as a row store -----------------------------------------

struct MirrorRow {
  LPARAM id = 0;
  std::array<std::string, kProcessListColumns> cells;
};

struct RowLook {
  std::optional<Rgb> background;
  std::optional<Rgb> text;
};

// What cannot change while an executable stays the same file.
struct PathEntry {
  uint64_t checkedIn = 0;  // the refresh that last read the file's attributes
  std::optional<uint32_t> attributes;
  bool exists = false;
  uint64_t size = 0;
  uint64_t lastWrite = 0;
  std::string description;
  int64_t fileSize = -1;
  int icon = -1;
};

// What cannot change while a process runs, by PID and creation time. The
// process stays open while it is listed: one priority read per refresh is
// then the only call on it, and its PID cannot be reused while we hold it.
struct KnownProcess {
  int64_t createTime = 0;
  win::UniqueKernelHandle handle;
  bool fullAccess = false;  // opened for query and memory reading, not just limited query
  uint64_t privilegesAtTry = 0;  // PrivilegesGained at the last try for full access
  uint64_t triedInRefresh = 0;
  std::string path;
  bool pathKnown = false;
  std::optional<int64_t> startDate;
};

struct ListState {
  HWND list = nullptr;
  // The cells of every row, in the list's order. The list view holds no
  // texts of its own for the rows it got from here: it asks for them when it
  // draws or when anyone reads a cell (LVN_GETDISPINFO), so a changed cell
  // costs no message and no invalidation of its own.
  std::vector<MirrorRow> rows;
  std::unordered_map<LPARAM, size_t> indexById;  // rebuilt when a lookup misses
  // Cells with a changed text since the last invalidate (column 0 stands
  // for the whole row: the name with its icon, or a new colour).
  std::vector<std::pair<int, int>> changedCells;
  std::unordered_map<LPARAM, RowLook> looks;
  LPARAM nextId = 1;
  HIMAGELIST images = nullptr;  // owned by the list view
  int serviceHostIcon = -1;
  int genericIcon = -1;
  std::unordered_map<std::string, PathEntry> paths;
  std::unordered_map<uint32_t, KnownProcess> processes;
  uint64_t refreshCount = 0;
  int sortColumn = 0;
  bool ascending = true;
  std::array<bool, kProcessListColumns> locked{};
  bool ownWidthChange = false;
  bool frozen = false;
  win::UniqueBitmap arrowUp;
  win::UniqueBitmap arrowDown;
};
ListState state;

std::vector<WindowTitle> titles;

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }

std::string ReadCell(HWND list, int row, int column) { return win::ListViewCellText(list, row, column); }

// Hands the cell over to LVN_GETDISPINFO.
void MakeCallbackCell(HWND list, int row, int column) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The mirror row of a list item: by its index when the two agree, else by its identity.
const MirrorRow* MirrorRowOf(int index, LPARAM id) {
  if (index >= 0 && static_cast<size_t>(index) < state.rows.size() && state.rows[static_cast<size_t>(index)].id == id)
    return &state.rows[static_cast<size_t>(index)];
  auto found = state.indexById.find(id);
  if (found == state.indexById.end() || found->second >= state.rows.size() || state.rows[found->second].id != id) {
    state.indexById.clear();
    for (size_t i = 0; i < state.rows.size(); ++i) state.indexById.emplace(state.rows[i].id, i);
    found = state.indexById.find(id);
    if (found == state.indexById.end())
      return (index >= 0 && static_cast<size_t>(index) < state.rows.size()) ? &state.rows[static_cast<size_t>(index)] : nullptr;
  }
  return &state.rows[found->second];
}

LPARAM ItemId(HWND list, int row) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  return SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

// Builds the mirror from what the list holds (someone else added or removed
// rows); rows without an identity get one. Cells of our own rows answer from
// the old mirror while it is read.
void ReloadMirror() {
  std::vector<MirrorRow> fresh;
  const int count = ListView_GetItemCount(state.list);
  for (int row = 0; row < count; ++row) {
    MirrorRow mirror;
    mirror.id = ItemId(state.list, row);
    if (mirror.id == 0 || state.looks.count(mirror.id) == 0) {
      mirror.id = state.nextId++;
      LVITEMA item{};
      item.mask = LVIF_PARAM;
      item.iItem = row;
      item.lParam = mirror.id;
      SendMessageA(state.list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      state.looks[mirror.id];
    }
    for (int column = 0; column < kProcessListColumns; ++column)
      mirror.cells[static_cast<size_t>(column)] = ReadCell(state.list, row, column);
    fresh.push_back(std::move(mirror));
  }
  state.rows = std::move(fresh);
  state.indexById.clear();
}

// Finds list 139; a new list (the windows were built again) starts afresh.
bool AttachList() {
  HWND list = ProcessListCallbacks.list ? ProcessListCallbacks.list() : nullptr;
  if (list != state.list) {
    win::UniqueBitmap up = std::move(state.arrowUp), down = std::move(state.arrowDown);
    state = ListState{};
    state.arrowUp = std::move(up);
    state.arrowDown = std::move(down);
    state.list = list;
    if (!list) return false;
    state.images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 64, 64);
    ListView_SetImageList(list, state.images, LVSIL_SMALL);
    ReloadMirror();
  } else if (list && ListView_GetItemCount(list) != static_cast<int>(state.rows.size())) {
    ReloadMirror();
  }
  return list != nullptr;
}

// The list's drawing is frozen at the first change of its rows (added,
// deleted, reordered), and thawed at the end of the refresh. A hidden list is
// never frozen: WM_SETREDRAW would make it visible again. Changed texts only
// need their cells invalidated at the end (only those in sight), so a
// refresh that changes nothing draws nothing and one that changes a few
// figures redraws those figures.
class RedrawScope {
 public:
  RedrawScope() = default;
  ~RedrawScope() { End(); }
  RedrawScope(const RedrawScope&) = delete;
  RedrawScope& operator=(const RedrawScope&) = delete;
  static void Changing() {
    if (state.frozen || !state.list || !IsWindowVisible(state.list)) return;
    SendMessageA(state.list, WM_SETREDRAW, FALSE, 0);
    state.frozen = true;
  }
  static void End() {
    std::vector<std::pair<int, int>> changed = std::move(state.changedCells);
    state.changedCells.clear();
    if (state.frozen) {
      state.frozen = false;
      SendMessageA(state.list, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(state.list, nullptr, FALSE);
      return;
    }
    if (changed.empty() || !state.list || !IsWindowVisible(state.list)) return;
    // One region of every changed cell in sight, invalidated at once: the
    // list redraws those cells and nothing else.
    const int top = ListView_GetTopIndex(state.list);
    const int last = top + ListView_GetCountPerPage(state.list);  // the partly shown row below the page too
    win::UniqueGdiObject region(CreateRectRgn(0, 0, 0, 0));
    if (!region) {
      InvalidateRect(state.list, nullptr, FALSE);
      return;
    }
    bool any = false;
    for (const auto& [row, column] : changed) {
      if (row < top || row > last) continue;
      RECT cell{};
      cell.top = column > 0 ? column : 0;
      cell.left = LVIR_BOUNDS;  // of the whole row for column 0 (its icon and label) and for a colour
      const UINT message = column > 0 ? LVM_GETSUBITEMRECT : LVM_GETITEMRECT;
      if (!SendMessageA(state.list, message, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell))) continue;
      if (cell.right <= cell.left || cell.bottom <= cell.top) continue;  // a column of width 0
      win::UniqueGdiObject piece(CreateRectRgnIndirect(&cell));
      if (piece)
        CombineRgn(static_cast<HRGN>(region.get()), static_cast<HRGN>(region.get()), static_cast<HRGN>(piece.get()),
                   RGN_OR);
      any = true;
    }
    if (any) InvalidateRgn(state.list, static_cast<HRGN>(region.get()), FALSE);
  }
};

class ListViewRows final : public ProcessRows {
 public:
  [[nodiscard]] int RowCount() const override { return static_cast<int>(state.rows.size()); }

  [[nodiscard]] std::string CellText(int row, int column) const override {
    if (!Exists(row) || column < 0 || column >= kProcessListColumns) return {};
    return state.rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
  }

  void SetCellText(int row, int column, const std::string& text) override {
    if (!Exists(row) || column < 0 || column >= kProcessListColumns) return;
    std::string& cell = state.rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
    if (cell == text) return;
    cell = text;
    if (column < kFirstHiddenColumn) NoteChangedCell(row, column);
  }

  int AppendRow(const NewRow& row) override {
    RedrawScope::Changing();
    MirrorRow mirror;
    mirror.id = state.nextId++;
    mirror.cells = row.cells;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = RowCount();
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.iImage = row.icon;
    item.lParam = mirror.id;
    const auto index = SendMessageA(state.list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    if (index != RowCount()) {
      if (index >= 0) ListView_DeleteItem(state.list, static_cast<int>(index));
      return -1;
    }
    for (int column = 1; column < kProcessListColumns; ++column) MakeCallbackCell(state.list, static_cast<int>(index), column);
    state.looks[mirror.id] = RowLook{row.background, row.textColour};
    state.rows.push_back(std::move(mirror));
    return static_cast<int>(index);
  }

  void DeleteRow(int row) override {
    if (!Exists(row)) return;
    RedrawScope::Changing();
    state.looks.erase(state.rows[static_cast<size_t>(row)].id);
    ListView_DeleteItem(state.list, row);
    state.rows.erase(state.rows.begin() + row);
  }

  void SetRowBackground(int row, Rgb colour) override {
    if (!Exists(row)) return;
    state.looks[state.rows[static_cast<size_t>(row)].id].background = colour;
    NoteChangedCell(row, 0);
  }

 private:
  [[nodiscard]] bool Exists(int row) const { return row >= 0 && row < RowCount(); }
  static void NoteChangedCell(int row, int column) { state.changedCells.emplace_back(row, column); }
};

// --- Sorting -------------------------------------------------------------

int LocaleCompare(std::string_view a, std::string_view b) {
  const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                                    static_cast<int>(b.size()));
  return result == 0 ? 0 : result - CSTR_EQUAL;
}

int CALLBACK CompareRanks(LPARAM first, LPARAM second, LPARAM context) {
  const auto& rank = *reinterpret_cast<const std::unordered_map<LPARAM, int>*>(context);
  const auto a = rank.find(first), b = rank.find(second);
  const int x = a == rank.end() ? 0 : a->second, y = b == rank.end() ? 0 : b->second;
  return x < y ? -1 : (x > y ? 1 : 0);
}

// Puts the rows into the order of the current sort; nothing happens (and
// nothing is redrawn) when they are in that order already.
void SortRows() {
  if (!state.list || state.rows.empty()) return;
  std::vector<std::string> cells;
  cells.reserve(state.rows.size());
  for (const MirrorRow& row : state.rows) cells.push_back(row.cells[static_cast<size_t>(state.sortColumn)]);
  const std::vector<int> order =
      SortedRowOrder(cells, ProcessColumnSortKind(state.sortColumn), state.ascending, LocaleCompare);
  bool inOrder = true;
  for (size_t i = 0; i < order.size() && inOrder; ++i) inOrder = order[i] == static_cast<int>(i);
  if (inOrder) return;
  RedrawScope::Changing();
  std::unordered_map<LPARAM, int> rank;
  std::vector<MirrorRow> sorted;
  sorted.reserve(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    MirrorRow& row = state.rows[static_cast<size_t>(order[i])];
    rank.emplace(row.id, static_cast<int>(i));
    sorted.push_back(std::move(row));
  }
  SendMessageA(state.list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&rank), reinterpret_cast<LPARAM>(CompareRanks));
  state.rows = std::move(sorted);
}

void ShowSortArrow() {
  if (!state.arrowUp) state.arrowUp = PngOnButtonFace(images::kSortAscending);
  if (!state.arrowDown) state.arrowDown = PngOnButtonFace(images::kSortDescending);
  win::ShowListSortArrow(state.list, state.sortColumn, state.ascending, state.arrowUp.get(), state.arrowDown.get());
}

// --- Columns ---------------------------------------------------------------

void SetColumnWidth(int column, int width) {
  state.ownWidthChange = true;
  ListView_SetColumnWidth(state.list, column, width);
  state.ownWidthChange = false;
}

bool ColumnFlag(int column) {
  return column >= 1 && column <= kShownFlagCount && ColumnShown[static_cast<size_t>(column - 1)] != 0;
}

// --- Gathering the facts -------------------------------------------------

const std::string& WindowsFolder() {
  static const std::string folder = [] {
    char buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_WINDOWS, nullptr, SHGFP_TYPE_CURRENT, buffer))) return std::string();
    return std::string(buffer);
  }();
  return folder;
}

int AddIcon(HICON icon) { return icon && state.images ? ImageList_ReplaceIcon(state.images, -1, icon) : -1; }

int GenericIcon() {
  if (state.genericIcon < 0) {
    win::UniqueIcon icon;
    ExtractIconExA("shell32.dll", 2, nullptr, icon.put(), 1);
    state.genericIcon = AddIcon(icon.get());
  }
  return state.genericIcon;
}

int IconOf(const std::string& path) {
  if (PathFilePart(path) == "svchost.exe") {
    if (state.serviceHostIcon < 0) {
      if (auto canvas = LoadPngResource(images::kListServiceHost)) state.serviceHostIcon = AddIcon(CanvasToIcon(*canvas).get());
    }
    return state.serviceHostIcon;
  }
  win::UniqueIcon icon;
  if (!path.empty() && ExtractIconExA(path.c_str(), 0, nullptr, icon.put(), 1) > 0 && icon) return AddIcon(icon.get());
  return GenericIcon();
}

// The file facts of one executable: attributes at every call, the rest
// from the cache while the file's size and time stay the same.
const PathEntry& FileFacts(const std::string& path, std::optional<uint32_t>& attributes) {
  if (auto known = state.paths.find(path); known != state.paths.end() && known->second.checkedIn == state.refreshCount) {
    attributes = known->second.attributes;  // several processes of one program
    return known->second;
  }
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const bool exists = !path.empty() && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  if (!path.empty()) attributes = exists ? data.dwFileAttributes : kInvalidAttributes;
  const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  const uint64_t lastWrite =
      (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  auto [entry, added] = state.paths.try_emplace(path);
  PathEntry& facts = entry->second;
  facts.checkedIn = state.refreshCount;
  facts.attributes = attributes;
  if (added || facts.exists != exists || facts.size != size || facts.lastWrite != lastWrite || facts.icon < 0) {
    facts.exists = exists;
    facts.size = size;
    facts.lastWrite = lastWrite;
    facts.description = path.empty() ? std::string() : FileVersionText(path, 0x2, true);
    facts.fileSize = (exists && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ? static_cast<int64_t>(size) : -1;
    facts.icon = IconOf(path);
  }
  return facts;
}

std::string ImagePath(HANDLE process) {
  char buffer[MAX_PATH * 4];
  DWORD size = sizeof buffer;
  if (!QueryFullProcessImageNameA(process, 0, buffer, &size)) return {};
  return std::string(buffer, std::min<size_t>(size, sizeof buffer));
}

// One fact record per snapshot entry, in the snapshot's order. Each process
// is opened once in its lifetime (a process that could not be opened is
// tried again at the next refresh, one opened with limited rights only is
// tried for full rights again as RetryFullAccess says): whether it can be opened and its path
// come from that, its priority class from the kept handle at every refresh;
// everything else is in the snapshot or in the per-path cache. A process
// that left the snapshot has its handle closed with its record.
std::vector<ProcessFacts> GatherFacts(bool needDates) {
  std::vector<ProcessFacts> snapshot;
  ++state.refreshCount;
  const DWORD timer = timeGetTime();
  const auto* base = reinterpret_cast<const std::byte*>(source.buffer.data());
  std::unordered_map<uint32_t, KnownProcess> known;
  known.reserve(state.processes.size() + 16);
  for (size_t offset = 0; offset + sizeof(ProcessRecord) <= source.returned;) {
    const auto& record = *reinterpret_cast<const ProcessRecord*>(base + offset);
    ProcessFacts facts;
    facts.pid = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record.uniqueProcessId));
    facts.workingSet = record.workingSetSize;
    facts.pageFile = record.pagefileUsage;
    facts.pagedPool = record.quotaPagedPoolUsage;
    facts.nonPagedPool = record.quotaNonPagedPoolUsage;
    if (facts.pid != 0) {
      KnownProcess entry;
      if (auto old = state.processes.find(facts.pid);
          old != state.processes.end() && old->second.createTime == record.createTime.QuadPart)
        entry = std::move(old->second);
      entry.createTime = record.createTime.QuadPart;
      if (!entry.handle) {
        entry.handle.reset(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, facts.pid));
        entry.fullAccess = static_cast<bool>(entry.handle);
        if (!entry.handle) entry.handle.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, facts.pid));
        entry.privilegesAtTry = PrivilegesGained();
        entry.triedInRefresh = state.refreshCount;
      } else if (!entry.fullAccess &&
                 RetryFullAccess(entry.privilegesAtTry, PrivilegesGained(), entry.triedInRefresh, state.refreshCount)) {
        win::UniqueKernelHandle full(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, facts.pid));
        entry.privilegesAtTry = PrivilegesGained();
        entry.triedInRefresh = state.refreshCount;
        if (full) {
          entry.handle = std::move(full);
          entry.fullAccess = true;
        }
      }
      const HANDLE process = entry.handle.get();
      if (process) {
        // The name is only known for a process that can be opened at all.
        const auto* name = reinterpret_cast<const wchar_t*>(record.imageName.buffer);
        const auto nameBytes = reinterpret_cast<const std::byte*>(name);
        if (name && nameBytes >= base && nameBytes + record.imageName.length <= base + source.returned)
          facts.name = Narrow(name, record.imageName.length / 2);
        if (!entry.pathKnown) {
          entry.path = NormaliseProcessPath(TrimBlanks(ImagePath(process)), WindowsFolder());
          entry.pathKnown = true;
        }
        facts.path = entry.path;
      }
      if (process && entry.fullAccess) {
        facts.queryable = true;
        facts.priorityClass = GetPriorityClass(process);
        facts.cpu.userMs = static_cast<int64_t>(FileTimeToMilliseconds(static_cast<uint64_t>(record.userTime.QuadPart)));
        facts.cpu.kernelMs =
            static_cast<int64_t>(FileTimeToMilliseconds(static_cast<uint64_t>(record.kernelTime.QuadPart)));
        facts.cpu.timerMs = timer;
        if (needDates) {
          if (!entry.startDate) {
            FILETIME created{};
            created.dwLowDateTime = record.createTime.LowPart;
            created.dwHighDateTime = static_cast<DWORD>(record.createTime.HighPart);
            entry.startDate = FileTimeToDate(created);
          }
          facts.startDate = *entry.startDate;
        }
      }
      const PathEntry& file = FileFacts(facts.path, facts.attributes);
      facts.description = file.description;
      facts.fileSize = file.fileSize;
      facts.icon = file.icon;
      known[facts.pid] = std::move(entry);
    }
    snapshot.push_back(std::move(facts));
    if (record.nextEntryOffset == 0) break;
    offset += record.nextEntryOffset;
  }
  state.processes = std::move(known);
  return snapshot;
}

void StartShell() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  char commandLine[] = "explorer.exe";
  if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    win::UniqueKernelHandle thread(info.hThread), process(info.hProcess);
  }
}

// A cell's text for the list view, in the character set it asked in.
void AnswerDisplayInfo(NMHDR* header) {
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);  // the W form has the same layout
  if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return;
  const MirrorRow* row = MirrorRowOf(info->item.iItem, info->item.lParam);
  const int column = info->item.iSubItem;
  const std::string empty;
  const std::string& text =
      (row && column >= 0 && column < kProcessListColumns) ? row->cells[static_cast<size_t>(column)] : empty;
  if (header->code == static_cast<UINT>(LVN_GETDISPINFOW)) {
    auto* wide = reinterpret_cast<wchar_t*>(info->item.pszText);
    const int written = text.empty() ? 0
                                     : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide,
                                                           info->item.cchTextMax - 1);
    wide[std::max(written, 0)] = L'\0';
    return;
  }
  const size_t length = std::min(text.size(), static_cast<size_t>(info->item.cchTextMax - 1));
  std::copy_n(text.data(), length, info->item.pszText);
  info->item.pszText[length] = '\0';
}

LRESULT CustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const auto look = state.looks.find(static_cast<LPARAM>(draw->nmcd.lItemlParam));
      // Rows in the standard colours keep the list's own font handling.
      if (look == state.looks.end() || (!look->second.background && !look->second.text)) return CDRF_DODEFAULT;
      if (look->second.background) draw->clrTextBk = ToColorRef(*look->second.background);
      if (look->second.text) draw->clrText = ToColorRef(*look->second.text);
      return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
  }
}

}  // namespace

BOOL CALLBACK CollectWindowTitle(HWND window, LPARAM) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  if ((style & WS_CHILD) || !(style & WS_VISIBLE) || (style & WS_CAPTION) != WS_CAPTION) return TRUE;
  if (GetWindow(window, GW_OWNER) || GetParent(window)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == 0) return TRUE;
  // The stored caption, read without a message: a hung program cannot hold
  // up the refresh.
  wchar_t text[257] = {};
  const int length = InternalGetWindowText(window, text, 257);
  std::string title = Narrow(text, std::clamp(length, 0, 256));
  if (TrimBlanks(title).empty()) return TRUE;
  titles.push_back({pid, std::move(title)});
  return TRUE;
}

const std::vector<WindowTitle>& CollectedWindowTitles() { return titles; }

int RefreshProcessList() {
  if (!AttachList()) return 0;
  titles.clear();
  if (Preferences.PreferencesWindowTitle) EnumWindows(CollectWindowTitle, 0);
  // A failed snapshot changes nothing: an empty one would remove every row.
  if (!QueryProcessSnapshot()) return 0;

  MergeSettings settings;
  settings.showZeroCpu = Preferences.PreferencesShowZeroCPU != 0;
  settings.cpuPerProcess = Preferences.PreferencesCPUPerProcess != 0;
  settings.reactivateExplorer = Preferences.PreferencesReactivateExplorer != 0;
  settings.runTimeShown = ColumnFlag(kRunTimeColumn);
  settings.cpuTimeShown = ColumnFlag(kCpuTimeColumn);
  settings.now = CurrentLocalDate();
  const std::vector<ProcessFacts> snapshot = GatherFacts(settings.runTimeShown || settings.cpuTimeShown);

  MergeOutcome outcome;
  {
    RedrawScope redraw;
    ListViewRows rows;
    outcome = MergeProcessSnapshot(rows, snapshot, titles, settings, ProcessListCallbacks.history);
    if (outcome.startShell) StartShell();
    if (outcome.changed) {
      if (ProcessListCallbacks.listChanged) ProcessListCallbacks.listChanged();
      SortRows();
    }
  }
  if (ProcessListCallbacks.refreshed) ProcessListCallbacks.refreshed(outcome.workingSetSum);
  return outcome.changed ? 1 : 0;
}

void SetUpProcessListSorting() {
  if (!AttachList()) return;
  for (int column = kFirstHiddenColumn; column < kProcessListColumns; ++column) {
    state.locked[static_cast<size_t>(column)] = true;
    SetColumnWidth(column, 0);
  }
  state.sortColumn = 0;
  state.ascending = true;
  ShowSortArrow();
  SortRows();
}

void SortProcessList(int column, bool ascending) {
  if (!AttachList() || column < 0 || column >= kFirstHiddenColumn) return;
  state.sortColumn = column;
  state.ascending = ascending;
  ShowSortArrow();
  RedrawScope redraw;
  SortRows();
}

HWND ProcessListHandle() { return AttachList() ? state.list : nullptr; }

ProcessRows& ProcessListRows() {
  static ListViewRows rows;
  AttachList();
  return rows;
}

int ProcessListSortColumn() { return state.sortColumn; }
bool ProcessListSortAscending() { return state.ascending; }

void ApplyColumnVisibility() {
  if (!AttachList()) return;
  for (int column = 1; column <= kShownFlagCount; ++column) {
    auto& stored = ColumnWidths[static_cast<size_t>(column)];
    if (ColumnFlag(column)) {
      state.locked[static_cast<size_t>(column)] = false;
      SetColumnWidth(column, stored);
    } else {
      const int width = ListView_GetColumnWidth(state.list, column);
      if (width != 0) stored = width;
      SetColumnWidth(column, 0);
      state.locked[static_cast<size_t>(column)] = true;
    }
  }
}

ProcessRowLook ProcessRowLookAt(int row) {
  ProcessRowLook look;
  if (!AttachList()) return look;
  const auto found = state.looks.find(ItemId(state.list, row));
  if (found == state.looks.end()) return look;
  if (found->second.background) look = {true, ToColorRef(*found->second.background), false, 0};
  if (found->second.text) {
    look.hasText = true;
    look.text = ToColorRef(*found->second.text);
  }
  return look;
}

bool ProcessListNotify(const NMHDR* header, LRESULT& result) {
  if (!header || !state.list) return false;
  if (header->hwndFrom == state.list) {
    if (header->code == static_cast<UINT>(LVN_GETDISPINFOA) || header->code == static_cast<UINT>(LVN_GETDISPINFOW)) {
      AnswerDisplayInfo(const_cast<NMHDR*>(header));
      result = 0;
      return true;
    }
    if (header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
      result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
      return true;
    }
    if (header->code == static_cast<UINT>(LVN_COLUMNCLICK)) {
      const int column = reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem;
      SortProcessList(column, column == state.sortColumn ? !state.ascending : true);
      result = 0;
      return true;
    }
    return false;
  }
  if (header->hwndFrom != ListView_GetHeader(state.list)) return false;
  const auto* change = reinterpret_cast<const NMHEADERA*>(header);
  const bool locked = change->iItem >= 0 && change->iItem < kProcessListColumns &&
                      state.locked[static_cast<size_t>(change->iItem)];
  if (!locked) return false;
  switch (header->code) {
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW:
      result = TRUE;
      return true;
    case HDN_ITEMCHANGINGA:
    case HDN_ITEMCHANGINGW:
      // Both item layouts start with the mask and the width.
      if (!state.ownWidthChange && change->pitem && (change->pitem->mask & HDI_WIDTH) && change->pitem->cxy != 0) {
        result = TRUE;
        return true;
      }
      return false;
    default: return false;
  }
}

void DestroyProcessList() {
  state = ListState{};
  titles.clear();
}

}  // namespace velkor
