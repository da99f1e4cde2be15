// Windows moved to a monitor of another scale: the DPI-change message lays
// the main window out again in the suggested rectangle, and the lists keep
// their rows, selection and column widths (in the new DPI's pixels); the
// diagram, the panel's and lists' icons and the error dialog follow too.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "app/layout_scale.h"
#include "app/status_bar.h"
#include "app/window_registry.h"
#include "app/program_windows.h"
#include "errors/on_error.h"
#include "gfx/dpi_scale.h"
#include "lists/window_list_win.h"
#include "monitor/diagram_window_win.h"
#include "monitor/history_strip_win.h"
#include "monitor/process_summary_win.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

using test::RectInParent;
using namespace std::chrono_literals;

// Controls whose size is not the table's: labels and check boxes grow to
// their captions, values start after theirs, combo boxes choose their
// height, pictures drawn by their views size their controls.
bool SizedByContent(const ControlSpec& def) {
  for (int id : {141, 157, 158, 194, 195, 200})
    if (def.id == id) return true;
  return def.kind == ControlKind::kLabel || def.kind == ControlKind::kLabelRight || def.kind == ControlKind::kLink ||
         def.kind == ControlKind::kCheckBox || def.kind == ControlKind::kComboEdit ||
         def.kind == ControlKind::kComboImages || (def.flags & kAfterCaption);
}

std::string CellText(HWND list, int row) {
  char text[260] = {};
  ListView_GetItemText(list, row, 0, text, sizeof text);
  return text;
}

// The width of the small icon `window` shows in its title bar.
int SmallIconWidth(HWND window) {
  auto icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  const win::UniqueBitmap colourBits(info.hbmColor), maskBits(info.hbmMask);
  BITMAP colour{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
  return colour.bmWidth;
}

void ChangeDpi(int dpi, RECT suggested) {
  SendMessageA(MainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  test::Pump();
}

using DpiChange = test::BuiltWindows;

TEST_F(DpiChange, MainWindowIsLaidOutAgainAndKeepsItsLists) {
  BuildHere();
  HWND list = ControlHandle(kProcessList);
  const int rows = ListView_GetItemCount(list);
  ASSERT_GT(rows, 2);
  ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  const std::string selected = CellText(list, 2);
  ListView_SetColumnWidth(list, 0, 173);  // the user's width, not the table's
  // A place where each scaled rectangle lies well inside the screen (edges
  // near the work area's snap to it).
  const RECT outer{40, 30, 40 + 600, 30 + 470};
  SetWindowPos(MainWindow, nullptr, outer.left, outer.top, 600, 470, SWP_NOZORDER | SWP_NOACTIVATE);
  test::Pump();
  std::vector<Rect> before;
  for (const ControlSpec& def : ControlTable())
    if (def.window == kMainWindow) before.push_back(RectInParent(ControlHandle(def.id)));

  for (int dpi : {144, 192}) {
    SCOPED_TRACE(dpi);
    const RECT suggested{outer.left, outer.top, outer.left + ScaleToDpi(outer.right - outer.left, dpi),
                         outer.top + ScaleToDpi(outer.bottom - outer.top, dpi)};
    ChangeDpi(dpi, suggested);
    RECT now{};
    GetWindowRect(MainWindow, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    const Size client = ClientSize(MainWindow);
    for (const ControlSpec& def : ScaleLayout(dpi).controls) {
      if (def.window != kMainWindow) continue;
      SCOPED_TRACE(def.id);
      const Rect want{def.x.Resolve(client.w, client.h), def.y.Resolve(client.w, client.h),
                      def.w.Resolve(client.w, client.h), def.h.Resolve(client.w, client.h)};
      const Rect got = RectInParent(ControlHandle(def.id));
      if (def.flags & kAfterCaption) {
        EXPECT_GE(got.x, want.x - 1);
      } else {
        EXPECT_NEAR(got.x, want.x, 1);
      }
      EXPECT_NEAR(got.y, want.y, 1);
      if (SizedByContent(def)) continue;
      EXPECT_NEAR(got.w, want.w, 1);
      EXPECT_NEAR(got.h, want.h, 1);
    }
    EXPECT_EQ(ListView_GetItemCount(list), rows);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
    EXPECT_EQ(CellText(list, 2), selected);
    EXPECT_NEAR(ListView_GetColumnWidth(list, 0), ScaleToDpi(173, dpi), 1);
    EXPECT_EQ(SmallIconWidth(MainWindow), ScaleToDpi(16, dpi));
  }

  // Back at 96 DPI every control is where it was.
  ChangeDpi(96, outer);
  size_t k = 0;
  for (const ControlSpec& def : ControlTable()) {
    if (def.window != kMainWindow) continue;
    EXPECT_EQ(RectInParent(ControlHandle(def.id)), before[k++]) << def.id;
  }
  EXPECT_NEAR(ListView_GetColumnWidth(list, 0), 173, 1);
  EXPECT_EQ(SmallIconWidth(MainWindow), 16);
}

// The diagram moved between scales: its measure icons take the small-icon
// size of each, the panel's picture its scaled place, and the round trips
// leave no GDI object behind.
TEST_F(DpiChange, DiagramWindowTakesEachScaleAndLeaksNothing) {
  BuildHere();
  HWND diagram = WindowHandle(kDiagramWindow);
  ToggleDiagramWindow();
  RECT outer{};
  GetWindowRect(diagram, &outer);
  uint32_t gdi = 0;
  for (int round = 0; round < 3; ++round) {
    if (round == 1) gdi = test::OwnGdiObjectCount();  // fonts and pictures of each scale made once
    for (int dpi : {144, 192, 96}) {
      SCOPED_TRACE(dpi);
      const RECT suggested{outer.left, outer.top, outer.left + ScaleToDpi(outer.right - outer.left, dpi),
                           outer.top + ScaleToDpi(outer.bottom - outer.top, dpi)};
      SendMessageA(diagram, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
      test::Pump();
      EXPECT_EQ(DiagramMeasureIconSize(), win::SystemMetricAtDpi(SM_CXSMICON, dpi));
      const Rect picture = RectInParent(ControlHandle(242));
      EXPECT_EQ(picture.w, ScaleToDpi(32, dpi));
      EXPECT_EQ(picture.h, ScaleToDpi(32, dpi));
    }
  }
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
  ToggleDiagramWindow();
}

// The process panel's icon and the window and network lists' icons are
// taken at the sizes of each scale (48 and 24 pixels at 144 DPI), not
// stretched from the 96-DPI ones, the list's sort arrow is the scale's
// drawing, and the round trips leave no GDI object behind.
TEST_F(DpiChange, PanelAndWindowListIconsAreTakenAtEachScale) {
  BuildHere();
  HWND processes = ControlHandle(kProcessList);
  ASSERT_GT(ListView_GetItemCount(processes), 2);
  ListView_SetItemState(processes, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  UpdateProcessSummary();
  HWND windows = ControlHandle(kWindowList);
  const RECT outer{40, 30, 40 + 600, 30 + 470};
  const int processIcons = ImageList_GetImageCount(ListView_GetImageList(processes, LVSIL_SMALL));
  ASSERT_GT(processIcons, 0);
  uint32_t gdi = 0;
  for (int round = 0; round < 3; ++round) {
    if (round == 1) gdi = test::OwnGdiObjectCount();  // fonts and pictures of each scale made once
    for (int dpi : {144, 192, 96}) {
      SCOPED_TRACE(dpi);
      ChangeDpi(dpi, {outer.left, outer.top, outer.left + ScaleToDpi(600, dpi), outer.top + ScaleToDpi(470, dpi)});
      EXPECT_EQ(ProcessSummaryIconSize(), win::SystemMetricAtDpi(SM_CXICON, dpi));
      BITMAP shown{};
      GetObjectA(reinterpret_cast<HBITMAP>(SendMessageA(ControlHandle(141), STM_GETIMAGE, IMAGE_BITMAP, 0)),
                 sizeof shown, &shown);
      EXPECT_EQ(shown.bmWidth, ScaleToDpi(32, dpi));
      int width = 0, height = 0;
      HIMAGELIST images = ListView_GetImageList(windows, LVSIL_SMALL);
      ASSERT_TRUE(images && ImageList_GetIconSize(images, &width, &height));
      EXPECT_EQ(width, win::SystemMetricAtDpi(SM_CXSMICON, dpi));
      EXPECT_GT(ImageList_GetImageCount(images), 0);
      HDITEMA sorted{};
      sorted.mask = HDI_BITMAP;
      BITMAP arrow{};
      ASSERT_TRUE(Header_GetItem(ListView_GetHeader(windows), 0, &sorted));
      GetObjectA(sorted.hbm, sizeof arrow, &arrow);
      EXPECT_EQ(arrow.bmWidth, ScaleToDpi(12, dpi));  // the header's arrow in the drawing for the scale
      // The network rows' icon and the adapter's picture too.
      HIMAGELIST networkIcons = ListView_GetImageList(ControlHandle(kNetworkList), LVSIL_SMALL);
      ASSERT_TRUE(networkIcons && ImageList_GetIconSize(networkIcons, &width, &height));
      EXPECT_EQ(width, win::SystemMetricAtDpi(SM_CXSMICON, dpi));
      EXPECT_EQ(ImageList_GetImageCount(networkIcons), 1);
      BITMAP adapter{};
      GetObjectA(reinterpret_cast<HBITMAP>(SendMessageA(ControlHandle(kAdapterPicture), STM_GETIMAGE, IMAGE_BITMAP, 0)),
                 sizeof adapter, &adapter);
      EXPECT_EQ(adapter.bmWidth, ScaleToDpi(24, dpi));
      // The process rows keep their icon numbers, now pointing into a list
      // at the new size that holds as many icons as before.
      HIMAGELIST rowIcons = ListView_GetImageList(processes, LVSIL_SMALL);
      ASSERT_TRUE(rowIcons && ImageList_GetIconSize(rowIcons, &width, &height));
      EXPECT_EQ(width, win::SystemMetricAtDpi(SM_CXSMICON, dpi));
      EXPECT_EQ(ImageList_GetImageCount(rowIcons), processIcons);
    }
  }
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
}

// The status bar's picture: its pixel at x, y.
COLORREF StatusBarPixel(int x, int y) {
  auto picture = reinterpret_cast<HBITMAP>(SendMessageA(ControlHandle(kStatusBar), STM_GETIMAGE, IMAGE_BITMAP, 0));
  win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  win::SelectScope select(dc.get(), picture);
  return GetPixel(dc.get(), x, y);
}

// The selected process's CPU history strip at 125 and 150 percent: at the
// scaled place right of the last separator, the scaled height, to the bar's
// right edge; the separators and figures stay as they are.
TEST_F(DpiChange, TheHistoryStripTakesItsScaledPlaceInTheStatusBar) {
  BuildHere();
  HWND list = ControlHandle(kProcessList);
  ASSERT_GT(ListView_GetItemCount(list), 2);
  ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  const int image = SelectedHistoryImage();
  ASSERT_NE(image, 0);
  // A process at full load since its strip began: bars over the whole strip.
  for (int step = 0; step < 400; ++step) AdvanceHistoryImage(image, 100.0f);
  const RECT outer{40, 30, 40 + 600, 30 + 470};
  for (int dpi : {120, 144, 96}) {
    SCOPED_TRACE(dpi);
    ChangeDpi(dpi, {outer.left, outer.top, outer.left + ScaleToDpi(600, dpi), outer.top + ScaleToDpi(470, dpi)});
    const int width = ClientSize(MainWindow).w;
    const int left = ScaleToDpi(334, dpi), top = ScaleToDpi(2, dpi), bottom = ScaleToDpi(20, dpi);
    EXPECT_EQ(StatusBarPixel(ScaleToDpi(332, dpi), ScaleToDpi(10, dpi)), RGB(184, 196, 224));
    EXPECT_EQ(StatusBarPixel(ScaleToDpi(333, dpi), ScaleToDpi(10, dpi)), RGB(157, 168, 191));
    // Bars are green to red, the bar's background is blue-grey.
    const auto bar = [](COLORREF c) { return GetBValue(c) == 0; };
    EXPECT_FALSE(bar(StatusBarPixel(left - 1, ScaleToDpi(10, dpi))));
    for (int x : {left, (left + width) / 2, width - 1}) {
      SCOPED_TRACE(x);
      EXPECT_FALSE(bar(StatusBarPixel(x, top - 1)));
      for (int y = top; y < bottom; ++y) EXPECT_TRUE(bar(StatusBarPixel(x, y))) << y;
    }
  }
}

// The open error dialog moved to screens of other scales: the suggested
// rectangle, its controls at their scaled places with a font made for the
// scale, and the fonts it made before freed.
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
      const Rect got = RectInParent(proceed);
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
