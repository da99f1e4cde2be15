// The system's high-contrast mode: once the program hears of it, what it
// draws itself takes the system's colours, and gives them back when it ends.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/command_ids.h"
#include "app/menus.h"
#include "app/program_windows.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "app/toolbar.h"
#include "app/toolbar_win.h"
#include "gfx/contrast_win.h"
#include "shell/menu_draw.h"
#include "support/built_windows.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

COLORREF StatusBarPixel(int x, int y) {
  auto picture = reinterpret_cast<HBITMAP>(SendMessageA(ControlHandle(137), STM_GETIMAGE, IMAGE_BITMAP, 0));
  win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  win::SelectScope select(dc.get(), picture);
  return GetPixel(dc.get(), x, y);
}

// What the owner of an owner-drawn item paints at (x, y) of its 120 x 28 picture.
COLORREF DrawnPixel(DRAWITEMSTRUCT item, int x, int y) {
  win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  win::UniqueBitmap bitmap(CreateBitmap(120, 28, 1, 32, nullptr));
  win::SelectScope select(dc.get(), bitmap.get());
  item.hDC = dc.get();
  item.rcItem = {0, 0, item.CtlType == ODT_MENU ? 120 : 28, item.CtlType == ODT_MENU ? 20 : 28};
  SendMessageA(MainWindow, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  return GetPixel(dc.get(), x, y);
}

// The colours a label in the white box of "Prozesse" is given by the box.
std::pair<COLORREF, COLORREF> LabelColours() {
  HWND label = ControlHandle(144);
  HDC dc = GetDC(label);
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
  LOGBRUSH info{};
  GetObjectA(brush, sizeof info, &info);
  const COLORREF text = GetTextColor(dc);
  ReleaseDC(label, dc);
  return {info.lbColor, text};
}

class HighContrastLook : public test::BuiltWindows {
 protected:
  void TearDown() override {
    SetHighContrastHook({});
    if (MainWindow) SendMessageA(MainWindow, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    BuiltWindows::TearDown();
  }
};

TEST_F(HighContrastLook, DrawsInTheSystemColoursWhileTheModeIsOn) {
  ASSERT_NO_FATAL_FAILURE(BuildHere());
  UpdateStatusBar(kStatusFigures);
  const COLORREF ownBar = StatusBarPixel(50, 10);
  DRAWITEMSTRUCT menuItem{};
  menuItem.CtlType = ODT_MENU;
  menuItem.itemID = 21;
  menuItem.itemState = ODS_SELECTED;
  menuItem.itemData = reinterpret_cast<ULONG_PTR>(MenuItemRecordOf(PopupMenuHandle(2), 21, false));
  DRAWITEMSTRUCT button{};
  button.CtlType = ODT_BUTTON;
  button.CtlID = kRunDialogCommand;
  button.hwndItem = ControlHandle(kRunDialogCommand);
  SetHoverLevel(kRunDialogCommand, kHoverLevelMax);
  ASSERT_NE(DrawnPixel(button, 0, 5), GetSysColor(COLOR_HIGHLIGHT));

  bool on = true;
  SetHighContrastHook([&on] { return on; });
  SendMessageA(MainWindow, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_EQ(StatusBarPixel(50, 10), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(StatusBarPixel(92, 10), GetSysColor(COLOR_BTNTEXT));  // a separator
  EXPECT_EQ(DrawnPixel(menuItem, 60, 1), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(DrawnPixel(button, 0, 5), GetSysColor(COLOR_HIGHLIGHT));  // the lit button's frame
  EXPECT_EQ(LabelColours(), std::make_pair(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)));

  on = false;
  SendMessageA(MainWindow, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(StatusBarPixel(50, 10), ownBar);
  EXPECT_EQ(DrawnPixel(menuItem, 60, 1), RGB(170, 204, 255));
}

}  // namespace
}  // namespace velkor
