// The committed pictures of assets/: every one decodes, has the size its role
// needs, and the pictures whose pixels other code relies on keep them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/image_names.h"
#include "gfx/png_image.h"

namespace velkor {
namespace {

namespace fs = std::filesystem;

fs::path AssetsDir() { return fs::path(VELKOR_ASSETS_DIR); }

std::optional<Canvas> Load(const std::string& file) {
  std::ifstream in(AssetsDir() / file, std::ios::binary);
  if (!in) return std::nullopt;
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodePng(bytes.data(), bytes.size());
}

Canvas MustLoad(const std::string& file) {
  std::optional<Canvas> canvas = Load(file);
  if (!canvas) {
    ADD_FAILURE() << file << " does not decode";
    return Canvas(1, 1);
  }
  return *canvas;
}

// The PNG resources listed in assets/images.rc: `NAME PNG "file.png"`.
std::vector<std::string> ResourceFiles(const std::string& rc) {
  std::ifstream in(AssetsDir() / rc);
  std::vector<std::string> files;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("//", 0) == 0 || line.find(" PNG \"") == std::string::npos) continue;
    const size_t open = line.find('"');
    const size_t close = line.find('"', open + 1);
    if (close != std::string::npos) files.push_back(line.substr(open + 1, close - open - 1));
  }
  return files;
}

std::string Rgb(Pixel p) {
  return std::to_string(PixelRed(p)) + "/" + std::to_string(PixelGreen(p)) + "/" + std::to_string(PixelBlue(p)) +
         " alpha " + std::to_string(PixelAlpha(p));
}

TEST(Images, EveryCommittedPngDecodes) {
  int count = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(AssetsDir())) {
    if (entry.path().extension() != ".png") continue;
    ++count;
    std::optional<Canvas> canvas = Load(entry.path().filename().string());
    ASSERT_TRUE(canvas.has_value()) << entry.path();
    EXPECT_GT(canvas->width, 0);
    EXPECT_GT(canvas->height, 0);
  }
  EXPECT_GE(count, 70);
}

TEST(Images, EveryResourceFileExistsAndDecodes) {
  const std::vector<std::string> files = ResourceFiles("images.rc");
  EXPECT_GE(files.size(), 70u);
  for (const std::string& file : files) EXPECT_TRUE(Load(file).has_value()) << file;
  for (const std::string& file : ResourceFiles("dornat_images.rc")) EXPECT_TRUE(Load(file).has_value()) << file;
}

TEST(Images, EveryNameOfTheHeaderIsAResourceOfItsFile) {
  const std::vector<std::string> files = ResourceFiles("images.rc");
  ASSERT_EQ(std::size(images::kAll), files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    std::string expected = files[i].substr(0, files[i].size() - 4);
    std::transform(expected.begin(), expected.end(), expected.begin(),
                   [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); });
    EXPECT_EQ(images::kAll[i], expected);
  }
  EXPECT_STREQ(images::kStatusbar, "STATUSBAR");
  EXPECT_STREQ(images::kTabsMonitoring, "TABS_MONITORING");
}

TEST(Images, SizesFitTheirRoles) {
  std::map<std::string, std::pair<int, int>> sizes = {
      {"statusbar.png", {4, 20}},
      {"banner.png", {420, 25}},
      {"pie_overlay.png", {240, 240}},
      {"sort_ascending.png", {12, 12}},
      {"sort_descending.png", {12, 12}},
      {"tabs_filler.png", {4, 25}},
      {"prefs_sidebar.png", {80, 520}},
      {"prefs_tabs_general.png", {320, 19}},
      {"prefs_tabs_columns.png", {320, 19}},
      {"about_logo.png", {56, 56}},
      {"diagram_default.png", {32, 32}},
      {"diagram_priority.png", {32, 32}},
      {"network_adapter.png", {24, 24}},
      {"window_diagram_16.png", {16, 16}},
      {"window_diagram_32.png", {32, 32}},
      {"window_preferences_16.png", {16, 16}},
      {"window_preferences_32.png", {32, 32}},
  };
  for (const char* tab : {"processes", "windows", "services", "drivers", "network", "monitoring"})
    sizes[std::string("tabs_") + tab + ".png"] = {400, 25};
  for (const std::string& file : ResourceFiles("images.rc")) {
    auto starts = [&](const char* prefix) { return file.rfind(prefix, 0) == 0; };
    if (starts("toolbar_")) sizes[file] = {28, 28};
    if (starts("menu_") || starts("engine_") || starts("measure_") || starts("list_")) sizes[file] = {16, 16};
  }
  // The roles every picture set must cover.
  for (const char* needed : {"toolbar_taskmgr.png",
                             "toolbar_run.png",
                             "toolbar_preferences.png",
                             "toolbar_diagram.png",
                             "toolbar_end_process.png",
                             "toolbar_web_search.png",
                             "toolbar_information.png",
                             "toolbar_end_process_grey.png",
                             "toolbar_web_search_grey.png",
                             "toolbar_information_grey.png",
                             "measure_cpu.png",
                             "measure_priority.png",
                             "measure_memory.png",
                             "measure_virtual_memory.png",
                             "measure_paged_pool.png",
                             "measure_nonpaged_pool.png",
                             "list_service.png",
                             "list_service_host.png",
                             "list_driver.png",
                             "list_network.png",
                             "menu_check.png"}) {
    EXPECT_TRUE(sizes.count(needed)) << needed << " is not a resource";
  }
  for (const auto& [file, size] : sizes) {
    const Canvas canvas = MustLoad(file);
    EXPECT_EQ(canvas.width, size.first) << file;
    EXPECT_EQ(canvas.height, size.second) << file;
  }
}

TEST(Images, StatusBarStripHasItsExactRows) {
  const Canvas strip = MustLoad("statusbar.png");
  ASSERT_EQ(strip.width, 4);
  ASSERT_EQ(strip.height, 20);
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(strip.At(x, 0), MakePixel(184, 196, 224)) << Rgb(strip.At(x, 0));
    EXPECT_EQ(strip.At(x, 1), MakePixel(157, 168, 191)) << Rgb(strip.At(x, 1));
    EXPECT_EQ(strip.At(x, 2), MakePixel(210, 225, 255)) << Rgb(strip.At(x, 2));
    EXPECT_EQ(strip.At(x, 19), MakePixel(252, 253, 255)) << Rgb(strip.At(x, 19));
    for (int y = 3; y < 20; ++y) {
      const Pixel above = strip.At(x, y - 1), here = strip.At(x, y);
      EXPECT_EQ(PixelAlpha(here), 255);
      EXPECT_GE(PixelRed(here), PixelRed(above)) << "row " << y;
      EXPECT_GE(PixelGreen(here), PixelGreen(above)) << "row " << y;
      EXPECT_EQ(PixelBlue(here), 255) << "row " << y;
      EXPECT_EQ(here, strip.At(0, y)) << "columns differ in row " << y;
    }
  }
}

// The tab strips are hit-tested by x position: a view's tab ends at its boundary.
constexpr int kBoundaries[] = {84, 140, 195, 247, 313, 398};
constexpr Pixel kTabLine = MakePixel(138, 160, 208);
constexpr Pixel kSelectedLine = MakePixel(102, 136, 204);
constexpr Pixel kPanel = MakePixel(204, 221, 255);

bool IsOutline(Pixel p) { return p == kTabLine || p == kSelectedLine; }

TEST(Images, TabStripsHaveTheirBoundariesAndMarkTheSelectedView) {
  const char* files[] = {"tabs_processes.png", "tabs_windows.png", "tabs_services.png",
                         "tabs_drivers.png",   "tabs_network.png", "tabs_monitoring.png"};
  for (int selected = 0; selected < 6; ++selected) {
    SCOPED_TRACE(files[selected]);
    const Canvas tabs = MustLoad(files[selected]);
    ASSERT_EQ(tabs.width, 400);
    ASSERT_EQ(tabs.height, 25);
    const int y = 12;  // the middle of every tab, below the rounded tops
    EXPECT_TRUE(IsOutline(tabs.At(0, y))) << Rgb(tabs.At(0, y));
    for (int b : kBoundaries) {
      EXPECT_TRUE(IsOutline(tabs.At(b, y))) << "x " << b << ": " << Rgb(tabs.At(b, y));
      EXPECT_FALSE(IsOutline(tabs.At(b - 1, y))) << "x " << b - 1;
      EXPECT_FALSE(IsOutline(tabs.At(b + 1, y))) << "x " << b + 1;
    }
    // Only the boundary columns are outlines inside the strip's tab row.
    for (int x = 1; x < 398; ++x) {
      const bool boundary = std::find(std::begin(kBoundaries), std::end(kBoundaries), x) != std::end(kBoundaries);
      if (!boundary) {
        EXPECT_FALSE(IsOutline(tabs.At(x, y))) << "x " << x;
      }
    }
    // Right of the last tab: the window background.
    EXPECT_EQ(tabs.At(399, y), MakePixel(255, 255, 255));
    // The bottom row is the base line, except under the selected tab, which opens into the panel.
    const int left = selected == 0 ? 0 : kBoundaries[selected - 1];
    const int right = kBoundaries[selected];
    for (int x = 0; x < 400; ++x) {
      const Pixel p = tabs.At(x, 24);
      if (x > left && x < right) {
        EXPECT_EQ(p, kPanel) << "x " << x << ": " << Rgb(p);
      } else {
        EXPECT_EQ(p, kSelectedLine) << "x " << x << ": " << Rgb(p);
      }
    }
    // The selected tab rises above the others.
    const int mid = (left + right) / 2;
    EXPECT_EQ(PixelAlpha(tabs.At(mid, 2)), 255);
    EXPECT_NE(tabs.At(mid, 2), MakePixel(255, 255, 255));
    for (int other = 0; other < 6; ++other) {
      if (other == selected) continue;
      const int l = other == 0 ? 0 : kBoundaries[other - 1];
      EXPECT_EQ(tabs.At((l + kBoundaries[other]) / 2, 2), MakePixel(255, 255, 255)) << "tab " << other;
    }
  }
}

TEST(Images, TabFillerContinuesTheBaseLine) {
  const Canvas filler = MustLoad("tabs_filler.png");
  for (int x = 0; x < filler.width; ++x) {
    EXPECT_EQ(filler.At(x, 24), kSelectedLine);
    for (int y = 0; y < 24; ++y) EXPECT_EQ(filler.At(x, y), MakePixel(255, 255, 255));
  }
}

TEST(Images, PageSelectorSplitsAtEighty) {
  const Canvas first = MustLoad("prefs_tabs_general.png");
  const Canvas second = MustLoad("prefs_tabs_columns.png");
  for (const Canvas* c : {&first, &second}) {
    EXPECT_TRUE(IsOutline(c->At(0, 10)));
    EXPECT_TRUE(IsOutline(c->At(80, 10)));
    EXPECT_TRUE(IsOutline(c->At(160, 10)));
    EXPECT_EQ(c->At(200, 10), kPanel);
  }
  // The selected page's tab opens into the white page below.
  EXPECT_EQ(first.At(40, 18), MakePixel(255, 255, 255));
  EXPECT_EQ(first.At(120, 18), kSelectedLine);
  EXPECT_EQ(second.At(120, 18), MakePixel(255, 255, 255));
  EXPECT_EQ(second.At(40, 18), kSelectedLine);
}

TEST(Images, PieOverlayCoversOutsideAndShadesInside) {
  const Canvas overlay = MustLoad("pie_overlay.png");
  ASSERT_EQ(overlay.width, 240);
  ASSERT_EQ(overlay.height, 240);
  for (auto [x, y] : {std::pair{0, 0}, {239, 0}, {0, 239}, {239, 239}, {10, 20}})
    EXPECT_EQ(overlay.At(x, y), kPanel) << x << "," << y;
  // Inside the disc the chart shows through.
  EXPECT_LT(PixelAlpha(overlay.At(120, 120)), 128);
  EXPECT_LT(PixelAlpha(overlay.At(150, 170)), 128);
  EXPECT_LT(PixelAlpha(overlay.At(120, 5)), 200);
  EXPECT_LT(PixelAlpha(overlay.At(5, 120)), 200);
  // Something shades the disc.
  int shaded = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 240; ++x)
      if ((x - 120) * (x - 120) + (y - 120) * (y - 120) < 110 * 110 && PixelAlpha(overlay.At(x, y)) > 0) ++shaded;
  EXPECT_GT(shaded, 1000);
}

TEST(Images, GreyedToolbarLooksAreGrey) {
  for (const char* name : {"end_process", "web_search", "information"}) {
    const Canvas normal = MustLoad(std::string("toolbar_") + name + ".png");
    const Canvas grey = MustLoad(std::string("toolbar_") + name + "_grey.png");
    int coloured = 0, drawn = 0;
    for (int y = 0; y < 28; ++y) {
      for (int x = 0; x < 28; ++x) {
        const Pixel g = grey.At(x, y);
        if (PixelAlpha(g) == 0) continue;
        ++drawn;
        EXPECT_LE(std::abs(PixelRed(g) - PixelGreen(g)), 6) << name << " " << x << "," << y;
        EXPECT_LE(std::abs(PixelBlue(g) - PixelGreen(g)), 6) << name << " " << x << "," << y;
        const Pixel n = normal.At(x, y);
        if (std::abs(PixelRed(n) - PixelGreen(n)) > 40 || std::abs(PixelBlue(n) - PixelGreen(n)) > 40) ++coloured;
      }
    }
    EXPECT_GT(drawn, 100) << name;
    EXPECT_GT(coloured, 50) << name;
  }
}

TEST(Images, SortArrowsPointUpAndDown) {
  const Canvas up = MustLoad("sort_ascending.png");
  const Canvas down = MustLoad("sort_descending.png");
  auto width_of_row = [](const Canvas& c, int y) {
    int n = 0;
    for (int x = 0; x < c.width; ++x) n += PixelAlpha(c.At(x, y)) != 0;
    return n;
  };
  EXPECT_LT(width_of_row(up, 4), width_of_row(up, 7));
  EXPECT_GT(width_of_row(down, 4), width_of_row(down, 7));
  EXPECT_EQ(width_of_row(up, 0), 0);
  EXPECT_EQ(width_of_row(down, 11), 0);
}

TEST(Images, IconsAreShapesOnATransparentGround) {
  for (const std::string& file : ResourceFiles("images.rc")) {
    if (file.rfind("list_", 0) != 0 && file.rfind("measure_", 0) != 0 && file.rfind("menu_", 0) != 0 &&
        file.rfind("toolbar_", 0) != 0)
      continue;
    const Canvas c = MustLoad(file);
    int solid = 0, clear = 0;
    for (const Pixel p : c.pixels) {
      solid += PixelAlpha(p) >= 128;
      clear += PixelAlpha(p) == 0;
    }
    EXPECT_GT(solid, c.width * c.height / 16) << file;
    EXPECT_GT(clear, 0) << file;  // never a filled square
  }
}

}  // namespace
}  // namespace velkor
