// The process list's list view as a row store. The rows live here, in the
// list's order; the list view (LVS_OWNERDATA) holds only how many are shown
// and asks for texts and pictures when it draws or when anyone reads a cell
// (LVN_GETDISPINFO), so a changed cell costs no message and a filter or a
// sort costs one count. Each row carries an identity, which keys its
// colours and keeps the selection on its rows when they move.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "procs/process_list.h"
#include "win/row_filter.h"

namespace velkor {

// The colours of one row; none: the list's own.
struct RowLook {
  std::optional<Rgb> background;
  std::optional<Rgb> text;
};

// Makes `list` the list the rows live in; true when it is another list than
// before (the windows were built again, or there is none), whose store then
// starts empty. A list someone else emptied empties the store; any other
// count someone else set is set back to the rows shown.
bool AttachListRows(HWND list);
// Forgets the list and every row (shutdown and tests).
void DestroyListRows();
// The list the rows live in; none before the first attach.
HWND ListRowsWindow();

// The rows as the process list's merge and its readers see them.
ProcessRows& ListRowStore();

// The text of `column` in list item `item`; "" for a cell that does not
// exist. The picture and identity of list item `item`; -1 and 0 for none.
const std::string& ListCellText(int item, int column);
int ListItemImage(int item);
LPARAM ListItemId(int item);
// The first list item from `start` on (round to the top when `wrap`) whose
// name starts with `prefix` (or is it, when `whole`), case-insensitively;
// -1 for none.
int ListFindItem(std::string_view prefix, int start, bool wrap, bool whole);
// Whether the list's selection is being put back on moved rows: its notices
// of that are no change of the user's.
bool ListMovingSelection();
// The identity of store row `row`, 0 for none.
LPARAM ListRowId(int row);
// The store holds every process; the list view shows the rows the filter
// lets through, in the store's order. The store row of list item `item`
// and the list item of store row `row`; -1 for none (or a hidden row).
int ListRowOfItem(int item);
int ListItemOfRow(int row);
int ListShownRowCount();
// Shows the rows whose cells in the columns `columns` marks (by column) hold
// every word of `filter`, hiding and showing rows in place, drawn once.
void SetListRowFilter(RowFilter filter, std::vector<bool> columns);
// The colours of the row with identity `id`; null for a row we do not know.
const RowLook* ListRowLook(LPARAM id);

// Puts the rows into the order of `column`, ascending or not; nothing
// happens (and nothing is redrawn) when they are in that order already.
void SortListRowsBy(int column, bool ascending);

// A batch of changes to the rows. When the outermost batch ends, a change of
// the rows (added, deleted, hidden, shown, reordered) sets the list's count
// once, puts the selection back on its rows and redraws the list; otherwise
// changed texts only get their cells invalidated (the ones in sight), so a
// batch that changes nothing draws nothing and one that changes a few
// figures redraws those figures. Batches nest.
class ListRedrawBatch {
 public:
  ListRedrawBatch();
  ~ListRedrawBatch();
  ListRedrawBatch(const ListRedrawBatch&) = delete;
  ListRedrawBatch& operator=(const ListRedrawBatch&) = delete;
};

}  // namespace velkor
