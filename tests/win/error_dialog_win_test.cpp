// The open error dialog moved to screens of other scales: it takes the
// suggested rectangle, its controls their scaled places and a font made for
// the scale, and the fonts it made before are freed.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <thread>

#include "errors/on_error.h"
#include "gfx/dpi_scale.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

TEST(ErrorDialogScale, DpiChangeLaysTheOpenDialogOutAgainAndFreesTheOldFont) {
  PrepareErrorDialog();
  std::thread shown([] { ShowErrorDialog("Beschreibung: Probe"); });
  HWND dialog = nullptr;
  // Shown once it is laid out.
  if (!test::WaitUntil(
          [&] { return (dialog = FindWindowA("VelkorErrorDialog", "Velkor - Fehler!")) && IsWindowVisible(dialog); },
          10s)) {
    shown.detach();
    FAIL() << "no dialog";
  }
  HWND proceed = GetDlgItem(dialog, 101);
  RECT outer{};
  GetWindowRect(dialog, &outer);
  uint32_t gdi = 0;
  for (int round = 0; round < 3; ++round) {
    if (round == 1) gdi = test::OwnGdiObjectCount();
    for (int dpi : {144, 192, 96}) {
      SCOPED_TRACE(dpi);
      RECT suggested{outer.left, outer.top, outer.left + ScaleToDpi(outer.right - outer.left, dpi),
                     outer.top + ScaleToDpi(outer.bottom - outer.top, dpi)};
      SendMessageTimeoutA(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested),
                          SMTO_ABORTIFHUNG, 5000, nullptr);
      // Painted in full (the dialog's thread paints while the others wait).
      RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      RECT now{};
      GetWindowRect(dialog, &now);
      EXPECT_TRUE(EqualRect(&now, &suggested));
      const Rect want = ScaleRectToDpi(Rect{300, 153, 80, 24}, dpi);
      const Rect got = test::RectInParent(proceed);
      EXPECT_TRUE(got == want) << got.x << "," << got.y << " " << got.w << "x" << got.h;
      LOGFONTA font{};
      GetObjectA(reinterpret_cast<HFONT>(SendMessageA(proceed, WM_GETFONT, 0, 0)), sizeof font, &font);
      EXPECT_EQ(font.lfHeight, -ScaleToDpi(11, dpi));
    }
  }
  // What a paint in progress holds for a moment is not counted.
  EXPECT_TRUE(test::WaitUntil([&] { return test::OwnGdiObjectCount() <= gdi; }, 5s)) << test::OwnGdiObjectCount();
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), reinterpret_cast<LPARAM>(proceed));
  shown.join();
  EXPECT_FALSE(IsWindow(dialog));
}

}  // namespace
}  // namespace velkor
