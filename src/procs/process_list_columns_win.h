// The process list's columns: the sort with its arrow in the header, and the
// columns that are hidden at width 0 and locked there (the hidden sample
// columns always, the others as the column settings say).
#pragma once

#include <windows.h>

#include <optional>

namespace velkor {

// Starts afresh for a new list: sorted by column 0 ascending, nothing
// locked. The arrow pictures are kept unless `freePictures`.
void ResetProcessColumns(bool freePictures);

// Locks the hidden columns at width 0 and sorts by column 0 ascending.
void SetUpProcessColumns(HWND list);
// Sorts by `column` and marks it in the header.
void SetProcessSort(HWND list, int column, bool ascending);

// Whether column `column` (1..13) is shown as the column settings say.
bool ProcessColumnShown(int column);
// Shows or hides columns 1..13 as the column settings say (ApplyColumnVisibility).
void ApplyProcessColumnVisibility(HWND list);

// What the list's header asks of a locked column: a width the program did
// not set, a drag or a double-click on its divider are refused (TRUE);
// nothing when the column is not locked or the notification is another.
std::optional<LRESULT> LockedColumnNotify(const NMHDR* header);

}  // namespace velkor
