// One cache of what the windows, menus and toolbar draw with: fonts, brushes,
// decoded pictures and the bitmaps made from them. Each is made at its first
// use and shared by every later one; all live until DestroyLookCache, which the
// programs never call (tests do between builds, after the windows, menus and
// controls that show them are gone).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "gfx/canvas.h"

namespace velkor {

// Tahoma at `points` for `dpi` (0: the system's DPI).
HFONT CachedFont(int points, bool bold = false, bool underline = false, int dpi = 0);
// A solid brush of that colour.
HBRUSH CachedBrush(COLORREF colour);
// The PNG resource of that name, decoded; null when it is missing or `name` is null.
const Canvas* CachedPicture(const char* name);
// The PNG resource of that name drawn for `dpi`: its 150 or 200 percent
// drawing where the DPI calls for one and the program carries it, else the
// 100 percent one. Pictures are never stretched.
const Canvas* CachedPictureForDpi(const char* name, int dpi);
// A picture made by `make` (from others), kept under `key`; null when `make` made none.
const Canvas* CachedPicture(const std::string& key, const std::function<std::optional<Canvas>()>& make);
// A bitmap made by `make` from a picture, kept under `key`; null when `make` made none.
HBITMAP CachedBitmap(const std::string& key, const std::function<std::optional<Canvas>()>& make);
// Frees everything made so far.
void DestroyLookCache();

}  // namespace velkor
