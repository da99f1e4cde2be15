#include "gfx/look_cache_win.h"

#include <map>
#include <tuple>

#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"

namespace velkor {

namespace {

struct LookCache {
  std::map<std::tuple<int, bool, bool, int>, win::UniqueFont> fonts;
  std::map<COLORREF, win::UniqueBrush> brushes;
  // Node-based: the pointers handed out stay valid while the map grows.
  std::map<std::string, std::optional<Canvas>> pictures;
  std::map<std::string, win::UniqueBitmap> bitmaps;
};
LookCache& Cache() {
  static LookCache cache;
  return cache;
}

// The smoothing the system's setting asks for, named instead of left to
// DEFAULT_QUALITY: the same letters, but a display driver that would look the
// default up again at every selection of the font into a device context
// (Wine's asks the X resources twice, reading files each time) is spared it.
BYTE SystemFontQuality() {
  static const BYTE quality = [] {
    BOOL smoothing = FALSE;
    if (!SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &smoothing, 0)) return BYTE{DEFAULT_QUALITY};
    if (!smoothing) return BYTE{NONANTIALIASED_QUALITY};
    UINT type = 0;
    if (SystemParametersInfoA(SPI_GETFONTSMOOTHINGTYPE, 0, &type, 0) && type == FE_FONTSMOOTHINGCLEARTYPE)
      return BYTE{CLEARTYPE_QUALITY};
    return BYTE{ANTIALIASED_QUALITY};
  }();
  return quality;
}

}  // namespace

HFONT CachedFont(int points, bool bold, bool underline, int dpi) {
  if (dpi <= 0) dpi = win::SystemDpi();
  win::UniqueFont& font = Cache().fonts[{points, bold, underline, dpi}];
  if (!font) {
    font.reset(CreateFontA(-MulDiv(points, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                           underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           SystemFontQuality(), DEFAULT_PITCH | FF_SWISS, "Tahoma"));
  }
  return font.get();
}

HBRUSH CachedBrush(COLORREF colour) {
  win::UniqueBrush& brush = Cache().brushes[colour];
  if (!brush) brush.reset(CreateSolidBrush(colour));
  return brush.get();
}

const Canvas* CachedPicture(const char* name) {
  if (!name) return nullptr;
  return CachedPicture(name, [name] { return LoadPngResource(name); });
}

const Canvas* CachedPictureForDpi(const char* name, int dpi) {
  if (!name) return nullptr;
  const int scale = ImageScaleForDpi(dpi);
  if (scale != 100) {
    const std::string scaled = ScaledImageName(name, scale);
    if (const Canvas* picture = CachedPicture(scaled, [&scaled] { return LoadPngResource(scaled.c_str()); })) {
      return picture;
    }
  }
  return CachedPicture(name);
}

const Canvas* CachedPicture(const std::string& key, const std::function<std::optional<Canvas>()>& make) {
  auto& pictures = Cache().pictures;
  auto found = pictures.find(key);
  if (found == pictures.end()) found = pictures.emplace(key, make()).first;
  return found->second ? &*found->second : nullptr;
}

HBITMAP CachedBitmap(const std::string& key, const std::function<std::optional<Canvas>()>& make) {
  auto& bitmaps = Cache().bitmaps;
  auto found = bitmaps.find(key);
  if (found == bitmaps.end()) {
    win::UniqueBitmap bitmap;
    if (std::optional<Canvas> canvas = make()) bitmap = CanvasToBitmap(*canvas);
    found = bitmaps.emplace(key, std::move(bitmap)).first;
  }
  return found->second.get();
}

void DestroyLookCache() { Cache() = LookCache{}; }

}  // namespace velkor
