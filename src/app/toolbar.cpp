#include "app/toolbar.h"

#include <algorithm>

#include "gfx/contrast.h"
#include "gfx/dpi_scale.h"

namespace velkor {

int ToolbarGlowDivisor(int x, int y) {
  if ((x == 1 || x == 26) && (y == 1 || y == 26)) return 10;
  const bool inner = x >= 2 && x <= 25;
  if (inner) {
    if (y == 1) return 6;
    if (y >= 2 && y <= 11) return 7;
    if (y >= 12 && y <= 26) return 5;
  }
  if (x >= 3 && x <= 24) {
    if (y == 0) return 4;
    if (y == 27) return 3;
  }
  if (x == 1 || x == 26) {
    if (y >= 2 && y <= 11) return 6;
    if (y >= 12 && y <= 25) return 4;
  }
  if (x == 0 || x == 27) {
    if (y >= 3 && y <= 11) return 4;
    if (y >= 12 && y <= 24) return 3;
  }
  return 0;
}

Canvas DrawToolbarButton(int hoverLevel, bool enabled, const Canvas* icon, int dpi) {
  const int size = ScaleToDpi(kToolbarButtonSize, dpi);
  const ContrastColours* contrast = HighContrast();
  Canvas face(size, size, contrast ? contrast->window : MakePixel(255, 255, 255));
  const int h = 3 * std::clamp(hoverLevel, 0, kHoverLevelMax);
  // In the system's colours a glow could not fade: the button is lit in its
  // highlight colour once the glow is half up.
  if (contrast && enabled && 2 * hoverLevel >= kHoverLevelMax) {
    const int line = std::max(ScaleToDpi(2, dpi), 1);
    face.Fill(contrast->highlight);
    face.FillRect(line, line, size - 2 * line, size - 2 * line, contrast->window);
  }
  if (!contrast && enabled && h > 0) {
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        // The glow's shape is a 96-DPI one, sampled at each device pixel.
        const int k = ToolbarGlowDivisor(x * kDesignDpi / ScaleToDpi(kDesignDpi, dpi),
                                         y * kDesignDpi / ScaleToDpi(kDesignDpi, dpi));
        if (k == 0) continue;
        const auto c = static_cast<uint8_t>(255 - h / k);
        face.Set(x, y, MakePixel(c, c, 255));
      }
    }
  }
  if (icon) DrawOver(face, *icon, CentredOffset(size, icon->width), CentredOffset(size, icon->height));
  return face;
}

Canvas GreyedIcon(const Canvas& icon) {
  Canvas grey = icon;
  for (Pixel& p : grey.pixels) {
    const int luma = (PixelRed(p) * 30 + PixelGreen(p) * 59 + PixelBlue(p) * 11) / 100;
    const auto c = static_cast<uint8_t>((luma + 255) / 2);
    p = (p & 0xFF000000u) | MakePixel(c, c, c, 0);
  }
  return grey;
}

int NextHoverLevel(int level, bool underMouse) {
  return std::clamp(level + (underMouse ? kHoverLevelStep : -kHoverLevelStep), 0, kHoverLevelMax);
}

}  // namespace velkor
