// Canvas -> Windows bitmap, and the program's embedded PNG resources.
#pragma once

#include <windows.h>

#include <optional>

#include "gfx/canvas.h"
#include "win/unique_handle.h"

namespace velkor {

// A 32-bit top-down DIB section holding the canvas's pixels (alpha kept).
win::UniqueBitmap CanvasToBitmap(const Canvas& canvas);
// Copies the canvas into an existing DIB section of the same size.
bool CopyCanvasToBitmap(const Canvas& canvas, HBITMAP bitmap);
// Decodes the PNG resource of that name (resource type "PNG") from the program.
std::optional<Canvas> LoadPngResource(const char* name);

}  // namespace velkor
