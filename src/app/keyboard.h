// The keyboard beyond the shortcuts: the dialog manager for the dialog
// windows (Tab, Enter, the arrows), Tab through the main window, the focus
// marks after a key, the tab strip as a control of its own and the context
// menu of the focused row.
#pragma once

#include <windows.h>

#include <optional>

namespace velkor {

// Hands a key message of a program window to the dialog manager where it
// moves the focus or presses the default button; true when it took the
// message (it is then translated and dispatched). In windows 1 to 4 every key
// goes through it but Escape (a shortcut) and Enter where no button would
// take it; in the main window only Tab without Ctrl and Alt, so the lists,
// fields and shortcuts keep every other key.
bool HandleDialogKeys(MSG& message);
// Whether a key belongs to the focused control before any shortcut: Enter
// on a push button (it presses that button), Enter and Escape in a
// drop-down list that is open (they choose or close it).
bool FocusedControlKeepsKey(const MSG& message);

// The answer to DM_GETDEFID of `window`: the focused push button, else the
// window's shown default button, else 0 (no default).
LRESULT DefaultButtonAnswer(HWND window);

// Makes the tab strip take the focus: the arrows switch views, and a focus
// mark frames the shown view's tab while the strip has the focus.
void GiveTabStripKeys(HWND strip);
// Makes a link take the focus: Enter and Space open it as a click does, and
// a focus mark frames it while it has the focus.
void GiveLinkKeys(HWND link);
// After a view switch: a focus left in a hidden view (or on the main window
// itself, where the system puts it) goes to the shown view's list, or to
// the tab strip where the view has none.
void KeepFocusInShownView(int view);
// A focus left on a hidden control of `window` goes to its first control
// that takes it (after a page switch).
void FocusFirstControlIfHidden(HWND window);

// WM_ACTIVATE of a program window: on deactivation remembers the control
// that has the focus; on activation gives it back (the main window without
// one: the shown view's list; a dialog window: its first control that takes
// the focus), as dialogs do, so the keys go on where they were. True when
// the focus was given (the system's default, which puts the focus on the
// window itself, is then skipped).
bool GiveFocusBackOnActivate(HWND window, WPARAM wParam);

// Shift+F10 on a list of the main window: selects the focused row as a
// right click would (unless it is selected), places the next popup menu at
// that row and answers the list's identifier; nothing without a focused row.
std::optional<int> PrepareFocusedRowMenu();

}  // namespace velkor
