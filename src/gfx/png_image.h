// PNG decoding through libpng into a Canvas.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "gfx/canvas.h"

namespace velkor {

// Decodes a PNG held in memory; nothing on a damaged or oversized image.
std::optional<Canvas> DecodePng(const uint8_t* data, size_t size);

}  // namespace velkor
