// The menu bar and popup menus of velkor.exe, and the owner-drawn look that
// every menu of both programs shares.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "gfx/canvas.h"

namespace velkor {

// What an owner-drawn item carries (its item data): made by MakeOwnerDrawn.
struct MenuItemRecord {
  HFONT font = nullptr;           // Tahoma 8
  std::string text;               // empty for a separator
  const char* iconName = nullptr; // 16x16 picture resource, or null
  const Canvas* icon = nullptr;   // its pixels, null when it has none
  bool title = false;             // one of the menu bar's titles
  bool popup = false;             // opens a submenu
};
// The record of an item, or null when it is not owner-drawn by us.
const MenuItemRecord* MenuItemRecordOf(HMENU menu, UINT item, bool byPosition);
// Tahoma 8, the font of every menu item.
HFONT MenuFont();

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
// Opens menu 1 at the mouse position for `owner` (the preferences window).
void ShowSearchEngineMenu(HWND owner);

// Gives an item (by command with MF_BYCOMMAND, by position with
// MF_BYPOSITION) its record and makes it owner-drawn; an empty caption makes
// it a disabled separator. `icon` names a 16x16 picture resource or is null.
void MakeOwnerDrawn(HMENU menu, UINT item, const char* icon, UINT flags, const std::string& text, bool titleFlag);

// The owner-draw messages of the menus (WM_MEASUREITEM, WM_DRAWITEM of
// ODT_MENU) and WM_MENUSELECT; an answer when the message was a menu's.
std::optional<LRESULT> HandleMenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Called with the highlighted item's identifier (or -2 for a separator or a
// greyed item, -1 when the menu closes); the main program shows the help
// line in its status bar, the companion has none.
using MenuHighlightHook = void (*)(int what);
void SetMenuHighlightHook(MenuHighlightHook hook);
// Frees every item record (after the menus that point at them are gone).
void FreeMenuItemRecords();

// Unchecks items 13..18 of the menu bar and checks 13 + view.
void CheckViewMenuItem(int view);

}  // namespace velkor
