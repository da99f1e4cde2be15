// The owner-drawn items that every menu of both programs shares: the record
// each item carries, and the messages that measure and draw it.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <optional>
#include <string>
#include <type_traits>

#include "gfx/canvas.h"
#include "shell/menu_look.h"

namespace velkor {

// What an owner-drawn item carries (its item data): made by MakeOwnerDrawn.
struct MenuItemRecord {
  // First: a screen reader reads an owner-drawn item's text from the start
  // of its item data, in wide characters.
  MSAAMENUINFO accessible{};
  std::wstring accessibleText;     // what `accessible` points at
  HFONT font = nullptr;            // Tahoma 8 at the system's DPI; drawn at the owner's
  std::string text;                // empty for a separator
  const char* iconName = nullptr;  // 16x16 picture resource, or null
  const Canvas* icon = nullptr;    // its pixels, null when it has none
  bool title = false;              // one of the menu bar's titles
  bool popup = false;              // opens a submenu
  int mnemonic = -1;               // the place of its underlined letter in `text`, or -1
};
static_assert(std::is_standard_layout_v<MenuItemRecord>, "the accessible text must begin the item data");
// The record of an item, or null when it is not owner-drawn by us.
const MenuItemRecord* MenuItemRecordOf(HMENU menu, UINT item, bool byPosition);
// Tahoma 8, the font of every menu item, at the system's DPI or at `dpi`.
HFONT MenuFont();
HFONT MenuFont(int dpi);
// The size an item asks for in a menu whose owner window has `dpi`: its
// caption measured in the menu font for that DPI.
MenuItemSize MeasureMenuItemAt(const MenuItemRecord& record, int dpi);
// Draws an item of a menu whose owner window has `dpi` (WM_DRAWITEM).
void PaintMenuItem(const DRAWITEMSTRUCT* item, int dpi);
// Makes the system measure every owner-drawn item of `menu` and its submenus
// again when next shown: after the owner window moved to a DPI of its own.
void RemeasureMenu(HMENU menu);

// Gives an item (by command with MF_BYCOMMAND, by position with
// MF_BYPOSITION) its record and makes it owner-drawn; an empty caption makes
// it a disabled separator. `icon` names a 16x16 picture resource or is null.
void MakeOwnerDrawn(HMENU menu, UINT item, const char* icon, UINT flags, const std::string& text, bool titleFlag);

// The owner-draw messages of the menus (WM_MEASUREITEM, WM_DRAWITEM of
// ODT_MENU), WM_MENUSELECT and WM_MENUCHAR (the system knows no letters of
// owner-drawn items: the item whose underlined letter was typed); an answer
// when the message was a menu's.
std::optional<LRESULT> HandleMenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Called with the highlighted item's identifier (or -2 for a separator or a
// greyed item, -1 when the menu closes); the main program shows the help
// line in its status bar, the companion has none.
using MenuHighlightHook = std::function<void(int what)>;
void SetMenuHighlightHook(MenuHighlightHook hook);
// Frees every item record (after the menus that point at them are gone).
void DestroyMenuItemRecords();

}  // namespace velkor
