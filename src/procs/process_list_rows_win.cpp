#include "procs/process_list_rows_win.h"

#include <commctrl.h>

#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "win/list_view.h"
#include "win/unique_handle.h"

namespace velkor {

namespace {

struct MirrorRow {
  LPARAM id = 0;
  std::array<std::string, kProcessListColumns> cells;
  ProcessRowFacts facts;
};

struct RowsState {
  HWND list = nullptr;
  std::vector<MirrorRow> rows;                   // in the list's order
  std::unordered_map<LPARAM, size_t> indexById;  // rebuilt when a lookup misses
  // Cells with a changed text since the last invalidate (column 0 stands
  // for the whole row: the name with its icon, or a new colour).
  std::vector<std::pair<int, int>> changedCells;
  std::unordered_map<LPARAM, RowLook> looks;
  LPARAM nextId = 1;
  std::optional<win::RedrawGuard> frozen;
  int batches = 0;  // open ListRedrawBatch scopes
};
RowsState state;

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
      return (index >= 0 && static_cast<size_t>(index) < state.rows.size()) ? &state.rows[static_cast<size_t>(index)]
                                                                            : nullptr;
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
// the old mirror while it is read; their facts stay. A row someone else
// added knows no numbers.
void ReloadMirror() {
  std::unordered_map<LPARAM, ProcessRowFacts> factsById;
  for (MirrorRow& row : state.rows) factsById.emplace(row.id, std::move(row.facts));
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
      mirror.cells[static_cast<size_t>(column)] = win::ListViewCellText(state.list, row, column);
    if (auto known = factsById.find(mirror.id); known != factsById.end()) mirror.facts = std::move(known->second);
    fresh.push_back(std::move(mirror));
  }
  state.rows = std::move(fresh);
  state.indexById.clear();
}

// The rows are about to change in number or order.
void FreezeRedraw() {
  if (state.frozen || !state.list || !IsWindowVisible(state.list)) return;
  state.frozen.emplace(state.list, false);
}

// One region of every changed cell in sight, invalidated at once: the list
// redraws those cells and nothing else.
void InvalidateCells(const std::vector<std::pair<int, int>>& changed) {
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

// The end of the outermost batch.
void EndRedrawBatch() {
  std::vector<std::pair<int, int>> changed = std::move(state.changedCells);
  state.changedCells.clear();
  if (state.frozen) {
    state.frozen.reset();
    return;
  }
  if (changed.empty() || !state.list || !IsWindowVisible(state.list)) return;
  InvalidateCells(changed);
}

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
    FreezeRedraw();
    MirrorRow mirror;
    mirror.id = state.nextId++;
    mirror.cells = row.cells;
    mirror.facts = row.facts;
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
    for (int column = 1; column < kProcessListColumns; ++column)
      MakeCallbackCell(state.list, static_cast<int>(index), column);
    state.looks[mirror.id] = RowLook{row.background, row.textColour};
    state.rows.push_back(std::move(mirror));
    return static_cast<int>(index);
  }

  void DeleteRow(int row) override {
    if (!Exists(row)) return;
    FreezeRedraw();
    state.looks.erase(state.rows[static_cast<size_t>(row)].id);
    ListView_DeleteItem(state.list, row);
    state.rows.erase(state.rows.begin() + row);
  }

  void SetRowBackground(int row, Rgb colour) override {
    if (!Exists(row)) return;
    state.looks[state.rows[static_cast<size_t>(row)].id].background = colour;
    NoteChangedCell(row, 0);
  }

  [[nodiscard]] const ProcessRowFacts* Facts(int row) const override {
    return Exists(row) ? &state.rows[static_cast<size_t>(row)].facts : nullptr;
  }

  void SetFacts(int row, const ProcessRowFacts& facts) override {
    if (Exists(row)) state.rows[static_cast<size_t>(row)].facts = facts;
  }

 private:
  [[nodiscard]] bool Exists(int row) const { return row >= 0 && row < RowCount(); }
  static void NoteChangedCell(int row, int column) { state.changedCells.emplace_back(row, column); }
};

int CALLBACK CompareRanks(LPARAM first, LPARAM second, LPARAM context) {
  const auto& rank = *reinterpret_cast<const std::unordered_map<LPARAM, int>*>(context);
  const auto a = rank.find(first), b = rank.find(second);
  const int x = a == rank.end() ? 0 : a->second, y = b == rank.end() ? 0 : b->second;
  return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace

bool AttachListRows(HWND list) {
  if (list != state.list) {
    state = RowsState{};
    state.list = list;
    if (list) ReloadMirror();
    return true;
  }
  if (list && ListView_GetItemCount(list) != static_cast<int>(state.rows.size())) ReloadMirror();
  return false;
}

void DestroyListRows() { state = RowsState{}; }

HWND ListRowsWindow() { return state.list; }

ProcessRows& ListRowStore() {
  static ListViewRows rows;
  return rows;
}

const std::string& ListCellText(int index, LPARAM id, int column) {
  static const std::string empty;
  const MirrorRow* row = MirrorRowOf(index, id);
  return (row && column >= 0 && column < kProcessListColumns) ? row->cells[static_cast<size_t>(column)] : empty;
}

LPARAM ListItemId(int row) { return state.list ? ItemId(state.list, row) : 0; }

const RowLook* ListRowLook(LPARAM id) {
  const auto found = state.looks.find(id);
  return found == state.looks.end() ? nullptr : &found->second;
}

void SortListRowsBy(int column, bool ascending) {
  if (!state.list || state.rows.empty()) return;
  std::vector<std::string> cells;
  cells.reserve(state.rows.size());
  for (const MirrorRow& row : state.rows) cells.push_back(row.cells[static_cast<size_t>(column)]);
  const std::vector<int> order = SortedRowOrder(cells, ProcessColumnSortKind(column), ascending, win::LocaleCompare);
  bool inOrder = true;
  for (size_t i = 0; i < order.size() && inOrder; ++i) inOrder = order[i] == static_cast<int>(i);
  if (inOrder) return;
  FreezeRedraw();
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

ListRedrawBatch::ListRedrawBatch() { ++state.batches; }

ListRedrawBatch::~ListRedrawBatch() {
  if (--state.batches <= 0) {
    state.batches = 0;
    EndRedrawBatch();
  }
}

}  // namespace velkor
