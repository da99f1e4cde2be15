// The process list's list view as a row store. The cells live here, in the
// list's order; the list view holds no texts of its own for its rows and
// asks for them when it draws or when anyone reads a cell
// (LVN_GETDISPINFO), so a changed cell costs no message. Each row carries an
// identity in its item data, which also keys its colours.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "procs/process_list.h"

namespace velkor {

// The colours of one row; none: the list's own.
struct RowLook {
  std::optional<Rgb> background;
  std::optional<Rgb> text;
};

// Makes `list` the list the rows live in; true when it is another list than
// before (the windows were built again, or there is none), whose store then
// starts from the rows it holds. Rows that someone else added or removed
// are read back in.
bool AttachListRows(HWND list);
// Forgets the list and every row (shutdown and tests).
void DestroyListRows();
// The list the rows live in; none before the first attach.
HWND ListRowsWindow();

// The rows as the process list's merge and its readers see them.
ProcessRows& ListRowStore();

// The text of `column` in list item `index` with identity `id`; "" for a
// cell that does not exist.
const std::string& ListCellText(int index, LPARAM id, int column);
// The identity of row `row` of the list, 0 for none.
LPARAM ListItemId(int row);
// The colours of the row with identity `id`; null for a row we do not know.
const RowLook* ListRowLook(LPARAM id);

// Puts the rows into the order of `column`, ascending or not; nothing
// happens (and nothing is redrawn) when they are in that order already.
void SortListRowsBy(int column, bool ascending);

// A batch of changes to the rows. Drawing is frozen at the first change of
// the rows (added, deleted, reordered) and thawed when the outermost batch
// ends; a hidden list is never frozen (WM_SETREDRAW would show it). Changed
// texts only get their cells invalidated at that end (the ones in sight), so
// a batch that changes nothing draws nothing and one that changes a few
// figures redraws those figures. Batches nest.
class ListRedrawBatch {
 public:
  ListRedrawBatch();
  ~ListRedrawBatch();
  ListRedrawBatch(const ListRedrawBatch&) = delete;
  ListRedrawBatch& operator=(const ListRedrawBatch&) = delete;
};

}  // namespace velkor
