// One cache of what the windows, menus and toolbar draw with: fonts, brushes,
// decoded pictures and the bitmaps made from them. Each is made at its first
// use and shared by every later one; all live until FreeLookCache, which the
// programs never call (tests do between builds, after the windows, menus and
// controls that show them are gone).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "gfx/canvas.h"

namespace velkor {

// Tahoma at `points` for the screen's resolution.
HFONT CachedFont(int points, bool bold = false, bool underline = false);
// A solid brush of that colour.
HBRUSH CachedBrush(COLORREF colour);
// The PNG resource of that name, decoded; null when it is missing or `name` is null.
const Canvas* CachedPicture(const char* name);
// A picture made by `make` (from others), kept under `key`; null when `make` made none.
const Canvas* CachedPicture(const std::string& key, const std::function<std::optional<Canvas>()>& make);
// A bitmap made by `make` from a picture, kept under `key`; null when `make` made none.
HBITMAP CachedBitmap(const std::string& key, const std::function<std::optional<Canvas>()>& make);
// Frees everything made so far.
void FreeLookCache();

}  // namespace velkor
