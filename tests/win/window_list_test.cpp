// The window list and its commands against helper programs whose windows
// the tests control, one of which stops answering messages; and the window
// effects on real windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "app/effects_win.h"
#include "app/event_loop.h"
#include "app/startup.h"
#include "app/program_windows.h"
#include "lists/window_list_win.h"
#include "procs/process_list_win.h"
#include "support/built_windows.h"
#include "support/save_dialog.h"
#include "support/wine_support.h"
#include "win/message_box.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;
using test::OwnedProcess;
using test::WaitUntil;

struct Found {
  uint32_t pid = 0;
  HWND window = nullptr;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM context) {
  auto* found = reinterpret_cast<Found*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != found->pid || !IsWindowVisible(window)) return TRUE;
  found->window = window;
  return FALSE;
}

std::string Decimal(HWND window) { return std::to_string(reinterpret_cast<uintptr_t>(window)); }

DWORD ExStyle(HWND window) { return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)); }

// Alpha of a layered window, -1 when it is not layered.
int AlphaOf(HWND window) {
  if (!(ExStyle(window) & WS_EX_LAYERED)) return -1;
  BYTE alpha = 0;
  DWORD flags = 0;
  return GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) ? alpha : -2;
}

class WindowListTest : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    list_ = ControlHandle(147);
    ASSERT_NE(list_, nullptr);
  }

  // Starts the helper in `mode` and waits for its window.
  HWND StartWindow(OwnedProcess& helper, const std::string& mode, const std::string& title) {
    helper = test::Start(test::ProgramFolder() + "\\velkor_helper.exe", mode + " " + title);
    Found found{helper.pid()};
    EXPECT_TRUE(WaitUntil(
        [&] {
          EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&found));
          return found.window != nullptr;
        },
        10s));
    return found.window;
  }

  std::string Cell(int row, int column) const {
    char buffer[512] = {};
    ListView_GetItemText(list_, row, column, buffer, sizeof buffer);
    return buffer;
  }
  int RowOf(HWND window) const {
    for (int row = 0; row < ListView_GetItemCount(list_); ++row)
      if (Cell(row, 1) == Decimal(window)) return row;
    return -1;
  }
  // Refreshes and selects the row of `window`.
  int Select(HWND window) {
    RefreshWindowList();
    const int row = RowOf(window);
    SelectListRow(list_, row);
    return row;
  }
  static void Command(int id) { DispatchEvent({kEventMenu, id, 0, kMainWindow}); }
  static void Check(int box, bool on) {
    SendMessageA(ControlHandle(box), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  HWND list_ = nullptr;
};

TEST_F(WindowListTest, ListsTheHelperWindowWithItsFactsAndFilters) {
  OwnedProcess helper;
  HWND window = StartWindow(helper, "window", "Velkor Testfenster");
  ASSERT_NE(window, nullptr);
  RefreshWindowList();
  int row = RowOf(window);
  ASSERT_GE(row, 0);
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(Cell(row, 0), "Velkor Testfenster");
  EXPECT_EQ(Cell(row, 2), "velkor_helper.exe");
  EXPECT_EQ(Cell(row, 3), std::to_string(helper.pid()));
  EXPECT_EQ(Cell(row, 4), std::to_string(r.left) + ", " + std::to_string(r.top));
  EXPECT_EQ(Cell(row, 5), std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top));
  EXPECT_EQ(Cell(row, 6), "Nein");
  EXPECT_EQ(Cell(row, 7), "");
  EXPECT_EQ(Cell(row, 8), "Nein");
  // Sorted by title; the status bar count is the row count.
  for (int i = 1; i < ListView_GetItemCount(list_); ++i)
    EXPECT_LE(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Cell(i - 1, 0).c_str(), -1, Cell(i, 0).c_str(), -1),
              CSTR_EQUAL);

  // Hidden: listed only with the first box, then as hidden.
  SelectListRow(list_, row);
  Command(119);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 5s));
  RefreshWindowList();
  EXPECT_EQ(RowOf(window), -1);
  Check(148, true);
  DispatchEvent({kEventControl, 148, kTypeLeftClick, kMainWindow});
  row = RowOf(window);
  ASSERT_GE(row, 0);
  EXPECT_EQ(Cell(row, 6), "Ja");
  Check(148, false);

  // The selection stays at its index, whatever the rows show now.
  RefreshWindowList();
  const int last = ListView_GetItemCount(list_) - 1;
  ASSERT_GE(last, 0);
  SelectListRow(list_, last);
  RefreshWindowList();
  EXPECT_EQ(ListView_GetNextItem(list_, -1, LVNI_SELECTED), last);
  SortWindowList(3, false);
  EXPECT_EQ(WindowListSortColumn(), 3);
  RefreshWindowList();
  for (int i = 1; i < ListView_GetItemCount(list_); ++i)
    EXPECT_GE(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Cell(i - 1, 3).c_str(), -1, Cell(i, 3).c_str(), -1),
              CSTR_EQUAL);
}

TEST_F(WindowListTest, CommandsActOnTheHelperWindow) {
  OwnedProcess helper;
  HWND window = StartWindow(helper, "window", "Velkor Befehle");
  ASSERT_NE(window, nullptr);
  ASSERT_GE(Select(window), 0);

  Command(108);  // never transparent: stays as it was
  EXPECT_EQ(AlphaOf(window), -1);
  const int alphas[] = {230, 204, 178, 153, 128, 102, 76, 51, 26};
  for (int id = 109; id <= 117; ++id) {
    Command(id);
    EXPECT_EQ(AlphaOf(window), alphas[id - 109]) << id;
  }
  Command(108);
  EXPECT_EQ(AlphaOf(window), -1);

  // Twice "Immer im Vordergrund": back where it was; the list follows at once.
  Command(118);
  EXPECT_TRUE(WindowIsTopmost(window));
  EXPECT_EQ(Cell(RowOf(window), 8), "Ja");
  SelectListRow(list_, RowOf(window));
  Command(118);
  EXPECT_FALSE(WindowIsTopmost(window));
  SelectListRow(list_, RowOf(window));

  Command(120);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }, 5s));
  RefreshWindowList();
  EXPECT_EQ(Cell(RowOf(window), 7), "Minimiert");
  EXPECT_EQ(Cell(RowOf(window), 4), "");
  SelectListRow(list_, RowOf(window));
  Command(121);
  EXPECT_TRUE(WaitUntil([&] { return IsZoomed(window) && !IsIconic(window); }, 5s));
  Command(122);
  EXPECT_TRUE(WaitUntil([&] { return !IsZoomed(window) && !IsIconic(window); }, 5s));
  Command(119);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 5s));
  Command(119);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 5s));

  // The jump selects the helper's row in the process list and shows it.
  RefreshProcessList();
  Command(125);
  EXPECT_EQ(CurrentView, 0);
  HWND processes = ControlHandle(kProcessList);
  const int selected = ListView_GetNextItem(processes, -1, LVNI_SELECTED);
  ASSERT_GE(selected, 0);
  char pid[32] = {};
  ListView_GetItemText(processes, selected, kPidColumn, pid, sizeof pid);
  EXPECT_EQ(std::string(pid), std::to_string(helper.pid()));

  Command(123);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }, 5s));

  OwnedProcess second;
  HWND other = StartWindow(second, "window", "Velkor Zerstoeren");
  ASSERT_NE(other, nullptr);
  ASSERT_GE(Select(other), 0);
  Command(124);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(other); }, 5s));
}

TEST_F(WindowListTest, JumpWithAnEmptyProcessListDoesNothing) {
  ShowView(1, true);
  ListView_DeleteAllItems(ControlHandle(kProcessList));
  SelectListRow(list_, 0);
  DispatchEvent({kEventControl, 147, kTypeDoubleClick, kMainWindow});
  EXPECT_EQ(CurrentView, 1);
}

TEST_F(WindowListTest, AWindowThatStopsAnsweringHoldsNothingUp) {
  OwnedProcess helper;
  HWND window = StartWindow(helper, "hung", "Velkor Haenger");
  ASSERT_NE(window, nullptr);
  ULONGLONG start = GetTickCount64();
  RefreshWindowList();
  EXPECT_LT(GetTickCount64() - start, 1500u);
  const int row = RowOf(window);
  ASSERT_GE(row, 0);
  EXPECT_EQ(Cell(row, 0), "Velkor Haenger");

  std::vector<std::string> notices;
  win::SetMessageBoxHook([&](HWND, const std::string& text, const std::string& title, UINT) {
    notices.push_back(title + ": " + text);
    return IDOK;
  });
  for (int id = 107; id <= 125; ++id) {
    ShowView(1, false);
    SelectListRow(list_, RowOf(window));
    start = GetTickCount64();
    Command(id);
    EXPECT_LT(GetTickCount64() - start, 1200u) << id;
  }
  win::SetMessageBoxHook({});
  // "Zerstören" cannot get rid of it: it says so, and its program runs on.
  EXPECT_EQ(notices, std::vector<std::string>{"Hinweis: Das Fenster \"Velkor Haenger\" konnte nicht zerstört werden!"});
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(helper.Running());
  // Still answering: our own window answers at once.
  EXPECT_TRUE(SendMessageTimeoutA(MainWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, nullptr));
}

TEST_F(WindowListTest, MenuAndExportOfTheListWaitForNoWindowThatStopsAnswering) {
  OwnedProcess helper;
  HWND window = StartWindow(helper, "hung", "Velkor Haenger");
  ASSERT_NE(window, nullptr);
  ShowView(1, true);
  ASSERT_GE(Select(window), 0);

  // The right click's menu, ended by a timer of this thread as soon as the
  // system shows it (and after 10 s at the latest, so that nothing hangs).
  static ULONGLONG clicked = 0, shown = 0;
  clicked = GetTickCount64();
  shown = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (!shown && menu && IsWindowVisible(menu)) shown = GetTickCount64();
    if (shown || GetTickCount64() - clicked > 10000) EndMenu();
  });
  DispatchEvent({kEventControl, 147, kTypeRightClick, kMainWindow});
  KillTimer(nullptr, timer);
  ASSERT_NE(shown, 0u) << "no menu";
  EXPECT_LT(shown - clicked, 1000u);

  // "Fensterliste exportieren", answered by a second thread like a user.
  // Timed from the press of the dialog's button: filling the dialog in is
  // the test's own work, which a loaded machine slows down.
  const std::string path = folder_.File("fenster.txt");
  std::atomic<ULONGLONG> saving = 0;
  std::thread user([&] {
    HWND dialog = test::WaitForDialog(GetCurrentProcessId(), "Fensterliste exportieren", 10s);
    if (!dialog || !test::SaveDialogAs(dialog, 1, path)) test::PressDialogButton(dialog, IDCANCEL);
    saving = GetTickCount64();  // the press is posted: the program may be done before this line
  });
  Command(2);
  const ULONGLONG written = GetTickCount64();
  user.join();
  ASSERT_NE(saving.load(), 0u);
  EXPECT_LT(static_cast<int64_t>(written) - static_cast<int64_t>(saving.load()), 1000);
  std::string bytes;
  ASSERT_TRUE(test::ReadFileBytes(path, bytes));
  EXPECT_NE(bytes.find("Velkor Haenger"), std::string::npos);
}

TEST_F(WindowListTest, RefreshKeepsItsRowsAndShowsWhatAFreshFillShows) {
  OwnedProcess helper;
  HWND window = StartWindow(helper, "window", "Velkor Alt");
  ASSERT_NE(window, nullptr);
  RefreshWindowList();
  const int rows = ListView_GetItemCount(list_);
  for (int row = 0; row < rows; ++row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = row + 1;
    ListView_SetItem(list_, &item);
  }
  ASSERT_TRUE(SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Velkor Neu"), SMTO_ABORTIFHUNG, 2000,
                                  nullptr));
  RefreshWindowList();
  ASSERT_EQ(ListView_GetItemCount(list_), rows);
  ASSERT_GE(RowOf(window), 0);
  EXPECT_EQ(Cell(RowOf(window), 0), "Velkor Neu");
  auto contents = [&] {
    std::vector<std::string> cells;
    for (int row = 0; row < ListView_GetItemCount(list_); ++row)
      for (int column = 0; column < 9; ++column) cells.push_back(Cell(row, column));
    return cells;
  };
  for (int row = 0; row < rows; ++row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ASSERT_TRUE(ListView_GetItem(list_, &item));
    EXPECT_EQ(item.lParam, row + 1) << "row " << row << " was made again";
  }
  // Rows lost from outside: the next refresh fills afresh, to the same rows.
  const std::vector<std::string> updated = contents();
  ListView_DeleteAllItems(list_);
  RefreshWindowList();
  EXPECT_EQ(contents(), updated);
}

TEST_F(WindowListTest, RefreshesSpendNoHandles) {
  OwnedProcess helper;
  ASSERT_NE(StartWindow(helper, "window", "Velkor Zaehlung"), nullptr);
  for (int i = 0; i < 5; ++i) RefreshWindowList();
  const uint32_t gdi = test::OwnGdiObjectCount();
  const uint32_t handles = test::OwnHandleCount();
  for (int i = 0; i < 300; ++i) RefreshWindowList();
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
  EXPECT_LE(test::OwnHandleCount(), handles + 2);
}

TEST_F(WindowListTest, InformationWindowFadesInToOpaque) {
  HWND information = WindowHandle(kInformationWindow);
  static int steps = 0;
  steps = 0;
  const ULONGLONG start = GetTickCount64();
  FadeWindowIn(information, MainWindow, [] { ++steps; });
  EXPECT_GE(GetTickCount64() - start, 255u);
  EXPECT_GT(steps, 2);
  EXPECT_TRUE(IsWindowVisible(information));
  EXPECT_FALSE(IsWindowEnabled(MainWindow));
  EXPECT_EQ(ExStyle(information) & WS_EX_LAYERED, 0u);
  FadeWindowOut(information, MainWindow, nullptr);
  EXPECT_NE(ExStyle(information) & WS_EX_LAYERED, 0u);
  ShowWindow(information, SW_HIDE);
  EnableWindow(MainWindow, TRUE);
}

TEST_F(WindowListTest, GestureMakesTheWindowInFrontTransparentWithTheScale) {
  ShowWindow(MainWindow, SW_SHOW);
  SetForegroundWindow(MainWindow);
  if (GetForegroundWindow() != MainWindow) GTEST_SKIP() << "the main window cannot come to the front here";
  CurrentTransparencyGesture() = TransparencyGesture{};
  POINT origin{400, 400};
  SetCursorPos(origin.x, origin.y);
  GetCursorPos(&origin);
  QuickTransparencyPass(true);
  HWND scaleWindow = WindowHandle(kScaleWindow);
  EXPECT_TRUE(IsWindowVisible(scaleWindow));
  EXPECT_TRUE(TransparencyGestureActive());
  SetCursorPos(origin.x + 45, origin.y);
  const uint32_t gdi = test::OwnGdiObjectCount();
  QuickTransparencyPass(true);
  EXPECT_EQ(AlphaOf(MainWindow), 204);
  for (int i = 0; i < 50; ++i) {
    SetCursorPos(origin.x + (i % 2 ? 300 : 100), origin.y);
    QuickTransparencyPass(true);
  }
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
  SetCursorPos(origin.x, origin.y);
  QuickTransparencyPass(true);
  EXPECT_EQ(AlphaOf(MainWindow), -1);
  QuickTransparencyPass(false);
  EXPECT_FALSE(IsWindowVisible(scaleWindow));
  EXPECT_FALSE(TransparencyGestureActive());
}

// The keys held as the user holds them, with no window in front: nothing
// to make transparent, so no scale shows, and none stays after the release.
TEST_F(WindowListTest, GestureKeysWithoutAWindowInFrontShowNoScale) {
  ShowWindow(MainWindow, SW_HIDE);
  test::Pump();
  if (GetForegroundWindow()) GTEST_SKIP() << "another window stays in front here";
  CurrentTransparencyGesture() = TransparencyGesture{};
  HWND scaleWindow = WindowHandle(kScaleWindow);
  {
    test::HeldKeys keys({VK_RCONTROL, VK_RMENU});
    ASSERT_TRUE(WaitUntil([] { return TransparencyKeysHeld(); }, 5s));
    for (int pass = 0; pass < 3; ++pass) QuickTransparencyPass(TransparencyKeysHeld());
    EXPECT_FALSE(IsWindowVisible(scaleWindow));
    EXPECT_FALSE(TransparencyGestureActive());
  }
  ASSERT_TRUE(WaitUntil([] { return !TransparencyKeysHeld(); }, 5s));
  QuickTransparencyPass(TransparencyKeysHeld());
  EXPECT_FALSE(IsWindowVisible(scaleWindow));
}

TEST_F(WindowListTest, MainWindowSticksToTheWorkAreaEdges) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT r{};
  GetWindowRect(MainWindow, &r);
  SetWindowPos(MainWindow, nullptr, work.left + 7, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(MainWindow, &r);
  EXPECT_EQ(r.left, work.left);
  SetWindowPos(MainWindow, nullptr, -1, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(MainWindow, &r);
  EXPECT_EQ(r.left, -11);
}

}  // namespace
}  // namespace velkor
