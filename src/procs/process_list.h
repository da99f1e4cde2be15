// The process list: one row per running process in list 139 of the
// "Prozesse" view, merged in place with every fresh snapshot so that the
// selection, the scroll position and the sort order survive each refresh.
//
// The merge itself is portable and works over a ProcessRows store; the list
// view is one store (process_list_rows_win.cpp), VectorProcessRows another. The
// Win32 side gathers the facts of every process and applies what the merge
// decides.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "procs/priority.h"
#include "procs/process_cpu.h"
#include "procs/row_store.h"

namespace velkor {

// Columns of the process list; 14..17 have width 0 and carry per-row data.
inline constexpr int kNameColumn = 0;
inline constexpr int kTitleColumn = 1;
inline constexpr int kCpuColumn = 2;
inline constexpr int kPidColumn = 3;
inline constexpr int kPriorityColumn = 4;
inline constexpr int kWorkingSetColumn = 5;
inline constexpr int kPageFileColumn = 6;
inline constexpr int kPagedPoolColumn = 7;
inline constexpr int kNonPagedPoolColumn = 8;
inline constexpr int kRunTimeColumn = 9;
inline constexpr int kCpuTimeColumn = 10;
inline constexpr int kAttributesColumn = 11;
inline constexpr int kFileSizeColumn = 12;
inline constexpr int kPathColumn = 13;
inline constexpr int kHistoryImageColumn = 14;
inline constexpr int kProcessListColumns = 18;
inline constexpr int kFirstHiddenColumn = 14;

// How header-click sorting compares the cells of a column.
enum class SortKind { kText, kWholeNumber, kDecimalNumber, kSize, kNone };
SortKind ProcessColumnSortKind(int column);

// <0, 0, >0 as cell a sorts before, with or after cell b. Text compares
// case-insensitively through `compareText` when given (the Win32 side passes
// the user locale's comparison), else byte-wise with ASCII case folding.
using TextComparison = int (*)(std::string_view, std::string_view);
int CompareProcessCells(SortKind kind, std::string_view a, std::string_view b, TextComparison compareText = nullptr);

// The order in which rows with these cell texts show after a sort: indices
// into `cells`. Stable: rows that compare equal keep their order.
std::vector<int> SortedRowOrder(const std::vector<std::string>& cells, SortKind kind, bool ascending,
                                TextComparison compareText = nullptr);

// The leading decimal number of a text read with a point whatever the comma
// setting says ("12,5%" -> 12, "12.5%" -> 12.5); 0 when there is none.
double LeadingDecimalWithPoint(std::string_view text);

// Kernel-style prefixes of an image path made into an ordinary path: "\??\"
// dropped, then "\SystemRoot\" or "\WINDOWS\" replaced by the Windows folder
// and a backslash (case-sensitive comparisons).
std::string NormaliseProcessPath(std::string path, const std::string& windowsFolder);

// The file attribute bits the list shows.
inline constexpr uint32_t kAttributeReadOnly = 0x1;
inline constexpr uint32_t kAttributeHidden = 0x2;
inline constexpr uint32_t kAttributeSystem = 0x4;
inline constexpr uint32_t kAttributeArchive = 0x20;
inline constexpr uint32_t kAttributeCompressed = 0x800;
inline constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;
// "a - h - s " style letters; "" for a file whose attributes are unknown.
std::string AttributeLetters(std::optional<uint32_t> attributes);
// The text colour of a new row: system, else compressed, else hidden.
std::optional<Rgb> AttributeTextColour(std::optional<uint32_t> attributes);
// The row background of a priority class; none for "N/A".
std::optional<Rgb> PriorityBackground(uint32_t priorityClass);

// Blanks trimmed at both ends.
std::string TrimBlanks(std::string_view text);

// What the Win32 side found out about one snapshot entry.
struct ProcessFacts {
  uint32_t pid = 0;
  uint32_t parentPid = 0;  // the creator's PID when it started; it may have ended since
  std::string name;        // image name; "" when the process cannot be opened at all
  bool queryable = false;  // opened with query-information rights: CPU figures valid
  // Memory in bytes as the system reports it. The cells and the working-set
  // sum take the figures of queryable processes only ("0 KB" otherwise).
  uint64_t workingSet = 0;
  uint64_t pageFile = 0;
  uint64_t pagedPool = 0;
  uint64_t nonPagedPool = 0;
  uint64_t virtualSize = 0;            // address space in use
  CpuSample cpu;                       // valid when queryable
  int64_t startDate = 0;               // creation time as a local date value (FileTimeToDate)
  uint32_t priorityClass = 0;          // 0 when it cannot be read
  std::string path;                    // normalised
  std::optional<uint32_t> attributes;  // none without a path
  std::string description;             // "FileDescription" of the executable, or ""
  int64_t fileSize = -1;               // bytes, -1 when the file cannot be found
  int icon = -1;                       // the store's picture for a new row
};

// A title of a qualifying top-level window, in the system's front-to-back order.
struct WindowTitle {
  uint32_t pid = 0;
  std::string title;
};

// What a row of the list stands for, in numbers: the figures its texts
// show, kept beside them by the merge, so that whoever needs a number of a
// row reads it here and never back from a text.
struct ProcessRowFacts {
  uint32_t pid = 0;        // column 3
  uint32_t parentPid = 0;  // no column
  std::string name;        // as column 0 shows it
  std::string path;        // column 13
  float cpuLoad = 0;       // percent as column 2 shows it (one decimal); 0 while the cell is blank
  // Bytes; 0 for a process that could not be queried, as its "0 KB".
  uint64_t workingSet = 0;     // column 5
  uint64_t privateBytes = 0;   // column 6, the page-file usage
  uint64_t pagedPool = 0;      // column 7
  uint64_t nonPagedPool = 0;   // column 8
  uint64_t virtualSize = 0;    // no column
  uint32_t priorityClass = 0;  // column 4; 0 for "N/A"
  CpuSample cpu;               // the CPU-time sample of columns 15..17
  int64_t startDate = 0;       // creation as a local date value; 0 while not read
  int historyImage = 0;        // column 14: the CPU history picture, 0 for none
};

// Rows of the process list with what a row carries besides its texts.
class ProcessRows : public RowStore {
 public:
  struct NewRow {
    std::array<std::string, kProcessListColumns> cells;
    ProcessRowFacts facts;
    int icon = -1;
    std::optional<Rgb> textColour;
    std::optional<Rgb> background;
  };
  // Appends a row and returns its index.
  virtual int AppendRow(const NewRow& row) = 0;
  virtual void DeleteRow(int row) = 0;
  virtual void SetRowBackground(int row, Rgb colour) = 0;
  // Null for a row that does not exist.
  [[nodiscard]] virtual const ProcessRowFacts* Facts(int row) const = 0;
  virtual void SetFacts(int row, const ProcessRowFacts& facts) = 0;

  // The row's history picture: its fact and the text of column 14 together.
  [[nodiscard]] int HistoryImageOf(int row) const;
  void SetHistoryImage(int row, int image);
};

// The per-row CPU history images; any hook may be empty.
struct HistoryImageHooks {
  std::function<int()> create;  // a new image's number (not 0)
  std::function<void(int image, float load)> advance;
  std::function<void(int image)> release;
};

struct MergeSettings {
  bool showZeroCpu = false;         // PreferencesShowZeroCPU
  bool cpuPerProcess = false;       // PreferencesCPUPerProcess
  bool reactivateExplorer = false;  // PreferencesReactivateExplorer
  bool runTimeShown = true;         // column 9 shown
  bool cpuTimeShown = true;         // column 10 shown
  int64_t now = 0;                  // current local date (CurrentLocalDate)
};

struct MergeOutcome {
  bool changed = false;        // a row added or removed or a cell rewritten
  bool startShell = false;     // no row shows "explorer.exe" while it should
  uint64_t workingSetSum = 0;  // of the queryable snapshot entries, bytes
};

// A process opened with limited rights only is opened again for full rights
// when a privilege was gained since the last try, or every so many refreshes
// (rights can change while it runs); otherwise it is opened once.
inline constexpr uint64_t kFullAccessRetryRefreshes = 20;
bool RetryFullAccess(uint64_t privilegesAtTry, uint64_t privilegesNow, uint64_t triedInRefresh, uint64_t refreshNow);

// One refresh's merge of `snapshot` (in the system's order) into `rows`.
MergeOutcome MergeProcessSnapshot(ProcessRows& rows, const std::vector<ProcessFacts>& snapshot,
                                  const std::vector<WindowTitle>& titles, const MergeSettings& settings,
                                  const HistoryImageHooks& history = {});

// Rows in memory, for the tests and for anything that wants the merge
// without a list view.
class VectorProcessRows final : public ProcessRows {
 public:
  struct Row {
    std::vector<std::string> cells;
    ProcessRowFacts facts;
    int icon = -1;
    std::optional<Rgb> textColour;
    std::optional<Rgb> background;
  };
  [[nodiscard]] int RowCount() const override { return static_cast<int>(rows_.size()); }
  [[nodiscard]] std::string CellText(int row, int column) const override;
  void SetCellText(int row, int column, const std::string& text) override;
  int AppendRow(const NewRow& row) override;
  void DeleteRow(int row) override;
  void SetRowBackground(int row, Rgb colour) override;
  [[nodiscard]] const ProcessRowFacts* Facts(int row) const override;
  void SetFacts(int row, const ProcessRowFacts& facts) override;

  [[nodiscard]] const Row& At(int row) const { return rows_.at(static_cast<size_t>(row)); }
  // Cell writes since the last call (the hidden sample columns excluded).
  int TakeVisibleWrites() { return std::exchange(visibleWrites_, 0); }

 private:
  [[nodiscard]] bool Exists(int row) const { return row >= 0 && row < RowCount(); }
  std::vector<Row> rows_;
  int visibleWrites_ = 0;
};

}  // namespace velkor
