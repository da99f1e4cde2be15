// The layout table at a screen's DPI: every position, size, anchor distance,
// minimum size, column width and tab boundary of layout.h scaled by the one
// rule of gfx/dpi_scale.h. At 96 DPI it is the table itself. The windows are
// built from it; velkor.ini keeps sizes and column widths in 96-DPI units.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "app/layout.h"

namespace velkor {

struct ScaledLayout {
  int dpi = 96;
  std::vector<ControlSpec> controls;  // in the order of ControlTable
  std::vector<ColumnSpec> columns;    // in the order of ColumnTable
  std::vector<WindowSpec> windows;    // client sizes scaled
  Size minimumOuter;
  // The tab strip picture's right tab edges, as shown at this DPI.
  std::vector<int> tabRightEdges;
  [[nodiscard]] const ControlSpec* Find(int id) const;
};

ScaledLayout ScaleLayout(int dpi);

// One control at a DPI. Edges scale, not the width: a control 5 units from
// its parent's right edge stays ScaleToDpi(5) from it.
ControlSpec ScaleControlSpec(const ControlSpec& entry, int dpi);

Size EnforceMinimumSize(Size requested, int dpi);

// The view under x on the tab strip shown at `dpi`. The strip is a picture
// and pictures come at 100, 150 and 200 percent only, so the boundaries are
// those of the picture drawn for the DPI: dpi / 96 at 96, 144 and 192 DPI,
// the picture's own scale in between (120 DPI: the 100 % strip).
std::optional<int> TabAtX(int x, int dpi);

// The main window's outer size and the column widths in velkor.ini are in
// 96-DPI units; positions stay screen pixels, because the position decides
// the monitor and with it the DPI.
Size StoredOuterSize(Size outer, int dpi);
int StoredColumnWidth(int pixels, int dpi);
int ColumnWidthAtDpi(int stored, int dpi);
// The start rectangle on a monitor of `dpi` from the stored geometry (size in
// 96-DPI units): the scaled size raised to the scaled minimum, placed as the
// 96-DPI rule places it.
Rect MainWindowStartRect(int storedX, int storedY, Size storedOuter, int captionHeight, Size screen,
                         std::span<const Rect> workAreas, int dpi);

}  // namespace velkor
