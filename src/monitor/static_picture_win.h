// Canvases shown in static bitmap controls, and icons made into canvases,
// for the panels of the diagram window and the process view.
#pragma once

#include <windows.h>

#include <string>

#include "gfx/canvas.h"
#include "win/unique_handle.h"

namespace velkor {

// One control's picture in a DIB section of our own: a canvas of the same
// size is copied into it, so showing creates no GDI object after the first.
class StaticPicture {
 public:
  StaticPicture() = default;
  StaticPicture(const StaticPicture&) = delete;
  StaticPicture& operator=(const StaticPicture&) = delete;
  ~StaticPicture() { Forget(); }
  void Show(HWND control, const Canvas& canvas);
  // Takes the picture back from the control and frees it.
  void Forget();

 private:
  HWND control_ = nullptr;
  win::UniqueBitmap bitmap_;
};

// The icon drawn over `background` at size x size pixels.
Canvas IconCanvas(HICON icon, int size, Pixel background);
// The first icon of an executable, or icon 2 of "shell32.dll", in the
// drawing nearest `size` pixels (0: the system's large icon).
win::UniqueIcon ExecutableIcon(const std::string& path, int size);

}  // namespace velkor
