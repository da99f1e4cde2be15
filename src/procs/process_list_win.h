// The Win32 side of the process list: the list view as a row store, the
// window-title enumeration and the list's notifications (row colours,
// header-click sorting, locked columns). The merge is in process_list.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "procs/process_list.h"

namespace velkor {

// The top-level window enumeration callback of the refresh: appends the
// title of a qualifying window (no owner, no parent, visible, not a child,
// with a caption) to this refresh's title list. Always non-zero.
BOOL CALLBACK CollectWindowTitle(HWND window, LPARAM unused);
// The titles the last refresh collected.
const std::vector<WindowTitle>& CollectedWindowTitles();

// Notifications of list 139 and of its header, as the list's parent gets
// them: true (with the answer in `result`) when the process list handled it.
bool ProcessListNotify(const NMHDR* header, LRESULT& result);

// What hangs off a refresh and belongs to other parts of the program; any
// hook may be empty.
struct ProcessListHooks {
  HistoryImageHooks history;        // the per-row CPU history strips
  std::function<void()> listChanged; // diagram and summary panel, after a changing refresh
  std::function<HWND()> list;        // list 139 of the windows as built (none: no list)
  // After each refresh that read a snapshot, with the working sets summed
  // over the listed processes (the memory tables of the monitor view).
  std::function<void(uint64_t workingSetSum)> refreshed;
};
extern ProcessListHooks ProcessListCallbacks;

// The list view of the process list and its rows as a store, in the order
// shown (for the parts that read or mark rows: strips, diagram, panel).
HWND ProcessListHandle();
ProcessRows& ProcessListRows();

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
