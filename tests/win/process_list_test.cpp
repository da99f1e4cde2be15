// The process list in the real list view, against helper processes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/program_windows.h"
#include "monitor/process_pie.h"
#include "procs/format.h"
#include "procs/process_library.h"
#include "procs/process_list_win.h"
#include "procs/window_titles_win.h"
#include "settings/preferences.h"
#include "support/built_windows.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

using test::Pump;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

class ProcessList : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    list_ = ControlHandle(kProcessList);
    ASSERT_NE(list_, nullptr);
  }
  void TearDown() override {
    BuiltWindows::TearDown();
    SetPreferenceDefaults();
  }

  // Read from the control itself, as every other reader of the list does.
  std::string Cell(int row, int column) const {
    char buffer[1024] = {};
    ListView_GetItemText(list_, row, column, buffer, sizeof buffer);
    return buffer;
  }
  int Rows() const { return ListView_GetItemCount(list_); }
  int RowOf(uint32_t pid) const {
    for (int row = 0; row < Rows(); ++row)
      if (Cell(row, kPidColumn) == std::to_string(pid)) return row;
    return -1;
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> cells;
    for (int row = 0; row < Rows(); ++row) cells.push_back(Cell(row, column));
    return cells;
  }
  COLORREF DrawnBackground(int row) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = list_;
    draw.nmcd.hdr.idFrom = kProcessList;
    draw.nmcd.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ListView_GetItem(list_, &item);
    draw.nmcd.lItemlParam = item.lParam;
    draw.clrTextBk = CLR_DEFAULT;
    EXPECT_TRUE(ProcessListNotify(&draw.nmcd.hdr).has_value());
    return draw.clrTextBk;
  }

  HWND list_ = nullptr;
};

TEST_F(ProcessList, AHelperAppearsWithItsFiguresAndGoesWhenItEnds) {
  test::OwnedProcess helper = test::StartHelper();
  ASSERT_TRUE(helper.valid());
  EXPECT_EQ(RefreshProcessList(), 1);
  int row = RowOf(helper.pid());
  ASSERT_GE(row, 0);
  EXPECT_EQ(Cell(row, kNameColumn), "velkor_helper.exe");
  EXPECT_EQ(Lower(Cell(row, kPathColumn)), Lower(test::ProgramFolder() + "\\velkor_helper.exe"));
  EXPECT_EQ(Lower(Cell(row, kPathColumn)), Lower(ProcessPath(helper.pid())));
  EXPECT_EQ(Cell(row, kPriorityColumn), "Normal");
  EXPECT_EQ(Cell(row, kCpuColumn), "0.0%");
  EXPECT_NE(Cell(row, kWorkingSetColumn), "0 KB");
  EXPECT_NE(Cell(row, kFileSizeColumn), "0 KB");
  EXPECT_NE(Cell(row, kHistoryImageColumn), "0");  // its CPU history strip
  EXPECT_FALSE(Cell(row, kSampleTimerColumn).empty());

  // Our own row carries what the system says about ourselves.
  const int self = RowOf(GetCurrentProcessId());
  ASSERT_GE(self, 0);
  EXPECT_EQ(Lower(Cell(self, kPathColumn)), Lower(ProcessPath(GetCurrentProcessId())));

  ASSERT_TRUE(SetPriorityClass(helper.handle(), IDLE_PRIORITY_CLASS));
  RefreshProcessList();
  row = RowOf(helper.pid());
  ASSERT_GE(row, 0);
  EXPECT_EQ(Cell(row, kPriorityColumn), "Niedrig");
  EXPECT_FALSE(Cell(row, kCpuTimeColumn).empty());
  EXPECT_EQ(DrawnBackground(row), RGB(170, 255, 170));

  const uint32_t pid = helper.pid();
  helper.End();
  const int rows = Rows();
  EXPECT_TRUE(test::WaitUntil([&] { return RefreshProcessList() == 1 && RowOf(pid) < 0; }, 5s));
  EXPECT_EQ(Rows(), rows - 1);
}

// The numbers kept beside the texts say what the texts say, for every row
// and in every order, and the diagram takes the figures it took from the texts.
TEST_F(ProcessList, RowNumbersSayWhatTheTextsShow) {
  test::OwnedProcess idle = test::StartHelper();
  test::OwnedProcess busy = test::Start(test::ProgramFolder() + "\\velkor_helper.exe", "busy");
  ASSERT_TRUE(idle.valid() && busy.valid());
  ASSERT_TRUE(SetPriorityClass(idle.handle(), HIGH_PRIORITY_CLASS));
  ASSERT_TRUE(SetPriorityClass(busy.handle(), BELOW_NORMAL_PRIORITY_CLASS));
  RefreshProcessList();
  // A busy process shows a load at its second sample or soon after.
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        RefreshProcessList();
        const ProcessRowFacts* facts = ProcessFactsOf(busy.pid());
        return facts && facts->cpuLoad > 0;
      },
      10s));

  auto kb = [](uint64_t bytes) { return GroupThousands(static_cast<int64_t>(bytes / 1024)) + " KB"; };
  auto check = [&] {
    ASSERT_EQ(ProcessListRows().RowCount(), Rows());
    for (int row = 0; row < Rows(); ++row) {
      const ProcessRowFacts* facts = ProcessFactsAt(row);
      ASSERT_NE(facts, nullptr);
      SCOPED_TRACE(Cell(row, kNameColumn));
      EXPECT_EQ(Cell(row, kPidColumn), std::to_string(facts->pid));
      EXPECT_EQ(ProcessRowOf(facts->pid), row);
      EXPECT_EQ(Cell(row, kNameColumn), facts->name);
      EXPECT_EQ(Cell(row, kPathColumn), facts->path);
      EXPECT_EQ(Cell(row, kPriorityColumn), PriorityName(facts->priorityClass));
      EXPECT_EQ(Cell(row, kWorkingSetColumn), kb(facts->workingSet));
      EXPECT_EQ(Cell(row, kPageFileColumn), kb(facts->privateBytes));
      EXPECT_EQ(Cell(row, kPagedPoolColumn), kb(facts->pagedPool));
      EXPECT_EQ(Cell(row, kNonPagedPoolColumn), kb(facts->nonPagedPool));
      EXPECT_EQ(Cell(row, kHistoryImageColumn), std::to_string(facts->historyImage));
      EXPECT_EQ(Cell(row, kSampleTimerColumn), std::to_string(facts->cpu.timerMs));
      const std::string load = Cell(row, kCpuColumn);
      EXPECT_EQ(facts->cpuLoad, load.empty() ? 0.0f : ParseDecimal(load));
      const PieRow pie = PieRowOf(*facts);
      EXPECT_EQ(pie.memoryKb, ParseGrouped(Cell(row, kWorkingSetColumn)));
      EXPECT_EQ(pie.virtualKb, ParseGrouped(Cell(row, kPageFileColumn)));
      EXPECT_EQ(pie.pagedKb, ParseGrouped(Cell(row, kPagedPoolColumn)));
      EXPECT_EQ(pie.nonPagedKb, ParseGrouped(Cell(row, kNonPagedPoolColumn)));
    }
  };
  check();
  SortProcessList(kWorkingSetColumn, false);
  RefreshProcessList();
  check();

  // What the system says of the helpers, beyond the texts.
  for (const test::OwnedProcess* helper : {&idle, &busy}) {
    const ProcessRowFacts* facts = ProcessFactsOf(helper->pid());
    ASSERT_NE(facts, nullptr);
    EXPECT_EQ(facts->parentPid, GetCurrentProcessId());
    EXPECT_EQ(facts->priorityClass, GetPriorityClass(helper->handle()));
    const uint64_t workingSet = ProcessWorkingSet(helper->pid());
    EXPECT_GT(facts->workingSet, workingSet / 2);
    EXPECT_LT(facts->workingSet, workingSet * 2);
    EXPECT_GE(facts->virtualSize, facts->workingSet);
    EXPECT_GT(facts->startDate, 10000);
    EXPECT_NE(facts->historyImage, 0);
  }
  EXPECT_EQ(ProcessFactsOf(0), nullptr);
}

TEST_F(ProcessList, RefreshingKeepsHandlesAndGdiObjectsFlat) {
  std::vector<test::OwnedProcess> helpers;
  for (int i = 0; i < 3; ++i) helpers.push_back(test::StartHelper());
  for (int i = 0; i < 5; ++i) RefreshProcessList();
  const uint32_t handles = test::OwnHandleCount();
  const DWORD gdi = test::OwnGdiObjectCount();
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  for (int i = 0; i < 500; ++i) {
    // Rows come and go on the way.
    if (i == 100) helpers.push_back(test::StartHelper());
    if (i == 300) helpers.back().End();
    RefreshProcessList();
    if (i % 50 == 0) SortProcessList(i % 100 == 0 ? kWorkingSetColumn : kNameColumn, true);
  }
  EXPECT_LE(test::OwnHandleCount(), handles + 2);
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
}

TEST_F(ProcessList, HeaderClicksSortByTheColumnKind) {
  std::vector<test::OwnedProcess> helpers;
  for (int i = 0; i < 3; ++i) helpers.push_back(test::StartHelper());
  RefreshProcessList();
  EXPECT_EQ(ProcessListSortColumn(), 0);
  std::vector<std::string> names = Column(kNameColumn);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
  }));

  auto click = [&](int column, const std::function<bool()>& sorted) {
    ASSERT_TRUE(test::ClickListHeader(list_, column, sorted)) << column;
  };
  click(kPidColumn, [] { return ProcessListSortColumn() == kPidColumn; });
  EXPECT_TRUE(ProcessListSortAscending());
  std::vector<int64_t> pids;
  for (const std::string& cell : Column(kPidColumn)) pids.push_back(LeadingWholeNumber(cell));
  EXPECT_TRUE(std::is_sorted(pids.begin(), pids.end()));
  click(kPidColumn, [] { return !ProcessListSortAscending(); });
  pids.clear();
  for (const std::string& cell : Column(kPidColumn)) pids.push_back(LeadingWholeNumber(cell));
  EXPECT_TRUE(std::is_sorted(pids.rbegin(), pids.rend()));

  // The arrow follows the sort column.
  HWND header = ListView_GetHeader(list_);
  HDITEMA item{};
  item.mask = HDI_FORMAT;
  ASSERT_TRUE(Header_GetItem(header, kPidColumn, &item));
  EXPECT_TRUE(item.fmt & HDF_BITMAP);
  ASSERT_TRUE(Header_GetItem(header, kNameColumn, &item));
  EXPECT_FALSE(item.fmt & HDF_BITMAP);

  // A refresh keeps the sort; the rows still match their processes.
  for (auto& helper : helpers) helper.End();
  helpers.push_back(test::StartHelper());
  RefreshProcessList();
  pids.clear();
  for (const std::string& cell : Column(kPidColumn)) pids.push_back(LeadingWholeNumber(cell));
  EXPECT_TRUE(std::is_sorted(pids.rbegin(), pids.rend()));
  EXPECT_GE(RowOf(helpers.back().pid()), 0);

  click(kWorkingSetColumn, [] { return ProcessListSortColumn() == kWorkingSetColumn; });
  std::vector<std::string> sizes = Column(kWorkingSetColumn);
  EXPECT_TRUE(std::is_sorted(sizes.begin(), sizes.end(),
                             [](const std::string& a, const std::string& b) { return CompareNumberTexts(a, b) < 0; }));
}

TEST_F(ProcessList, HiddenColumnsStayAtWidthZero) {
  const int width = ListView_GetColumnWidth(list_, kWorkingSetColumn);
  ASSERT_GT(width, 0);
  ColumnShown[kWorkingSetColumn - 1] = 0;
  ApplyColumnVisibility();
  EXPECT_EQ(ListView_GetColumnWidth(list_, kWorkingSetColumn), 0);
  EXPECT_EQ(ColumnWidths[kWorkingSetColumn], width);

  EXPECT_EQ(ListView_GetColumnWidth(list_, kSampleTimerColumn), 0);

  // The user can neither drag nor double-click a locked column open.
  NMHEADERA track{};
  track.hdr.hwndFrom = ListView_GetHeader(list_);
  for (UINT code : {HDN_BEGINTRACKA, HDN_BEGINTRACKW, HDN_DIVIDERDBLCLICKA, HDN_DIVIDERDBLCLICKW}) {
    track.hdr.code = code;
    for (int column : {kWorkingSetColumn, kHistoryImageColumn, kSampleTimerColumn}) {
      track.iItem = column;
      EXPECT_EQ(ProcessListNotify(&track.hdr), std::optional<LRESULT>(TRUE));
    }
    track.iItem = kNameColumn;
    EXPECT_FALSE(ProcessListNotify(&track.hdr).has_value());
  }

  ColumnShown[kWorkingSetColumn - 1] = 1;
  ApplyColumnVisibility();
  EXPECT_EQ(ListView_GetColumnWidth(list_, kWorkingSetColumn), width);
  track.hdr.code = HDN_BEGINTRACKA;
  track.iItem = kWorkingSetColumn;
  EXPECT_FALSE(ProcessListNotify(&track.hdr).has_value());
}

TEST_F(ProcessList, TitlesFollowTheSettingAndAHiddenListStaysHidden) {
  HWND window = CreateWindowExA(0, "STATIC", "Velkor Prozesslistentest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  Pump();
  RefreshProcessList();
  const auto& titles = CollectedWindowTitles();
  EXPECT_TRUE(std::any_of(titles.begin(), titles.end(), [](const WindowTitle& t) {
    return t.pid == GetCurrentProcessId() && t.title == "Velkor Prozesslistentest";
  }));
  const int self = RowOf(GetCurrentProcessId());
  ASSERT_GE(self, 0);
  EXPECT_FALSE(Cell(self, kTitleColumn).empty());

  Preferences.PreferencesWindowTitle = 0;
  RefreshProcessList();
  EXPECT_TRUE(CollectedWindowTitles().empty());
  EXPECT_EQ(Cell(RowOf(GetCurrentProcessId()), kTitleColumn), "");
  DestroyWindow(window);

  // Another view: the refresh must not bring the hidden list back.
  ShowView(1, false);
  HWND panel = GetParent(list_);
  ASSERT_FALSE(IsWindowVisible(panel));
  test::OwnedProcess helper = test::StartHelper();
  EXPECT_EQ(RefreshProcessList(), 1);
  EXPECT_FALSE(IsWindowVisible(panel));
  EXPECT_FALSE(IsWindowVisible(list_));
  EXPECT_GE(RowOf(helper.pid()), 0);
}

// In every refresh each cell of each row is what the same refresh shows when
// every process and file is asked afresh: helpers at each priority class, a
// suspended, a busy and a windowed one, while one changes its class, one
// ends and one starts.
TEST_F(ProcessList, CachedFactsShowWhatDirectReadingShows) {
  Preferences.PreferencesCPUPerProcess = 0;  // the strips' numbers are the list's own
  Preferences.PreferencesWindowTitle = 1;
  const std::string exe = test::ProgramFolder() + "\\velkor_helper.exe";
  std::vector<test::OwnedProcess> helpers;
  for (DWORD priorityClass : {IDLE_PRIORITY_CLASS, BELOW_NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
                              ABOVE_NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS, REALTIME_PRIORITY_CLASS}) {
    helpers.push_back(test::StartHelper());
    ASSERT_TRUE(helpers.back().valid());
    ASSERT_TRUE(SetPriorityClass(helpers.back().handle(), priorityClass));
  }
  test::OwnedProcess busy = test::Start(exe, "busy");
  test::OwnedProcess windowed = test::Start(exe, "window Vergleichsfenster");
  ASSERT_TRUE(busy.valid() && windowed.valid());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string command = "\"" + exe + "\"";
  ASSERT_TRUE(CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                             &startup, &info));
  win::UniqueKernelHandle thread(info.hThread);
  test::OwnedProcess suspended(win::UniqueKernelHandle(info.hProcess), info.dwProcessId);
  ASSERT_TRUE(
      test::WaitUntil([] { return IsWindowVisible(FindWindowA("VelkorHelperWindow", "Vergleichsfenster")); }, 10s));

  std::map<std::string, std::array<std::string, kProcessListColumns>> expected;  // by the PID cell
  SetProcessReadingCheckHook([&](const std::vector<ProcessFacts>& direct, const MergeSettings& settings) {
    VectorProcessRows rows;  // the list's rows from before the refresh
    const ProcessRows& shown = ProcessListRows();
    for (int row = 0; row < shown.RowCount(); ++row) {
      ProcessRows::NewRow copy;
      copy.facts = *shown.Facts(row);
      for (int column = 0; column < kProcessListColumns; ++column)
        copy.cells[static_cast<size_t>(column)] = shown.CellText(row, column);
      rows.AppendRow(copy);
    }
    MergeProcessSnapshot(rows, direct, CollectedWindowTitles(), settings, HistoryImageHooks{});
    for (int row = 0; row < rows.RowCount(); ++row)
      for (int column = 0; column < kProcessListColumns; ++column)
        expected[rows.CellText(row, kPidColumn)][static_cast<size_t>(column)] = rows.CellText(row, column);
  });
  int compared = 0;
  auto sameCells = [&] {
    expected.clear();
    RefreshProcessList();
    ++compared;
    EXPECT_EQ(static_cast<size_t>(Rows()), expected.size());
    for (int row = 0; row < Rows(); ++row) {
      const auto found = expected.find(Cell(row, kPidColumn));
      if (found == expected.end()) {
        ADD_FAILURE() << "no row of PID " << Cell(row, kPidColumn) << " read directly";
        continue;
      }
      for (int column = 0; column < kProcessListColumns; ++column)
        EXPECT_EQ(Cell(row, column), found->second[static_cast<size_t>(column)])
            << "PID " << found->first << ", column " << column << ", refresh " << compared;
    }
  };
  sameCells();
  const int busyRow = RowOf(busy.pid()), windowedRow = RowOf(windowed.pid());
  ASSERT_GE(busyRow, 0);
  ASSERT_GE(windowedRow, 0);
  EXPECT_EQ(Cell(windowedRow, kTitleColumn), "Vergleichsfenster");
  EXPECT_GE(RowOf(suspended.pid()), 0);
  EXPECT_EQ(Cell(RowOf(helpers[0].pid()), kPriorityColumn), "Niedrig");
  EXPECT_EQ(Cell(RowOf(helpers[4].pid()), kPriorityColumn), "Hoch");

  // The busy helper's load shows on a later refresh; each one compares.
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        sameCells();
        const ProcessRowFacts* facts = ProcessFactsOf(busy.pid());
        return facts && facts->cpuLoad > 0;
      },
      10s));
  ASSERT_TRUE(SetPriorityClass(helpers[0].handle(), HIGH_PRIORITY_CLASS));
  const uint32_t ended = helpers[1].pid();
  helpers[1].End();
  helpers.push_back(test::StartHelper());
  sameCells();
  sameCells();
  EXPECT_EQ(Cell(RowOf(helpers[0].pid()), kPriorityColumn), "Hoch");
  EXPECT_LT(RowOf(ended), 0);
  EXPECT_GE(RowOf(helpers.back().pid()), 0);
  SetProcessReadingCheckHook({});
}

}  // namespace
}  // namespace velkor
