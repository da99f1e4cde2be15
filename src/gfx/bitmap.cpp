#include "gfx/bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "gfx/png_image.h"

namespace velkor {

win::UniqueBitmap CanvasToBitmap(const Canvas& canvas) {
  if (canvas.width <= 0 || canvas.height <= 0) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = canvas.width;
  info.bmiHeader.biHeight = -canvas.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap && bits) std::memcpy(bits, canvas.pixels.data(), canvas.pixels.size() * sizeof(Pixel));
  return bitmap;
}

bool CopyCanvasToBitmap(const Canvas& canvas, HBITMAP bitmap) {
  DIBSECTION section{};
  if (GetObjectA(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits) return false;
  if (section.dsBm.bmWidth != canvas.width || std::abs(section.dsBm.bmHeight) != canvas.height ||
      section.dsBm.bmBitsPixel != 32)
    return false;
  GdiFlush();
  std::memcpy(section.dsBm.bmBits, canvas.pixels.data(), canvas.pixels.size() * sizeof(Pixel));
  return true;
}

void PaintCanvas(HDC dc, const Canvas& canvas, int x, int y) { PaintCanvasRows(dc, canvas, x, y, 0, canvas.height); }

void PaintCanvasRows(HDC dc, const Canvas& canvas, int x, int y, int firstRow, int rows) {
  const int first = std::clamp(firstRow, 0, std::max(canvas.height, 0));
  const int count = std::clamp(rows, 0, std::max(canvas.height - first, 0));
  if (canvas.width <= 0 || count <= 0) return;
  // The rows shown are a picture of their own, starting at the first one.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = canvas.width;
  info.bmiHeader.biHeight = -count;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const Pixel* bits = canvas.pixels.data() + static_cast<size_t>(first) * static_cast<size_t>(canvas.width);
  SetDIBitsToDevice(dc, x, y + first, static_cast<DWORD>(canvas.width), static_cast<DWORD>(count), 0, 0, 0,
                    static_cast<UINT>(count), bits, &info, DIB_RGB_COLORS);
}

win::UniqueIcon CanvasToIcon(const Canvas& canvas) {
  win::UniqueBitmap colour = CanvasToBitmap(canvas);
  if (!colour) return {};
  // The alpha channel decides; the mask only has to exist.
  const std::vector<uint8_t> zeros(static_cast<size_t>((canvas.width + 15) / 16 * 2 * canvas.height), 0);
  win::UniqueBitmap mask(CreateBitmap(canvas.width, canvas.height, 1, 1, zeros.data()));
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = colour.get();
  info.hbmMask = mask.get();
  return win::UniqueIcon(CreateIconIndirect(&info));
}

std::optional<Canvas> LoadPngResource(const char* name) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, name, "PNG");
  if (!info) return std::nullopt;
  HGLOBAL data = LoadResource(module, info);
  const DWORD size = SizeofResource(module, info);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes || size == 0) return std::nullopt;
  return DecodePng(static_cast<const uint8_t*>(bytes), size);
}

namespace {

// A static bitmap control sizes its window to the bitmap, border included,
// which would hide the newest columns of a graph under the sunken edge.
void FitClientToPicture(HWND control, int width, int height) {
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(control, GWL_EXSTYLE)));
  SetWindowPos(control, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void ShowCanvasInPicture(HWND control, const Canvas& canvas, win::UniqueBitmap& shown) {
  if (!shown || !CopyCanvasToBitmap(canvas, shown.get())) {
    // The section goes to the control while its pixels are still all zero:
    // a static control of the version 6 common controls shows a private copy
    // of a bitmap that has alpha, and later copies into ours would not show.
    win::UniqueBitmap fresh = CanvasToBitmap(Canvas(canvas.width, canvas.height, 0));
    if (!fresh) return;
    SetStaticPicture(control, std::move(fresh), shown);
    CopyCanvasToBitmap(canvas, shown.get());
    FitClientToPicture(control, canvas.width, canvas.height);
  }
  InvalidateRect(control, nullptr, FALSE);
}

void SetStaticPicture(HWND control, win::UniqueBitmap fresh, win::UniqueBitmap& shown) {
  auto* previous = reinterpret_cast<HBITMAP>(
      SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(fresh.get())));
  win::UniqueBitmap copy(previous != shown.get() && previous != fresh.get() ? previous : nullptr);
  shown = std::move(fresh);
}

void ReleaseStaticPicture(HWND control, win::UniqueBitmap& shown) {
  if (control && shown && IsWindow(control)) SetStaticPicture(control, {}, shown);
  shown.reset();
}

bool PictureBlitter::Attach(HWND control) {
  if (!control) return false;
  if (control != control_) {
    Release();
    screen_ = GetDC(control);
    if (!screen_) return false;
    control_ = control;
  }
  // A static control's DC clips like its parent's: what is painted is kept
  // inside the control at its present size.
  RECT client{};
  GetClientRect(control, &client);
  SelectClipRgn(screen_, nullptr);
  IntersectClipRect(screen_, 0, 0, client.right, client.bottom);
  return true;
}

bool PictureBlitter::Paint(HWND control, const Canvas& canvas, int firstRow, int rows) {
  if (!Attach(control)) return false;
  PaintCanvasRows(screen_, canvas, 0, 0, firstRow, rows < 0 ? canvas.height : rows);
  return true;
}

bool PictureBlitter::Copy(HWND control, HDC source, int width, int height) {
  return Attach(control) && BitBlt(screen_, 0, 0, width, height, source, 0, 0, SRCCOPY);
}

void PictureBlitter::Release() noexcept {
  // A control destroyed meanwhile took its DC with it, and the DC may serve
  // another window by now: that one's is not ours to give back.
  if (screen_ && WindowFromDC(screen_) == control_) win::KeepingLastError([this] { ReleaseDC(control_, screen_); });
  screen_ = nullptr;
  control_ = nullptr;
}

std::optional<Canvas> IconToCanvas(HICON icon, int size) {
  if (!icon || size <= 0 || size > 256) return std::nullopt;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!bitmap || !dc || !bits) return std::nullopt;
  {
    win::SelectScope select(dc.get(), bitmap.get());
    if (!DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL)) return std::nullopt;
  }
  GdiFlush();
  const auto* drawn = static_cast<const uint32_t*>(bits);
  const size_t count = static_cast<size_t>(size) * static_cast<size_t>(size);
  // An icon without an alpha channel leaves alpha 0 everywhere: its mask
  // drew black where it is transparent.
  const bool alpha = std::any_of(drawn, drawn + count, [](uint32_t p) { return (p >> 24) != 0; });
  Canvas canvas(size, size, MakePixel(0, 0, 0, 0));
  for (size_t i = 0; i < count; ++i) {
    const uint32_t p = drawn[i];
    const uint32_t a = alpha ? p >> 24 : ((p & 0xFFFFFFu) != 0 ? 255u : 0u);
    if (a == 0) continue;
    // DrawIconEx leaves premultiplied colours.
    auto straight = [&](uint32_t c) { return static_cast<uint8_t>(std::min<uint32_t>(255, alpha ? c * 255 / a : c)); };
    canvas.pixels[i] =
        MakePixel(straight((p >> 16) & 0xFF), straight((p >> 8) & 0xFF), straight(p & 0xFF), static_cast<uint8_t>(a));
  }
  return canvas;
}

}  // namespace velkor
