// Small helpers over report list views.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace velkor::win {

// The text of one cell (at most 2047 characters), "" for a cell that does not exist.
std::string ListViewCellText(HWND list, int row, int column);

// The sort of a list whose rows compare by one column's text. A list keeps
// its own sort in the item data of its header items, so it survives every
// clear and refill and needs no table on the side.
struct ListSort {
  int column = 0;
  bool ascending = true;
};
// The sort marked in the header, or nothing for a list never sorted.
std::optional<ListSort> ListSortOf(HWND list);
// The sort a click on header `column` asks for: that column again flips the
// direction, another column sorts ascending.
ListSort ClickedListSort(HWND list, int column);
// Puts the rows into the order of `sort`: case-insensitive in the user's
// locale, rows with equal texts keeping their order. Rows keep their state
// (a selected row stays selected wherever it goes).
void SortListRows(HWND list, ListSort sort);
// Marks `sort` in the header: its item data, and the arrow picture `up` or
// `down` (owned by the caller for the life of the list) on its column.
void MarkListSort(HWND list, ListSort sort, HBITMAP up, HBITMAP down);
// Shows only the arrow: `up` or `down` (owned by the caller for the life of
// the list) on header `column`, none on the others; for a list that keeps its
// sort elsewhere. Header items already right are left alone.
void ShowListSortArrow(HWND list, int column, bool ascending, HBITMAP up, HBITMAP down);

// Clears the selection, then selects `row` (and gives it the focus mark);
// -1 or a row that does not exist leaves nothing selected.
void SelectListRow(HWND list, int row);
// The first selected row, -1 for none.
int SelectedListRow(HWND list);

// The refresh of a list whose rows are all replaced. On construction:
// redrawing off (only for a list on screen: the redraw switch of a hidden
// window would show it), the vertical scroll position (rows), horizontal
// scroll position (pixels), sort and selected index remembered, every row
// removed. On destruction: the sort applied again, the row now at the old
// index selected, the list scrolled back, redrawing on, one invalidate.
class ListRefill {
 public:
  explicit ListRefill(HWND list);
  ~ListRefill();
  ListRefill(const ListRefill&) = delete;
  ListRefill& operator=(const ListRefill&) = delete;

  // Appends a row with these cell texts and image (-1: none).
  void AddRow(const std::vector<std::string>& cells, int image);

 private:
  HWND list_;
  bool redraw_;
  int top_ = 0;
  int left_ = 0;
  int selected_ = -1;
  std::optional<ListSort> sort_;
};

}  // namespace velkor::win
