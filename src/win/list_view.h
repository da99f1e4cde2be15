// Small helpers over report list views.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win/unique_handle.h"

namespace velkor::win {

// Text order of the lists: case-insensitive in `locale`, -1, 0 or 1. Where
// the system cannot compare (an unknown locale), byte order: answering
// "equal" there would merge distinct texts and let one sort put them in any
// order; byte order is still a strict weak order.
int CompareInLocale(std::string_view a, std::string_view b, LCID locale);
// The same in the user's locale.
int LocaleCompare(std::string_view a, std::string_view b);

// Switches a window's drawing off while changes pile up and on again, with
// one invalidate, when the outermost guard of that window ends: guards nest
// (a refresh inside a sort draws once). A hidden window is left alone, as
// switching drawing on would show it.
class RedrawGuard {
 public:
  // `erase`: whether the invalidate at the outer end erases the background.
  explicit RedrawGuard(HWND window, bool erase = true);
  ~RedrawGuard();
  RedrawGuard(RedrawGuard&& other) noexcept;
  RedrawGuard& operator=(RedrawGuard&& other) noexcept;
  RedrawGuard(const RedrawGuard&) = delete;
  RedrawGuard& operator=(const RedrawGuard&) = delete;

 private:
  void End() noexcept;
  HWND window_ = nullptr;  // null when this guard holds nothing
  bool erase_ = true;
};

// Gives `list` its small row images and destroys the list it had (one the
// list view hands back instead of freeing); the list view owns `images`
// from then on. Returns them for filling, null when there are none.
HIMAGELIST ReplaceListImages(HWND list, UniqueImageList images);

// One row of a list brought up to date in place.
struct ListRow {
  std::vector<std::string> cells;
  int image = -1;     // -1: none
  uint32_t look = 0;  // what the owner draws the row with (its colour): a change repaints the row
};
// Brings `list` to `rows` (in their order) with as few changes as it takes:
// rows that stay get only their changed cells and image set, surplus rows go
// from the end, new rows are appended, so the selection, the scroll position
// and the unchanged cells stay and only changed cells repaint. Drawing waits
// for the end where rows come or go. `shown` holds what the list shows and
// becomes `rows`; a list whose row count someone else changed starts afresh.
void UpdateListRows(HWND list, std::vector<ListRow>& shown, std::vector<ListRow> rows);

// A list's filter: the list view shows the rows whose cells hold every word
// of `text`; the rows it hides wait here with their texts, picture and item
// data, and come back at their places when they match again. Rows are taken
// out and put back in place, drawn once; "" shows every row again. The
// lists' own refreshes (UpdateListRows, ListRefill) keep the filter.
void SetListFilter(HWND list, std::string_view text);
// Lets go of every list's filter and rows (the windows are destroyed).
void ForgetListFilters();
// The rows `list` has, shown or hidden by its filter.
int ListRowCountUnfiltered(HWND list);
// Where list row `row` stands among all of the list's rows (those its filter
// hides too): the index into the rows its owner last gave it. -1 for none.
int UnfilteredListRow(HWND list, int row);

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
// The rows a filter hides put into the order of `sort` too, for a list that
// sorts its shown rows itself.
void SortHiddenListRows(HWND list, ListSort sort);
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
// redrawing off (a RedrawGuard), the vertical scroll position (rows), horizontal
// scroll position (pixels), sort and selected index remembered, every row
// removed. On destruction: the sort applied again, the row now at the old
// index selected, the list scrolled back, the guard ended.
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
  RedrawGuard redraw_;
  int top_ = 0;
  int left_ = 0;
  int selected_ = -1;
  std::optional<ListSort> sort_;
};

}  // namespace velkor::win
