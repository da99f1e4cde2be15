// The "Dienste" view: a small layer over the service manager (a snapshot
// walked with a cursor, state and description queries, four control
// operations) and the view logic that fills the service list and carries out
// the commands of its context menu. The list and menu handles come from the
// caller; nothing here knows the main window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace velkor {

// Service manager layer. A snapshot holds every Win32 service (own and
// shared process) in every state, in the manager's order; the cursor is
// 1-based, 0 before the first NextService.
int ExamineServices();
int NextService();
std::string ServiceName();
std::string ServiceDisplayName();
uint32_t ServiceState();
// The "Description" value of the service's registry key; an indirect
// reference ("@file,-id") shows the text it names where the system can
// resolve it, else as stored. Empty when there is none or it cannot be read.
std::string ServiceDescription(const std::string& name);
// Non-zero when the manager accepted the request. Each opens the service
// with just the right its operation needs.
int ServiceStart(const std::string& name);
int ServiceStop(const std::string& name);
int ServicePause(const std::string& name);
int ServiceContinue(const std::string& name);

// Clears and refills `list` (the four columns of the view) from a fresh
// snapshot, keeping its sort, selected index and scroll position.
void RefreshServiceList(HWND list);
// A click on a header of the service list: sorts by that column as text
// (the same column again flips the direction) and marks it with an arrow.
void SortServiceList(HWND list, int column);

// The right click on the service list: with a row selected, remembers its
// service and sets the enabled states of items 127..130 of `menu` by its
// "Status" text; false (and nothing changed) without a selected row.
bool PrepareServiceMenu(HWND list, HMENU menu);
// Commands 126..130 on the service remembered by PrepareServiceMenu (the
// selected row's when there is none). "Aktualisieren" refreshes at once
// and returns true (then the caller restarts the periodic refresh
// interval). The other four go to the service worker, one at a time per
// service (a second one for the same service is ignored), and the row
// shows the command's pending text until FinishServiceCommands takes its
// outcome.
bool RunServiceCommand(HWND list, int command);
// Signalled while outcomes of service commands wait to be taken; null
// before the first command. The event loop waits on it with its others.
HANDLE ServiceCommandsEnded();
// Takes the outcomes the worker finished: refreshes `list` and shows the
// "Hinweis" message of each failed one (owned by the list's top-level
// window). True when the list was refreshed.
bool FinishServiceCommands(HWND list);

// Shared by the lists of this folder: every row of such a list shows the
// same 16x16 picture, given once as the list's image list (which the list
// view frees with the list).
void GiveListIcon(HWND list, const char* pictureName);
// The header arrows of the lists of this folder (12x12 at 96 DPI), made
// once for each DPI.
HBITMAP ListSortArrow(bool ascending, int dpi);
// A click on header `column` of a list of this folder sorted by its texts:
// sorts by that column (the same column again flips the direction) and
// marks it with an arrow.
void SortClickedList(HWND list, int column);

// Frees what the view keeps (the snapshot, the header arrows); for the end
// of the program and between tests, after the list is gone.
void DestroyServiceList();

}  // namespace velkor
