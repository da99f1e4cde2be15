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

// Shows the canvas in a static picture control (SS_BITMAP) through `shown`,
// the DIB section the control holds. It is made again only when the canvas
// changes its size, and then the control's client area is fitted to it;
// otherwise a call copies pixels and creates no GDI object.
void ShowCanvasInPicture(HWND control, const Canvas& canvas, win::UniqueBitmap& shown);

// Hands `fresh` to a static picture control and keeps it in `shown` (which
// frees the picture shown before). A picture the control hands back that is
// neither is a private copy it made of an earlier one, ours to free.
void SetStaticPicture(HWND control, win::UniqueBitmap fresh, win::UniqueBitmap& shown);
// Takes the picture back from the control, so it keeps none that is freed,
// and frees `shown` and any copy the control made of it.
void ReleaseStaticPicture(HWND control, win::UniqueBitmap& shown);

}  // namespace velkor
