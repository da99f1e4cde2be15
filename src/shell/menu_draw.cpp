// The owner-drawn look of the menus of both programs.
#include "shell/menu_draw.h"

#include <memory>
#include <vector>

#include "shell/menu_look.h"
#include "gfx/bitmap.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "win/unique_handle.h"

namespace velkor {

namespace {

struct MenuDrawState {
  // Records live as long as the menus that point at them: the programs never
  // free a menu; DestroyMenus frees them for the tests.
  std::vector<std::unique_ptr<MenuItemRecord>> records;
  MenuHighlightHook highlight = nullptr;
};
MenuDrawState& State() {
  static MenuDrawState state;
  return state;
}

void Highlight(int what) {
  if (State().highlight && what != kNoStatusChange) State().highlight(what);
}

LRESULT MeasureItem(MEASUREITEMSTRUCT* measure) {
  const auto* record = reinterpret_cast<const MenuItemRecord*>(measure->itemData);
  SIZE extent{};
  if (!record->text.empty()) {
    win::WindowDc screen(nullptr);
    win::SelectScope font(screen.get(), record->font);
    GetTextExtentPoint32A(screen.get(), record->text.c_str(), static_cast<int>(record->text.size()), &extent);
  }
  const MenuItemSize size = MeasureMenuItem(record->text.empty(), record->title, extent.cx);
  measure->itemWidth = static_cast<UINT>(size.width);
  measure->itemHeight = static_cast<UINT>(size.height);
  return TRUE;
}

LRESULT DrawItem(const DRAWITEMSTRUCT* item) {
  const auto* record = reinterpret_cast<const MenuItemRecord*>(item->itemData);
  const RECT& r = item->rcItem;
  const bool highlighted = (item->itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
  const bool greyed = (item->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  // Submenus and titles have no help line: identifier 0 gives an empty one.
  const int id = record->popup ? 0 : static_cast<int>(item->itemID);
  const MenuDrawPlan plan = PlanMenuItem(record->text.empty(), highlighted, greyed, id);
  Highlight(plan.status);

  const bool checked = (item->itemState & ODS_CHECKED) != 0;
  const Canvas* icon = checked ? CachedPicture(images::kMenuCheck) : record->icon;
  if (checked && !icon) icon = record->icon;
  const Canvas picture = DrawMenuItem(r.right - r.left, r.bottom - r.top, plan.look, record->title, icon);
  PaintCanvas(item->hDC, picture, r.left, r.top);
  if (!record->text.empty()) {
    win::SelectScope font(item->hDC, record->font);
    const Pixel colour = MenuCaptionColour(plan.look);
    SetTextColor(item->hDC, RGB(PixelRed(colour), PixelGreen(colour), PixelBlue(colour)));
    SetBkMode(item->hDC, TRANSPARENT);
    const int x = r.left + (record->title ? kMenuTitleCaptionX : kMenuCaptionX);
    TextOutA(item->hDC, x, r.top + kMenuCaptionY, record->text.c_str(), static_cast<int>(record->text.size()));
  }
  return TRUE;
}

}  // namespace

HFONT MenuFont() { return CachedFont(8); }

void MakeOwnerDrawn(HMENU menu, UINT item, const char* icon, UINT flags, const std::string& text, bool titleFlag) {
  const BOOL byPosition = (flags & MF_BYPOSITION) ? TRUE : FALSE;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU | MIIM_STATE;
  if (!GetMenuItemInfoA(menu, item, byPosition, &info)) return;
  auto record = std::make_unique<MenuItemRecord>();
  record->font = MenuFont();
  record->text = text;
  record->iconName = icon;
  record->icon = CachedPicture(icon);
  record->title = titleFlag;
  record->popup = info.hSubMenu != nullptr;
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

void SetMenuHighlightHook(MenuHighlightHook hook) { State().highlight = hook; }

void FreeMenuItemRecords() { State().records.clear(); }

std::optional<LRESULT> HandleMenuMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType != ODT_MENU || !measure->itemData) return std::nullopt;
      return MeasureItem(measure);
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_MENU || !item->itemData) return std::nullopt;
      return DrawItem(item);
    }
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
