#include "procs/process_list_columns_win.h"

#include <commctrl.h>

#include <array>

#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "procs/list_icons_win.h"
#include "procs/process_list.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "win/list_view.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"

namespace velkor {

namespace {

struct Columns {
  int sortColumn = 0;
  bool ascending = true;
  std::array<bool, kProcessListColumns> locked{};
  bool ownWidthChange = false;  // a width the program sets, which a lock lets through
  SortArrows arrows;
};
Columns columns;

void ShowSortArrow(HWND list) {
  DrawSortArrowsFor(columns.arrows, win::WindowDpi(list));
  win::ShowListSortArrow(list, columns.sortColumn, columns.ascending, columns.arrows.up.get(),
                         columns.arrows.down.get());
}

void SetColumnWidth(HWND list, int column, int width) {
  columns.ownWidthChange = true;
  ListView_SetColumnWidth(list, column, width);
  columns.ownWidthChange = false;
}

bool ColumnFlag(int column) {
  return column >= 1 && column <= kShownFlagCount && ColumnShown[static_cast<size_t>(column - 1)] != 0;
}

}  // namespace

void ResetProcessColumns(bool freePictures) {
  SortArrows arrows = std::move(columns.arrows);
  columns = Columns{};
  if (freePictures) return;
  columns.arrows = std::move(arrows);
}

void SetUpProcessColumns(HWND list) {
  for (int column = kFirstHiddenColumn; column < kProcessListColumns; ++column) {
    columns.locked[static_cast<size_t>(column)] = true;
    SetColumnWidth(list, column, 0);
  }
  columns.sortColumn = 0;
  columns.ascending = true;
  ShowSortArrow(list);
}

void SetProcessSort(HWND list, int column, bool ascending) {
  columns.sortColumn = column;
  columns.ascending = ascending;
  ShowSortArrow(list);
}

int ProcessListSortColumn() { return columns.sortColumn; }
bool ProcessListSortAscending() { return columns.ascending; }

bool ProcessColumnShown(int column) { return ColumnFlag(column); }

void ApplyProcessColumnVisibility(HWND list) {
  for (int column = 1; column <= kShownFlagCount; ++column) {
    // The stored widths are in 96-DPI units.
    auto& stored = ColumnWidths[static_cast<size_t>(column)];
    const int dpi = win::WindowDpi(list);
    if (ColumnFlag(column)) {
      columns.locked[static_cast<size_t>(column)] = false;
      SetColumnWidth(list, column, ScaleToDpi(stored, dpi));
    } else {
      const int width = ListView_GetColumnWidth(list, column);
      if (width != 0) stored = ScaleFromDpi(width, dpi);
      SetColumnWidth(list, column, 0);
      columns.locked[static_cast<size_t>(column)] = true;
    }
  }
}

std::optional<LRESULT> LockedColumnNotify(const NMHDR* header) {
  const auto* change = reinterpret_cast<const NMHEADERA*>(header);
  const bool locked =
      change->iItem >= 0 && change->iItem < kProcessListColumns && columns.locked[static_cast<size_t>(change->iItem)];
  if (!locked) return std::nullopt;
  switch (header->code) {
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW: return TRUE;
    case HDN_ITEMCHANGINGA:
    case HDN_ITEMCHANGINGW:
      // Both item layouts start with the mask and the width.
      if (!columns.ownWidthChange && change->pitem && (change->pitem->mask & HDI_WIDTH) && change->pitem->cxy != 0)
        return TRUE;
      return std::nullopt;
    default: return std::nullopt;
  }
}

}  // namespace velkor
