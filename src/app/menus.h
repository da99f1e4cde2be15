// The menu bar and popup menus of velkor.exe; their owner-drawn items are
// those of shell/menu_draw.h.
#pragma once

#include <windows.h>

#include "shell/menu_draw.h"

namespace velkor {

// Popup menus 1 (search engines), 2 (process list), 3 (window list),
// 4 (service list) and 5 (driver list); null for any other number or before
// BuildPopupMenus.
HMENU PopupMenuHandle(int number);
// The menu bar of window 0 (null before BuildMenuBar).
HMENU MenuBarHandle();

// Creates popup menus 1 to 5 (once, with the windows).
void BuildPopupMenus();
// Creates the menu bar and attaches it to window 0.
void BuildMenuBar();
// Frees the menus and their item records (tests, between cases).
void DestroyMenus();

// Opens popup menu `number` at the mouse position over window 0; the chosen
// item arrives as a menu event (13101) of its identifier.
void ShowPopupMenu(int number);
// Opens the next popup menus at `screen` instead (a menu asked for from the
// keyboard opens at the focused row), until ForgetMenuPlace.
void SetMenuPlace(POINT screen);
void ForgetMenuPlace();
// Opens menu 1 at the mouse position for `owner` (the preferences window).
void ShowSearchEngineMenu(HWND owner);

// Checks item 13 + view of the menu bar, unchecks the other views and sets
// every other item of the bar as the command decision says.
void CheckViewMenuItem(int view);

}  // namespace velkor
