#include "procs/process_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <unordered_map>

#include "procs/format.h"
#include "procs/path_text.h"
#include "win/source_location.h"

namespace velkor {
namespace {

unsigned char FoldAscii(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

int CompareFoldedAscii(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = FoldAscii(a[i]), y = FoldAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

template <typename T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

std::string KiloBytes(uint64_t bytes) { return GroupThousands(static_cast<int64_t>(bytes / 1024)) + " KB"; }

std::string LoadText(float load) { return FormatDecimal(load, 1) + "%"; }

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(FoldAscii(c));
  return lower;
}

// Rewrites a cell only when its text differs; true when it did.
bool Rewrite(ProcessRows& rows, int row, int column, const std::string& text, bool& changed) {
  if (rows.CellText(row, column) == text) return false;
  rows.SetCellText(row, column, text);
  changed = true;
  return true;
}

// The numbers one snapshot entry gives its row, over what the row knew
// before (the history picture, and the CPU sample while it cannot be read).
ProcessRowFacts RowFactsOf(const ProcessFacts& facts, ProcessRowFacts row, const std::string& name) {
  const bool memory = facts.queryable;
  row.pid = facts.pid;
  row.parentPid = facts.parentPid;
  row.name = name;
  row.path = facts.path;
  row.workingSet = memory ? facts.workingSet : 0;
  row.privateBytes = memory ? facts.pageFile : 0;
  row.pagedPool = memory ? facts.pagedPool : 0;
  row.nonPagedPool = memory ? facts.nonPagedPool : 0;
  row.virtualSize = memory ? facts.virtualSize : 0;
  row.priorityClass = facts.priorityClass;
  if (facts.queryable) row.cpu = facts.cpu;
  row.startDate = facts.startDate;
  return row;
}

// The texts one snapshot entry puts into its row (columns 0..13 except the
// load, the times and the file size, which depend on the row's state).
struct RowTexts {
  std::string name, title, pid, priority, workingSet, pageFile, pagedPool, nonPagedPool, attributes;
};

}  // namespace

SortKind ProcessColumnSortKind(int column) {
  switch (column) {
    case kCpuColumn: return SortKind::kDecimalNumber;
    case kPidColumn: return SortKind::kWholeNumber;
    case kWorkingSetColumn:
    case kPageFileColumn:
    case kPagedPoolColumn:
    case kNonPagedPoolColumn:
    case kFileSizeColumn: return SortKind::kSize;
    default: return (column >= 0 && column < kFirstHiddenColumn) ? SortKind::kText : SortKind::kNone;
  }
}

double LeadingDecimalWithPoint(std::string_view text) {
  size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return 0.0;
  if (text[start] == '+') ++start;
  double value = 0.0;
  const char* first = text.data() + start;
  const auto [end, error] = std::from_chars(first, text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end == first || std::isnan(value)) return 0.0;
  return value;
}

int CompareProcessCells(SortKind kind, std::string_view a, std::string_view b, TextComparison compareText) {
  switch (kind) {
    case SortKind::kText: {
      const int result = compareText ? compareText(a, b) : CompareFoldedAscii(a, b);
      return Sign(result, 0);
    }
    case SortKind::kWholeNumber: return Sign(LeadingWholeNumber(a), LeadingWholeNumber(b));
    case SortKind::kDecimalNumber: return Sign(LeadingDecimalWithPoint(a), LeadingDecimalWithPoint(b));
    case SortKind::kSize: return CompareNumberTexts(a, b);
    case SortKind::kNone: return 0;
  }
  return 0;
}

std::vector<int> SortedRowOrder(const std::vector<std::string>& cells, SortKind kind, bool ascending,
                                TextComparison compareText) {
  VELKOR_PLACE(kProceduresUnit);
  std::vector<int> order(cells.size());
  std::iota(order.begin(), order.end(), 0);
  const auto before = [&](int x, int y) {
    const int result =
        CompareProcessCells(kind, cells[static_cast<size_t>(x)], cells[static_cast<size_t>(y)], compareText);
    return ascending ? result < 0 : result > 0;
  };
  // Most refreshes leave the rows in order: one look at each neighbour
  // settles that, where a sort would compare every row several times.
  if (std::is_sorted(order.begin(), order.end(), before)) return order;
  std::stable_sort(order.begin(), order.end(), before);
  return order;
}

std::string NormaliseProcessPath(std::string path, const std::string& windowsFolder) {
  auto replacePrefix = [&](std::string_view prefix, std::string_view by) {
    if (path.starts_with(prefix)) path.replace(0, prefix.size(), by);
  };
  replacePrefix("\\??\\", "");
  const std::string folder = windowsFolder + "\\";
  replacePrefix("\\SystemRoot\\", folder);
  replacePrefix("\\WINDOWS\\", folder);
  return path;
}

std::string AttributeLetters(std::optional<uint32_t> attributes) {
  if (!attributes || *attributes == kInvalidAttributes) return {};
  const uint32_t a = *attributes;
  std::string letters;
  letters += (a & kAttributeArchive) ? "a " : "- ";
  letters += (a & kAttributeCompressed) ? "c " : "- ";
  letters += (a & kAttributeHidden) ? "h " : "- ";
  letters += (a & kAttributeReadOnly) ? "r " : "- ";
  letters += (a & kAttributeSystem) ? "s " : "- ";
  return letters;
}

std::optional<Rgb> AttributeTextColour(std::optional<uint32_t> attributes) {
  // The system's attribute value is signed: the invalid value is -1.
  if (!attributes || static_cast<int32_t>(*attributes) <= 0) return std::nullopt;
  if (*attributes & kAttributeSystem) return Rgb{0, 96, 0};
  if (*attributes & kAttributeCompressed) return Rgb{0, 0, 255};
  if (*attributes & kAttributeHidden) return Rgb{128, 128, 128};
  return std::nullopt;
}

std::optional<Rgb> PriorityBackground(uint32_t priorityClass) {
  switch (priorityClass) {
    case kRealtimePriority: return PriorityColours.realtime;
    case kHighPriority: return PriorityColours.high;
    case kAboveNormalPriority: return PriorityColours.aboveNormal;
    case kNormalPriority: return PriorityColours.normal;
    case kBelowNormalPriority: return PriorityColours.belowNormal;
    case kIdlePriority: return PriorityColours.idle;
    default: return std::nullopt;
  }
}

std::string TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

MergeOutcome MergeProcessSnapshot(ProcessRows& rows, const std::vector<ProcessFacts>& snapshot,
                                  const std::vector<WindowTitle>& titles, const MergeSettings& settings,
                                  const HistoryImageHooks& history) {
  VELKOR_PLACE(kProceduresUnit);
  MergeOutcome outcome;
  bool& changed = outcome.changed;

  // A process's title is that of its front-most qualifying window.
  std::unordered_map<uint32_t, const std::string*> titleOf;
  for (const WindowTitle& t : titles) titleOf.try_emplace(t.pid, &t.title);

  // Rows by the PID in column 3; the first row of a PID is the one updated.
  std::unordered_map<int64_t, int> rowOf;
  rowOf.reserve(static_cast<size_t>(rows.RowCount()) + snapshot.size());
  for (int row = 0; row < rows.RowCount(); ++row)
    rowOf.try_emplace(LeadingWholeNumber(rows.CellText(row, kPidColumn)), row);

  // The seen list: how many snapshot entries carry each PID.
  std::unordered_map<int64_t, int> seen;
  seen.reserve(snapshot.size());

  for (const ProcessFacts& facts : snapshot) {
    // What the rows show: a process that could not be queried counts 0, as its "0 KB".
    if (facts.queryable) outcome.workingSetSum += facts.workingSet;
    ++seen[facts.pid];

    RowTexts texts;
    texts.name = TrimBlanks(facts.name);
    if (texts.name == "?" || facts.pid == 4) texts.name = "System";
    if (texts.name.empty() || facts.pid == 0) continue;  // the idle process and processes that cannot be opened
    if (!facts.description.empty()) texts.name = facts.description;
    if (auto title = titleOf.find(facts.pid); title != titleOf.end()) texts.title = *title->second;
    texts.pid = std::to_string(facts.pid);
    texts.priority = std::string(PriorityName(facts.priorityClass));
    const bool memory = facts.queryable;
    texts.workingSet = KiloBytes(memory ? facts.workingSet : 0);
    texts.pageFile = KiloBytes(memory ? facts.pageFile : 0);
    texts.pagedPool = KiloBytes(memory ? facts.pagedPool : 0);
    texts.nonPagedPool = KiloBytes(memory ? facts.nonPagedPool : 0);
    texts.attributes = AttributeLetters(facts.attributes);

    auto found = rowOf.find(facts.pid);
    if (found != rowOf.end()) {
      const int row = found->second;
      float load = 0.0f;
      std::optional<std::string> runTime, cpuTime;
      if (facts.queryable) {
        // A row that could not be queried until now has no sample to measure
        // from: this refresh takes its first one, as for a new row.
        const bool sampled = !rows.CellText(row, kSampleTimerColumn).empty();
        load = UpdateCpuLoad(rows, row, facts.cpu);
        if (!sampled) load = 0.0f;
        if (settings.runTimeShown || settings.cpuTimeShown) {
          const int64_t running = std::clamp<int64_t>(
              settings.now - facts.startDate, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
          runTime = facts.startDate > 10000 ? FormatDuration(static_cast<int32_t>(running)) : std::string();
          const int64_t cpuSeconds = (facts.cpu.kernelMs + facts.cpu.userMs) / 1000;
          cpuTime =
              FormatDuration(static_cast<int32_t>(std::min<int64_t>(cpuSeconds, std::numeric_limits<int32_t>::max())));
        }
      }
      const ProcessRowFacts* before = rows.Facts(row);
      ProcessRowFacts numbers = RowFactsOf(facts, before ? *before : ProcessRowFacts{}, texts.name);
      if (settings.cpuPerProcess && history.advance && numbers.historyImage != 0)
        history.advance(numbers.historyImage, load);
      Rewrite(rows, row, kNameColumn, texts.name, changed);
      Rewrite(rows, row, kTitleColumn, texts.title, changed);
      if (settings.showZeroCpu || load != 0.0f) {
        Rewrite(rows, row, kCpuColumn, LoadText(load), changed);
        numbers.cpuLoad = RoundedDecimal(load, 1);
      } else {
        // An idle process's load fades out without counting as a change.
        if (!rows.CellText(row, kCpuColumn).empty()) rows.SetCellText(row, kCpuColumn, "");
        numbers.cpuLoad = 0.0f;
      }
      Rewrite(rows, row, kPidColumn, texts.pid, changed);
      if (Rewrite(rows, row, kPriorityColumn, texts.priority, changed)) {
        if (auto colour = PriorityBackground(facts.priorityClass)) rows.SetRowBackground(row, *colour);
      }
      Rewrite(rows, row, kWorkingSetColumn, texts.workingSet, changed);
      Rewrite(rows, row, kPageFileColumn, texts.pageFile, changed);
      Rewrite(rows, row, kPagedPoolColumn, texts.pagedPool, changed);
      Rewrite(rows, row, kNonPagedPoolColumn, texts.nonPagedPool, changed);
      if (settings.runTimeShown && runTime) Rewrite(rows, row, kRunTimeColumn, *runTime, changed);
      if (settings.cpuTimeShown && cpuTime) Rewrite(rows, row, kCpuTimeColumn, *cpuTime, changed);
      Rewrite(rows, row, kAttributesColumn, texts.attributes, changed);
      Rewrite(rows, row, kPathColumn, facts.path, changed);
      rows.SetFacts(row, numbers);
      continue;
    }

    ProcessRows::NewRow added;
    auto& cells = added.cells;
    cells[kNameColumn] = texts.name;
    cells[kTitleColumn] = texts.title;
    cells[kCpuColumn] = LoadText(0.0f);
    cells[kPidColumn] = texts.pid;
    cells[kPriorityColumn] = texts.priority;
    cells[kWorkingSetColumn] = texts.workingSet;
    cells[kPageFileColumn] = texts.pageFile;
    cells[kPagedPoolColumn] = texts.pagedPool;
    cells[kNonPagedPoolColumn] = texts.nonPagedPool;
    cells[kAttributesColumn] = texts.attributes;
    cells[kFileSizeColumn] = KiloBytes(static_cast<uint64_t>(std::max<int64_t>(facts.fileSize, 0)));
    cells[kPathColumn] = facts.path;
    const int image = (settings.cpuPerProcess && history.create) ? history.create() : 0;
    cells[kHistoryImageColumn] = std::to_string(image);
    added.facts = RowFactsOf(facts, {}, texts.name);
    added.facts.historyImage = image;
    added.icon = facts.icon;
    added.textColour = AttributeTextColour(facts.attributes);
    added.background = PriorityBackground(facts.priorityClass);
    const int row = rows.AppendRow(added);
    changed = true;
    rowOf.emplace(facts.pid, row);
    if (facts.queryable) UpdateCpuLoad(rows, row, facts.cpu);  // the first sample; its load is not shown
  }

  // Removal pass: each PID of the snapshot keeps at most one row.
  bool shellRuns = false;
  for (int row = 0; row < rows.RowCount();) {
    if (settings.reactivateExplorer && LowerAscii(FileNameOf(rows.CellText(row, kPathColumn))) == "explorer.exe")
      shellRuns = true;
    auto entry = seen.find(LeadingWholeNumber(rows.CellText(row, kPidColumn)));
    if (entry != seen.end()) {
      if (--entry->second == 0) seen.erase(entry);
      ++row;
      continue;
    }
    if (settings.cpuPerProcess && history.release) {
      if (const int image = rows.HistoryImageOf(row); image != 0) history.release(image);
    }
    rows.DeleteRow(row);
    changed = true;
  }
  outcome.startShell = settings.reactivateExplorer && !shellRuns;
  return outcome;
}

bool RetryFullAccess(uint64_t privilegesAtTry, uint64_t privilegesNow, uint64_t triedInRefresh, uint64_t refreshNow) {
  return privilegesNow != privilegesAtTry || refreshNow - triedInRefresh >= kFullAccessRetryRefreshes;
}

int ProcessRows::HistoryImageOf(int row) const {
  const ProcessRowFacts* facts = Facts(row);
  return facts ? facts->historyImage : 0;
}

void ProcessRows::SetHistoryImage(int row, int image) {
  const ProcessRowFacts* facts = Facts(row);
  if (!facts) return;
  ProcessRowFacts changed = *facts;
  changed.historyImage = image;
  SetFacts(row, changed);
  SetCellText(row, kHistoryImageColumn, std::to_string(image));
}

std::string VectorProcessRows::CellText(int row, int column) const {
  if (!Exists(row) || column < 0) return {};
  const std::vector<std::string>& cells = rows_[static_cast<size_t>(row)].cells;
  return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : std::string();
}

void VectorProcessRows::SetCellText(int row, int column, const std::string& text) {
  if (!Exists(row) || column < 0) return;
  std::vector<std::string>& cells = rows_[static_cast<size_t>(row)].cells;
  if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
  cells[static_cast<size_t>(column)] = text;
  if (column < kFirstHiddenColumn) ++visibleWrites_;
}

int VectorProcessRows::AppendRow(const NewRow& row) {
  rows_.push_back(Row{{row.cells.begin(), row.cells.end()}, row.facts, row.icon, row.textColour, row.background});
  return RowCount() - 1;
}

void VectorProcessRows::DeleteRow(int row) {
  if (Exists(row)) rows_.erase(rows_.begin() + row);
}

void VectorProcessRows::SetRowBackground(int row, Rgb colour) {
  if (Exists(row)) rows_[static_cast<size_t>(row)].background = colour;
}

const ProcessRowFacts* VectorProcessRows::Facts(int row) const {
  return Exists(row) ? &rows_[static_cast<size_t>(row)].facts : nullptr;
}

void VectorProcessRows::SetFacts(int row, const ProcessRowFacts& facts) {
  if (Exists(row)) rows_[static_cast<size_t>(row)].facts = facts;
}

}  // namespace velkor
