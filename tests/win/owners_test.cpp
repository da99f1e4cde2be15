// What the owners and scope guards promise: the caller's last error survives
// them, guards put back what they replaced, and a picture handed to a static
// control is freed exactly once.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "gfx/bitmap.h"
#include "support/wine_support.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

constexpr DWORD kMarker = 0xBEEF;

HWND CreateStatic() {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP | SS_BITMAP, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
}

TEST(Owners, ClosingKeepsTheLastError) {
  // Each owner is made, then dies after the caller set its error; some of
  // the closes fail (a bogus handle, a window gone already) and would set one.
  const std::function<void()> owners[] = {
      [] {
        win::UniqueKernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        SetLastError(kMarker);
      },
      [] {
        win::UniqueKernelHandle bogus(reinterpret_cast<HANDLE>(uintptr_t{0x7FFFFFF0}));
        SetLastError(kMarker);
      },
      [] {
        win::UniqueBitmap bitmap(CreateBitmap(4, 4, 1, 32, nullptr));
        SetLastError(kMarker);
      },
      [] {
        win::UniqueWindow window(CreateStatic());
        SetLastError(kMarker);
      },
      [] {
        win::UniqueWindow window(CreateStatic());
        DestroyWindow(window.get());
        SetLastError(kMarker);
      },
      [] {
        win::WindowDc dc(nullptr);
        SetLastError(kMarker);
      },
      [] {
        win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        win::SelectScope select(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
        SetLastError(kMarker);
      },
  };
  int number = 0;
  for (const auto& owner : owners) {
    SetLastError(0);
    owner();
    EXPECT_EQ(GetLastError(), kMarker) << number++;
  }
}

TEST(Owners, WindowOwnerDestroysItsWindow) {
  HWND made = CreateStatic();
  { win::UniqueWindow window(made); }
  EXPECT_FALSE(IsWindow(made));
}

TEST(Owners, SelectGuardsRestoreWhatTheyReplaced) {
  win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  win::UniqueBitmap bitmap(CreateBitmap(8, 8, 1, 32, nullptr));
  ASSERT_TRUE(dc && bitmap);
  const HGDIOBJ originalBitmap = GetCurrentObject(dc.get(), OBJ_BITMAP);
  const HGDIOBJ originalFont = GetCurrentObject(dc.get(), OBJ_FONT);
  {
    win::SelectScope selectBitmap(dc.get(), bitmap.get());
    win::SelectScope selectFont(dc.get(), GetStockObject(ANSI_FIXED_FONT));
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), GetStockObject(ANSI_FIXED_FONT));
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), originalBitmap);
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), originalFont);
}

// The kept DC of a picture paints into its control only, whatever the size
// of what it is given, whether a canvas or another DC's picture.
TEST(Owners, KeptPictureDcPaintsItsControlOnly) {
  win::UniqueWindow parent(CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT, 30, 30,
                                           120, 60, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(parent);
  HWND control =
      CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 40, 40, parent.get(), nullptr, nullptr, nullptr);
  ASSERT_NE(control, nullptr);
  UpdateWindow(parent.get());
  const COLORREF white = RGB(255, 255, 255);
  const Canvas red(100, 50, MakePixel(255, 0, 0));
  win::UniqueBitmap blueBitmap = CanvasToBitmap(Canvas(100, 50, MakePixel(0, 0, 255)));
  win::UniqueMemoryDc blue(CreateCompatibleDC(nullptr));
  win::SelectScope select(blue.get(), blueBitmap.get());
  PictureBlitter kept;
  win::WindowDc screen(parent.get());
  // Inside the control, and right of it on the parent.
  const POINT inside{15, 15}, outside{60, 15};
  if (!PtVisible(screen.get(), inside.x, inside.y) || !PtVisible(screen.get(), outside.x, outside.y))
    GTEST_SKIP() << "another window lies over the test's";
  ASSERT_EQ(GetPixel(screen.get(), outside.x, outside.y), white);
  ASSERT_TRUE(kept.Paint(control, red));
  EXPECT_EQ(GetPixel(screen.get(), inside.x, inside.y), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(screen.get(), outside.x, outside.y), white);
  ASSERT_TRUE(kept.Copy(control, blue.get(), 100, 50));
  EXPECT_EQ(GetPixel(screen.get(), inside.x, inside.y), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(screen.get(), outside.x, outside.y), white);
  kept.Release();
}

TEST(Owners, StaticPicturesAreFreedOnceAndTakenBack) {
  win::UniqueWindow control(CreateStatic());
  ASSERT_TRUE(control);
  win::UniqueBitmap shown;
  const uint32_t before = test::OwnGdiObjectCount();
  for (int round = 0; round < 200; ++round) {
    // Pictures with alpha make a version 6 static control keep copies of its own.
    Canvas canvas(8 + round % 3, 8, round % 2 ? 0x80FF0000u : 0xFF00FF00u);
    SetStaticPicture(control.get(), CanvasToBitmap(canvas), shown);
  }
  EXPECT_LE(test::OwnGdiObjectCount(), before + 3);
  ReleaseStaticPicture(control.get(), shown);
  EXPECT_FALSE(shown);
  EXPECT_EQ(SendMessageA(control.get(), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  EXPECT_LE(test::OwnGdiObjectCount(), before + 1);
}

}  // namespace
}  // namespace velkor
