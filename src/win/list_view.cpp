#include "win/list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "win/row_filter.h"

namespace velkor::win {

namespace {

// Header item data of the sorted column: which way it sorts. Columns left
// alone carry 0.
constexpr LPARAM kSortedAscending = 0x5601;
constexpr LPARAM kSortedDescending = 0x5602;

// How many guards hold each window's drawing off; the program draws on one
// thread only.
std::unordered_map<HWND, int>& RedrawDepths() {
  static std::unordered_map<HWND, int> depths;
  return depths;
}

void SetCell(HWND list, int row, int column, const std::string& text) {
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

void SetImage(HWND list, int row, int image) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iImage = image;
  SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// Inserts a row at `index` with these cell texts; `mask` says whether its
// image and item data are set. The row's index, -1 when it failed.
int InsertRow(HWND list, int index, const std::vector<std::string>& cells, UINT mask, int image, LPARAM data) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | mask;
  item.iItem = index;
  item.lParam = data;
  item.iImage = image;
  static const std::string none;
  item.pszText = const_cast<char*>((cells.empty() ? none : cells[0]).c_str());
  const auto row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return row;
  for (size_t column = 1; column < cells.size(); ++column) SetCell(list, row, static_cast<int>(column), cells[column]);
  return row;
}

// The rows of a filtered list, shown or not, in the list's order.
struct FilteredRows {
  RowFilter filter;
  std::vector<ListRow> all;
  std::vector<LPARAM> data;  // each row's item data
  std::vector<char> shown;
};
std::unordered_map<HWND, FilteredRows>& Filtered() {
  static std::unordered_map<HWND, FilteredRows> lists;
  return lists;
}
// What UpdateListRows' callers keep of their lists' rows: a filter that
// hides or shows rows keeps it true.
std::unordered_map<HWND, std::vector<ListRow>*>& KeptRows() {
  static std::unordered_map<HWND, std::vector<ListRow>*> kept;
  return kept;
}

FilteredRows* FilterOf(HWND list) {
  auto found = Filtered().find(list);
  return found == Filtered().end() ? nullptr : &found->second;
}

// The rows the list view holds, all of them shown.
void ReadListRows(HWND list, FilteredRows& rows) {
  HWND header = ListView_GetHeader(list);
  const int columns = header ? Header_GetItemCount(header) : 1;
  const int count = ListView_GetItemCount(list);
  rows.all.assign(static_cast<size_t>(count), {});
  rows.data.assign(static_cast<size_t>(count), 0);
  rows.shown.assign(static_cast<size_t>(count), 1);
  for (int row = 0; row < count; ++row) {
    ListRow& read = rows.all[static_cast<size_t>(row)];
    for (int column = 0; column < columns; ++column) read.cells.push_back(ListViewCellText(list, row, column));
    LVITEMA item{};
    item.mask = LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    if (SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
      read.image = item.iImage;
      rows.data[static_cast<size_t>(row)] = item.lParam;
    }
  }
}

// Takes out of the list view the rows the filter hides and puts back the
// ones it lets through, at their places; the rows that stay keep their state.
void ApplyFilter(HWND list, FilteredRows& rows) {
  std::optional<RedrawGuard> redraw;
  int item = 0;
  for (size_t row = 0; row < rows.all.size(); ++row) {
    const bool wanted = rows.filter.Matches(rows.all[row].cells);
    if (wanted == (rows.shown[row] != 0)) {
      item += wanted ? 1 : 0;
      continue;
    }
    if (!redraw) redraw.emplace(list);
    if (!wanted) {
      ListView_DeleteItem(list, item);
      rows.shown[row] = 0;
    } else if (InsertRow(list, item, rows.all[row].cells, LVIF_IMAGE | LVIF_PARAM, rows.all[row].image,
                         rows.data[row]) == item) {
      rows.shown[row] = 1;
      ++item;
    }
  }
  auto kept = KeptRows().find(list);
  if (kept == KeptRows().end() || !kept->second) return;
  kept->second->clear();
  for (size_t row = 0; row < rows.all.size(); ++row)
    if (rows.shown[row]) kept->second->push_back(rows.all[row]);
}

int CALLBACK CompareRanks(LPARAM first, LPARAM second, LPARAM context) {
  const auto& rank = *reinterpret_cast<const std::vector<int>*>(context);
  auto at = [&rank](LPARAM data) {
    return data >= 0 && static_cast<size_t>(data) < rank.size() ? rank[static_cast<size_t>(data)] : 0;
  };
  const int x = at(first), y = at(second);
  return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace

int CompareInLocale(std::string_view a, std::string_view b, LCID locale) {
  const int result = CompareStringA(locale, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                                    static_cast<int>(b.size()));
  if (result != 0) return result - CSTR_EQUAL;
  const int bytes = a.compare(b);
  return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

int LocaleCompare(std::string_view a, std::string_view b) { return CompareInLocale(a, b, LOCALE_USER_DEFAULT); }

RedrawGuard::RedrawGuard(HWND window, bool erase) : erase_(erase) {
  if (!window) return;
  int& depth = RedrawDepths()[window];
  if (depth == 0 && !IsWindowVisible(window)) {
    RedrawDepths().erase(window);
    return;
  }
  if (depth++ == 0) SendMessageA(window, WM_SETREDRAW, FALSE, 0);
  window_ = window;
}

RedrawGuard::~RedrawGuard() { End(); }

RedrawGuard::RedrawGuard(RedrawGuard&& other) noexcept
    : window_(std::exchange(other.window_, nullptr)), erase_(other.erase_) {}

RedrawGuard& RedrawGuard::operator=(RedrawGuard&& other) noexcept {
  if (this != &other) {
    End();
    window_ = std::exchange(other.window_, nullptr);
    erase_ = other.erase_;
  }
  return *this;
}

void RedrawGuard::End() noexcept {
  HWND window = std::exchange(window_, nullptr);
  if (!window) return;
  auto found = RedrawDepths().find(window);
  if (found == RedrawDepths().end() || --found->second > 0) return;
  RedrawDepths().erase(found);
  SendMessageA(window, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window, nullptr, erase_);
}

HIMAGELIST ReplaceListImages(HWND list, UniqueImageList images) {
  if (!list || !images) return nullptr;
  HIMAGELIST given = images.release();
  UniqueImageList old(ListView_SetImageList(list, given, LVSIL_SMALL));
  if (old.get() == given) old.release();
  return given;
}

void UpdateListRows(HWND list, std::vector<ListRow>& shown, std::vector<ListRow> rows) {
  KeptRows()[list] = &shown;
  if (FilteredRows* filtered = FilterOf(list)) {
    filtered->all = rows;
    filtered->data.assign(rows.size(), 0);
    filtered->shown.assign(rows.size(), 0);
    std::vector<ListRow> matching;
    for (size_t row = 0; row < rows.size(); ++row) {
      if (!filtered->filter.Matches(rows[row].cells)) continue;
      filtered->shown[row] = 1;
      matching.push_back(std::move(rows[row]));
    }
    rows = std::move(matching);
  }
  // Rows that come or go move the others and the scroll bar: drawn once
  // after all of them. Changed cells alone repaint only themselves.
  const int count = ListView_GetItemCount(list);
  std::optional<RedrawGuard> redraw;
  if (rows.size() != shown.size() || count != static_cast<int>(rows.size())) redraw.emplace(list);
  if (count != static_cast<int>(shown.size())) {
    ListView_DeleteAllItems(list);
    shown.clear();
  }
  while (shown.size() > rows.size()) {
    ListView_DeleteItem(list, static_cast<int>(shown.size()) - 1);
    shown.pop_back();
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i);
    const ListRow& wanted = rows[i];
    if (i >= shown.size()) {
      InsertRow(list, row, wanted.cells, LVIF_IMAGE, wanted.image, 0);
      continue;
    }
    const ListRow& was = shown[i];
    for (size_t column = 0; column < wanted.cells.size(); ++column) {
      if (column >= was.cells.size() || was.cells[column] != wanted.cells[column])
        SetCell(list, row, static_cast<int>(column), wanted.cells[column]);
    }
    if (was.image != wanted.image) SetImage(list, row, wanted.image);
    if (was.look != wanted.look) ListView_RedrawItems(list, row, row);
  }
  shown = std::move(rows);
}

void SetListFilter(HWND list, std::string_view text) {
  if (!list) return;
  RowFilter filter(text);
  FilteredRows* filtered = FilterOf(list);
  if (!filtered) {
    if (filter.Empty()) return;
    filtered = &Filtered()[list];
    const auto kept = KeptRows().find(list);
    if (kept != KeptRows().end() && kept->second &&
        kept->second->size() == static_cast<size_t>(ListView_GetItemCount(list))) {
      filtered->all = *kept->second;  // with the looks the list view does not hold
      filtered->data.assign(filtered->all.size(), 0);
      filtered->shown.assign(filtered->all.size(), 1);
    } else {
      ReadListRows(list, *filtered);
    }
  }
  filtered->filter = std::move(filter);
  ApplyFilter(list, *filtered);
  if (filtered->filter.Empty()) Filtered().erase(list);
}

void ForgetListFilters() {
  Filtered().clear();
  KeptRows().clear();
}

int ListRowCountUnfiltered(HWND list) {
  const FilteredRows* filtered = FilterOf(list);
  return filtered ? static_cast<int>(filtered->all.size()) : ListView_GetItemCount(list);
}

int UnfilteredListRow(HWND list, int row) {
  const FilteredRows* filtered = FilterOf(list);
  if (!filtered || row < 0) return row;
  for (size_t at = 0; at < filtered->shown.size(); ++at)
    if (filtered->shown[at] && row-- == 0) return static_cast<int>(at);
  return -1;
}

std::string ListViewCellText(HWND list, int row, int column) {
  char buffer[2048] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  const auto length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return std::string(buffer, static_cast<size_t>(std::clamp<LRESULT>(length, 0, sizeof buffer - 1)));
}

std::optional<ListSort> ListSortOf(HWND list) {
  HWND header = ListView_GetHeader(list);
  const int count = header ? Header_GetItemCount(header) : 0;
  for (int column = 0; column < count; ++column) {
    HDITEMA item{};
    item.mask = HDI_LPARAM;
    if (!Header_GetItem(header, column, &item)) continue;
    if (item.lParam == kSortedAscending) return ListSort{column, true};
    if (item.lParam == kSortedDescending) return ListSort{column, false};
  }
  return std::nullopt;
}

ListSort ClickedListSort(HWND list, int column) {
  const std::optional<ListSort> current = ListSortOf(list);
  if (current && current->column == column) return {column, !current->ascending};
  return {column, true};
}

namespace {

// The rows a filter hides follow a sort of the list: the same stable order
// over all rows keeps the shown ones in the order the list view gives them.
void SortFilteredRows(FilteredRows& rows, ListSort sort) {
  std::vector<size_t> order(rows.all.size());
  std::iota(order.begin(), order.end(), size_t{0});
  const auto cell = [&rows, &sort](size_t row) -> std::string_view {
    const std::vector<std::string>& cells = rows.all[row].cells;
    return static_cast<size_t>(sort.column) < cells.size() ? std::string_view(cells[static_cast<size_t>(sort.column)])
                                                           : std::string_view();
  };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const int result = LocaleCompare(cell(a), cell(b));
    return sort.ascending ? result < 0 : result > 0;
  });
  FilteredRows sorted;
  sorted.filter = std::move(rows.filter);
  for (size_t row : order) {
    sorted.all.push_back(std::move(rows.all[row]));
    sorted.data.push_back(rows.data[row]);
    sorted.shown.push_back(rows.shown[row]);
  }
  rows = std::move(sorted);
}

}  // namespace

void SortHiddenListRows(HWND list, ListSort sort) {
  if (FilteredRows* filtered = FilterOf(list)) SortFilteredRows(*filtered, sort);
}

void SortListRows(HWND list, ListSort sort) {
  SortHiddenListRows(list, sort);
  const int count = ListView_GetItemCount(list);
  if (count < 2) return;
  // Each row's item data becomes its present index, so the rank of a row is
  // found by its data while the list view moves the rows around.
  std::vector<std::string> cells(static_cast<size_t>(count));
  for (int row = 0; row < count; ++row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = row;
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    cells[static_cast<size_t>(row)] = ListViewCellText(list, row, sort.column);
  }
  std::vector<int> order(static_cast<size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int result = LocaleCompare(cells[static_cast<size_t>(a)], cells[static_cast<size_t>(b)]);
    return sort.ascending ? result < 0 : result > 0;
  });
  bool inOrder = true;
  for (size_t i = 0; i < order.size() && inOrder; ++i) inOrder = order[i] == static_cast<int>(i);
  if (inOrder) return;
  std::vector<int> rank(order.size());
  for (size_t i = 0; i < order.size(); ++i) rank[static_cast<size_t>(order[i])] = static_cast<int>(i);
  SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&rank), reinterpret_cast<LPARAM>(CompareRanks));
}

void MarkListSort(HWND list, ListSort sort, HBITMAP up, HBITMAP down) {
  HWND header = ListView_GetHeader(list);
  const int count = header ? Header_GetItemCount(header) : 0;
  for (int column = 0; column < count; ++column) {
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_LPARAM;
    if (!Header_GetItem(header, column, &item)) continue;
    item.fmt &= ~(HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_SORTUP | HDF_SORTDOWN);
    item.lParam = 0;
    if (column == sort.column) {
      item.lParam = sort.ascending ? kSortedAscending : kSortedDescending;
      item.hbm = sort.ascending ? up : down;
      if (item.hbm) {
        item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_STRING;
        item.mask |= HDI_BITMAP;
      }
    }
    Header_SetItem(header, column, &item);
  }
}

void ShowListSortArrow(HWND list, int column, bool ascending, HBITMAP up, HBITMAP down) {
  HWND header = ListView_GetHeader(list);
  const int count = header ? Header_GetItemCount(header) : 0;
  for (int at = 0; at < count; ++at) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!Header_GetItem(header, at, &item)) continue;
    const int before = item.fmt;
    item.fmt &= ~(HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_SORTUP | HDF_SORTDOWN);
    if (at == column) {
      item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_STRING;
      item.mask |= HDI_BITMAP;
      item.hbm = ascending ? up : down;
    } else if (item.fmt == before) {
      continue;
    }
    Header_SetItem(header, at, &item);
  }
}

void SelectListRow(HWND list, int row) {
  if (!list) return;
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row < 0 || row >= ListView_GetItemCount(list)) return;
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int SelectedListRow(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }

ListRefill::ListRefill(HWND list) : list_(list), redraw_(list) {
  top_ = ListView_GetTopIndex(list_);
  left_ = GetScrollPos(list_, SB_HORZ);
  sort_ = ListSortOf(list_);
  selected_ = SelectedListRow(list_);
  ListView_DeleteAllItems(list_);
}

ListRefill::~ListRefill() {
  // Under a filter every row was added: the sorted rows are read back, and
  // the ones it hides go again.
  FilteredRows* filtered = FilterOf(list_);
  if (filtered) {
    filtered->all.clear();
    filtered->shown.clear();
    filtered->data.clear();
  }
  if (sort_) SortListRows(list_, *sort_);
  if (filtered) {
    ReadListRows(list_, *filtered);
    ApplyFilter(list_, *filtered);
  }
  SelectListRow(list_, selected_);
  RECT row{};
  if (ListView_GetItemCount(list_) > 0 && ListView_GetItemRect(list_, 0, &row, LVIR_BOUNDS))
    ListView_Scroll(list_, left_, (row.bottom - row.top) * top_);
}

void ListRefill::AddRow(const std::vector<std::string>& cells, int image) {
  const int row = ListView_GetItemCount(list_);
  InsertRow(list_, row, cells, LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0), image, row);
}

}  // namespace velkor::win
