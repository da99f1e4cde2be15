#include "procs/list_icons_win.h"

#include <shellapi.h>

#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "win/system_functions.h"

namespace velkor {

int SmallIconSizeAtDpi(int dpi) {
  const int size = win::SystemMetricAtDpi(SM_CXSMICON, dpi);
  return size > 0 ? size : ScaleToDpi(16, dpi);
}

int SmallIconSizeOf(HWND list) { return SmallIconSizeAtDpi(win::WindowDpi(list)); }

HIMAGELIST CreateSmallImageListAtDpi(int dpi, int initialCount, int growCount) {
  const int size = SmallIconSizeAtDpi(dpi);
  return ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, initialCount, growCount);
}

HIMAGELIST CreateSmallImageList(HWND list, int initialCount, int growCount) {
  return CreateSmallImageListAtDpi(win::WindowDpi(list), initialCount, growCount);
}

win::UniqueIcon ExtractSmallIcon(const char* file, int index, int size) {
  win::UniqueIcon icon;
  // The system's own small icon where it fits: what the lists always showed.
  if (size <= 0 || size == GetSystemMetrics(SM_CXSMICON)) {
    ExtractIconExA(file, index, nullptr, icon.put(), 1);
    return icon;
  }
  // Another monitor's scale: the file's drawing nearest that size.
  HICON found = nullptr;
  UINT id = 0;
  if (PrivateExtractIconsA(file, index, size, size, &found, &id, 1, 0) == 1 && found) icon.reset(found);
  return icon;
}

int SmallIconDpi(int size) { return size * kDesignDpi / 16; }

win::UniqueIcon SmallPictureIcon(const char* name, int dpi, int size) {
  const Canvas* picture = CachedPictureForDpi(name, dpi);
  if (!picture) return {};
  if (picture->width == size && picture->height == size) return CanvasToIcon(*picture);
  // A drawing smaller than the place (or larger, cut at both sides) sits in its middle.
  Canvas icon(size, size, MakePixel(0, 0, 0, 0));
  const int left = CentredOffset(size, picture->width), top = CentredOffset(size, picture->height);
  for (int y = 0; y < picture->height; ++y)
    for (int x = 0; x < picture->width; ++x) icon.Set(left + x, top + y, picture->At(x, y));
  return CanvasToIcon(icon);
}

void DrawSortArrowsFor(SortArrows& arrows, int dpi) {
  if (arrows.up && arrows.down && arrows.dpi == dpi) return;
  const DWORD face = GetSysColor(COLOR_BTNFACE);
  const auto onFace = [&](const char* name) {
    const Canvas* picture = CachedPictureForDpi(name, dpi);
    if (!picture) return win::UniqueBitmap();
    Canvas drawn(picture->width, picture->height, MakePixel(GetRValue(face), GetGValue(face), GetBValue(face)));
    DrawOver(drawn, *picture, 0, 0);
    return CanvasToBitmap(drawn);
  };
  arrows.up = onFace(images::kSortAscending);
  arrows.down = onFace(images::kSortDescending);
  arrows.dpi = dpi;
}

}  // namespace velkor
