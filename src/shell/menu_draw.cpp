// The owner-drawn look of the menus of both programs.
#include "shell/menu_draw.h"

#include <memory>
#include <utility>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "shell/menu_look.h"
#include "win/system_functions.h"
#include "win/source_location.h"
#include "win/unique_handle.h"
#include "win/wide_text.h"

namespace velkor {

namespace {

struct MenuDrawState {
  // Records live as long as the menus that point at them: the programs never
  // free a menu; DestroyMenus frees them for the tests.
  std::vector<std::unique_ptr<MenuItemRecord>> records;
  MenuHighlightHook highlight;
};
MenuDrawState& State() {
  static MenuDrawState state;
  return state;
}

void Highlight(int what) {
  if (State().highlight && what != kNoStatusChange) State().highlight(what);
}

// `text` for DrawText with the letter at `mnemonic` underlined and every
// other character as it is.
std::string WithPrefix(const std::string& text, int mnemonic) {
  std::string marked;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '&' || static_cast<int>(at) == mnemonic) marked += '&';
    marked += text[at];
  }
  return marked;
}

// The letters the other owner-drawn items of `menu` are chosen by.
std::string TakenLetters(HMENU menu, UINT item, BOOL byPosition) {
  std::string taken;
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    const UINT at = static_cast<UINT>(position);
    if (byPosition ? at == item : GetMenuItemID(menu, position) == item) continue;
    const MenuItemRecord* other = MenuItemRecordOf(menu, at, true);
    if (other && other->mnemonic >= 0) taken += UpperLetter(other->text[static_cast<size_t>(other->mnemonic)]);
  }
  return taken;
}

// WM_MENUCHAR: the item of `menu` whose letter is `key`; a greyed one is
// only highlighted.
std::optional<LRESULT> ItemOfLetter(HMENU menu, char key) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    const MenuItemRecord* record = MenuItemRecordOf(menu, static_cast<UINT>(position), true);
    if (!record || record->mnemonic < 0 ||
        UpperLetter(record->text[static_cast<size_t>(record->mnemonic)]) != UpperLetter(key))
      continue;
    const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
    return MAKELRESULT(position, (state & (MF_GRAYED | MF_DISABLED)) ? MNC_SELECT : MNC_EXECUTE);
  }
  return std::nullopt;
}

}  // namespace

void PaintMenuItem(const DRAWITEMSTRUCT* item, int dpi) {
  const auto* record = reinterpret_cast<const MenuItemRecord*>(item->itemData);
  const RECT& r = item->rcItem;
  const bool highlighted = (item->itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
  const bool greyed = (item->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  // Submenus and titles have no help line: identifier 0 gives an empty one.
  const int id = record->popup ? 0 : static_cast<int>(item->itemID);
  const MenuDrawPlan plan = PlanMenuItem(record->text.empty(), highlighted, greyed, id);
  Highlight(plan.status);

  const bool checked = (item->itemState & ODS_CHECKED) != 0;
  const Canvas* own = CachedPictureForDpi(record->iconName, dpi);
  const Canvas* icon = checked ? CachedPictureForDpi(images::kMenuCheck, dpi) : own;
  if (checked && !icon) icon = own;
  const Canvas picture = DrawMenuItem(r.right - r.left, r.bottom - r.top, plan.look, record->title, icon, dpi);
  PaintCanvas(item->hDC, picture, r.left, r.top);
  if (!record->text.empty()) {
    const MenuPlaces places = MenuPlacesAt(dpi);
    win::SelectScope font(item->hDC, MenuFont(dpi));
    const Pixel colour = MenuCaptionColour(plan.look);
    SetTextColor(item->hDC, RGB(PixelRed(colour), PixelGreen(colour), PixelBlue(colour)));
    SetBkMode(item->hDC, TRANSPARENT);
    const int x = r.left + (record->title ? places.titleCaptionX : places.captionX);
    // The underlined letter shows unless the system hides them (the menu
    // was opened with the mouse and the keyboard was not used).
    if (record->mnemonic >= 0 && !(item->itemState & ODS_NOACCEL)) {
      RECT place{x, r.top + places.captionY, r.right, r.bottom};
      const std::string marked = WithPrefix(record->text, record->mnemonic);
      DrawTextA(item->hDC, marked.c_str(), static_cast<int>(marked.size()), &place, DT_SINGLELINE | DT_NOCLIP);
    } else {
      TextOutA(item->hDC, x, r.top + places.captionY, record->text.c_str(), static_cast<int>(record->text.size()));
    }
  }
}

HFONT MenuFont() { return CachedFont(8); }

HFONT MenuFont(int dpi) { return CachedFont(8, false, false, dpi); }

MenuItemSize MeasureMenuItemAt(const MenuItemRecord& record, int dpi) {
  SIZE extent{};
  if (!record.text.empty()) {
    win::WindowDc screen(nullptr);
    win::SelectScope font(screen.get(), MenuFont(dpi));
    GetTextExtentPoint32A(screen.get(), record.text.c_str(), static_cast<int>(record.text.size()), &extent);
  }
  return MeasureMenuItem(record.text.empty(), record.title, extent.cx, dpi, extent.cy);
}

void RemeasureMenu(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) continue;
    if (info.hSubMenu) RemeasureMenu(info.hSubMenu);
    // Setting the type again drops the size the system keeps for the item.
    if (info.fType & MFT_OWNERDRAW) {
      info.fMask = MIIM_FTYPE;
      SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    }
  }
}

void MakeOwnerDrawn(HMENU menu, UINT item, const char* icon, UINT flags, const std::string& text, bool titleFlag) {
  const BOOL byPosition = (flags & MF_BYPOSITION) ? TRUE : FALSE;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU | MIIM_STATE;
  if (!GetMenuItemInfoA(menu, item, byPosition, &info)) return;
  auto record = std::make_unique<MenuItemRecord>();
  record->font = MenuFont();
  record->text = text;
  // The program's texts are Windows-1252 whatever the system's code page.
  record->accessibleText = win::WideText(text, 1252);
  record->accessible.dwMSAASignature = static_cast<DWORD>(MSAA_MENU_SIG);
  record->accessible.cchWText = static_cast<DWORD>(record->accessibleText.size());
  record->accessible.pszWText = record->accessibleText.data();
  record->iconName = icon;
  record->icon = CachedPicture(icon);
  record->title = titleFlag;
  record->popup = info.hSubMenu != nullptr;
  if (!text.empty()) {
    std::string taken = TakenLetters(menu, item, byPosition);
    record->mnemonic = ChooseMnemonic(text, taken);
  }
  info.fMask = MIIM_FTYPE | MIIM_DATA;
  info.fType = MFT_OWNERDRAW;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(record.get());
  if (text.empty()) {
    info.fMask |= MIIM_STATE;
    info.fState |= MFS_GRAYED;
  }
  if (SetMenuItemInfoA(menu, item, byPosition, &info)) State().records.push_back(std::move(record));
}

const MenuItemRecord* MenuItemRecordOf(HMENU menu, UINT item, bool byPosition) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_DATA;
  if (!GetMenuItemInfoA(menu, item, byPosition ? TRUE : FALSE, &info) || !(info.fType & MFT_OWNERDRAW)) return nullptr;
  for (const auto& record : State().records)
    if (reinterpret_cast<ULONG_PTR>(record.get()) == info.dwItemData) return record.get();
  return nullptr;
}

void SetMenuHighlightHook(MenuHighlightHook hook) { State().highlight = std::move(hook); }

void DestroyMenuItemRecords() { State().records.clear(); }

std::optional<LRESULT> HandleMenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  VELKOR_PLACE(kProceduresUnit);
  switch (message) {
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType != ODT_MENU || !measure->itemData) return std::nullopt;
      // The menu's owner decides the scale: its monitor's DPI.
      const MenuItemSize size =
          MeasureMenuItemAt(*reinterpret_cast<const MenuItemRecord*>(measure->itemData), win::WindowDpi(window));
      measure->itemWidth = static_cast<UINT>(size.width);
      measure->itemHeight = static_cast<UINT>(size.height);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_MENU || !item->itemData) return std::nullopt;
      PaintMenuItem(item, win::WindowDpi(window));
      return TRUE;
    }
    case WM_MENUCHAR: return ItemOfLetter(reinterpret_cast<HMENU>(lParam), static_cast<char>(LOWORD(wParam)));
    case WM_MENUSELECT: {
      const UINT flags = HIWORD(wParam);
      if (flags == 0xFFFF && lParam == 0) {
        Highlight(-1);  // the menu closed: the figures again
      } else if (flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) {
        Highlight(-2);
      } else {
        Highlight((flags & MF_POPUP) ? 0 : static_cast<int>(LOWORD(wParam)));
      }
      return 0;
    }
    default: return std::nullopt;
  }
}

}  // namespace velkor
