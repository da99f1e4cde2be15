#include "procs/process_commands_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "procs/path_text.h"
#include "procs/process_library.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "win/message_box.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {

using win::UniqueKernelHandle;

ProcessCommandHooks hooks;
ShellOpenHook shellOpen;
KillHook killHook;

HWND ProcessList() { return hooks.list ? hooks.list() : nullptr; }
HWND ownerOfCall = nullptr;  // the owner one call was given, while it runs
HWND Owner() { return ownerOfCall ? ownerOfCall : hooks.owner ? hooks.owner() : nullptr; }

// Makes `owner` (when given) the owner of what one call shows.
class OwnerOfCall {
 public:
  explicit OwnerOfCall(HWND owner) : saved_(ownerOfCall) {
    if (owner) ownerOfCall = owner;
  }
  ~OwnerOfCall() { ownerOfCall = saved_; }
  OwnerOfCall(const OwnerOfCall&) = delete;
  OwnerOfCall& operator=(const OwnerOfCall&) = delete;

 private:
  HWND saved_;
};
HMENU ProcessMenu() { return hooks.processMenu ? hooks.processMenu() : nullptr; }

void ShellOpen(const std::string& target) {
  if (shellOpen) {
    shellOpen(target);
    return;
  }
  ShellExecuteA(Owner(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Notice(const std::string& text) { win::ShowMessageBox(Owner(), text, kNoticeTitle, MB_OK | MB_ICONEXCLAMATION); }

void Failure(const std::string& text) { win::ShowMessageBox(Owner(), text, kQuestionTitle, MB_OK | MB_ICONERROR); }

bool Ask(const std::string& question) {
  return win::ShowMessageBox(Owner(), question, kQuestionTitle, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

void Kill(const SelectedProcess& row, uint32_t exitCode) {
  if (killHook) killHook(row.pid);
  if (!KillProcess(row.pid, exitCode)) Notice(KillFailedMessage(row.name));
}

std::optional<uint64_t> AffinityOf(HANDLE process) {
  DWORD_PTR processMask = 0, systemMask = 0;
  if (!GetProcessAffinityMask(process, &processMask, &systemMask)) return std::nullopt;
  return static_cast<uint64_t>(processMask);
}

}  // namespace

std::vector<SelectedProcess> SelectedProcesses() {
  std::vector<SelectedProcess> rows;
  HWND list = ProcessList();
  if (!list) return rows;
  for (int row = -1; (row = ListView_GetNextItem(list, row, LVNI_SELECTED)) >= 0;) {
    const ProcessRowFacts* facts = ProcessFactsAt(row);
    if (!facts) continue;
    rows.push_back({facts->pid, facts->name, facts->priorityClass, facts->path});
  }
  return rows;
}

bool MarkProcessMenu(HMENU menu) {
  const std::vector<SelectedProcess> rows = SelectedProcesses();
  if (rows.empty()) return false;
  for (int item = kFirstPriorityCommand; item <= kLastProcessorCommand; ++item)
    CheckMenuItem(menu, static_cast<UINT>(item), MF_BYCOMMAND | MF_UNCHECKED);
  ProcessMenuMarks marks;
  for (const SelectedProcess& row : rows) {
    std::optional<uint64_t> mask;
    if (UniqueKernelHandle process{OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, row.pid)})
      mask = AffinityOf(process.get());
    AddRowMarks(marks, row.priorityClass, mask, ProcessorCount());
  }
  for (int item : marks.priorityItems) CheckMenuItem(menu, static_cast<UINT>(item), MF_BYCOMMAND | MF_CHECKED);
  for (int item : marks.processorItems) CheckMenuItem(menu, static_cast<UINT>(item), MF_BYCOMMAND | MF_CHECKED);
  return true;
}

void PrepareProcessMenu() {
  VELKOR_PLACE(kProceduresUnit);
  HMENU menu = ProcessMenu();
  if (menu && MarkProcessMenu(menu) && hooks.showProcessMenu) hooks.showProcessMenu();
}

void KillSelectedProcesses() { KillProcesses(SelectedProcesses()); }

void KillProcesses(const std::vector<SelectedProcess>& rows, HWND owner) {
  VELKOR_PLACE(kProceduresUnit);
  const OwnerOfCall ownerOfThisCall(owner);
  std::vector<std::string> names;
  for (const SelectedProcess& row : rows) names.push_back(row.name);

  // Realtime while ending others, so a busy target cannot starve the program
  // between the question and the end.
  const uint32_t self = GetCurrentProcessId();
  const uint32_t ownClass = GetProcessPriority(self);
  SetProcessPriority(self, kRealtimePriority);
  const auto exitCode = static_cast<uint32_t>(Preferences.PreferencesExitCodeSpin);

  if (rows.size() == 1) {
    if (Ask(KillQuestion(names))) Kill(rows.front(), exitCode);
  } else if (rows.size() > 1 && Ask(KillQuestion(names))) {
    // Everything to idle first, so the targets no longer compete while the
    // first of them are ended.
    for (const SelectedProcess& row : rows) SetProcessPriority(row.pid, kIdlePriority);
    for (const SelectedProcess& row : rows) Kill(row, exitCode);
  }

  // A class that could not be read is not "restored" to nothing.
  if (ownClass != 0) SetProcessPriority(self, ownClass);
  RefreshProcessesNow();
}

void SetSelectedPriority(uint32_t priorityClass) {
  VELKOR_PLACE(kProceduresUnit);
  for (const SelectedProcess& row : SelectedProcesses())
    if (!SetProcessPriority(row.pid, priorityClass)) Failure(PriorityFailedMessage(row.name));
}

void ToggleProcessorAffinity(HMENU menu, int processor) {
  VELKOR_PLACE(kProceduresUnit);
  if (processor < 0 || processor >= kMaxProcessorItems) return;
  const UINT item = static_cast<UINT>(kFirstProcessorCommand + processor);
  const bool checked = menu && (GetMenuState(menu, item, MF_BYCOMMAND) & MF_CHECKED) != 0;
  for (const SelectedProcess& row : SelectedProcesses()) {
    UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_SET_INFORMATION, FALSE, row.pid));
    if (!process) continue;
    const std::optional<uint64_t> mask = AffinityOf(process.get());
    if (!mask) continue;
    const uint64_t wanted = ToggledAffinity(*mask, processor, checked);
    if (!SetProcessAffinityMask(process.get(), static_cast<DWORD_PTR>(wanted))) Notice(kAffinityFailedMessage);
  }
}

void ToggleProcessorAffinity(int processor) { ToggleProcessorAffinity(ProcessMenu(), processor); }

void CallForSelectedProcesses(bool libraryLoaded, ProcessCall call) {
  VELKOR_PLACE(kProceduresUnit);
  if (!libraryLoaded) {
    Failure(kNtdllMissingMessage);
    return;
  }
  if (!call) {
    Failure(kNtdllIncompatibleMessage);
    return;
  }
  for (const SelectedProcess& row : SelectedProcesses())
    if (UniqueKernelHandle process{OpenProcess(PROCESS_ALL_ACCESS, FALSE, row.pid)}) call(process.get());
}

void SuspendSelectedProcesses() {
  CallForSelectedProcesses(win::Native().library != nullptr, win::Native().suspendProcess);
}
void ResumeSelectedProcesses() {
  CallForSelectedProcesses(win::Native().library != nullptr, win::Native().resumeProcess);
}

void OptimizeSelectedProcesses() {
  for (const SelectedProcess& row : SelectedProcesses()) RemovePageFaults(row.pid);
}

void OptimizeAllProcesses() {
  VELKOR_PLACE(kProceduresUnit);
  if (!ProcessList()) return;
  const ProcessRows& rows = ProcessListRows();
  for (int row = 0; row < rows.RowCount(); ++row)
    if (const ProcessRowFacts* facts = rows.Facts(row)) RemovePageFaults(facts->pid);
}

void OpenProcessFolder() { OpenProcessFolders(SelectedProcesses()); }

void OpenProcessFolders(const std::vector<SelectedProcess>& rows, HWND owner) {
  VELKOR_PLACE(kProceduresUnit);
  const OwnerOfCall ownerOfThisCall(owner);
  for (const SelectedProcess& row : rows) {
    if (std::optional<std::string> folder = FolderToOpen(row.path))
      ShellOpen(*folder);
    else
      Notice(FolderFailedMessage(row.name));
  }
}

void SearchProcessOnline() {
  VELKOR_PLACE(kProceduresUnit);
  bool first = true;
  for (const SelectedProcess& row : SelectedProcesses()) {
    // A pause between addresses lets the browser take them one at a time.
    if (!first) Sleep(50);
    first = false;
    if (std::optional<std::string> address = SearchAddress(Preferences.PreferencesSearchString, FileNameOf(row.path)))
      ShellOpen(*address);
  }
}

void RefreshProcessesNow() {
  VELKOR_PLACE(kProceduresUnit);
  RefreshProcessList();
  if (hooks.listRefreshed) hooks.listRefreshed();
}

void SetProcessCommandHooks(ProcessCommandHooks wanted) { hooks = std::move(wanted); }
void SetShellOpenHook(ShellOpenHook hook) { shellOpen = std::move(hook); }
void OpenWithShell(const std::string& target) { ShellOpen(target); }
void SetKillHook(KillHook hook) { killHook = std::move(hook); }

}  // namespace velkor
