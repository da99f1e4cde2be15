#include "win/list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>

namespace velkor::win {

namespace {

// Header item data of the sorted column: which way it sorts. Columns left
// alone carry 0.
constexpr LPARAM kSortedAscending = 0x5601;
constexpr LPARAM kSortedDescending = 0x5602;

int CompareText(const std::string& a, const std::string& b) {
  const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                    b.data(), static_cast<int>(b.size()));
  return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
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

void SortListRows(HWND list, ListSort sort) {
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
    const int result = CompareText(cells[static_cast<size_t>(a)], cells[static_cast<size_t>(b)]);
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

ListRefill::ListRefill(HWND list) : list_(list), redraw_(IsWindowVisible(list) != FALSE) {
  if (redraw_) SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  top_ = ListView_GetTopIndex(list_);
  left_ = GetScrollPos(list_, SB_HORZ);
  sort_ = ListSortOf(list_);
  selected_ = SelectedListRow(list_);
  ListView_DeleteAllItems(list_);
}

ListRefill::~ListRefill() {
  if (sort_) SortListRows(list_, *sort_);
  SelectListRow(list_, selected_);
  RECT row{};
  if (ListView_GetItemCount(list_) > 0 && ListView_GetItemRect(list_, 0, &row, LVIR_BOUNDS))
    ListView_Scroll(list_, left_, (row.bottom - row.top) * top_);
  if (redraw_) {
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
  }
}

void ListRefill::AddRow(const std::vector<std::string>& cells, int image) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = ListView_GetItemCount(list_);
  item.lParam = item.iItem;
  item.iImage = image;
  std::string first = cells.empty() ? std::string() : cells[0];
  item.pszText = first.data();
  const auto row = SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  if (row < 0) return;
  for (size_t column = 1; column < cells.size(); ++column) {
    std::string text = cells[column];
    LVITEMA cell{};
    cell.iSubItem = static_cast<int>(column);
    cell.pszText = text.data();
    SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  }
}

}  // namespace velkor::win
