#include "procs/process_list.h"

#include <gtest/gtest.h>

#include "procs/format.h"
#include "settings/preferences.h"

namespace velkor {
namespace {

// A queryable process with a sample `cpuMs` of CPU time at `timerMs`.
ProcessFacts Process(uint32_t pid, const std::string& name, int64_t cpuMs = 0, uint32_t timerMs = 1000) {
  ProcessFacts facts;
  facts.pid = pid;
  facts.name = name;
  facts.queryable = true;
  facts.workingSet = 4096 * 1024;
  facts.pageFile = 1024 * 1024;
  facts.pagedPool = 2048;
  facts.nonPagedPool = 1023;
  facts.cpu = {cpuMs, 0, timerMs};
  facts.startDate = 1'000'000;
  facts.priorityClass = kNormalPriority;
  facts.path = "C:\\Programs\\" + name;
  facts.attributes = kAttributeArchive;
  facts.fileSize = 1536 * 1024;
  facts.icon = static_cast<int>(pid);
  return facts;
}

class ProcessListMerge : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPreferenceDefaults();
    settings.now = 1'000'000 + 3661;
  }
  MergeOutcome Merge(const std::vector<ProcessFacts>& snapshot, const std::vector<WindowTitle>& titles = {}) {
    return MergeProcessSnapshot(rows, snapshot, titles, settings, history);
  }
  int RowOf(uint32_t pid) const {
    for (int row = 0; row < rows.RowCount(); ++row)
      if (rows.CellText(row, kPidColumn) == std::to_string(pid)) return row;
    return -1;
  }

  VectorProcessRows rows;
  MergeSettings settings;
  HistoryImageHooks history;
};

TEST_F(ProcessListMerge, NewRowsCarryEveryTextAndTheirLook) {
  ProcessFacts hidden = Process(20, "tool.exe");
  hidden.attributes = kAttributeHidden | kAttributeArchive;
  hidden.priorityClass = kHighPriority;
  ProcessFacts system = Process(4, "");
  system.queryable = false;
  system.path.clear();
  system.attributes.reset();
  system.fileSize = -1;
  system.priorityClass = 0;
  ProcessFacts shut = Process(30, "");  // cannot be opened: no row
  shut.queryable = false;
  const MergeOutcome outcome = Merge({Process(0, "IDLE"), system, hidden, shut}, {{20, "Werkzeug"}, {20, "Hinten"}});

  EXPECT_TRUE(outcome.changed);
  // The sum agrees with the rows: "0 KB" for those that could not be queried.
  EXPECT_EQ(outcome.workingSetSum, 2u * 4096 * 1024);
  ASSERT_EQ(rows.RowCount(), 2);
  const std::vector<std::string> systemRow(rows.At(0).cells.begin(), rows.At(0).cells.begin() + 15);
  EXPECT_EQ(systemRow, (std::vector<std::string>{"System", "", "0.0%", "4", "N/A", "0 KB", "0 KB", "0 KB", "0 KB", "",
                                                 "", "", "0 KB", "", "0"}));
  EXPECT_FALSE(rows.At(0).background);
  EXPECT_FALSE(rows.At(0).textColour);

  const std::vector<std::string> toolRow(rows.At(1).cells.begin(), rows.At(1).cells.begin() + 15);
  EXPECT_EQ(toolRow,
            (std::vector<std::string>{"tool.exe", "Werkzeug", "0.0%", "20", "Hoch", "4.096 KB", "1.024 KB", "2 KB",
                                      "0 KB", "", "", "a - h - - ", "1.536 KB", "C:\\Programs\\tool.exe", "0"}));
  EXPECT_EQ(rows.At(1).icon, 20);
  EXPECT_EQ(rows.At(1).background, (Rgb{255, 192, 192}));
  EXPECT_EQ(rows.At(1).textColour, (Rgb{128, 128, 128}));
  // The first CPU sample is taken at once.
  EXPECT_EQ(rows.CellText(1, kSampleTimerColumn), "1000");
}

TEST_F(ProcessListMerge, AnIdleRefreshRewritesNothing) {
  settings.runTimeShown = false;
  settings.cpuTimeShown = false;
  Merge({Process(8, "a.exe"), Process(9, "b.exe")});
  rows.TakeVisibleWrites();
  // The new rows' "0.0%" clears without counting as a change.
  MergeOutcome outcome = Merge({Process(8, "a.exe", 0, 2000), Process(9, "b.exe", 0, 2000)});
  EXPECT_FALSE(outcome.changed);
  EXPECT_EQ(rows.CellText(0, kCpuColumn), "");
  EXPECT_EQ(rows.CellText(1, kCpuColumn), "");
  EXPECT_EQ(rows.TakeVisibleWrites(), 2);

  outcome = Merge({Process(8, "a.exe", 0, 3000), Process(9, "b.exe", 0, 3000)});
  EXPECT_FALSE(outcome.changed);
  EXPECT_EQ(rows.TakeVisibleWrites(), 0);
}

TEST_F(ProcessListMerge, ZeroLoadShowsOnlyWithTheSetting) {
  settings.runTimeShown = false;
  settings.cpuTimeShown = false;
  Preferences.PreferencesUseComma = 1;
  Merge({Process(8, "a.exe")});
  EXPECT_EQ(rows.CellText(0, kCpuColumn), "0,0%");

  settings.showZeroCpu = true;
  EXPECT_FALSE(Merge({Process(8, "a.exe", 0, 2000)}).changed);
  EXPECT_EQ(rows.CellText(0, kCpuColumn), "0,0%");
  // 250 ms of CPU time in one second.
  EXPECT_TRUE(Merge({Process(8, "a.exe", 250, 3000)}).changed);
  EXPECT_EQ(rows.CellText(0, kCpuColumn), "25,0%");
  settings.showZeroCpu = false;
  EXPECT_FALSE(Merge({Process(8, "a.exe", 250, 4000)}).changed);
  EXPECT_EQ(rows.CellText(0, kCpuColumn), "");
}

TEST_F(ProcessListMerge, ReusedPidKeepsTheRowAndClampsTheFirstLoad) {
  history.create = [] { return 7; };
  std::vector<std::pair<int, float>> advanced;
  history.advance = [&](int image, float load) { advanced.emplace_back(image, load); };
  settings.cpuPerProcess = true;
  ProcessFacts old = Process(40, "old.exe", 90'000, 1000);
  old.attributes = kAttributeSystem;
  Merge({old});
  ASSERT_EQ(rows.RowCount(), 1);

  // Another program now runs under PID 40, with far less CPU time.
  ProcessFacts young = Process(40, "young.exe", 10, 2000);
  young.priorityClass = kIdlePriority;
  young.icon = 99;
  young.fileSize = 0;
  settings.showZeroCpu = true;
  EXPECT_TRUE(Merge({young}).changed);
  ASSERT_EQ(rows.RowCount(), 1);
  EXPECT_EQ(rows.CellText(0, kNameColumn), "young.exe");
  EXPECT_EQ(rows.CellText(0, kPathColumn), "C:\\Programs\\young.exe");
  EXPECT_EQ(rows.CellText(0, kCpuColumn), "0.0%");
  EXPECT_EQ(rows.CellText(0, kPriorityColumn), "Niedrig");
  EXPECT_EQ(rows.At(0).background, (Rgb{170, 255, 170}));
  // What a row got when it was added stays.
  EXPECT_EQ(rows.At(0).icon, 40);
  EXPECT_EQ(rows.CellText(0, kFileSizeColumn), "1.536 KB");
  EXPECT_EQ(rows.At(0).textColour, (Rgb{0, 96, 0}));
  EXPECT_EQ(rows.CellText(0, kHistoryImageColumn), "7");
  ASSERT_EQ(advanced.size(), 1u);
  EXPECT_EQ(advanced[0], (std::pair<int, float>{7, 0.0f}));
}

TEST_F(ProcessListMerge, EndedProcessesVanishInOneRefresh) {
  std::vector<int> released;
  history.create = [n = 0]() mutable { return ++n; };
  history.release = [&](int image) { released.push_back(image); };
  settings.cpuPerProcess = true;
  Merge({Process(1, "a"), Process(2, "b"), Process(3, "c"), Process(5, "d")});
  ASSERT_EQ(rows.RowCount(), 4);
  // Two adjacent rows and the last row end.
  EXPECT_TRUE(Merge({Process(1, "a"), Process(5, "d"), Process(6, "e")}).changed);
  ASSERT_EQ(rows.RowCount(), 3);
  EXPECT_EQ(rows.CellText(0, kPidColumn), "1");
  EXPECT_EQ(rows.CellText(1, kPidColumn), "5");
  EXPECT_EQ(rows.CellText(2, kPidColumn), "6");
  EXPECT_EQ(released, (std::vector<int>{2, 3}));
}

TEST_F(ProcessListMerge, DuplicateRowsOfOnePidCollapse) {
  Merge({Process(1, "a"), Process(2, "b")});
  rows.SetCellText(1, kPidColumn, "1");  // two rows claim PID 1
  Merge({Process(1, "new.exe"), Process(2, "b")});
  ASSERT_EQ(rows.RowCount(), 2);
  EXPECT_EQ(rows.CellText(0, kPidColumn), "1");
  EXPECT_EQ(rows.CellText(0, kNameColumn), "new.exe");  // the surviving row is the one brought up to date
  EXPECT_EQ(rows.CellText(1, kPidColumn), "2");
  EXPECT_EQ(rows.CellText(1, kNameColumn), "b");
}

TEST_F(ProcessListMerge, TitlesDescriptionsAndUnopenableProcesses) {
  Merge({Process(8, "a.exe")}, {{8, "Vorne"}});
  EXPECT_EQ(rows.CellText(0, kTitleColumn), "Vorne");
  // With titles off none are collected: the title empties.
  ProcessFacts described = Process(8, "a.exe");
  described.description = "Textverarbeitung";
  Merge({described});
  EXPECT_EQ(rows.CellText(0, kTitleColumn), "");
  EXPECT_EQ(rows.CellText(0, kNameColumn), "Textverarbeitung");

  // Once it cannot be queried, a process keeps its times but shows no memory.
  const std::string runTime = rows.CellText(0, kRunTimeColumn);
  ProcessFacts refused = described;
  refused.queryable = false;
  refused.startDate = 0;
  refused.priorityClass = 0;
  Merge({refused});
  EXPECT_EQ(rows.CellText(0, kRunTimeColumn), runTime);
  EXPECT_EQ(rows.CellText(0, kWorkingSetColumn), "0 KB");
  EXPECT_EQ(rows.CellText(0, kPriorityColumn), "N/A");
  EXPECT_EQ(rows.At(0).background, (Rgb{255, 255, 255}));

  // Not opened at all: its row stays as it was while the PID runs.
  refused.name.clear();
  EXPECT_FALSE(Merge({refused}).changed);
  EXPECT_EQ(rows.RowCount(), 1);
}

// A process listed with limited rights that can be queried later shows its
// figures from then on; its first CPU sample only starts the measurement.
TEST_F(ProcessListMerge, ARowQueryableLaterStartsMeasuringThen) {
  ProcessFacts limited = Process(8, "a.exe", 5000, 2000);
  limited.queryable = false;
  limited.priorityClass = 0;
  Merge({limited});
  EXPECT_EQ(rows.CellText(0, kWorkingSetColumn), "0 KB");
  Merge({Process(8, "a.exe", 5000, 2000)});
  EXPECT_EQ(rows.CellText(0, kWorkingSetColumn), "4.096 KB");
  EXPECT_EQ(rows.CellText(0, kPriorityColumn), "Normal");
  EXPECT_EQ(rows.CellText(0, kCpuColumn), "");  // no load made up from the CPU time since its start
  Merge({Process(8, "a.exe", 5500, 3000)});
  EXPECT_EQ(rows.CellText(0, kCpuColumn), "50.0%");

  // Full rights are tried again after a privilege was gained, or every so often.
  EXPECT_FALSE(RetryFullAccess(3, 3, 10, 10 + kFullAccessRetryRefreshes - 1));
  EXPECT_TRUE(RetryFullAccess(3, 4, 10, 11));
  EXPECT_TRUE(RetryFullAccess(3, 3, 10, 10 + kFullAccessRetryRefreshes));
}

TEST_F(ProcessListMerge, TimesAreOnlyWrittenWhenTheirColumnsShow) {
  settings.runTimeShown = false;
  settings.cpuTimeShown = false;
  Merge({Process(8, "a.exe", 5000)});
  Merge({Process(8, "a.exe", 5000, 2000)});
  EXPECT_EQ(rows.CellText(0, kRunTimeColumn), "");
  EXPECT_EQ(rows.CellText(0, kCpuTimeColumn), "");
  settings.cpuTimeShown = true;
  Merge({Process(8, "a.exe", 5000, 3000)});
  EXPECT_EQ(rows.CellText(0, kCpuTimeColumn), "0:00:05");
  EXPECT_EQ(rows.CellText(0, kRunTimeColumn), "");
  settings.runTimeShown = true;
  Merge({Process(8, "a.exe", 5000, 4000)});
  EXPECT_EQ(rows.CellText(0, kRunTimeColumn), "1:01:01");
  // A process without a known start shows no run time.
  ProcessFacts unknownStart = Process(8, "a.exe", 5000, 5000);
  unknownStart.startDate = 0;
  Merge({unknownStart});
  EXPECT_EQ(rows.CellText(0, kRunTimeColumn), "");
}

TEST_F(ProcessListMerge, ShellRestartOnlyWhenNoRowShowsIt) {
  settings.reactivateExplorer = true;
  EXPECT_TRUE(Merge({Process(8, "a.exe")}).startShell);
  ProcessFacts shell = Process(9, "explorer.exe");
  shell.path = "C:\\WINDOWS\\Explorer.EXE";
  EXPECT_FALSE(Merge({Process(8, "a.exe"), shell}).startShell);
  settings.reactivateExplorer = false;
  EXPECT_FALSE(Merge({Process(8, "a.exe")}).startShell);
}

TEST(ProcessListSort, KindsCompareAsTheColumnsRead) {
  EXPECT_EQ(ProcessColumnSortKind(kCpuColumn), SortKind::kDecimalNumber);
  EXPECT_EQ(ProcessColumnSortKind(kPidColumn), SortKind::kWholeNumber);
  EXPECT_EQ(ProcessColumnSortKind(kFileSizeColumn), SortKind::kSize);
  EXPECT_EQ(ProcessColumnSortKind(kRunTimeColumn), SortKind::kText);
  EXPECT_EQ(ProcessColumnSortKind(kHistoryImageColumn), SortKind::kNone);

  // A decimal number is read with a point: the comma ends it.
  EXPECT_DOUBLE_EQ(LeadingDecimalWithPoint("12.5%"), 12.5);
  EXPECT_DOUBLE_EQ(LeadingDecimalWithPoint("12,5%"), 12.0);
  EXPECT_DOUBLE_EQ(LeadingDecimalWithPoint(""), 0.0);
  EXPECT_DOUBLE_EQ(LeadingDecimalWithPoint("nan"), 0.0);
  EXPECT_LT(CompareProcessCells(SortKind::kDecimalNumber, "12,5%", "12.5%"), 0);
  EXPECT_LT(CompareProcessCells(SortKind::kDecimalNumber, "", "0.1%"), 0);
  EXPECT_GT(CompareProcessCells(SortKind::kSize, "1.024 KB", "999 KB"), 0);
  EXPECT_GT(CompareProcessCells(SortKind::kWholeNumber, "1000", "999"), 0);
  EXPECT_EQ(CompareProcessCells(SortKind::kText, "explorer.EXE", "Explorer.exe"), 0);
  EXPECT_LT(CompareProcessCells(SortKind::kText, "abc", "ABD"), 0);
  // A text that is the start of another sorts before it, either way round.
  EXPECT_LT(CompareProcessCells(SortKind::kText, "svchost", "svchost.exe"), 0);
  EXPECT_GT(CompareProcessCells(SortKind::kText, "SVCHOST.exe", "svchost"), 0);
  EXPECT_LT(CompareProcessCells(SortKind::kText, "", "a"), 0);

  const std::vector<std::string> cells = {"999 KB", "1.024 KB", "4 KB", "999 KB"};
  EXPECT_EQ(SortedRowOrder(cells, SortKind::kSize, true), (std::vector<int>{2, 0, 3, 1}));
  EXPECT_EQ(SortedRowOrder(cells, SortKind::kSize, false), (std::vector<int>{1, 0, 3, 2}));
  // Forty rows of three values: rows that compare equal keep their order either way.
  std::vector<std::string> many;
  std::vector<int> up, down;
  for (int i = 0; i < 40; ++i) many.push_back(std::to_string(i * 7 % 3) + " KB");
  for (int value : {0, 1, 2})
    for (int i = 0; i < 40; ++i)
      if (i * 7 % 3 == value) up.push_back(i);
  for (int value : {2, 1, 0})
    for (int i = 0; i < 40; ++i)
      if (i * 7 % 3 == value) down.push_back(i);
  EXPECT_EQ(SortedRowOrder(many, SortKind::kSize, true), up);
  EXPECT_EQ(SortedRowOrder(many, SortKind::kSize, false), down);
  // Rows already in order (ties included) cost one comparison per neighbour.
  static int comparisons = 0;
  const TextComparison counting = [](std::string_view a, std::string_view b) {
    ++comparisons;
    return CompareProcessCells(SortKind::kText, a, b);
  };
  std::vector<std::string> names = {"a.exe", "B.exe", "b.EXE", "c.exe", "d.exe"};
  EXPECT_EQ(SortedRowOrder(names, SortKind::kText, true, counting), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(comparisons, 4);
  EXPECT_EQ(SortedRowOrder(names, SortKind::kText, false, counting), (std::vector<int>{4, 3, 1, 2, 0}));
}

TEST(ProcessListCells, PathsAttributesAndColours) {
  EXPECT_EQ(NormaliseProcessPath("\\??\\C:\\x\\a.exe", "C:\\Windows"), "C:\\x\\a.exe");
  EXPECT_EQ(NormaliseProcessPath("\\SystemRoot\\System32\\smss.exe", "C:\\Windows"), "C:\\Windows\\System32\\smss.exe");
  EXPECT_EQ(NormaliseProcessPath("\\??\\\\WINDOWS\\b.exe", "D:\\W"), "D:\\W\\b.exe");
  EXPECT_EQ(NormaliseProcessPath("\\systemroot\\a.exe", "C:\\Windows"), "\\systemroot\\a.exe");

  EXPECT_EQ(AttributeLetters(kAttributeArchive | kAttributeCompressed | kAttributeHidden | kAttributeReadOnly |
                             kAttributeSystem),
            "a c h r s ");
  EXPECT_EQ(AttributeLetters(0), "- - - - - ");
  EXPECT_EQ(AttributeLetters(std::nullopt), "");
  EXPECT_EQ(AttributeLetters(kInvalidAttributes), "");

  // System before compressed before hidden.
  EXPECT_EQ(AttributeTextColour(kAttributeSystem | kAttributeCompressed | kAttributeHidden), (Rgb{0, 96, 0}));
  EXPECT_EQ(AttributeTextColour(kAttributeSystem | kAttributeCompressed), (Rgb{0, 96, 0}));
  EXPECT_EQ(AttributeTextColour(kAttributeSystem | kAttributeHidden), (Rgb{0, 96, 0}));
  EXPECT_EQ(AttributeTextColour(kAttributeCompressed | kAttributeHidden), (Rgb{0, 0, 255}));
  EXPECT_EQ(AttributeTextColour(kAttributeHidden), (Rgb{128, 128, 128}));
  EXPECT_EQ(AttributeTextColour(kAttributeArchive), std::nullopt);
  EXPECT_EQ(AttributeTextColour(kInvalidAttributes), std::nullopt);

  EXPECT_EQ(PriorityBackground(kRealtimePriority), (Rgb{255, 144, 144}));
  EXPECT_EQ(PriorityBackground(0), std::nullopt);
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
}

}  // namespace
}  // namespace velkor
