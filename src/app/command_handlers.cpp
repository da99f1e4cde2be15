#include "app/command_handlers.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <optional>

#include "app/command_decision_win.h"
#include "app/command_table.h"
#include "app/effects_win.h"
#include "app/event_loop.h"
#include "app/filter_field.h"
#include "app/information.h"
#include "app/information_win.h"
#include "app/keyboard.h"
#include "app/layout_scale.h"
#include "app/menus.h"
#include "app/process_window.h"
#include "app/preferences_commands.h"
#include "app/run_dialog_win.h"
#include "app/startup.h"
#include "app/toolbar_win.h"
#include "app/view_table.h"
#include "app/window_registry.h"
#include "export/export_win.h"
#include "lists/driver_list_win.h"
#include "lists/service_list_win.h"
#include "lists/window_list_win.h"
#include "lists/network_adapters_win.h"
#include "monitor/diagram_window_win.h"
#include "monitor/process_summary_win.h"
#include "procs/process_commands_win.h"
#include "procs/process_list.h"
#include "settings/preferences.h"
#include "settings/preferences_window_win.h"
#include "shell/power.h"
#include "win/foreign_window.h"
#include "win/list_view.h"
#include "win/source_location.h"
#include "win/start_process.h"

namespace velkor {

namespace {

using Handler = void (*)(const LoopEvent& event);

void StartTaskManager(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  win::StartProcess("taskmgr");
}

void Quit(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  QuitProgram();
}
void RestartAsAdministrator(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  RestartElevated(MainWindow);
}

// Items 1..4 of "Datei": the process, window, service or driver list to a file.
void ExportFromMenu(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  if (std::optional<ExportTarget> target = ExportTargetFor(event.id)) {
    FillListIfPending(target->listId);  // one the start left for later
    ExportList(MainWindow, ControlHandle(target->listId), target->title, ExportedColumns(*target, ColumnShown));
  }
}

void ShowViewFromMenu(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  ShowView(event.id - kFirstViewCommand, true);
}

// Where the click happened, not where the mouse is by the time the click is
// handled: the mouse may have moved on since.
void SelectTab(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  const DWORD position = GetMessagePos();
  POINT cursor{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  ScreenToClient(MainWindow, &cursor);
  if (std::optional<int> view = TabAtX(cursor.x, LayoutDpiOf(kMainWindow))) ShowView(*view, true);
}

void ShowProcessInformation(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  velkor::ShowProcessInformation();
}

void EndProcesses(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  KillSelectedProcesses();
}
void SearchProcess(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  SearchProcessOnline();
}
void SearchDriver(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  SearchDriverOnline(ControlHandle(kDriverList));
}
void RefreshProcesses(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  RefreshProcessesNow();
}
void SetPriority(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  if (std::optional<uint32_t> priorityClass = PriorityClassOfCommand(event.id)) SetSelectedPriority(*priorityClass);
}
void ToggleProcessor(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  ToggleProcessorAffinity(event.id - kFirstProcessorCommand);
}
void ProcessMenu(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  PrepareProcessMenu();
}
void SuspendProcesses(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  SuspendSelectedProcesses();
}
void ResumeProcesses(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  ResumeSelectedProcesses();
}
void OptimizeProcesses(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  OptimizeSelectedProcesses();
}
void OpenProcessFolderCommand(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  OpenProcessFolder();
}

void ToggleDiagram(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  WindowHandle(kDiagramWindow);  // built at its first use
  ToggleDiagramWindow();
}
// The process list gets the keyboard focus with its new selection, as the
// jump from the window list gives it.
void DiagramDoubleClick(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  const std::optional<uint32_t> pid = PieProcessUnderMouse();
  if (!pid) return;
  SelectProcessRowByPid(ControlHandle(kProcessList), *pid);
  ShowWindow(WindowHandle(kDiagramWindow), SW_HIDE);
}
void DiagramMeasure(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  CheckPieMeasure();
}

void PowerFromMenu(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  if (std::optional<PowerCommand> command = PowerCommandFor(event.id, kFirstPowerCommand))
    RunPowerCommand(*command, MainWindow);
}

void HelpFromMenu(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  OpenHelpFile(MainWindow);
}

// Ctrl+Tab and Ctrl+Shift+Tab: the next or the previous view with its
// refresh, as a click on its tab shows it; "Einstellungen" has two pages.
void StepView(const LoopEvent& event, int step) {
  if (event.window == kPreferencesWindow) {
    ShowOtherPreferencesPage();
    return;
  }
  ShowView((CurrentView + step + kViewCount) % kViewCount, true);
}
void NextView(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  StepView(event, 1);
}
void PreviousView(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  StepView(event, -1);
}
// Shift+F10: what a right click on the focused row of the focused list
// does, the menu at that row.
void OpenContextMenu(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  if (const std::optional<int> list = PrepareFocusedRowMenu()) {
    RunCommand({kEventControl, *list, kTypeRightClick, kMainWindow});
    ForgetMenuPlace();
  }
}
// F5: the view's "Aktualisieren"; "Netzwerk", which has none, refreshes its
// list as its interval does.
void RefreshView(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  constexpr std::array<int, kViewCount> kRefreshOfView = {kRefreshProcessesCommand,
                                                          kRefreshWindowsCommand,
                                                          kServiceRefreshCommand,
                                                          kDriverRefreshCommand,
                                                          kNoCommand,
                                                          kNoCommand};
  const int id = kRefreshOfView[static_cast<size_t>(CurrentView)];
  if (id != kNoCommand) {
    RunCommand({kEventMenu, id, kTypeLeftClick, kMainWindow});
  } else if (const ViewSpec& shown = ShownView(); shown.refresh) {
    shown.refresh();
    SetListStamp();
  }
}
// Escape in "Diagramm", "Einstellungen" and "Information": their close (the
// information window closes as its "Schließen" does, having no close box).
void CloseDialog(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  if (event.window == kInformationWindow)
    CloseInformationWindow();
  else if (event.window == kDiagramWindow || event.window == kPreferencesWindow)
    CloseRequest(event.window);
}

void ServiceMenu(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  if (PrepareServiceMenu(ControlHandle(kServiceList), PopupMenuHandle(4))) ShowPopupMenu(4);
}
void ServiceCommand(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  if (RunServiceCommand(ControlHandle(kServiceList), event.id)) SetListStamp();
}
void DriverMenu(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  if (win::SelectedListRow(ControlHandle(kDriverList)) >= 0) ShowPopupMenu(5);
}
void RefreshDrivers(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  RefreshDriverList(ControlHandle(kDriverList));
  SetListStamp();
}
void DriverFolder(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  OpenDriverFolder(ControlHandle(kDriverList));
}
// The window list and its commands.
void RefreshWindows(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  RefreshWindowList();
  SetListStamp();
}
void SetTransparency(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  SetWindowAlpha(SelectedWindow(), event.id == kOpaqueCommand ? 255 : TransparencyAlpha(event.id - kOpaqueCommand));
}
// "Zerstören" on a window of our own closes it as its close button does:
// destroyed, the main window would leave the program running without one
// (and holding the single instance), another window would be gone while
// the program still uses it. Our thread's other windows (the system's
// helpers) are left alone.
void CloseOwnWindow(HWND window) {
  const int number = ExactWindowNumber(window);
  if (number == kInformationWindow)
    CloseInformationWindow();
  else if (number >= 0)
    CloseRequest(number);
}
void WindowCommandFromMenu(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  const std::optional<WindowCommand> command = WindowCommandOf(event.id);
  if (!command) return;
  if (*command == WindowCommand::kDestroy && win::OwnThreadWindow(SelectedWindow())) {
    CloseOwnWindow(SelectedWindow());
    return;
  }
  RunWindowCommand(SelectedWindow(), *command);
  if (*command == WindowCommand::kToggleTopmost) RefreshWindows(event);
}
// The jump to the process that owns the selected window.
void JumpToProcess(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  HWND processes = ControlHandle(kProcessList);
  if (ListView_GetItemCount(processes) <= 0) return;
  SelectProcessRowByPid(processes, SelectedWindowPid());
  ShowView(kProcessView, true);
}
void WindowListClick(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  if (SelectedWindowRow() < 0) return;
  if (event.type == kTypeDoubleClick) {
    JumpToProcess(event);
    return;
  }
  CommandContext context = CommandContextNow();
  context.windowTopmost = WindowIsTopmost(SelectedWindow());
  ApplyCommandStates(PopupMenuHandle(3), context);
  ShowPopupMenu(3);
}

// The run dialog and the information window.
void OpenRun(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  OpenRunDialog();
}
void RunTextChanged(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  RunCommandChanged();
}
void StartRun(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  StartRunCommand();
}
void CancelRun(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  CancelRunDialog();
}
void BrowseRun(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  BrowseForRunCommand();
}
void OpenInformation(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  OpenInformationWindow();
}
void CloseInformation(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  CloseInformationWindow();
}
void InformationLink(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  OpenInformationLink(event.id);
}
void ToDisclaimer(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  ShowInformationPage(kDisclaimerPage);
}
void ToAbout(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  ShowInformationPage(kAboutPage);
}

// A new selection in the process or driver list.
void SelectionChanged(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  UpdateToolbarStates();
}
// A new process selection also restarts the refresh interval, so no refresh
// follows it after a few milliseconds (a CPU load over so short a time jumps).
void ProcessSelectionChanged(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  UpdateProcessSummary();
  SetListStamp();
  SelectionChanged(event);
}

void FocusFilterField(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  FocusFilter();
}
void FilterFieldChanged(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  HWND shownList = ControlHandle(ShownView().list);
  const UINT selected = shownList ? ListView_GetSelectedCount(shownList) : 0;
  ApplyFieldFilter();
  // A selected row the filter hid is no longer selected.
  if (!shownList || ListView_GetSelectedCount(shownList) == selected) return;
  if (CurrentView == kProcessView) UpdateProcessSummary();
  UpdateToolbarStates();
}

void AdapterSelected(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  ShowAdapterDetails();
}

// The handlers in the command table's order: entry i belongs to its row i.
constexpr Handler kHandlers[] = {
#define VELKOR_COMMAND(handler, ...) handler,
#include "app/command_rows.h"
#undef VELKOR_COMMAND
};
static_assert(std::size(kHandlers) == std::size(kCommandTable));

void HideWindow(int number) { ShowWindow(WindowHandle(number), SW_HIDE); }

}  // namespace

void RunCommand(const LoopEvent& event) {
  if (!CommandRuns(event.id, CommandContextNow())) return;  // e.g. an item of a processor the machine lacks
  for (size_t i = 0; i < std::size(kCommandTable); ++i) {
    const CommandRow& row = kCommandTable[i];
    if (!row.Holds(event.id) || !AcceptsType(row.types, event.type) || !row.InView(CurrentView)) continue;
    if (kHandlers[i]) kHandlers[i](event);
    return;
  }
}

void CloseRequest(int window) {
  VELKOR_PLACE(kMainModule);
  switch (window) {
    case kMainWindow: QuitProgram();
    case kRunWindow:
    case kPreferencesWindow:
      EnableMainWindows(true);
      HideWindow(window);
      break;
    case kDiagramWindow: HideWindow(window); break;
    default: break;  // the information window and the scale close themselves
  }
}

void ApplyViewTexts(int view) {
  for (int id = kFirstToolbarCommand; id <= kLastToolbarCommand; ++id) {
    const CommandRow* row = FindCommandRowInView(id, view);
    if (row && row->view == view) SetToolbarTooltip(id, std::string(row->tooltip));
  }
}

}  // namespace velkor
