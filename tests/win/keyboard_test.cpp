// Every window driven from the keyboard alone: keys pressed through the
// system's input into the real windows, handled by the loop's own wait.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/menus.h"
#include "app/program_windows.h"
#include "app/startup.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/message_box.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

// Presses `key` with `held` held down, as a keyboard would.
void Press(WORD key, std::vector<WORD> held = {}) {
  held.push_back(key);
  test::HeldKeys keys(held);
}

// Runs the program's loop until `done` holds.
bool LoopUntil(const std::function<bool()>& done) { return test::LoopUntil(done, 10s); }

bool Focused(int id) {
  HWND focus = GetFocus();
  HWND control = ControlHandle(id);
  return focus && control && (focus == control || IsChild(control, focus));
}

// Tab (to the first of `order` where the focus is elsewhere) through `order`
// and round to its first again, then Shift+Tab back.
void ExpectTabOrder(const std::vector<int>& order) {
  if (!Focused(order.front())) Press(VK_TAB);
  EXPECT_TRUE(LoopUntil([&] { return Focused(order.front()); })) << "Tab to " << order.front();
  for (size_t k = 1; k <= order.size(); ++k) {
    const int next = order[k % order.size()];
    Press(VK_TAB);
    EXPECT_TRUE(LoopUntil([&] { return Focused(next); })) << "Tab to " << next;
  }
  Press(VK_TAB, {VK_SHIFT});
  EXPECT_TRUE(LoopUntil([&] { return Focused(order.back()); })) << "Shift+Tab to " << order.back();
  Press(VK_TAB);
  EXPECT_TRUE(LoopUntil([&] { return Focused(order.front()); }));
}

bool Shown(int window) { return IsWindowVisible(WindowHandle(window)) != FALSE; }

// The menu the keys opened, seen from a second thread, which then presses
// `keys` (Escape closes it).
struct SeenMenu {
  std::vector<WORD> keys = {VK_ESCAPE};
  HMENU menu = nullptr;
  RECT place{};
};

HWND OpenMenuWindow() {
  HWND popup = FindWindowA("#32768", nullptr);
  return popup && IsWindowVisible(popup) ? popup : nullptr;
}

DWORD WINAPI WatchMenu(void* context) {
  auto* seen = static_cast<SeenMenu*>(context);
  HWND popup = nullptr;
  if (!test::WaitUntil([&] { return (popup = OpenMenuWindow()) != nullptr; }, 10s)) return 1;
  seen->menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
  GetWindowRect(popup, &seen->place);
  for (WORD key : seen->keys) Press(key);
  return test::WaitUntil([] { return OpenMenuWindow() == nullptr; }, 10s) ? 0 : 2;
}

class Keyboard : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    ShowWindow(MainWindow, SW_SHOW);
    SetForegroundWindow(MainWindow);
    ShowView(kProcessView, false);
    test::Pump();
    win::SetMessageBoxHook([this](HWND, const std::string&, const std::string&, UINT) {
      ++boxes_;
      return IDOK;
    });
  }
  void TearDown() override {
    win::SetMessageBoxHook({});
    test::BuiltWindows::TearDown();
  }
  // Runs the loop while `seen` watches the menu that the keys open.
  void WatchMenuWhile(SeenMenu& seen, const std::function<void()>& keys) {
    win::UniqueKernelHandle watcher(CreateThread(nullptr, 0, WatchMenu, &seen, 0, nullptr));
    ASSERT_TRUE(watcher);
    keys();
    EXPECT_TRUE(LoopUntil([&] { return WaitForSingleObject(watcher.get(), 0) == WAIT_OBJECT_0; }));
    DWORD outcome = 99;
    GetExitCodeThread(watcher.get(), &outcome);
    EXPECT_EQ(outcome, 0u);
  }

  int boxes_ = 0;
};

TEST_F(Keyboard, RunDialogTabsInReadingOrderEnterPressesTheDefaultOrTheFocusedButton) {
  Press('R', {VK_CONTROL});
  ASSERT_TRUE(LoopUntil([] { return Shown(kRunWindow) && Focused(232); }));
  ExpectTabOrder({232, 234, 236, 237});  // "OK" is disabled while the box is empty
  for (WORD letter : {'Q', 'Q', 'Q'}) Press(letter);
  ASSERT_TRUE(LoopUntil([] { return IsWindowEnabled(ControlHandle(235)) != FALSE; }));
  ExpectTabOrder({232, 234, 235, 236, 237});
  Press(VK_RETURN);  // "OK": "qqq" cannot start, which a message box says
  EXPECT_TRUE(LoopUntil([this] { return boxes_ == 1; }));
  Press(VK_TAB, {VK_SHIFT});
  Press(VK_TAB, {VK_SHIFT});
  ASSERT_TRUE(LoopUntil([] { return Focused(236); }));
  const auto thick = [](int id) { return (GetWindowLongPtrA(ControlHandle(id), GWL_STYLE) & 15) == BS_DEFPUSHBUTTON; };
  EXPECT_TRUE(thick(236) && !thick(235));  // the frame shows what Enter presses
  Press(VK_RETURN);
  EXPECT_TRUE(LoopUntil([] { return !Shown(kRunWindow) && IsWindowEnabled(MainWindow); }));
  EXPECT_EQ(boxes_, 1);
  Press('R', {VK_CONTROL});
  ASSERT_TRUE(LoopUntil([] { return Shown(kRunWindow); }));
  Press(VK_ESCAPE);
  EXPECT_TRUE(LoopUntil([] { return !Shown(kRunWindow) && IsWindowEnabled(MainWindow); }));
}

TEST_F(Keyboard, PreferencesTabThroughBothPagesSpaceTogglesEnterIsOkEscapeCloses) {
  Press('P', {VK_CONTROL});
  ASSERT_TRUE(LoopUntil([] { return Shown(kPreferencesWindow); }));
  std::vector<int> general;
  for (int id : {252, 253, 254, 255, 256, 257, 258, 259, 260, 263, 266, 269, 270, 273, 274, 291, 292})
    if (IsWindowEnabled(ControlHandle(id))) general.push_back(id);  // 254 is greyed on later systems
  ExpectTabOrder(general);
  const LRESULT before = SendMessageA(ControlHandle(252), BM_GETCHECK, 0, 0);
  Press(VK_SPACE);
  EXPECT_TRUE(LoopUntil([&] { return SendMessageA(ControlHandle(252), BM_GETCHECK, 0, 0) != before; }));
  Press(VK_TAB, {VK_CONTROL});  // the columns page, the focus on its first box
  ASSERT_TRUE(LoopUntil([] { return IsWindowVisible(ControlHandle(276)) && Focused(278); }));
  std::vector<int> columns = {291, 292};
  for (int id = 290; id >= 278; --id) columns.insert(columns.begin(), id);
  ExpectTabOrder(columns);
  Press(VK_RETURN);  // "OK", from a check box
  EXPECT_TRUE(LoopUntil([] { return !Shown(kPreferencesWindow) && IsWindowEnabled(MainWindow); }));
  Press('P', {VK_CONTROL});
  ASSERT_TRUE(LoopUntil([] { return Shown(kPreferencesWindow); }));
  Press(VK_ESCAPE);
  EXPECT_TRUE(LoopUntil([] { return !Shown(kPreferencesWindow) && IsWindowEnabled(MainWindow); }));
}

TEST_F(Keyboard, DiagramArrowsChooseTheMeasureEnterDoesNothingEscapeHides) {
  Press('D', {VK_CONTROL});
  ASSERT_TRUE(LoopUntil([] { return Shown(kDiagramWindow); }));
  ExpectTabOrder({240});
  const LRESULT first = SendMessageA(ControlHandle(240), CB_GETCURSEL, 0, 0);
  Press(VK_DOWN);
  EXPECT_TRUE(LoopUntil([&] { return SendMessageA(ControlHandle(240), CB_GETCURSEL, 0, 0) == first + 1; }));
  Press(VK_RETURN);  // no default button: the dialog manager's IDOK would be a menu item
  Press(VK_ESCAPE);
  EXPECT_TRUE(LoopUntil([] { return !Shown(kDiagramWindow); }));
  EXPECT_EQ(boxes_, 0);
}

TEST_F(Keyboard, InformationOpensByItsMenuLettersEnterPressesEscapeCloses) {
  Press('H', {VK_MENU});
  Press('I');
  ASSERT_TRUE(LoopUntil([] { return Shown(kInformationWindow); }));
  ExpectTabOrder({kMailLink, kIconsLink, kTeamLink, 316, 317});
  Press(VK_TAB, {VK_SHIFT});
  ASSERT_TRUE(LoopUntil([] { return Focused(317); }));
  Press(VK_RETURN);  // "Disclaimer": its page, the focus on its first button
  ASSERT_TRUE(LoopUntil([] { return IsWindowVisible(ControlHandle(318)) && Focused(322); }));
  ExpectTabOrder({322, 323});
  Press(VK_ESCAPE);
  EXPECT_TRUE(LoopUntil([] { return !Shown(kInformationWindow) && IsWindowEnabled(MainWindow); }));
}

TEST_F(Keyboard, MainWindowTabsThroughTheViewAndCtrlTabGoesThroughAllSixViews) {
  SetFocus(ControlHandle(kProcessList));
  ExpectTabOrder({kFilterField, kTabStrip, kProcessList});  // ends on the filter field
  Press(VK_TAB);
  ASSERT_TRUE(LoopUntil([] { return Focused(kTabStrip); }));
  Press(VK_RIGHT);  // on the tab strip, the next view
  ASSERT_TRUE(LoopUntil([] { return CurrentView == kWindowView && Focused(kTabStrip); }));
  ExpectTabOrder(
      {kTabStrip, kWindowList, kShowHiddenWindows, kShowSizelessWindows, kShowOffscreenWindows, kFilterField});
  Stamps.list = 0;
  Press(VK_F5);  // the window list's "Aktualisieren"
  EXPECT_TRUE(LoopUntil([] { return Stamps.list != 0; }));

  Press(VK_TAB);
  ASSERT_TRUE(LoopUntil([] { return Focused(kWindowList); }));
  for (int step = 1; step <= kViewCount; ++step) {
    const int view = (kWindowView + step) % kViewCount;
    Press(VK_TAB, {VK_CONTROL});
    ASSERT_TRUE(LoopUntil([&] { return CurrentView == view; })) << view;
    EXPECT_TRUE(IsWindowVisible(ControlHandle(kViewPanels[static_cast<size_t>(view)])));
    // The focus follows into the view's list; "Überwachung" has none and
    // gives it to the tab strip, where it stays.
    EXPECT_TRUE(Focused(step < 4 ? kViewLists[static_cast<size_t>(view)] : kTabStrip)) << view;
  }
  Press(VK_TAB, {VK_CONTROL, VK_SHIFT});
  EXPECT_TRUE(LoopUntil([] { return CurrentView == kProcessView; }));
}

TEST_F(Keyboard, TheMainWindowActivatedAgainGivesTheFocusBackWhereItWas) {
  win::UniqueWindow other(CreateWindowExA(0, "STATIC", "anderes Fenster", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                          100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
  ASSERT_TRUE(other);
  const auto activate = [](HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    return LoopUntil([window] { return GetActiveWindow() == window; });
  };
  // The focus on the window itself, where the system puts it at the start:
  // activated again, the shown view's list has it, so the arrows move at once.
  SetFocus(MainWindow);
  ASSERT_TRUE(activate(other.get()));
  ASSERT_TRUE(activate(MainWindow));
  EXPECT_TRUE(LoopUntil([] { return Focused(kProcessList); }));
  Press('E', {VK_CONTROL});
  ASSERT_TRUE(LoopUntil([] { return Focused(kFilterField); }));
  ASSERT_TRUE(activate(other.get()));
  ASSERT_TRUE(activate(MainWindow));
  EXPECT_TRUE(LoopUntil([] { return Focused(kFilterField); }));
}

TEST_F(Keyboard, ShiftF10OpensTheFocusedRowsMenuAtTheRowAndAltDOpensDatei) {
  HWND list = ControlHandle(kProcessList);
  ASSERT_GT(ListView_GetItemCount(list), 3);
  SetFocus(list);
  ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list, 2, LVIS_FOCUSED, LVIS_FOCUSED);  // focused, not selected
  RECT row{};
  ListView_GetItemRect(list, 2, &row, LVIR_LABEL);
  POINT below{row.left, row.bottom};
  ClientToScreen(list, &below);
  SeenMenu seen;
  WatchMenuWhile(seen, [] { Press(VK_F10, {VK_SHIFT}); });
  EXPECT_EQ(seen.menu, PopupMenuHandle(2));
  EXPECT_EQ(seen.place.top, below.y);
  EXPECT_EQ(seen.place.left, below.x);
  EXPECT_EQ(ListView_GetSelectedCount(list), 1u);  // as after a right click on the row
  EXPECT_TRUE(ListView_GetItemState(list, 2, LVIS_SELECTED));

  SeenMenu file;
  file.keys = {'E'};  // "Einstellungen", by its letter
  WatchMenuWhile(file, [] { Press('D', {VK_MENU}); });
  EXPECT_EQ(file.menu, GetSubMenu(MenuBarHandle(), 0));
  EXPECT_TRUE(LoopUntil([] { return Shown(kPreferencesWindow); }));
}

}  // namespace
}  // namespace velkor
