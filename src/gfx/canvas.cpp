#include "gfx/canvas.h"

#include <algorithm>

namespace velkor {

Canvas::Canvas(int w, int h, Pixel fill)
    : width(std::max(w, 0)),
      height(std::max(h, 0)),
      pixels(static_cast<size_t>(width) * static_cast<size_t>(height), fill) {}

Pixel Canvas::At(int x, int y) const {
  return Contains(x, y) ? pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] : 0;
}

void Canvas::Set(int x, int y, Pixel p) {
  if (Contains(x, y)) pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = p;
}

void Canvas::Fill(Pixel p) { std::fill(pixels.begin(), pixels.end(), p); }

void Canvas::FillRect(int x, int y, int w, int h, Pixel p) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, width), y1 = std::min(y + h, height);
  for (int yy = y0; yy < y1; ++yy)
    for (int xx = x0; xx < x1; ++xx)
      pixels[static_cast<size_t>(yy) * static_cast<size_t>(width) + static_cast<size_t>(xx)] = p;
}

void DrawOver(Canvas& target, const Canvas& source, int x, int y) {
  for (int sy = 0; sy < source.height; ++sy) {
    for (int sx = 0; sx < source.width; ++sx) {
      const int tx = x + sx, ty = y + sy;
      if (!target.Contains(tx, ty)) continue;
      const Pixel s = source.At(sx, sy);
      const unsigned a = PixelAlpha(s);
      if (a == 0) continue;
      const Pixel t = target.At(tx, ty);
      auto mix = [a](unsigned over, unsigned under) {
        return static_cast<uint8_t>((over * a + under * (255 - a) + 127) / 255);
      };
      target.Set(tx, ty,
                 MakePixel(mix(PixelRed(s), PixelRed(t)), mix(PixelGreen(s), PixelGreen(t)),
                           mix(PixelBlue(s), PixelBlue(t)), std::max<uint8_t>(PixelAlpha(t), static_cast<uint8_t>(a))));
    }
  }
}

}  // namespace velkor
