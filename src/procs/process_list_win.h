// The Win32 side of the process list: the refresh, the list view's
// notifications (row colours, header-click sorting, locked columns) and what
// other parts read of the list. The merge is in process_list.h; the pieces
// are the snapshot (process_snapshot_win.h), the facts and their caches
// (process_facts_win.h), the row store (process_list_rows_win.h), the
// columns (process_list_columns_win.h) and the window titles
// (window_titles_win.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "procs/process_list.h"

namespace velkor {

// Merges a fresh snapshot into the process list; 1 when the list changed
// (a row added or removed or a cell text rewritten), else 0. The first fill
// at start-up is an ordinary refresh of the empty list. Callers other than
// the periodic refresh set the list stamp afterwards.
int RefreshProcessList();
// Header-click sorting by ProcessColumnSortKind, starting by column 0
// ascending; the hidden columns 14..17 are locked at width 0.
void SetUpProcessListSorting();
// Shows or hides columns 1..13 after ColumnShown, keeping the widths of
// hidden columns in ColumnWidths; hidden columns cannot be widened.
void ApplyColumnVisibility();
// The rows' icons taken again at the list's new DPI, in their places.
void ProcessListDpiChanged(int dpi);
// Frees the list's icons and per-path data (shutdown and tests).
void DestroyProcessList();

// Notifications of list 139 and of its header, as the list's parent gets
// them: the answer when the process list handled it, nothing otherwise.
std::optional<LRESULT> ProcessListNotify(const NMHDR* header);

// What hangs off a refresh and belongs to other parts of the program; any
// hook may be empty.
struct ProcessListHooks {
  HistoryImageHooks history;          // the per-row CPU history strips
  std::function<void()> listChanged;  // diagram and summary panel, after a changing refresh
  std::function<HWND()> list;         // list 139 of the windows as built (none: no list)
  // After each refresh that read a snapshot, with the working sets summed
  // over the listed processes (the memory tables of the monitor view).
  std::function<void(uint64_t workingSetSum)> refreshed;
};
// App hands them over when it builds the windows; {} lets go of them.
void SetProcessListHooks(ProcessListHooks hooks);

// For the comparison of the cached reading with the direct one: called in
// each refresh before the merge with the facts of the same snapshot read
// directly (ReadProcessFactsDirectly) and the refresh's settings, while the
// list still holds the rows of the refresh before. Empty by default.
using ProcessReadingCheckHook =
    std::function<void(const std::vector<ProcessFacts>& readDirectly, const MergeSettings& settings)>;
void SetProcessReadingCheckHook(ProcessReadingCheckHook hook);

// The list view of the process list and its rows as a store, every process
// in the order of the sort (for the parts that read or mark rows: strips,
// diagram, panel).
HWND ProcessListHandle();
ProcessRows& ProcessListRows();
// The numbers of row `row` (in the order shown, as the list view counts), or
// of the row of `pid`; null when there is no such row.
const ProcessRowFacts* ProcessFactsAt(int row);
const ProcessRowFacts* ProcessFactsOf(uint32_t pid);
// The row of `pid` in the order shown, -1 for none (or hidden by the filter).
int ProcessRowOf(uint32_t pid);
// The row of ProcessListRows() shown as row `row`, -1 for none. The list
// shows the processes the filter lets through; ProcessListRows() holds every
// process, and what describes the machine reads all of them.
int ProcessStoreRow(int row);
int ProcessListShownCount();
// Shows only the processes whose visible cells hold every blank-separated
// word of `text` (case-insensitive); "" shows all.
void FilterProcessList(std::string_view text);

// The current sort: column and direction.
int ProcessListSortColumn();
bool ProcessListSortAscending();
// Sorts by `column` (ascending or not), as a header click would.
void SortProcessList(int column, bool ascending);
// The row colours the list draws with: background and text, when set.
struct ProcessRowLook {
  bool hasBackground = false;
  COLORREF background = 0;
  bool hasText = false;
  COLORREF text = 0;
};
ProcessRowLook ProcessRowLookAt(int row);

}  // namespace velkor
