// The windows and controls of velkor.exe, built in the test process.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/event_loop.h"
#include "app/startup.h"
#include "app/program_windows.h"
#include "gfx/bitmap.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "shell/menu_draw.h"
#include "procs/process_library.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "settings/preferences_window.h"
#include "settings/settings_file_win.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

using test::ClientOf;

using test::RectInParent;

using namespace std::chrono_literals;

Size OuterOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// Height of the menu bar: the outer height less frame, caption and client.
int MenuBarHeight(HWND window) {
  RECT frame{0, 0, 0, 0};
  AdjustWindowRect(&frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE);
  return OuterOf(window).h - (frame.bottom - frame.top) - ClientOf(window).h;
}

bool IsLabel(ControlKind kind) {
  return kind == ControlKind::kLabel || kind == ControlKind::kLabelRight || kind == ControlKind::kLink;
}

// The room a control's text takes at the control's font, broken into lines
// at `width` where it has to be.
Size TextSize(HWND control, int width) {
  char text[512] = {};
  GetWindowTextA(control, text, sizeof text);
  win::WindowDc dc(control);
  win::SelectScope font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  RECT single{0, 0, 0, 0}, broken{0, 0, width, 0};
  DrawTextA(dc.get(), text, -1, &single, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  DrawTextA(dc.get(), text, -1, &broken, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
  // A text of one line must fit on one line; a longer one may be broken.
  const bool oneLine = std::string(text).find('\n') == std::string::npos && broken.bottom <= single.bottom;
  return oneLine ? Size{single.right, single.bottom} : Size{std::min<int>(broken.right, width), broken.bottom};
}

// Handles what is pending without running any command.
using test::Pump;

// Builds the windows in a folder of its own, with or without a settings file.
class Windows : public test::BuiltWindows {
 protected:
  void Build(const std::string& settings = {}, bool fillLists = true) { BuildHere(settings, fillLists); }
  static std::string WindowGroup(int x, int y, int w, int h) {
    return "[Window]\r\nX = " + std::to_string(x) + "\r\nY = " + std::to_string(y) +
           "\r\nWidth = " + std::to_string(w) + "\r\nHeight = " + std::to_string(h) + "\r\n";
  }
};

TEST_F(Windows, EveryControlExistsWhereTheLayoutPutsIt) {
  Build();
  CompleteStartNow();
  // The menu bar takes its height from the client area.
  const int height = 500 - MenuBarHeight(MainWindow);
  ASSERT_EQ(ClientOf(MainWindow), (Size{640, height}));
  for (const ControlSpec& def : ControlTable()) {
    SCOPED_TRACE(def.id);
    if (def.window == kProcessInfoWindow) continue;  // exists while open (process_window_test.cpp)
    HWND control = ControlHandle(def.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), def.id);
    HWND parent = def.parent ? ControlHandle(def.parent) : WindowHandle(def.window);
    EXPECT_EQ(GetParent(control), parent);
    // Combo boxes choose their own height; the tab strip takes its picture's width.
    if (def.kind == ControlKind::kComboEdit || def.kind == ControlKind::kComboImages || def.id == 135 || def.id == 136)
      continue;
    Rect expected{def.x.Resolve(640, height), def.y.Resolve(640, height), def.w.Resolve(640, height),
                  def.h.Resolve(640, height)};
    Rect actual = RectInParent(control);
    if (def.kind == ControlKind::kSpinEdit) {
      // The arrows take their width from the right end of the field.
      HWND arrows = GetWindow(control, GW_HWNDNEXT);
      actual.w += RectInParent(arrows).w;
    }
    if (IsLabel(def.kind) && !def.text.empty()) {
      // A label covers its place and is as large as its text needs at its
      // font; a value (a link) starts after its captions at the latest.
      if (def.flags & kAfterCaption) {
        EXPECT_GE(actual.x, expected.x);
      } else {
        EXPECT_LE(actual.x, expected.x);
      }
      EXPECT_EQ(actual.y, expected.y);
      EXPECT_GE(actual.x + actual.w, expected.x + expected.w);
      EXPECT_GE(actual.h, expected.h);
      const Size text = TextSize(control, actual.w);
      EXPECT_LE(text.w, actual.w);
      EXPECT_LE(text.h, actual.h);
      if (def.kind == ControlKind::kLabelRight) {
        EXPECT_EQ(actual.x + actual.w, expected.x + expected.w);
      }
      continue;
    }
    // A value starts after its captions at the latest and keeps its right
    // edge; a check box is as wide as its caption needs at least.
    const int right = expected.x + expected.w;
    if (def.flags & kAfterCaption) {
      EXPECT_GE(actual.x, expected.x);
      expected.x = actual.x;
      expected.w = right - actual.x;
    }
    if (def.kind == ControlKind::kCheckBox) {
      EXPECT_GE(actual.x + actual.w, right);
      expected.w = actual.w;
    }
    EXPECT_EQ(actual, expected);
  }
  EXPECT_EQ(RectInParent(ControlHandle(136)), (Rect{0, 30, 400, 25}));
  EXPECT_EQ(RectInParent(ControlHandle(135)), (Rect{400, 30, 240, 25}));
}

// Windows 1 to 5 are built at their first use, each as the start would have
// built it: controls, pictures, icons, the loaded values and the callback;
// the idle time after the start fills the hidden views' lists and builds
// the windows still missing.
TEST_F(Windows, OtherWindowsAreBuiltAtTheirFirstUse) {
  Build("[General]\r\nPreferencesExitCodeSpin = 77\r\n", false);
  InstallWindowCallback();
  // The hidden views' lists wait too; the one asked for is filled at once.
  EXPECT_GT(ListView_GetItemCount(ControlHandle(kProcessList)), 0);
  EXPECT_EQ(ListView_GetItemCount(ControlHandle(kServiceList)), 0);
  FillListIfPending(kServiceList);
  EXPECT_GT(ListView_GetItemCount(ControlHandle(kServiceList)), 0);
  EXPECT_EQ(ListView_GetItemCount(ControlHandle(kWindowList)), 0);
  for (int n = 1; n < kWindowCount; ++n) EXPECT_EQ(BuiltWindow(n), nullptr) << n;
  EXPECT_EQ(WindowHandle(kProcessInfoWindow), nullptr);  // made only when it opens
  char text[32] = {};
  BuildOtherWindow(kPreferencesWindow);
  GetWindowTextA(ControlHandle(kExitCodeFieldId), text, sizeof text);
  EXPECT_STREQ(text, "77");
  HWND preferences = BuiltWindow(kPreferencesWindow);
  ASSERT_NE(preferences, nullptr);
  EXPECT_EQ(BuiltWindow(kDiagramWindow), nullptr);
  EXPECT_EQ(GetWindow(preferences, GW_OWNER), MainWindow);
  EXPECT_NE(SendMessageA(ControlHandle(kBanners[2]), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  EXPECT_NE(SendMessageA(preferences, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(GetWindowLongPtrA(preferences, GWLP_WNDPROC), GetWindowLongPtrA(MainWindow, GWLP_WNDPROC));
  // The views "Netzwerk" and "Überwachung" get their controls when shown.
  EXPECT_EQ(BuiltControl(200), nullptr);
  EXPECT_EQ(BuiltControl(kNetworkList), nullptr);
  ShowView(5, false);
  EXPECT_TRUE(IsWindowVisible(BuiltControl(200)));
  ShowView(0, false);

  CompleteStartWhenIdle();
  EXPECT_TRUE(test::WaitUntil(
      [] {
        Pump();
        for (int n = 1; n < kProcessInfoWindow; ++n)
          if (!BuiltWindow(n)) return false;
        return ListView_GetItemCount(ControlHandle(kWindowList)) > 0 &&
               ListView_GetItemCount(BuiltControl(kNetworkList)) > 0;
      },
      5s));
  EXPECT_GT(GetWindowTextLengthA(BuiltControl(kDisclaimerText)), 0);
  EXPECT_NE(SendMessageA(BuiltControl(kAboutLogoPicture), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  EXPECT_NE(SendMessageA(BuiltControl(240), CBEM_GETIMAGELIST, 0, 0), 0);  // the diagram set up
}

TEST_F(Windows, WindowsAndListsAreWhatTheyShouldBe) {
  Build();
  char title[64] = {};
  const char* titles[] = {"Velkor", "Ausf\xFChren", "Diagramm", "Einstellungen", "Information", "ZovuZevuvuv"};
  for (int n = 0; n < kProcessInfoWindow; ++n) {
    GetWindowTextA(WindowHandle(n), title, sizeof title);
    EXPECT_STREQ(title, titles[n]);
    EXPECT_EQ(IsWindowVisible(WindowHandle(n)) != 0, n == 0) << n;
    EXPECT_EQ(GetWindow(WindowHandle(n), GW_OWNER), (n >= 1 && n <= 4) ? MainWindow : nullptr) << n;
  }
  EXPECT_EQ(ClientOf(WindowHandle(1)), (Size{360, 135}));
  EXPECT_EQ(ClientOf(WindowHandle(3)), (Size{420, 520}));
  EXPECT_TRUE(GetWindowLongPtrA(WindowHandle(5), GWL_EXSTYLE) & WS_EX_TOPMOST);

  HWND processes = ControlHandle(139);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(processes)), 18);
  EXPECT_EQ(ListView_GetColumnWidth(processes, 0), 200);
  EXPECT_EQ(ListView_GetColumnWidth(processes, 14), 0);
  EXPECT_FALSE(GetWindowLongPtrA(processes, GWL_STYLE) & LVS_SINGLESEL);
  EXPECT_TRUE(GetWindowLongPtrA(ControlHandle(147), GWL_STYLE) & LVS_SINGLESEL);
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(processes) & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(processes) & LVS_EX_HEADERDRAGDROP);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(ControlHandle(147))), 9);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(ControlHandle(152))), 4);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(ControlHandle(154))), 2);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(ControlHandle(161))), 5);
  // Buttons 23..25 start disabled; only the "Prozesse" panel shows.
  EXPECT_TRUE(IsWindowEnabled(ControlHandle(22)));  // never disabled
  for (int id : {23, 24, 25}) EXPECT_FALSE(IsWindowEnabled(ControlHandle(id))) << id;
  EXPECT_TRUE(IsWindowVisible(ControlHandle(138)));
  for (int id : {146, 151, 153, 155, 192}) EXPECT_FALSE(IsWindowVisible(ControlHandle(id))) << id;
  EXPECT_FALSE(IsWindowEnabled(ControlHandle(235)));
}

TEST_F(Windows, ResizingKeepsAnchoredEdgeDistances) {
  Build();
  RECT outer{0, 0, 900, 700};
  AdjustWindowRect(&outer, static_cast<DWORD>(GetWindowLongPtrA(MainWindow, GWL_STYLE)), TRUE);
  SetWindowPos(MainWindow, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  ASSERT_EQ(ClientOf(MainWindow), (Size{900, 700}));
  EXPECT_EQ(RectInParent(ControlHandle(137)), (Rect{0, 680, 900, 20}));   // status bar
  EXPECT_EQ(RectInParent(ControlHandle(138)), (Rect{0, 55, 900, 625}));   // panel
  EXPECT_EQ(RectInParent(ControlHandle(139)), (Rect{5, 0, 890, 515}));    // list stretches
  EXPECT_EQ(RectInParent(ControlHandle(140)), (Rect{5, 520, 890, 100}));  // details box: 5 below, 100 high
  EXPECT_EQ(RectInParent(ControlHandle(142)), (Rect{52, 10, 830, 15}));
  EXPECT_EQ(RectInParent(ControlHandle(141)), (Rect{10, 10, 32, 32}));
  EXPECT_EQ(RectInParent(ControlHandle(148)), (Rect{10, 600, 165, 20}));  // "Fenster" check boxes
  const Rect offscreen = RectInParent(ControlHandle(150));                // after its neighbour's caption
  EXPECT_EQ(offscreen.y, 600);
  EXPECT_GE(offscreen.x, 340);
  EXPECT_EQ(RectInParent(ControlHandle(162)), (Rect{615, 160, 280, 460}));
  EXPECT_EQ(RectInParent(ControlHandle(206)), (Rect{615, 160, 280, 170}));
  EXPECT_EQ(RectInParent(ControlHandle(135)), (Rect{400, 30, 500, 25}));  // filler follows the width
}

TEST_F(Windows, OuterSizeNeverFallsBelowTheMinimum) {
  Build();
  SetWindowPos(MainWindow, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  EXPECT_EQ(OuterOf(MainWindow), (Size{570, 465}));
  SetWindowPos(MainWindow, nullptr, 0, 0, 560, 900, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(OuterOf(MainWindow), (Size{570, 900}));
}

TEST_F(Windows, WithoutSettingsTheWindowIsCentred) {
  Build();
  RECT r{};
  GetWindowRect(MainWindow, &r);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(Windows, StoredGeometryIsRestored) {
  Build(WindowGroup(30, 40, 700, 550));
  RECT r{};
  GetWindowRect(MainWindow, &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(ClientOf(MainWindow), (Size{700, 550 - MenuBarHeight(MainWindow)}));
}

TEST_F(Windows, StoredGeometrySurvivesASaveAndALoad) {
  Build(WindowGroup(30, 40, 700, 550));
  ASSERT_TRUE(WritePreferences());
  std::string saved;
  ASSERT_TRUE(test::ReadFileBytes(folder_.File("velkor.ini"), saved));
  EXPECT_NE(saved.find(WindowGroup(30, 40, 700, 550)), std::string::npos) << saved;
  DestroyWindows();
  ASSERT_TRUE(BuildWindows());
  RECT r{};
  GetWindowRect(MainWindow, &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(ClientOf(MainWindow), (Size{700, 550 - MenuBarHeight(MainWindow)}));
  // Saved again, the window group stays the same.
  ASSERT_TRUE(WritePreferences());
  ASSERT_TRUE(test::ReadFileBytes(folder_.File("velkor.ini"), saved));
  EXPECT_NE(saved.find(WindowGroup(30, 40, 700, 550)), std::string::npos) << saved;
}

// A stored size below the minimum opens at the minimum; a place where the
// title bar cannot be reached opens centred with the stored size.
TEST_F(Windows, StoredGeometryIsMadeUsableBeforeTheWindowShows) {
  Build("[Window]\r\nX = 30\r\nY = 40\r\nWidth = 0\r\nHeight = 0\r\n");
  RECT r{};
  GetWindowRect(MainWindow, &r);
  EXPECT_EQ(OuterOf(MainWindow), (Size{570, 465}));
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  DestroyWindows();
  ASSERT_TRUE(test::WriteFileBytes(
      folder_.File("velkor.ini"), "[Window]\r\nX = 99999999999999999999\r\nY = 40\r\nWidth = 700\r\nHeight = 550\r\n"));
  ASSERT_TRUE(BuildWindows());
  GetWindowRect(MainWindow, &r);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(ClientOf(MainWindow), (Size{700, 550 - MenuBarHeight(MainWindow)}));
}

TEST_F(Windows, OneMissingCoordinateCentresTheWindow) {
  Build(WindowGroup(10, -1, 640, 500));
  RECT r{};
  GetWindowRect(MainWindow, &r);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(Windows, ViewsFollowTheTabStripAndTheMenu) {
  Build();
  const int panels[] = {138, 146, 151, 153, 155, 192};
  for (int view = 5; view >= 0; --view) {
    ShowView(view, false);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(IsWindowVisible(ControlHandle(panels[i])) != 0, i == view) << view;
  }
  // A menu event 13..18 shows view id - 13.
  DispatchEvent({kEventMenu, 17, 0, 0});
  EXPECT_TRUE(IsWindowVisible(ControlHandle(155)));
}

// A view switch with its refresh and a new process selection restart the
// list interval: the periodic refresh comes a full interval later.
TEST_F(Windows, RefreshingViewSwitchesAndProcessSelectionsSetTheListStamp) {
  Build();
  Stamps.list = 0;
  ShowView(5, true);  // no list of its own
  EXPECT_EQ(Stamps.list, 0.0);
  ShowView(0, true);
  EXPECT_NE(Stamps.list, 0.0);
  Stamps.list = 0;
  DispatchEvent({kEventControl, 139, kTypeChange, kMainWindow});
  EXPECT_NE(Stamps.list, 0.0);
  Stamps.list = 0;
  DispatchEvent({kEventControl, 154, kTypeChange, kMainWindow});
  EXPECT_EQ(Stamps.list, 0.0);
}

TEST_F(Windows, ATabClickCountsWhereItHappenedNotWhereTheMouseWentOnTo) {
  Build();
  ShowWindow(MainWindow, SW_SHOW);
  SetForegroundWindow(MainWindow);
  ShowView(0, false);
  Pump();
  auto tabPoint = [](int x) {
    POINT point{x, 42};  // the tab strip is 25 high from y = 30
    ClientToScreen(MainWindow, &point);
    return point;
  };
  const POINT network = tabPoint(280), windows = tabPoint(112);
  ASSERT_EQ(WindowFromPoint(network), ControlHandle(136));
  SetCursorPos(network.x, network.y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
  // The mouse moves on to another tab before the loop gets to the click.
  SetCursorPos(windows.x, windows.y);
  const ULONGLONG start = GetTickCount64();
  LoopEvent event;
  while (event.id != 136 && GetTickCount64() - start < 5000) event = WaitEvent(100);
  ASSERT_EQ(event.id, 136);
  DispatchEvent(event);
  EXPECT_EQ(CurrentView, 4);
  EXPECT_TRUE(IsWindowVisible(ControlHandle(155)));
}

TEST_F(Windows, SwitchingViewsSpendsNoGdiObjects) {
  Build();
  for (int view = 0; view < 6; ++view) ShowView(view, false);
  Pump();
  const uint32_t gdi = test::OwnGdiObjectCount();
  // Each switch puts another tab picture into the tab strip's control.
  for (int round = 0; round < 60; ++round) ShowView(round % 6, false);
  Pump();
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
}

TEST_F(Windows, ControlsReportTheirEventsWithTypes) {
  Build();
  ShowView(1, false);
  Pump();
  // A click on a check box is a left click of its identifier.
  SendMessageA(ControlHandle(148), BM_CLICK, 0, 0);
  LoopEvent event;
  ASSERT_TRUE(TakeLoopEvent(event));
  EXPECT_EQ(event.code, kEventControl);
  EXPECT_EQ(event.id, 148);
  EXPECT_EQ(event.type, kTypeLeftClick);
  EXPECT_EQ(event.window, 0);
  // Typing into the run dialog's parameter field is a change.
  BuildOtherWindow(kRunWindow);
  SetWindowTextA(ControlHandle(234), "x");
  ASSERT_TRUE(TakeLoopEvent(event));
  EXPECT_EQ(event.id, 234);
  EXPECT_EQ(event.type, kTypeChange);
  EXPECT_EQ(event.window, 1);
  // Closing a program window is a close request of that window; nothing is destroyed.
  SendMessageA(WindowHandle(2), WM_CLOSE, 0, 0);
  ASSERT_TRUE(TakeLoopEvent(event));
  EXPECT_EQ(event.code, kEventClose);
  EXPECT_EQ(event.window, 2);
  EXPECT_TRUE(IsWindow(WindowHandle(2)));
}

TEST_F(Windows, DialogCloseRulesEnableTheMainWindowsAgain) {
  Build();
  EnableMainWindows(false);
  ShowWindow(WindowHandle(3), SW_SHOW);
  DispatchEvent({kEventClose, 0, 0, 3});
  EXPECT_FALSE(IsWindowVisible(WindowHandle(3)));
  EXPECT_TRUE(IsWindowEnabled(MainWindow));
  EXPECT_TRUE(IsWindowEnabled(WindowHandle(2)));
  ShowWindow(WindowHandle(2), SW_SHOW);
  DispatchEvent({kEventClose, 0, 0, 2});
  EXPECT_FALSE(IsWindowVisible(WindowHandle(2)));
  ShowWindow(WindowHandle(4), SW_SHOW);
  DispatchEvent({kEventClose, 0, 0, 4});  // the information window closes itself
  EXPECT_TRUE(IsWindowVisible(WindowHandle(4)));
}

TEST_F(Windows, BuildingAndDestroyingLeavesNoObjectsBehind) {
  Build();
  DestroyWindows();
  DestroyProcessList();  // nothing of ours left; what the system opened once for windows stays
  const uint32_t handles = test::OwnHandleCount();
  const DWORD gdi = test::OwnGdiObjectCount();
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  for (int round = 0; round < 5; ++round) {
    ASSERT_TRUE(BuildWindows());
    Pump();
    DestroyWindows();
  }
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
  // The process list lets go of every process it kept open while listed.
  EXPECT_LE(test::OwnHandleCount(), handles + 2);
  ASSERT_TRUE(BuildWindows());
}

// The loop notices a second start through a change notification on the
// signal file's folder instead of looking every 250 ms.
TEST(StartSignalWatch, WritingTheSignalWakesTheWatchOfItsFolder) {
  HANDLE watch = SignalFolderWatch();
  ASSERT_NE(watch, nullptr);
  EXPECT_EQ(SignalFolderWatch(), watch);  // one watch for the program's life
  // Changes other programs made earlier are not what this test waits for.
  for (int i = 0; i < 100 && WaitForSingleObject(watch, 0) == WAIT_OBJECT_0; ++i)
    ASSERT_TRUE(FindNextChangeNotification(watch));
  WriteStartSignal();
  EXPECT_EQ(WaitForSingleObject(watch, 10000), WAIT_OBJECT_0);
  DeleteFileA(SignalFilePath().c_str());
}

// A window owner destroys a window that still exists and lets be one that went
// with its owner, keeping the last error either way.
TEST(WindowOwner, DestroysOnlyAWindowThatStillExists) {
  const auto popup = [](HWND owner) {
    return win::UniqueWindow(
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr));
  };
  win::UniqueWindow owner = popup(nullptr);
  win::UniqueWindow owned = popup(owner.get());
  ASSERT_TRUE(owner && owned);
  const HWND ownedWindow = owned.get();
  owner.reset();
  EXPECT_FALSE(IsWindow(ownedWindow));
  SetLastError(1234);
  owned.reset();
  EXPECT_EQ(GetLastError(), 1234u);
}

// One object per look, shared by every user, and all of them freed at once.
TEST(LookCache, SharesOneObjectPerLookAndFreesThemAll) {
  const auto useAll = [] {
    EXPECT_EQ(CachedFont(8), MenuFont());
    EXPECT_NE(CachedFont(8, true), CachedFont(8));
    EXPECT_EQ(CachedBrush(RGB(1, 2, 3)), CachedBrush(RGB(1, 2, 3)));
    const Canvas* banner = CachedPicture(images::kBanner);
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(CachedPicture(images::kBanner), banner);
    EXPECT_EQ(CachedPicture("NO_SUCH_PICTURE"), nullptr);
    EXPECT_NE(CachedBitmap("banner", [] { return LoadPngResource(images::kBanner); }), nullptr);
  };
  useAll();  // what the system makes once for the first font and screen DC stays
  DestroyLookCache();
  const uint32_t gdi = test::OwnGdiObjectCount();
  useAll();
  EXPECT_GT(test::OwnGdiObjectCount(), gdi);
  DestroyLookCache();
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
}

}  // namespace
}  // namespace velkor
