// The filter field on the toolbar's row, typed into through the system's
// keyboard input, against helper windows of the test's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/control_ids.h"
#include "app/event_loop.h"
#include "app/program_windows.h"
#include "app/status_bar.h"
#include "app/view_table.h"
#include "lists/service_list_win.h"
#include "lists/window_list_win.h"
#include "procs/process_commands_win.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/list_view.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

void SendKey(WORD key, WORD character, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = character;
  input.ki.dwFlags = (character ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0);
  SendInput(1, &input, sizeof input);
}

class Filter : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    Preferences.PreferencesWindowTitle = 1;
    ShowWindow(MainWindow, SW_SHOW);
    SetForegroundWindow(MainWindow);
    field_ = ControlHandle(kFilterField);
    list_ = ProcessListHandle();
    ASSERT_TRUE(field_ && list_);
  }
  void TearDown() override {
    BuiltWindows::TearDown();
    SetPreferenceDefaults();
  }
  static test::OwnedProcess StartWindow(const std::string& title) {
    return test::Start(test::ProgramFolder() + "\\velkor_helper.exe", "window " + title);
  }
  // Passes of the program's loop until `condition` holds (or 5 s went by).
  static bool RunUntil(const std::function<bool()>& condition) { return test::LoopUntil(condition); }
  // Ctrl+E, then `text` typed (Windows-1252) into what has the focus.
  void TypeIntoField(const std::string& text) {
    { test::HeldKeys control({VK_CONTROL, 'E'}); }
    ASSERT_TRUE(RunUntil([&] { return GetFocus() == field_; }));
    for (char c : text) {
      wchar_t wide = 0;
      MultiByteToWideChar(1252, 0, &c, 1, &wide, 1);
      SendKey(0, static_cast<WORD>(wide), false);
      SendKey(0, static_cast<WORD>(wide), true);
    }
    ASSERT_TRUE(RunUntil([&] { return GetWindowTextLengthA(field_) == static_cast<int>(text.size()); }));
    RunUntil([] { return false; });  // the change events, handled
  }
  static void Press(WORD key) {
    SendKey(key, 0, false);
    SendKey(key, 0, true);
  }
  // The PIDs the process list shows, in its order.
  std::vector<uint32_t> ShownPids() const {
    std::vector<uint32_t> pids;
    for (int row = 0; row < ListView_GetItemCount(list_); ++row)
      if (const ProcessRowFacts* facts = ProcessFactsAt(row)) pids.push_back(facts->pid);
    return pids;
  }
  static bool Refreshed(const std::function<bool()>& condition) {
    return test::WaitUntil(
        [&] {
          RefreshProcessList();
          return condition();
        },
        10s);
  }
  // The status bar as the loop leaves it after an event.
  static std::string CountText() {
    UpdateStatusBar(kStatusFigures);
    return StatusBarTexts().empty() ? "" : StatusBarTexts()[0].text;
  }

  HWND field_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(Filter, ProcessesMatchingEveryWordShowThroughRefreshesAndCommandsActOnThemAlone) {
  test::OwnedProcess anna = StartWindow("Filterprobe Anna"), mueller = StartWindow("Filterprobe M\xFCller");
  ASSERT_TRUE(anna.valid() && mueller.valid());
  ASSERT_TRUE(Refreshed([&] {
    const ProcessRowFacts* a = ProcessFactsOf(anna.pid());
    const int m = ProcessRowOf(mueller.pid());
    return a && m >= 0 && ProcessListRows().CellText(ProcessStoreRow(m), kTitleColumn) == "Filterprobe M\xFCller";
  }));
  win::SelectListRow(list_, ProcessRowOf(anna.pid()));
  const int all = ProcessListRows().RowCount();

  // Case folded in Windows-1252, each word anywhere in the row.
  ASSERT_NO_FATAL_FAILURE(TypeIntoField("M\xDCLLER  velkor_helper"));
  EXPECT_EQ(ShownPids(), std::vector<uint32_t>{mueller.pid()});
  EXPECT_EQ(ProcessListRows().RowCount(), all);  // every process still measured
  EXPECT_EQ(CountText(), "Prozesse: 1 von " + std::to_string(all));
  EXPECT_TRUE(SelectedProcesses().empty());  // the hidden row lost its selection
  {
    // The list drawn afresh once the change is through: below the one row,
    // nothing of the rows that were there before.
    RECT row{};
    ListView_GetItemRect(list_, 0, &row, LVIR_BOUNDS);
    UpdateWindow(list_);
    HDC dc = GetDC(list_);
    const COLORREF background = ListView_GetBkColor(list_);
    const int y = row.bottom + (row.bottom - row.top) * 3 / 2;
    int stale = 0;
    RECT client{};
    GetClientRect(list_, &client);
    for (int x = row.left + 1; x < std::min(row.right, client.right) - 1; x += 2)
      if (GetPixel(dc, x, y) != background) ++stale;
    ReleaseDC(list_, dc);
    EXPECT_EQ(stale, 0);
  }

  // Refreshes keep the filter: a new match comes in sort order, an ended one goes.
  test::OwnedProcess second = StartWindow("Filterprobe M\xFCller zwei");
  ASSERT_TRUE(Refreshed([&] { return ShownPids().size() == 2; }));
  EXPECT_EQ(ShownPids()[1], second.pid());
  mueller.End();
  ASSERT_TRUE(Refreshed([&] { return ShownPids() == std::vector<uint32_t>{second.pid()}; }));
  // A row whose title comes to match shows, and goes again when it no longer does.
  HWND annaWindow = FindWindowA(nullptr, "Filterprobe Anna");
  ASSERT_TRUE(annaWindow);
  auto retitle = [annaWindow](const char* title) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(annaWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title), SMTO_ABORTIFHUNG, 2000,
                               &result) != 0;
  };
  ASSERT_TRUE(retitle("Filterprobe M\xFCller Anna"));
  ASSERT_TRUE(Refreshed([&] { return ShownPids().size() == 2; }));
  ASSERT_TRUE(retitle("Filterprobe Anna"));
  ASSERT_TRUE(Refreshed([&] { return ShownPids() == std::vector<uint32_t>{second.pid()}; }));

  // Down selects the first shown row in the list; a command acts on it alone.
  Press(VK_DOWN);
  ASSERT_TRUE(RunUntil([&] { return GetFocus() == list_ && win::SelectedListRow(list_) == 0; }));
  ASSERT_EQ(SelectedProcesses().size(), 1u);
  EXPECT_EQ(SelectedProcesses()[0].pid, second.pid());

  // A hidden column never matches; Escape shows every row again.
  ASSERT_NO_FATAL_FAILURE(TypeIntoField("zwei"));
  EXPECT_EQ(ShownPids().size(), 1u);
  ColumnShown[kTitleColumn - 1] = 0;
  ApplyColumnVisibility();
  EXPECT_TRUE(ShownPids().empty());
  Press(VK_ESCAPE);
  ASSERT_TRUE(RunUntil([&] { return GetFocus() == list_ && GetWindowTextLengthA(field_) == 0; }));
  EXPECT_EQ(ListView_GetItemCount(list_), ProcessListRows().RowCount());
  EXPECT_GE(ProcessRowOf(anna.pid()), 0);
  EXPECT_EQ(CountText().find(" von "), std::string::npos);
}

// The list keeps its selection by position; moving rows must take it along.
TEST_F(Filter, SelectionAndFocusStayOnTheirProcessesThroughSortsFiltersAndTypingFindsARow) {
  std::vector<test::OwnedProcess> probes;
  for (const char* title : {"Wahlprobe eins", "Wahlprobe zwei", "Wahlprobe drei"}) probes.push_back(StartWindow(title));
  ASSERT_TRUE(Refreshed([&] {
    for (const test::OwnedProcess& probe : probes) {
      const int row = ProcessRowOf(probe.pid());
      if (row < 0 || ProcessListRows().CellText(ProcessStoreRow(row), kTitleColumn).rfind("Wahlprobe", 0) != 0)
        return false;
    }
    return true;
  }));
  const uint32_t first = probes[0].pid(), last = probes[2].pid();
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list_, ProcessRowOf(first), LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list_, ProcessRowOf(last), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  auto kept = [&] {
    std::vector<uint32_t> pids;
    for (const SelectedProcess& process : SelectedProcesses()) pids.push_back(process.pid);
    std::sort(pids.begin(), pids.end());
    const ProcessRowFacts* focused = ProcessFactsAt(ListView_GetNextItem(list_, -1, LVNI_FOCUSED));
    return pids == std::vector<uint32_t>{std::min(first, last), std::max(first, last)} && focused &&
           focused->pid == last;
  };
  auto click = [&](int column, const std::function<bool()>& sorted) {
    ASSERT_TRUE(test::ClickListHeader(list_, column, sorted)) << column;
  };
  click(kPidColumn, [] { return ProcessListSortColumn() == kPidColumn; });
  click(kPidColumn, [] { return !ProcessListSortAscending(); });  // descending: the rows turn round
  EXPECT_TRUE(kept());
  ASSERT_NO_FATAL_FAILURE(TypeIntoField("wahlprobe"));
  EXPECT_EQ(ShownPids().size(), 3u);
  EXPECT_TRUE(kept());
  probes[1].End();
  ASSERT_TRUE(Refreshed([&] { return ShownPids().size() == 2; }));
  EXPECT_TRUE(kept());
  Press(VK_ESCAPE);
  ASSERT_TRUE(RunUntil([&] { return GetWindowTextLengthA(field_) == 0; }));
  EXPECT_TRUE(kept());

  // Typed letters in the list go to the first row below the focus whose name starts with them.
  click(kNameColumn, [] { return ProcessListSortColumn() == kNameColumn; });
  ASSERT_NE(ProcessListRows().CellText(ProcessStoreRow(0), kNameColumn).rfind("velkor_h", 0), 0u);
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list_, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SetFocus(list_);
  for (char c : std::string("velkor_h")) {
    SendKey(0, static_cast<WORD>(c), false);
    SendKey(0, static_cast<WORD>(c), true);
  }
  ASSERT_TRUE(RunUntil([&] {
    const int row = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    return row >= 0 && ProcessListRows().CellText(ProcessStoreRow(row), kNameColumn).rfind("velkor_helper", 0) == 0;
  }));
}

TEST_F(Filter, EachListViewKeepsItsOwnTextAndMonitoringHasNone) {
  test::OwnedProcess anna = StartWindow("Filterprobe Anna"), bert = StartWindow("Filterprobe Bert");
  ASSERT_TRUE(anna.valid() && bert.valid());
  ShowView(kWindowView, true);
  HWND windows = ControlHandle(kWindowList);
  auto titles = [&] {
    std::vector<std::string> shown;
    for (int row = 0; row < ListView_GetItemCount(windows); ++row)
      if (win::ListViewCellText(windows, row, 0).starts_with("Filterprobe"))
        shown.push_back(win::ListViewCellText(windows, row, 0));
    return shown;
  };
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        RefreshWindowList();
        return titles().size() == 2;
      },
      10s));
  ASSERT_NO_FATAL_FAILURE(TypeIntoField("probe BERT"));
  EXPECT_EQ(titles(), std::vector<std::string>{"Filterprobe Bert"});
  EXPECT_EQ(ListView_GetItemCount(windows), 1);
  RefreshWindowList();
  EXPECT_EQ(ListView_GetItemCount(windows), 1);
  EXPECT_EQ(CountText(), "Fenster: 1 von " + std::to_string(win::ListRowCountUnfiltered(windows)));
  // A hidden row follows a sort and comes back at its place.
  SortWindowList(0, false);
  ASSERT_NO_FATAL_FAILURE(TypeIntoField("filterprobe"));
  EXPECT_EQ(titles(), (std::vector<std::string>{"Filterprobe Bert", "Filterprobe Anna"}));

  // A list refilled at each refresh keeps its filter too.
  ShowView(kServiceView, true);
  HWND services = ControlHandle(kServiceList);
  const int allServices = ListView_GetItemCount(services);
  ASSERT_GT(allServices, 1);
  const std::string name = win::ListViewCellText(services, allServices - 1, 0);
  ASSERT_NO_FATAL_FAILURE(TypeIntoField(name));
  const int matching = ListView_GetItemCount(services);
  EXPECT_GE(matching, 1);
  EXPECT_LT(matching, allServices);
  RefreshServiceList(services);
  EXPECT_EQ(ListView_GetItemCount(services), matching);
  EXPECT_EQ(win::ListRowCountUnfiltered(services), allServices);

  ShowView(kProcessView, false);
  EXPECT_EQ(GetWindowTextLengthA(field_), 0);
  EXPECT_EQ(ListView_GetItemCount(list_), ProcessListRows().RowCount());
  ShowView(kMonitorView, false);
  EXPECT_FALSE(IsWindowEnabled(field_));
  ShowView(kWindowView, false);
  EXPECT_TRUE(IsWindowEnabled(field_));
  char text[64] = {};
  GetWindowTextA(field_, text, sizeof text);
  EXPECT_STREQ(text, "filterprobe");
  EXPECT_EQ(titles().size(), 2u);
}

}  // namespace
}  // namespace velkor
