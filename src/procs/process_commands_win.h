// The commands of the "Prozesse" view on the selected rows of the process
// list (control 139): end, prioritise, bind to processors, suspend, resume,
// trim, open the folder, search the web, refresh.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "procs/process_commands.h"

namespace velkor {

// What the commands need of the windows they act in, set by whoever builds
// them; any hook may be empty (no list, no owner, no menu).
struct ProcessCommandHooks {
  std::function<HWND()> list;             // the process list (control 139)
  std::function<HWND()> owner;            // owner of message boxes and shell windows
  std::function<HMENU()> processMenu;     // popup menu 2
  std::function<void()> showProcessMenu;  // opens popup menu 2 at the mouse position
  std::function<void()> listRefreshed;    // after "Aktualisieren": restarts the refresh interval
};
// App hands them over when it builds the windows; {} lets go of them.
void SetProcessCommandHooks(ProcessCommandHooks hooks);

// The selected rows of the process list, top to bottom.
std::vector<SelectedProcess> SelectedProcesses();

// Sets the check marks of the process menu for the selected rows (priority
// items by the priority column, processor items by each process's affinity
// mask, summed over the rows); false when no row is selected.
bool MarkProcessMenu(HMENU menu);
// The right click on the process list: marks the process menu (popup menu
// 2) and opens it at the mouse position; nothing opens without a selection.
void PrepareProcessMenu();

void KillSelectedProcesses();
// The same question, end and messages for `rows` instead of the selection;
// `owner`, when given, owns the questions and messages instead of the hook's.
void KillProcesses(const std::vector<SelectedProcess>& rows, HWND owner = nullptr);
void SetSelectedPriority(uint32_t priorityClass);
// Toggles processor `processor` for every selected process; `menu` carries
// the check marks MarkProcessMenu set when it opened.
void ToggleProcessorAffinity(HMENU menu, int processor);
// The same through the process menu (items 39..102).
void ToggleProcessorAffinity(int processor);
void SuspendSelectedProcesses();
void ResumeSelectedProcesses();
// What suspend and resume share: `call` (of ntdll, one process handle
// argument) for every selected process; a library that is not loaded or a
// function it lacks is reported instead.
using ProcessCall = LONG(NTAPI*)(HANDLE process);
void CallForSelectedProcesses(bool libraryLoaded, ProcessCall call);
void OptimizeSelectedProcesses();
// Trims every process of the list once (at start, when PreferencesOptimize is on).
void OptimizeAllProcesses();
void OpenProcessFolder();
void OpenProcessFolders(const std::vector<SelectedProcess>& rows, HWND owner = nullptr);
void SearchProcessOnline();
// "Aktualisieren": refreshes the list and restarts its refresh interval.
void RefreshProcessesNow();

// Folders and addresses go to the shell through this; tests replace it so
// that no browser or Explorer window starts (an empty hook restores the shell).
using ShellOpenHook = std::function<void(const std::string& target)>;
void SetShellOpenHook(ShellOpenHook hook);
// Opens a folder or an address as a double-click would (or hands it to the hook).
void OpenWithShell(const std::string& target);
// Runs just before each process is ended (tests watch the order).
using KillHook = std::function<void(uint32_t pid)>;
void SetKillHook(KillHook hook);

}  // namespace velkor
