// What the menus, the companion's icon and the lists draw for a screen of
// another scale: the DPI is handed in, so each scale is tried in one process.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "procs/list_icons_win.h"
#include "shell/menu_draw.h"
#include "support/wine_support.h"
#include "tray/tray_figures.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

constexpr int kScales[] = {96, 144, 192};

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  win::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
  BITMAP shape{};
  GetObjectA(colour.get(), sizeof shape, &shape);
  return {shape.bmWidth, shape.bmHeight};
}

// The menu records of the longest captions of both programs, and a title.
class ScaledMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    menu_.reset(CreatePopupMenu());
    const char* captions[] = {"Nach diesem Prozess im Internet suchen", "Immer im Vordergrund", ""};
    UINT id = 500;
    for (const char* caption : captions) {
      AppendMenuA(menu_.get(), MF_STRING, id, caption);
      MakeOwnerDrawn(menu_.get(), id, *caption ? images::kMenuSearch : nullptr, MF_BYCOMMAND, caption, false);
      records_.push_back(MenuItemRecordOf(menu_.get(), id++, false));
    }
    AppendMenuA(menu_.get(), MF_STRING, id, "Bearbeiten");
    MakeOwnerDrawn(menu_.get(), id, nullptr, MF_BYCOMMAND, "Bearbeiten", true);
    records_.push_back(MenuItemRecordOf(menu_.get(), id, false));
    for (const MenuItemRecord* record : records_) ASSERT_NE(record, nullptr);
  }
  void TearDown() override {
    menu_.reset();
    DestroyMenuItemRecords();
  }

  // The item painted at `dpi` into a white bitmap of its measured size.
  Canvas Paint(const MenuItemRecord& record, MenuItemSize size, int dpi, UINT state = 0) {
    win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    win::UniqueBitmap target = CanvasToBitmap(Canvas(size.width, size.height, MakePixel(255, 255, 255)));
    win::SelectScope select(dc.get(), target.get());
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = 500;
    item.itemState = state;
    item.hDC = dc.get();
    item.rcItem = {0, 0, size.width, size.height};
    item.itemData = reinterpret_cast<ULONG_PTR>(&record);
    PaintMenuItem(&item, dpi);
    Canvas painted(size.width, size.height);
    for (int y = 0; y < size.height; ++y)
      for (int x = 0; x < size.width; ++x) {
        const COLORREF c = GetPixel(dc.get(), x, y);
        painted.Set(x, y, MakePixel(GetRValue(c), GetGValue(c), GetBValue(c)));
      }
    return painted;
  }

  win::UniqueMenu menu_;
  std::vector<const MenuItemRecord*> records_;
};

// Heights and spaces scale exactly; the caption, measured in the font for
// the DPI, is painted whole inside the item, clear of its right and bottom
// edges, right of the picture strip.
TEST_F(ScaledMenu, ItemsScaleAndHoldTheirCaptions) {
  for (int dpi : kScales) {
    SCOPED_TRACE(dpi);
    const MenuPlaces places = MenuPlacesAt(dpi);
    for (const MenuItemRecord* record : records_) {
      SCOPED_TRACE(record->text);
      const MenuItemSize size = MeasureMenuItemAt(*record, dpi);
      if (record->text.empty()) {
        EXPECT_EQ(size.height, ScaleToDpi(7, dpi));
        continue;
      }
      EXPECT_EQ(size.height, ScaleToDpi(20, dpi));
      SIZE extent{};
      {
        win::WindowDc screen(nullptr);
        win::SelectScope font(screen.get(), MenuFont(dpi));
        GetTextExtentPoint32A(screen.get(), record->text.c_str(), static_cast<int>(record->text.size()), &extent);
      }
      EXPECT_EQ(size.width, extent.cx + (record->title ? 0 : ScaleToDpi(32, dpi)));
      if (record->title) continue;
      const Canvas painted = Paint(*record, size, dpi);
      int inkLeft = size.width, inkRight = -1, inkBottom = -1;
      for (int y = 0; y < size.height; ++y)
        for (int x = places.stripWidth; x < size.width; ++x)
          if (painted.At(x, y) != MakePixel(255, 255, 255)) {
            inkLeft = std::min(inkLeft, x);
            inkRight = std::max(inkRight, x);
            inkBottom = std::max(inkBottom, y);
          }
      ASSERT_GE(inkRight, 0);
      EXPECT_GE(inkLeft, places.captionX - 1);
      EXPECT_LT(inkRight, size.width - ScaleToDpi(2, dpi));
      EXPECT_LT(inkBottom, size.height - 1);
    }
  }
}

// The menu and the companion's icon drawn again and again at 144 DPI: the
// font and pictures come from the cache, every bitmap and icon goes.
TEST_F(ScaledMenu, RedrawingAtALargerScaleSpendsNothing) {
  const MenuItemRecord& record = *records_[0];
  const MenuItemSize size = MeasureMenuItemAt(record, 144);
  Paint(record, size, 144, ODS_GRAYED);
  Paint(record, size, 144, ODS_CHECKED);
  const int iconSize = win::SystemMetricAtDpi(SM_CXSMICON, 144);
  const uint32_t gdi = test::OwnGdiObjectCount();
  const uint32_t handles = test::OwnHandleCount();
  for (int i = 0; i < 300; ++i) {
    Paint(record, size, 144, i % 2 ? ODS_GRAYED : ODS_CHECKED);
    win::UniqueIcon icon = CanvasToIcon(DrawTrayIcon(i % 101, 0.5, 0.25, iconSize));
    ASSERT_TRUE(icon);
  }
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
  EXPECT_LE(test::OwnHandleCount(), handles);
}

// The tray icon at the system's small-icon size for the DPI; list icons at
// that size: file icons taken at it, the program's pictures at their
// nearest drawing centred in it.
TEST(DisplayScale, SmallIconsHaveTheSizeOfTheirScale) {
  for (int dpi : kScales) {
    SCOPED_TRACE(dpi);
    const int size = win::SystemMetricAtDpi(SM_CXSMICON, dpi);
    if (win::Dpi().getSystemMetricsForDpi) {
      EXPECT_EQ(size, ScaleToDpi(16, dpi));
    }
    win::UniqueIcon tray = CanvasToIcon(DrawTrayIcon(50, 0.25, 1.0, size));
    win::UniqueIcon shell = ExtractSmallIcon("shell32.dll", 2, size);
    win::UniqueIcon network = SmallPictureIcon(images::kListNetwork, SmallIconDpi(size), size);
    for (HICON icon : {tray.get(), shell.get(), network.get()}) {
      ASSERT_NE(icon, nullptr);
      EXPECT_EQ(IconSize(icon).cx, size);
      EXPECT_EQ(IconSize(icon).cy, size);
    }
    // Drawn over magenta: the picture's opaque pixels where centring puts them.
    const Canvas* picture = CachedPictureForDpi(images::kListNetwork, dpi);
    ASSERT_NE(picture, nullptr);
    win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    win::UniqueBitmap target = CanvasToBitmap(Canvas(size, size, MakePixel(255, 0, 255)));
    win::SelectScope select(dc.get(), target.get());
    ASSERT_TRUE(DrawIconEx(dc.get(), 0, 0, network.get(), size, size, 0, nullptr, DI_NORMAL));
    const int offset = CentredOffset(size, picture->width);
    for (int y = 0; y < picture->height; ++y)
      for (int x = 0; x < picture->width; ++x)
        if (const Pixel p = picture->At(x, y); PixelAlpha(p) == 255) {
          ASSERT_EQ(GetPixel(dc.get(), offset + x, offset + y), RGB(PixelRed(p), PixelGreen(p), PixelBlue(p)));
        }
    if (offset > 0) {
      EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(255, 0, 255));
    }
  }
}

}  // namespace
}  // namespace velkor
