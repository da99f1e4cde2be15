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
// Paints the canvas's colours (alpha ignored) at x, y of a device context.
void PaintCanvas(HDC dc, const Canvas& canvas, int x, int y);
// An icon with the canvas's colours and alpha.
win::UniqueIcon CanvasToIcon(const Canvas& canvas);
// Decodes the PNG resource of that name (resource type "PNG") from the program.
std::optional<Canvas> LoadPngResource(const char* name);

}  // namespace velkor
