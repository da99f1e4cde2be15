#include "gfx/png_image.h"

#include <png.h>

#include <cstring>

namespace velkor {

std::optional<Canvas> DecodePng(const uint8_t* data, size_t size) {
  // The program's own images are small; anything beyond this is not one of them.
  constexpr png_uint_32 kMaxSide = 4096;
  if (data == nullptr || size == 0) return std::nullopt;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) {
    png_image_free(&image);
    return std::nullopt;
  }
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
    png_image_free(&image);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words
  Canvas canvas(static_cast<int>(image.width), static_cast<int>(image.height), 0);
  if (!png_image_finish_read(&image, nullptr, canvas.pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return canvas;
}

}  // namespace velkor
