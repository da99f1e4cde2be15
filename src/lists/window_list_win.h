// The Win32 side of the window list (list 147 of the "Fenster" view): the
// refresh over the system's top-level windows, header-click sorting, and the
// window commands on the selected row. The main program hands over the
// controls once they exist and wires the commands, menus and views.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "lists/window_list.h"
#include "win/list_view.h"

namespace velkor {

struct WindowListControls {
  HWND list = nullptr;
  HWND showHidden = nullptr;     // check box "Zeige versteckte Fenster"
  HWND showSizeless = nullptr;   // check box "Zeige Fenster ohne Größe"
  HWND showOffScreen = nullptr;  // check box "Zeige Fenster außerhalb des Bildschirms"
};

// Takes the controls, gives the list its row images and sorts it by column
// 0 ascending.
void AttachWindowList(const WindowListControls& controls);
// The list was moved to a monitor of another scale: its icons are taken
// again at the small-icon size of `dpi` and the rows refilled.
void WindowListDpiChanged(int dpi);
// Forgets the controls and frees the cached icons and arrows (shutdown, tests).
void DestroyWindowList();

// Rebuilds the list from the top-level windows, keeping scroll position,
// sort and selected index; returns the number of rows. Callers other than
// the periodic refresh record the refresh time afterwards.
int RefreshWindowList();
// The enumeration callback of the refresh (`buffer` is its 256-byte title
// buffer): adds at most one row; always non-zero.
BOOL CALLBACK AddWindowRow(HWND window, LPARAM buffer);

// Sorts by `column`, as a header click does.
void SortWindowList(int column, bool ascending);
int WindowListSortColumn();
bool WindowListSortAscending();
// Header clicks of the window list: the answer when it was one.
std::optional<LRESULT> WindowListNotify(const NMHDR* header);

// Clears the selection of a list, then selects `row` (none for -1).
using win::SelectListRow;
// Selects, focuses and shows the first row of the process list that stands
// for `pid`; false (nothing changed) without one.
bool SelectProcessRowByPid(HWND processList, uint32_t pid);

// The selected row (-1 for none), the window whose handle it shows (null
// when none), and the owning process's id it shows (0 when none).
int SelectedWindowRow();
HWND SelectedWindow();
uint32_t SelectedWindowPid();

// Whether the window has the topmost extended style.
bool WindowIsTopmost(HWND window);
// Carries out a window command on `target`. Another program's window is
// never waited for longer than a short bound: showing, hiding, sizing and
// the topmost change are handed to its thread, and the close request waits
// a moment for an answer. "Zerstören" destroys a window of the calling
// thread; any other it asks to close, and says in a "Hinweis" when the
// window is still there (its program is never ended).
void RunWindowCommand(HWND target, WindowCommand command);

}  // namespace velkor
