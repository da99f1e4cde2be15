#include "app/layout_scale.h"

#include <algorithm>

#include "gfx/dpi_scale.h"

namespace velkor {
namespace {

// A position extent scales its constant; the parts that follow W and H
// follow the scaled client size by themselves.
Extent ScalePosition(Extent e, int dpi) { return {ScaleToDpi(e.base, dpi), e.perW, e.perH}; }

// A length scales as the distance between its two scaled edges.
Extent ScaleLength(Extent start, Extent length, int dpi) {
  return {ScaleToDpi(start.base + length.base, dpi) - ScaleToDpi(start.base, dpi), length.perW, length.perH};
}

bool LimitIsPixels(ControlKind kind) {
  return kind == ControlKind::kScrollArea || kind == ControlKind::kComboEdit || kind == ControlKind::kComboImages;
}

}  // namespace

const ControlSpec* ScaledLayout::Find(int id) const {
  for (const ControlSpec& entry : controls)
    if (entry.id == id) return &entry;
  return nullptr;
}

ControlSpec ScaleControlSpec(const ControlSpec& entry, int dpi) {
  ControlSpec out = entry;
  out.x = ScalePosition(entry.x, dpi);
  out.y = ScalePosition(entry.y, dpi);
  out.w = ScaleLength(entry.x, entry.w, dpi);
  out.h = ScaleLength(entry.y, entry.h, dpi);
  if (LimitIsPixels(entry.kind)) out.limit = ScaleToDpi(entry.limit, dpi);
  return out;
}

ScaledLayout ScaleLayout(int dpi) {
  ScaledLayout out;
  out.dpi = dpi > 0 ? dpi : kDesignDpi;
  for (const ControlSpec& entry : ControlTable()) out.controls.push_back(ScaleControlSpec(entry, out.dpi));
  for (ColumnSpec column : ColumnTable()) {
    column.width = ColumnWidthAtDpi(column.width, out.dpi);
    out.columns.push_back(column);
  }
  for (WindowSpec window : WindowTable()) {
    window.clientWidth = ScaleToDpi(window.clientWidth, out.dpi);
    window.clientHeight = ScaleToDpi(window.clientHeight, out.dpi);
    out.windows.push_back(window);
  }
  out.minimumOuter = EnforceMinimumSize(Size{}, out.dpi);
  const int pictureDpi = ImageDpi(ImageScaleForDpi(out.dpi));
  for (int edge : TabRightEdges()) out.tabRightEdges.push_back(ScaleToDpi(edge, pictureDpi));
  return out;
}

Size EnforceMinimumSize(Size requested, int dpi) {
  return {std::max(requested.w, ScaleToDpi(kMinimumOuterWidth, dpi)),
          std::max(requested.h, ScaleToDpi(kMinimumOuterHeight, dpi))};
}

std::optional<int> TabAtX(int x, int dpi) { return TabAtX(DesignCoordinateAt(x, ImageDpi(ImageScaleForDpi(dpi)))); }

Size StoredOuterSize(Size outer, int dpi) { return ScaleSizeFromDpi(outer, dpi); }

int StoredColumnWidth(int pixels, int dpi) { return ScaleFromDpi(pixels, dpi); }

int ColumnWidthAtDpi(int stored, int dpi) { return ScaleToDpi(stored, dpi); }

Rect MainWindowStartRect(int storedX, int storedY, Size storedOuter, int captionHeight, Size screen,
                         std::span<const Rect> workAreas, int dpi) {
  const Size outer = EnforceMinimumSize(ScaleSizeToDpi(storedOuter, dpi), dpi);
  return MainWindowStartRect(storedX, storedY, outer, captionHeight, screen, workAreas);
}

}  // namespace velkor
