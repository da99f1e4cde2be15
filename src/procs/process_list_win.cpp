#include "procs/process_list_win.h"

#include <commctrl.h>

#include <utility>

#include "procs/list_icons_win.h"
#include "procs/process_cpu_win.h"
#include "procs/process_facts_win.h"
#include "procs/process_list_columns_win.h"
#include "procs/process_list_rows_win.h"
#include "procs/process_snapshot_win.h"
#include "procs/window_titles_win.h"
#include "settings/preferences.h"
#include "win/list_view.h"
#include "win/start_process.h"
#include "win/source_location.h"

namespace velkor {

namespace {

ProcessListHooks hooks;
ProcessReadingCheckHook readingCheck;
std::string filterText;  // the process view's filter, read again when the shown columns change

// Finds list 139; a new list (the windows were built again) starts afresh:
// its rows, columns, icons and the processes kept open.
HWND AttachList() {
  HWND list = hooks.list ? hooks.list() : nullptr;
  if (AttachListRows(list)) {
    ResetProcessColumns(false);
    HIMAGELIST images = nullptr;
    if (list) images = win::ReplaceListImages(list, win::UniqueImageList(CreateSmallImageList(list, 64, 64)));
    ResetProcessFacts(images);
  }
  return list;
}

}  // namespace

int RefreshProcessList() {
  VELKOR_PLACE(kProceduresUnit);
  if (!AttachList()) return 0;
  if (Preferences.PreferencesWindowTitle)
    CollectWindowTitles();
  else
    ClearWindowTitles();
  // A failed snapshot changes nothing: an empty one would remove every row.
  const std::vector<SnapshotEntry>* snapshot = TakeProcessSnapshot();
  if (!snapshot) return 0;

  MergeSettings settings;
  settings.showZeroCpu = Preferences.PreferencesShowZeroCPU != 0;
  settings.cpuPerProcess = Preferences.PreferencesCPUPerProcess != 0;
  settings.reactivateExplorer = Preferences.PreferencesReactivateExplorer != 0;
  settings.runTimeShown = ProcessColumnShown(kRunTimeColumn);
  settings.cpuTimeShown = ProcessColumnShown(kCpuTimeColumn);
  settings.now = CurrentLocalDate();
  const bool needDates = settings.runTimeShown || settings.cpuTimeShown;
  const DWORD timer = GetTickCount();
  const std::vector<ProcessFacts> facts = GatherProcessFacts(*snapshot, needDates, timer);
  if (readingCheck) readingCheck(ReadProcessFactsDirectly(*snapshot, needDates, timer), settings);

  MergeOutcome outcome;
  {
    ListRedrawBatch batch;
    outcome = MergeProcessSnapshot(ListRowStore(), facts, CollectedWindowTitles(), settings, hooks.history);
    if (outcome.startShell) win::StartProcess("explorer.exe");
    if (outcome.changed) {
      if (hooks.listChanged) hooks.listChanged();
      SortListRowsBy(ProcessListSortColumn(), ProcessListSortAscending());
    }
  }
  if (hooks.refreshed) hooks.refreshed(outcome.workingSetSum);
  return outcome.changed ? 1 : 0;
}

void SetUpProcessListSorting() {
  HWND list = AttachList();
  if (!list) return;
  SetUpProcessColumns(list);
  ListRedrawBatch batch;
  SortListRowsBy(ProcessListSortColumn(), ProcessListSortAscending());
}

void SortProcessList(int column, bool ascending) {
  VELKOR_PLACE(kProceduresUnit);
  HWND list = AttachList();
  if (!list || column < 0 || column >= kFirstHiddenColumn) return;
  SetProcessSort(list, column, ascending);
  ListRedrawBatch batch;
  SortListRowsBy(column, ascending);
}

HWND ProcessListHandle() { return AttachList(); }

ProcessRows& ProcessListRows() {
  AttachList();
  return ListRowStore();
}

const ProcessRowFacts* ProcessFactsAt(int row) { return ProcessListRows().Facts(ListRowOfItem(row)); }

int ProcessStoreRow(int row) {
  AttachList();
  return ListRowOfItem(row);
}

namespace {

int StoreRowOf(uint32_t pid) {
  if (pid == 0) return -1;  // rows that know no numbers
  const ProcessRows& rows = ProcessListRows();
  for (int row = 0; row < rows.RowCount(); ++row)
    if (const ProcessRowFacts* facts = rows.Facts(row); facts && facts->pid == pid) return row;
  return -1;
}

}  // namespace

int ProcessRowOf(uint32_t pid) {
  const int row = StoreRowOf(pid);
  return row < 0 ? -1 : ListItemOfRow(row);
}

const ProcessRowFacts* ProcessFactsOf(uint32_t pid) { return ProcessListRows().Facts(StoreRowOf(pid)); }

int ProcessListShownCount() {
  AttachList();
  return ListShownRowCount();
}

void FilterProcessList(std::string_view text) {
  VELKOR_PLACE(kProceduresUnit);
  if (!AttachList()) return;
  std::vector<bool> columns(kFirstHiddenColumn, true);
  for (int column = 1; column < kFirstHiddenColumn; ++column)
    columns[static_cast<size_t>(column)] = ProcessColumnShown(column);
  filterText = text;
  SetListRowFilter(RowFilter(text), std::move(columns));
}

void SetProcessListHooks(ProcessListHooks wanted) { hooks = std::move(wanted); }

void SetProcessReadingCheckHook(ProcessReadingCheckHook hook) { readingCheck = std::move(hook); }

void ProcessListDpiChanged(int dpi) {
  HWND list = AttachList();
  if (!list) return;
  win::UniqueImageList images = TakeProcessIconsAtDpi(dpi);
  if (!images) return;
  win::ReplaceListImages(list, std::move(images));
  InvalidateRect(list, nullptr, TRUE);
}

void ApplyColumnVisibility() {
  VELKOR_PLACE(kProceduresUnit);
  if (HWND list = AttachList()) ApplyProcessColumnVisibility(list);
  // A column shown or hidden changes what the filter reads.
  FilterProcessList(filterText);
}

void DestroyProcessList() {
  DestroyListRows();
  ResetProcessColumns(true);
  ResetProcessFacts(nullptr);
  ClearWindowTitles();
}

}  // namespace velkor
