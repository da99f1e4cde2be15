#include "gfx/dpi_scale.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace velkor {
namespace {

int ValidDpi(int dpi) { return dpi > 0 ? dpi : kDesignDpi; }

// value × num ÷ den, halves away from zero, held within int.
int MulDivRounded(int value, int num, int den) {
  const int64_t product = int64_t{value} * num;
  const int64_t magnitude = product < 0 ? -product : product;
  int64_t q = (2 * magnitude + den) / (2 * int64_t{den});
  if (product < 0) q = -q;
  return static_cast<int>(std::clamp<int64_t>(q, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

int ScaleToDpi(int value, int dpi) { return MulDivRounded(value, ValidDpi(dpi), kDesignDpi); }

int ScaleFromDpi(int value, int dpi) { return MulDivRounded(value, kDesignDpi, ValidDpi(dpi)); }

int DesignCoordinateAt(int pixel, int dpi) {
  // The inverse lands within one unit of the answer; scaling is monotonic,
  // so stepping to the boundary is exact.
  int u = ScaleFromDpi(pixel, dpi);
  while (u > std::numeric_limits<int>::min() && ScaleToDpi(u - 1, dpi) >= pixel) --u;
  while (u < std::numeric_limits<int>::max() && ScaleToDpi(u, dpi) < pixel) ++u;
  return u;
}

int ImageScaleForDpi(int dpi) {
  int chosen = kImageScales[0];
  for (int scale : kImageScales)
    if (int64_t{scale} * kDesignDpi <= int64_t{ValidDpi(dpi)} * 100) chosen = scale;
  return chosen;
}

int ImageDpi(int scalePercent) { return MulDivRounded(kDesignDpi, scalePercent, 100); }

std::string ScaledImageName(std::string_view name, int scalePercent) {
  std::string out(name);
  if (scalePercent != 100) out += "_" + std::to_string(scalePercent);
  return out;
}

int CentredOffset(int box, int image) { return (box - image) / 2; }

}  // namespace velkor
