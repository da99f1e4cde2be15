#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/png_image.h"

namespace velkor {
namespace {

// Encodes a canvas with libpng's simplified writer, for round trips.
std::vector<uint8_t> EncodePng(const Canvas& canvas) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(canvas.width);
  image.height = static_cast<png_uint_32>(canvas.height);
  image.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = 0;
  EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, canvas.pixels.data(), 0, nullptr));
  std::vector<uint8_t> bytes(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, canvas.pixels.data(), 0, nullptr));
  bytes.resize(size);
  return bytes;
}

TEST(Canvas, ReadsAndWritesInsideAndIgnoresOutside) {
  Canvas canvas(4, 3, MakePixel(1, 2, 3));
  canvas.Set(3, 2, MakePixel(200, 100, 50));
  canvas.Set(4, 0, MakePixel(9, 9, 9));   // right of the canvas
  canvas.Set(0, -1, MakePixel(9, 9, 9));  // above it
  EXPECT_EQ(canvas.At(3, 2), MakePixel(200, 100, 50));
  EXPECT_EQ(canvas.At(0, 0), MakePixel(1, 2, 3));
  EXPECT_EQ(canvas.At(4, 0), 0u);
  EXPECT_EQ(canvas.At(-1, 5), 0u);
  EXPECT_EQ(PixelRed(canvas.At(3, 2)), 200);
  EXPECT_EQ(PixelGreen(canvas.At(3, 2)), 100);
  EXPECT_EQ(PixelBlue(canvas.At(3, 2)), 50);
  EXPECT_EQ(PixelAlpha(canvas.At(3, 2)), 255);
}

TEST(Canvas, FillRectIsClippedToTheCanvas) {
  Canvas canvas(5, 5, 0);
  canvas.FillRect(3, -2, 10, 4, MakePixel(255, 0, 0));
  int red = 0;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) red += canvas.At(x, y) == MakePixel(255, 0, 0);
  EXPECT_EQ(red, 4);  // x 3..4, y 0..1
  EXPECT_EQ(canvas.At(2, 0), 0u);
  EXPECT_EQ(canvas.At(3, 2), 0u);
  Canvas empty(-3, 7);
  EXPECT_EQ(empty.width, 0);
  EXPECT_TRUE(empty.pixels.empty());
}

TEST(Png, RoundTripKeepsEveryPixelAndItsAlpha) {
  Canvas source(7, 5, MakePixel(10, 20, 30));
  source.Set(0, 0, MakePixel(255, 0, 0, 255));
  source.Set(6, 4, MakePixel(0, 0, 255, 128));
  source.Set(3, 2, MakePixel(0, 255, 0, 0));
  const std::vector<uint8_t> bytes = EncodePng(source);
  const auto decoded = DecodePng(bytes.data(), bytes.size());
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width, 7);
  EXPECT_EQ(decoded->height, 5);
  EXPECT_EQ(decoded->At(0, 0), MakePixel(255, 0, 0, 255));
  EXPECT_EQ(decoded->At(1, 1), MakePixel(10, 20, 30));
  EXPECT_EQ(PixelAlpha(decoded->At(6, 4)), 128);
  EXPECT_EQ(PixelAlpha(decoded->At(3, 2)), 0);
}

TEST(Png, DamagedDataGivesNothing) {
  const std::vector<uint8_t> good = EncodePng(Canvas(3, 3, MakePixel(1, 1, 1)));
  EXPECT_FALSE(DecodePng(nullptr, 0));
  EXPECT_FALSE(DecodePng(good.data(), 8));  // the signature alone
  std::vector<uint8_t> broken = good;
  broken.resize(broken.size() - 20);  // cut inside the image data
  EXPECT_FALSE(DecodePng(broken.data(), broken.size()));
  const uint8_t garbage[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_FALSE(DecodePng(garbage, sizeof garbage));
}

}  // namespace
}  // namespace velkor
