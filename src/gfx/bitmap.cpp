#include "gfx/bitmap.h"

#include <cstring>
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

void PaintCanvas(HDC dc, const Canvas& canvas, int x, int y) {
  if (canvas.width <= 0 || canvas.height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = canvas.width;
  info.bmiHeader.biHeight = -canvas.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(canvas.width), static_cast<DWORD>(canvas.height), 0, 0, 0,
                    static_cast<UINT>(canvas.height), canvas.pixels.data(), &info, DIB_RGB_COLORS);
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

}  // namespace velkor
