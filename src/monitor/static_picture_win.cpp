#include "monitor/static_picture_win.h"

#include <shellapi.h>

#include <cstring>
#include <string>
#include <utility>

#include "gfx/bitmap.h"

namespace velkor {

void StaticPicture::Show(HWND control, const Canvas& canvas) {
  if (!control) return;
  // Without alpha bytes the control shows our section itself, not a copy of
  // it, so later copies into the section show.
  Canvas opaque = canvas;
  for (Pixel& p : opaque.pixels) p &= 0x00FFFFFFu;
  if (control == control_ && bitmap_ && CopyCanvasToBitmap(opaque, bitmap_.get())) {
    InvalidateRect(control, nullptr, FALSE);
    return;
  }
  Forget();
  win::UniqueBitmap fresh = CanvasToBitmap(opaque);
  if (!fresh) return;
  SetStaticPicture(control, std::move(fresh), bitmap_);
  control_ = control;
}

void StaticPicture::Forget() {
  ReleaseStaticPicture(control_, bitmap_);
  control_ = nullptr;
}

Canvas IconCanvas(HICON icon, int size, Pixel background) {
  Canvas canvas(size, size, background);
  if (!icon) return canvas;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win::UniqueBitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!section || !bits || !dc) return canvas;
  std::memcpy(bits, canvas.pixels.data(), canvas.pixels.size() * sizeof(Pixel));
  {
    win::SelectScope select(dc.get(), section.get());
    DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
  }
  std::memcpy(canvas.pixels.data(), bits, canvas.pixels.size() * sizeof(Pixel));
  for (Pixel& p : canvas.pixels) p |= 0xFF000000u;
  return canvas;
}

win::UniqueIcon ExecutableIcon(const std::string& path, int size) {
  const bool systemSize = size <= 0 || size == GetSystemMetrics(SM_CXICON);
  for (auto [file, index] : {std::pair{path.c_str(), 0}, std::pair{"shell32.dll", 2}}) {
    if (!*file) continue;
    HICON icon = nullptr;
    UINT id = 0;
    if (systemSize ? ExtractIconExA(file, index, &icon, nullptr, 1) == 1
                   : PrivateExtractIconsA(file, index, size, size, &icon, &id, 1, 0) == 1) {
      if (icon) return win::UniqueIcon(icon);
    }
  }
  return {};
}

}  // namespace velkor
