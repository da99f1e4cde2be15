// The companion's pieces that ask the system: finding a program in the own
// session, and the bar icon as the tray gets it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string_view>
#include <vector>

#include "gfx/bitmap.h"
#include "procs/process_library.h"
#include "shell/instance_win.h"
#include "support/wine_support.h"
#include "tray/tray_figures.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

TEST(CompanionWin, FindsAProgramOfItsSessionByExactName) {
  InitProcessLibrary();
  test::OwnedProcess helper = test::StartHelper();
  ASSERT_TRUE(helper.valid());
  EXPECT_TRUE(test::WaitUntil(
      [] { return ProgramRunsInOwnSession([](std::string_view name) { return name == "velkor_helper.exe"; }); }, 5s));
  EXPECT_FALSE(ProgramRunsInOwnSession([](std::string_view name) { return name == "VELKOR_HELPER.EXE"; }));
  helper.End();
  EXPECT_FALSE(ProgramRunsInOwnSession([](std::string_view name) { return name == "velkor_helper.exe"; }));
  DestroyProcessLibrary();
}

TEST(CompanionWin, BarIconIsOpaqueWithTheDrawnColours) {
  win::UniqueIcon icon = CanvasToIcon(DrawTrayIcon(50, 0.25, 1.0));
  ASSERT_TRUE(icon);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon.get(), &info));
  win::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
  // Every mask bit 0: no pixel lets the taskbar behind show through.
  BITMAP maskShape{};
  ASSERT_TRUE(GetObjectA(mask.get(), sizeof maskShape, &maskShape));
  std::vector<uint8_t> maskBits(static_cast<size_t>(maskShape.bmWidthBytes * maskShape.bmHeight), 0xFF);
  ASSERT_GT(GetBitmapBits(mask.get(), static_cast<LONG>(maskBits.size()), maskBits.data()), 0);
  for (uint8_t bits : maskBits) EXPECT_EQ(bits, 0);
  // Drawn over a coloured taskbar, the white ground stays white, not its inverse.
  win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  Canvas taskbar(16, 16, MakePixel(0, 64, 128));
  win::UniqueBitmap target = CanvasToBitmap(taskbar);
  {
    win::SelectScope select(dc.get(), target.get());
    ASSERT_TRUE(DrawIconEx(dc.get(), 0, 0, icon.get(), 16, 16, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(dc.get(), 3, 3), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc.get(), 3, 10), RGB(210, 230, 0));
    EXPECT_EQ(GetPixel(dc.get(), 0, 10), RGB(0, 0, 0));
  }
}

}  // namespace
}  // namespace velkor
