#include "procs/process_list_rows_win.h"

#include <commctrl.h>

#include <algorithm>
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
  bool shown = true;     // let through by the filter; a row it hides stays here, measured as ever
  bool recheck = false;  // a cell the filter reads changed since the filter last looked
  int image = -1;
};

// The list view holds only the number of shown rows (LVS_OWNERDATA) and
// keeps its selection by position: when rows move, it is put back on the
// rows that had it.
struct RowsState {
  HWND list = nullptr;
  std::vector<MirrorRow> rows;                   // in the list's order
  std::unordered_map<LPARAM, size_t> indexById;  // rebuilt when a lookup misses
  // Cells with a changed text since the last invalidate (column 0 stands
  // for the whole row: the name with its icon, or a new colour).
  std::vector<std::pair<int, int>> changedCells;
  std::unordered_map<LPARAM, RowLook> looks;
  LPARAM nextId = 1;
  int batches = 0;  // open ListRedrawBatch scopes
  RowFilter filter;
  std::vector<bool> filterColumns;  // the columns the filter reads, by column
  bool refilter = false;            // rows marked `recheck` wait for the filter
  bool refilterAll = false;         // the filter or its columns changed: every row waits
  std::vector<size_t> items;        // the row of each list item, while `itemsValid`
  bool itemsValid = false;
  // Rows were added, removed, hidden, shown or reordered in this batch; the
  // selection as it was before the first of those changes.
  bool moved = false;
  std::vector<LPARAM> selected;
  LPARAM focused = 0;
  LPARAM mark = 0;
  bool movingSelection = false;  // the list's own notices of the move are not the user's
};
RowsState state;

const std::vector<size_t>& Items() {
  if (!state.itemsValid) {
    state.items.clear();
    for (size_t row = 0; row < state.rows.size(); ++row)
      if (state.rows[row].shown) state.items.push_back(row);
    state.itemsValid = true;
  }
  return state.items;
}

int ShownCount() { return static_cast<int>(Items().size()); }

// The list item of store row `row`, -1 for a hidden row or none.
int ItemOf(int row) {
  const std::vector<size_t>& items = Items();
  const auto found = std::lower_bound(items.begin(), items.end(), static_cast<size_t>(row));
  return found != items.end() && *found == static_cast<size_t>(row) ? static_cast<int>(found - items.begin()) : -1;
}

bool FilterLetsThrough(const MirrorRow& row) {
  return state.filter.MatchesCells(
      kFirstHiddenColumn, [&row](int column) -> std::string_view { return row.cells[static_cast<size_t>(column)]; },
      state.filterColumns);
}

const MirrorRow* MirrorRowOfItem(int item) {
  const std::vector<size_t>& items = Items();
  return item >= 0 && static_cast<size_t>(item) < items.size() ? &state.rows[items[static_cast<size_t>(item)]]
                                                               : nullptr;
}

// The store row with identity `id`, -1 for none.
int RowOfId(LPARAM id) {
  auto found = state.indexById.find(id);
  if (found == state.indexById.end() || found->second >= state.rows.size() || state.rows[found->second].id != id) {
    state.indexById.clear();
    for (size_t i = 0; i < state.rows.size(); ++i) state.indexById.emplace(state.rows[i].id, i);
    found = state.indexById.find(id);
    if (found == state.indexById.end()) return -1;
  }
  return static_cast<int>(found->second);
}

LPARAM IdOfItem(int item) {
  const MirrorRow* row = MirrorRowOfItem(item);
  return row ? row->id : 0;
}

// Called before the rows change in number, order or visibility, while the
// list's positions still name the rows they showed.
void NoteMove() {
  if (state.moved || !state.list) return;
  state.moved = true;
  state.selected.clear();
  for (int item = -1; (item = ListView_GetNextItem(state.list, item, LVNI_SELECTED)) >= 0;)
    if (const LPARAM id = IdOfItem(item)) state.selected.push_back(id);
  state.focused = IdOfItem(ListView_GetNextItem(state.list, -1, LVNI_FOCUSED));
  state.mark = IdOfItem(ListView_GetSelectionMark(state.list));
}

// The list's count set to the rows shown now and its selection and focus
// put back on the rows that had them, wherever they are now.
void ApplyMove() {
  state.moved = false;
  if (!state.list) return;
  std::vector<int> selected;
  bool lost = false;
  for (const LPARAM id : state.selected) {
    const int row = RowOfId(id);
    const int item = row < 0 ? -1 : ItemOf(row);
    if (item >= 0)
      selected.push_back(item);
    else
      lost = true;
  }
  auto itemOf = [](LPARAM id) {
    const int row = id ? RowOfId(id) : -1;
    return row < 0 ? -1 : ItemOf(row);
  };
  const int focused = itemOf(state.focused), mark = itemOf(state.mark);
  // A selection that only moved is no change the program should see; one
  // that lost rows is.
  state.movingSelection = !lost && (focused >= 0 || state.focused == 0);
  // The count, selection and focus change with the list's drawing held off
  // by the default handler (the list view itself goes on bringing its scroll
  // bars up to date, but paints none of it now), and the list is drawn once,
  // frame and header too, when it next paints.
  const bool drawn = (GetWindowLongPtrA(state.list, GWL_STYLE) & WS_VISIBLE) != 0;
  if (drawn) DefWindowProcA(state.list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(state.list, LVM_SETITEMCOUNT, static_cast<WPARAM>(ShownCount()),
               LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  // Only the positions whose state changes are touched: a change of all
  // (item -1) costs a call per row in some list views.
  std::sort(selected.begin(), selected.end());
  std::vector<int> held;
  for (int item = -1; (item = ListView_GetNextItem(state.list, item, LVNI_SELECTED)) >= 0;) held.push_back(item);
  for (const int item : held)
    if (!std::binary_search(selected.begin(), selected.end(), item))
      ListView_SetItemState(state.list, item, 0, LVIS_SELECTED);
  for (const int item : selected)
    if (!std::binary_search(held.begin(), held.end(), item))
      ListView_SetItemState(state.list, item, LVIS_SELECTED, LVIS_SELECTED);
  const int focusedNow = ListView_GetNextItem(state.list, -1, LVNI_FOCUSED);
  if (focused >= 0 && focused != focusedNow) {
    ListView_SetItemState(state.list, focused, LVIS_FOCUSED, LVIS_FOCUSED);
  } else if (focused < 0 && focusedNow >= 0) {
    ListView_SetItemState(state.list, focusedNow, 0, LVIS_FOCUSED);
  }
  ListView_SetSelectionMark(state.list, mark);
  state.movingSelection = false;
  if (drawn) {
    DefWindowProcA(state.list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(state.list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
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
  for (const auto& [stored, column] : changed) {
    const int row = ItemOf(stored);
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

// Hides the rows the filter hides now and shows those it lets through again;
// the store's order stays, so the sort holds.
void Refilter() {
  const bool all = state.refilterAll;
  state.refilter = state.refilterAll = false;
  for (MirrorRow& row : state.rows) {
    if (!all && !row.recheck) continue;
    row.recheck = false;
    const bool wanted = state.filter.Empty() || FilterLetsThrough(row);
    if (wanted == row.shown) continue;
    NoteMove();
    row.shown = wanted;
    state.itemsValid = false;
  }
}

// The end of the outermost batch.
void EndRedrawBatch() {
  if (state.refilter) Refilter();
  std::vector<std::pair<int, int>> changed = std::move(state.changedCells);
  state.changedCells.clear();
  if (state.moved) {
    ApplyMove();
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
    if (column >= kFirstHiddenColumn) return;
    if (state.rows[static_cast<size_t>(row)].shown) NoteChangedCell(row, column);
    if (!state.filter.Empty() && (static_cast<size_t>(column) >= state.filterColumns.size() ||
                                  state.filterColumns[static_cast<size_t>(column)])) {
      state.rows[static_cast<size_t>(row)].recheck = true;
      state.refilter = true;
    }
  }

  int AppendRow(const NewRow& row) override {
    const ListRedrawBatch batch;
    MirrorRow mirror;
    mirror.id = state.nextId++;
    mirror.cells = row.cells;
    mirror.facts = row.facts;
    mirror.image = row.icon;
    mirror.shown = state.filter.Empty() || FilterLetsThrough(mirror);
    if (mirror.shown) {
      NoteMove();
      if (state.itemsValid) state.items.push_back(state.rows.size());
    }
    state.looks[mirror.id] = RowLook{row.background, row.textColour};
    state.rows.push_back(std::move(mirror));
    return RowCount() - 1;
  }

  void DeleteRow(int row) override {
    if (!Exists(row)) return;
    const ListRedrawBatch batch;
    if (state.rows[static_cast<size_t>(row)].shown) NoteMove();
    state.looks.erase(state.rows[static_cast<size_t>(row)].id);
    state.rows.erase(state.rows.begin() + row);
    state.itemsValid = false;
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

}  // namespace

bool AttachListRows(HWND list) {
  if (list != state.list) {
    state = RowsState{};
    state.list = list;
    if (list) ListView_SetItemCountEx(list, 0, LVSICF_NOSCROLL);
    return true;
  }
  // Between batches the list's count is the store's; a list someone else
  // emptied empties the store too, any other count is set back.
  if (!list || state.batches > 0 || state.moved) return false;
  const int count = ListView_GetItemCount(list);
  if (count == 0 && ShownCount() > 0) {
    state.rows.clear();
    state.looks.clear();
    state.indexById.clear();
    state.changedCells.clear();
    state.itemsValid = false;
  } else if (count != ShownCount()) {
    ListView_SetItemCountEx(list, ShownCount(), LVSICF_NOSCROLL);
  }
  return false;
}

void DestroyListRows() { state = RowsState{}; }

HWND ListRowsWindow() { return state.list; }

ProcessRows& ListRowStore() {
  static ListViewRows rows;
  return rows;
}

const std::string& ListCellText(int item, int column) {
  static const std::string empty;
  const MirrorRow* row = MirrorRowOfItem(item);
  return (row && column >= 0 && column < kProcessListColumns) ? row->cells[static_cast<size_t>(column)] : empty;
}

int ListItemImage(int item) {
  const MirrorRow* row = MirrorRowOfItem(item);
  return row ? row->image : -1;
}

LPARAM ListItemId(int item) { return IdOfItem(item); }

bool ListMovingSelection() { return state.movingSelection; }

int ListFindItem(std::string_view prefix, int start, bool wrap, bool whole) {
  const int count = ShownCount();
  if (count == 0) return -1;
  const std::string wanted = FoldCase1252(prefix);
  start = std::clamp(start, 0, count);
  for (int step = 0; step < count; ++step) {
    const int item = start + step;
    if (item >= count && !wrap) break;
    const std::string& name = ListCellText(item % count, kNameColumn);
    if (whole && name.size() != wanted.size()) continue;
    if (FoldCase1252(std::string_view(name).substr(0, wanted.size())) == wanted) return item % count;
  }
  return -1;
}

LPARAM ListRowId(int row) {
  return row >= 0 && static_cast<size_t>(row) < state.rows.size() ? state.rows[static_cast<size_t>(row)].id : 0;
}

int ListRowOfItem(int item) {
  const std::vector<size_t>& items = Items();
  return item >= 0 && static_cast<size_t>(item) < items.size() ? static_cast<int>(items[static_cast<size_t>(item)])
                                                               : -1;
}

int ListItemOfRow(int row) { return ItemOf(row); }

int ListShownRowCount() { return ShownCount(); }

void SetListRowFilter(RowFilter filter, std::vector<bool> columns) {
  state.filter = std::move(filter);
  state.filterColumns = std::move(columns);
  ListRedrawBatch batch;
  state.refilter = state.refilterAll = true;
}

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
  const ListRedrawBatch batch;
  NoteMove();
  std::vector<MirrorRow> sorted;
  sorted.reserve(order.size());
  for (const int row : order) sorted.push_back(std::move(state.rows[static_cast<size_t>(row)]));
  state.rows = std::move(sorted);
  state.itemsValid = false;
}

ListRedrawBatch::ListRedrawBatch() { ++state.batches; }

ListRedrawBatch::~ListRedrawBatch() {
  if (--state.batches <= 0) {
    state.batches = 0;
    EndRedrawBatch();
  }
}

}  // namespace velkor
