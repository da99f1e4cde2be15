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
// Only rows [firstRow, firstRow + rows) of it, where they lie in the canvas.
void PaintCanvasRows(HDC dc, const Canvas& canvas, int x, int y, int firstRow, int rows);
// An icon with the canvas's colours and alpha.
win::UniqueIcon CanvasToIcon(const Canvas& canvas);
// The picture an icon of `size` x `size` pixels shows (drawn at its own
// size, not stretched), with straight alpha; none when it cannot be drawn.
std::optional<Canvas> IconToCanvas(HICON icon, int size);
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

// Paints a canvas onto its control's screen many times a second (a
// scrolling graph), through a device context of the control kept from one
// call to the next. Getting a DC for each call cost more than the copy:
// every set-up selects the default font, and a display driver may look its
// settings up again then. The DC is given back by Release(), by a call for
// another control and at the end.
class PictureBlitter {
 public:
  PictureBlitter() = default;
  PictureBlitter(const PictureBlitter&) = delete;
  PictureBlitter& operator=(const PictureBlitter&) = delete;
  ~PictureBlitter() { Release(); }
  // The canvas at the control's top left corner, or only its rows
  // [firstRow, firstRow + rows); false without a DC.
  bool Paint(HWND control, const Canvas& canvas, int firstRow = 0, int rows = -1);
  // What `source` shows from its top left corner, width × height; false
  // without a DC.
  bool Copy(HWND control, HDC source, int width, int height);
  void Release() noexcept;

 private:
  bool Attach(HWND control);  // the kept DC is `control`'s
  HWND control_ = nullptr;
  HDC screen_ = nullptr;  // GetDC(control_), until Release()
};

}  // namespace velkor
