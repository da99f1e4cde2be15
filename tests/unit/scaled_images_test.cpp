// The pictures at 150 and 200 percent: the ones the program picks for a DPI
// exist, have the scaled size, and the tab strips carry the hit test's
// boundaries.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/layout_scale.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "gfx/png_image.h"

namespace velkor {
namespace {

std::optional<Canvas> LoadAsset(const std::string& file) {
  std::ifstream in(std::string(VELKOR_ASSETS_DIR) + "/" + file, std::ios::binary);
  if (!in) return std::nullopt;
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodePng(bytes.data(), bytes.size());
}

std::string FileOf(const std::string& resource) {
  std::string file;
  for (char c : resource) file += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return file + ".png";
}

// The program asks for ScaledImageName(name, ImageScaleForDpi(dpi)): every such
// picture exists, is listed for the resources, and has the 96-DPI picture's
// size scaled (the 4-pixel strips stretched sideways keep their width).
TEST(DpiScale, EveryPictureExistsAtEachScale) {
  EXPECT_EQ(ImageScaleForDpi(120), 100);
  EXPECT_EQ(ImageScaleForDpi(143), 100);
  EXPECT_EQ(ImageScaleForDpi(144), 150);
  EXPECT_EQ(ImageScaleForDpi(191), 150);
  EXPECT_EQ(ImageScaleForDpi(288), 200);
  EXPECT_EQ(ImageScaleForDpi(0), 100);
  std::ifstream rc(std::string(VELKOR_ASSETS_DIR) + "/images_scaled.rc");
  const std::string listed((std::istreambuf_iterator<char>(rc)), std::istreambuf_iterator<char>());
  for (const char* name : images::kAll) {
    const std::optional<Canvas> base = LoadAsset(FileOf(name));
    ASSERT_TRUE(base) << name;
    for (int scale : {150, 200}) {
      const std::string scaled = ScaledImageName(name, scale);
      EXPECT_NE(listed.find(scaled + " PNG \"" + FileOf(scaled) + "\""), std::string::npos) << scaled;
      const std::optional<Canvas> picture = LoadAsset(FileOf(scaled));
      ASSERT_TRUE(picture) << scaled;
      const int dpi = ImageDpi(scale);
      EXPECT_EQ(picture->height, ScaleToDpi(base->height, dpi)) << scaled;
      EXPECT_TRUE(picture->width == ScaleToDpi(base->width, dpi) || base->width == 4) << scaled;
    }
  }
}

// The scaled tab strips carry their outlines exactly at the boundaries the
// hit test uses (one column at 150 %, two at 200 %).
TEST(DpiScale, ScaledTabStripsHaveTheHitTestsBoundaries) {
  const Pixel tabLine = MakePixel(138, 160, 208), selectedLine = MakePixel(102, 136, 204);
  for (int scale : {150, 200}) {
    const std::vector<int> edges = ScaleLayout(ImageDpi(scale)).tabRightEdges;
    const int line = scale / 100;
    for (const char* name : {"tabs_processes", "tabs_network"}) {
      const std::optional<Canvas> tabs = LoadAsset(ScaledImageName(name, scale) + ".png");
      ASSERT_TRUE(tabs) << name;
      const int y = tabs->height / 2;
      for (int x = line; x < edges.back() + line; ++x) {
        bool boundary = false;
        for (int e : edges) boundary = boundary || (x >= e && x < e + line);
        const Pixel p = tabs->At(x, y);
        EXPECT_EQ(p == tabLine || p == selectedLine, boundary) << name << " " << scale << " x " << x;
      }
    }
  }
}

}  // namespace
}  // namespace velkor
