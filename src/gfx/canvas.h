// An RGBA pixel buffer: everything the programs draw pixel by pixel is drawn
// here, so it can be checked colour by colour without a screen.
#pragma once

#include <cstdint>
#include <vector>

namespace velkor {

// 0xAARRGGBB, the layout of a top-down 32-bit DIB on little-endian machines.
using Pixel = uint32_t;

constexpr Pixel MakePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return (Pixel{a} << 24) | (Pixel{r} << 16) | (Pixel{g} << 8) | Pixel{b};
}
constexpr uint8_t PixelRed(Pixel p) { return static_cast<uint8_t>(p >> 16); }
constexpr uint8_t PixelGreen(Pixel p) { return static_cast<uint8_t>(p >> 8); }
constexpr uint8_t PixelBlue(Pixel p) { return static_cast<uint8_t>(p); }
constexpr uint8_t PixelAlpha(Pixel p) { return static_cast<uint8_t>(p >> 24); }

struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;  // row by row, top row first

  Canvas() = default;
  Canvas(int w, int h, Pixel fill = MakePixel(0, 0, 0));

  [[nodiscard]] bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // Reads outside the canvas give 0; writes outside are dropped.
  [[nodiscard]] Pixel At(int x, int y) const;
  void Set(int x, int y, Pixel p);
  void Fill(Pixel p);
  void FillRect(int x, int y, int w, int h, Pixel p);
};

// Draws `source` over `target` at x, y with the source's (straight) alpha;
// the target stays opaque where it was.
void DrawOver(Canvas& target, const Canvas& source, int x, int y);

}  // namespace velkor
