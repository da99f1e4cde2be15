// The process list's notifications: cell texts for the list view, row
// colours, header-click sorting and the locked columns.
#include "procs/process_list_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "gfx/contrast.h"
#include "procs/process_list_columns_win.h"
#include "procs/process_list_rows_win.h"
#include "win/source_location.h"

namespace velkor {

namespace {

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }

// A row's picture and a cell's text for the list view, the text in the
// character set it asked in.
void AnswerDisplayInfo(NMHDR* header) {
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);  // the W form has the same layout
  if ((info->item.mask & LVIF_IMAGE) && info->item.iSubItem == 0) info->item.iImage = ListItemImage(info->item.iItem);
  if (info->item.mask & LVIF_PARAM) info->item.lParam = ListItemId(info->item.iItem);
  if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return;
  const std::string& text = ListCellText(info->item.iItem, info->item.iSubItem);
  if (header->code == static_cast<UINT>(LVN_GETDISPINFOW)) {
    auto* wide = reinterpret_cast<wchar_t*>(info->item.pszText);
    const int written = text.empty() ? 0
                                     : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide,
                                                           info->item.cchTextMax - 1);
    wide[std::max(written, 0)] = L'\0';
    return;
  }
  const size_t length = std::min(text.size(), static_cast<size_t>(info->item.cchTextMax - 1));
  std::copy_n(text.data(), length, info->item.pszText);
  info->item.pszText[length] = '\0';
}

// Typing in the list finds the next row whose name starts with what was
// typed; the list asks its owner, who holds the names.
LRESULT FindItem(const NMLVFINDITEMA* find, bool wide) {
  if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz) return -1;
  std::string prefix;
  if (wide) {
    const auto* text = reinterpret_cast<const wchar_t*>(find->lvfi.psz);
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return -1;
    prefix.resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, text, -1, prefix.data(), size, nullptr, nullptr);
    prefix.resize(static_cast<size_t>(size - 1));
  } else {
    prefix = find->lvfi.psz;
  }
  if (prefix.empty()) return -1;
  return ListFindItem(prefix, find->iStart, (find->lvfi.flags & LVFI_WRAP) != 0, !(find->lvfi.flags & LVFI_PARTIAL));
}

LRESULT CustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const RowLook* look = ListRowLook(ListItemId(static_cast<int>(draw->nmcd.dwItemSpec)));
      // Rows in the standard colours keep the list's own font handling; in
      // the system's high contrast every row keeps the system's colours.
      if (!look || (!look->background && !look->text) || HighContrast()) return CDRF_DODEFAULT;
      if (look->background) draw->clrTextBk = ToColorRef(*look->background);
      if (look->text) draw->clrText = ToColorRef(*look->text);
      return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
  }
}

}  // namespace

ProcessRowLook ProcessRowLookAt(int row) {
  ProcessRowLook look;
  if (!ProcessListHandle()) return look;
  const RowLook* found = ListRowLook(ListRowId(row));
  if (!found) return look;
  if (found->background) look = {true, ToColorRef(*found->background), false, 0};
  if (found->text) {
    look.hasText = true;
    look.text = ToColorRef(*found->text);
  }
  return look;
}

std::optional<LRESULT> ProcessListNotify(const NMHDR* header) {
  VELKOR_PLACE(kProceduresUnit);
  HWND list = ListRowsWindow();
  if (!header || !list) return std::nullopt;
  if (header->hwndFrom == list) {
    if (header->code == static_cast<UINT>(LVN_GETDISPINFOA) || header->code == static_cast<UINT>(LVN_GETDISPINFOW)) {
      AnswerDisplayInfo(const_cast<NMHDR*>(header));
      return 0;
    }
    if (header->code == static_cast<UINT>(NM_CUSTOMDRAW))
      return CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
    if (header->code == static_cast<UINT>(LVN_ODFINDITEMA) || header->code == static_cast<UINT>(LVN_ODFINDITEMW))
      return FindItem(reinterpret_cast<const NMLVFINDITEMA*>(header), header->code == LVN_ODFINDITEMW);
    if (ListMovingSelection() &&
        (header->code == static_cast<UINT>(LVN_ITEMCHANGING) || header->code == static_cast<UINT>(LVN_ITEMCHANGED) ||
         header->code == static_cast<UINT>(LVN_ODSTATECHANGED)))
      return 0;
    if (header->code == static_cast<UINT>(LVN_COLUMNCLICK)) {
      const int column = reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem;
      SortProcessList(column, column == ProcessListSortColumn() ? !ProcessListSortAscending() : true);
      return 0;
    }
    return std::nullopt;
  }
  if (header->hwndFrom != ListView_GetHeader(list)) return std::nullopt;
  return LockedColumnNotify(header);
}

}  // namespace velkor
