#include "app/event_loop.h"

#include <commctrl.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <utility>

#include "app/command_decision_win.h"
#include "app/effects_win.h"
#include "app/information.h"
#include "app/information_win.h"
#include "app/process_window.h"
#include "app/layout_scale.h"
#include "app/menus.h"
#include "app/preferences_commands.h"
#include "app/run_dialog_win.h"
#include "shell/power.h"
#include "app/shortcuts.h"
#include "app/startup.h"
#include "procs/process_list.h"
#include "app/status_bar.h"
#include "app/toolbar_win.h"
#include "app/window_registry.h"
#include "gfx/dpi_scale.h"
#include "lists/driver_list_win.h"
#include "lists/service_list_win.h"
#include "export/export_win.h"
#include "lists/window_list_win.h"
#include "lists/network_adapters_win.h"
#include "monitor/diagram_window_win.h"
#include "monitor/history_strip.h"
#include "monitor/monitor_view.h"
#include "monitor/process_summary_win.h"
#include "procs/process_commands_win.h"
#include "settings/preferences.h"
#include "win/foreign_window.h"
#include "win/start_process.h"
#include "win/list_view.h"
#include "win/source_location.h"

namespace velkor {

RefreshStamps Stamps;
void (*QuickTransparencyStep)(bool keysHeld) = nullptr;

namespace {

using Handler = void (*)(const LoopEvent& event);

// Which event types a command reacts to.
enum TypeMask : unsigned {
  kAnyType = ~0u,
  kLeftClickOnly = 1u << 0,
  kChangeOnly = 1u << 2,
  kRightClickOnly = 1u << 1,
  kDoubleClickOnly = 1u << 3,
};

bool Accepts(unsigned mask, int type) {
  if (mask == kAnyType) return true;
  if (type == kTypeChange) return (mask & kChangeOnly) != 0;
  if (type == kTypeDoubleClick) return (mask & kDoubleClickOnly) != 0;
  return (type == kTypeLeftClick && (mask & kLeftClickOnly)) || (type == kTypeRightClick && (mask & kRightClickOnly));
}

struct Command {
  int first;
  int last;
  unsigned types;
  Handler handler;
};

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
  ShowView(event.id - 13, true);
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

void EndProcesses(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  KillSelectedProcesses();
}
// The same button searches for the selected driver in the "Treiber" view.
void SearchOnline(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  if (CurrentView == 0)
    SearchProcessOnline();
  else if (CurrentView == 3)
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
void ProcessCommand(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  switch (event.id) {
    case kSuspendCommand: SuspendSelectedProcesses(); break;
    case kResumeCommand: ResumeSelectedProcesses(); break;
    case kOptimizeCommand: OptimizeSelectedProcesses(); break;
    case kOpenFolderCommand: OpenProcessFolder(); break;
    default: break;
  }
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
  if (std::optional<PowerCommand> command = PowerCommandFor(event.id, 26)) RunPowerCommand(*command, MainWindow);
}

void HelpFromMenu(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  OpenHelpFile(MainWindow);
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
  SetWindowAlpha(SelectedWindow(), event.id == 108 ? 255 : TransparencyAlpha(event.id - 108));
}
void CloseRequest(int window);
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
  ShowView(0, true);
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

void AdapterSelected(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  ShowAdapterDetails();
}

// The network graph at the main window's new width, like the monitoring graphs.
void RebuildNetworkGraph() {
  RECT client{};
  if (!IsIconic(MainWindow) && GetClientRect(MainWindow, &client))
    ResizeNetworkGraph(client.right - ScaleToDpi(35, LayoutDpiOf(kMainWindow)));
}

// One flat table: identifier range, accepted event types, handler. A
// picture or link reports a double click as a click and then a double
// click: the tab strip, the page selector and the links act on the click
// alone, so a double click neither refreshes twice nor opens a link twice.
constexpr Command kCommands[] = {
    {1, 4, kAnyType, ExportFromMenu},
    {12, 12, kAnyType, Quit},
    {13, 18, kAnyType, ShowViewFromMenu},
    {19, 19, kLeftClickOnly, StartTaskManager},
    {20, 20, kLeftClickOnly, OpenPreferencesCommand},
    {21, 21, kLeftClickOnly, ToggleDiagram},
    {22, 22, kLeftClickOnly, OpenRun},
    {23, 23, kLeftClickOnly, EndProcesses},
    {24, 24, kLeftClickOnly, SearchOnline},
    {25, 25, kLeftClickOnly, [](const LoopEvent&) { ShowProcessInformation(); }},
    {26, 31, kAnyType, PowerFromMenu},
    {32, 32, kAnyType, RefreshProcesses},
    {33, 38, kAnyType, SetPriority},
    {39, 102, kAnyType, ToggleProcessor},
    {103, 106, kAnyType, ProcessCommand},
    {107, 107, kAnyType, RefreshWindows},
    {108, 117, kAnyType, SetTransparency},
    {118, 124, kAnyType, WindowCommandFromMenu},
    {125, 125, kAnyType, JumpToProcess},
    {126, 130, kAnyType, ServiceCommand},
    {131, 131, kAnyType, RefreshDrivers},
    {132, 132, kAnyType, DriverFolder},
    {133, 133, kAnyType, HelpFromMenu},
    {134, 134, kAnyType, OpenInformation},
    {kTabStrip, kTabStrip, kLeftClickOnly, SelectTab},
    {kProcessList, kProcessList, kRightClickOnly, ProcessMenu},
    {kProcessList, kProcessList, kChangeOnly, ProcessSelectionChanged},
    {kServiceList, kServiceList, kRightClickOnly, ServiceMenu},
    {kDriverList, kDriverList, kRightClickOnly, DriverMenu},
    {kWindowList, kWindowList, kRightClickOnly | kDoubleClickOnly, WindowListClick},
    {kShowHiddenWindows, kShowOffscreenWindows, kAnyType, RefreshWindows},
    {kDriverList, kDriverList, kChangeOnly, SelectionChanged},
    {249, 249, kLeftClickOnly, PreferencesPageCommand},
    {252, 253, kAnyType, AutostartBoxCommand},
    {263, 263, kChangeOnly, NumberFieldCommand},
    {266, 266, kChangeOnly, NumberFieldCommand},
    {269, 269, kChangeOnly, NumberFieldCommand},
    {270, 270, kAnyType, DefaultExitCodeCommand},
    {274, 274, kAnyType, SearchEngineMenuCommand},
    {291, 291, kAnyType, PreferencesOkCommand},
    {292, 292, kAnyType, PreferencesCancelCommand},
    {293, 299, kAnyType, SearchEngineCommand},
    {kNetworkList, kNetworkList, kChangeOnly, AdapterSelected},
    {232, 232, kAnyType, RunTextChanged},
    {235, 235, kAnyType, StartRun},
    {236, 236, kAnyType, CancelRun},
    {237, 237, kAnyType, BrowseRun},
    {307, 314, kLeftClickOnly, InformationLink},  // the labels between them send nothing
    {316, 316, kAnyType, CloseInformation},
    {317, 317, kAnyType, ToDisclaimer},
    {322, 322, kAnyType, CloseInformation},
    {323, 323, kAnyType, ToAbout},
    {239, 239, kDoubleClickOnly, DiagramDoubleClick},
    {240, 240, kChangeOnly, DiagramMeasure},
    {kRestartElevatedCommand, kRestartElevatedCommand, kAnyType, RestartAsAdministrator},
};

void RunCommand(const LoopEvent& event) {
  if (!CommandRuns(event.id, CommandContextNow())) return;  // e.g. a shortcut of a feature not there yet
  for (const Command& command : kCommands) {
    // An identifier may have one entry per event type.
    if (event.id < command.first || event.id > command.last || !Accepts(command.types, event.type)) continue;
    command.handler(event);
    return;
  }
}

int ClientWidth() {
  RECT client{};
  GetClientRect(MainWindow, &client);
  return client.right - client.left;
}

void HideWindow(int number) { ShowWindow(WindowHandle(number), SW_HIDE); }

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

// The keyboard shortcut a key message of the active program window delivers.
std::optional<int> ShortcutOf(const MSG& message) {
  if (message.message != WM_KEYDOWN) return std::nullopt;
  HWND active = GetActiveWindow();
  const int window = WindowNumberOf(active);
  if (window < 0 || (message.hwnd != active && !IsChild(active, message.hwnd))) return std::nullopt;
  const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  return ShortcutFor(window, control, static_cast<int>(message.wParam));
}

// Kernel objects that end the loop's own wait early (the signal folder, the
// companion), set around each of its waits; which of them ended the last one.
HANDLE wakeHandles[3] = {};
DWORD wakeCount = 0;
HANDLE signalledHandle = nullptr;

// The 250 ms checks: polled while the signal folder cannot be watched, else
// made when a watched object signals and, for safety, every 2 s.
constexpr ULONGLONG kCheckInterval = 250;
constexpr ULONGLONG kWatchedCheckInterval = 2000;
// The gesture keys are read four times a second while no gesture runs: a
// held pair starts its gesture within a quarter second, and an idle pass
// costs the program more than reading the keys (10 a second cost 7 % more
// than 4 in the process view).
constexpr unsigned kGestureKeyPoll = 250;

// Whether the last wait ran out with the queue empty. The next wait then
// waits at once instead of looking into the queue first: the wait ends on
// anything already in the queue (MWMO_INPUTAVAILABLE), so nothing that came
// meanwhile waits, and an idle pass asks the system one question less.
bool queueEmptyAtTimeout = false;

}  // namespace

void EnableMainWindows(bool enable) {
  EnableWindow(WindowHandle(kMainWindow), enable);
  EnableWindow(WindowHandle(kDiagramWindow), enable);
}

LoopEvent WaitEvent(unsigned milliseconds) {
  VELKOR_PLACE(kMainModule);
  LoopEvent event;
  if (TakeLoopEvent(event)) return event;
  const ULONGLONG start = GetTickCount64();
  ULONGLONG end = start + milliseconds;
  bool look = !std::exchange(queueEmptyAtTimeout, false);
  for (;;) {
    MSG message;
    while (look && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) {
        // The hover fading wants a pass soon, as the polled loop gave it.
        NoteMouseActivity();
        end = std::min(end, start + kShortestPass);
      }
      if (std::optional<int> id = ShortcutOf(message)) {
        QueueLoopEvent({kEventMenu, *id, 0, WindowNumberOf(GetActiveWindow())});
      } else {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      if (TakeLoopEvent(event)) return event;
    }
    look = true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return LoopEvent{};
    const DWORD woken = MsgWaitForMultipleObjectsEx(wakeCount, wakeHandles, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                                    MWMO_INPUTAVAILABLE);
    if (woken >= WAIT_OBJECT_0 && woken < WAIT_OBJECT_0 + wakeCount) {
      signalledHandle = wakeHandles[woken - WAIT_OBJECT_0];
      return LoopEvent{};
    }
    // The wait ran out: the pass is due. Input that comes meanwhile ends
    // the next wait at once, so no second look is needed here.
    if (woken == WAIT_TIMEOUT) {
      queueEmptyAtTimeout = true;
      return LoopEvent{};
    }
  }
}

void DispatchEvent(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  switch (event.code) {
    case kEventControl:
    case kEventMenu: RunCommand(event); break;
    case kEventClose: CloseRequest(event.window); break;
    case kEventSize:
      FitTabFiller();
      RebuildGraphCanvases();
      RebuildNetworkGraph();
      ResizeProcessHistoryImages(ClientWidth(), LayoutDpiOf(kMainWindow));
      break;
    default: break;
  }
}

void ShowView(int view, bool refresh) {
  VELKOR_PLACE(kProceduresUnit);
  if (view < 0 || view >= static_cast<int>(kViewPanels.size())) return;
  CurrentView = view;
  for (int i = 0; i < static_cast<int>(kViewPanels.size()); ++i)
    if (i != view) ShowWindow(ControlHandle(kViewPanels[static_cast<size_t>(i)]), SW_HIDE);
  ShowWindow(ControlHandle(kViewPanels[static_cast<size_t>(view)]), SW_SHOW);
  // A list the start left for the idle time is filled once, here or there.
  if (view >= 1 && view <= 4) {
    const int list = kViewLists[static_cast<size_t>(view)];
    if (refresh && view <= 3)
      ForgetPendingList(list);
    else
      FillListIfPending(list);
  }
  if (refresh && view == 0) RefreshProcessList();
  if (refresh && view == 2) RefreshServiceList(ControlHandle(kServiceList));
  if (refresh && view == 3) RefreshDriverList(ControlHandle(kDriverList));
  if (refresh && view == 1) RefreshWindowList();
  if (refresh && view <= 3) SetListStamp();
  if (view == 0) SetToolbarTooltip(24, "Nach diesem Prozess im Internet suchen (Strg+F)");
  if (view == 3) SetToolbarTooltip(24, "Nach diesem Treiber im Internet suchen (Strg+F)");
  SetTabPicture(view);
  CheckViewMenuItem(view);
  UpdateToolbarStates();
}

void SetListStamp() { Stamps.list = static_cast<double>(GetTickCount()); }

void ResetStampsForFirstPass() {
  const double calendar = static_cast<double>(std::time(nullptr)) * 1000.0;
  Stamps = RefreshStamps{calendar, calendar, calendar};
}

void MonitorTick() {
  VELKOR_PLACE(kProceduresUnit);
  ToolbarHoverStep();
  const TickPlan plan = PlanTick(Stamps, static_cast<double>(GetTickCount()), Preferences.PreferencesRefresh1Spin,
                                 Preferences.PreferencesRefresh2Spin);
  if (plan.graphStep && CurrentView == 5) StepMonitorGraphs();
  if (plan.graphStep && CurrentView == 4) DrawNetworkGraphStep();
  if (plan.monitorSample) {
    TakeMonitorSample(CurrentView == 5);
    UpdateStatusBar(kStatusFigures);
  }
  if (plan.listRefresh && (CurrentView == 0 || CurrentView == 5 || IsWindowVisible(WindowHandle(kDiagramWindow)))) {
    RefreshProcessList();
    if (CurrentView == 0) UpdateStatusBar(kStatusFigures);  // the selected row's strip moved on
  }
  if (plan.listRefresh && CurrentView == 2) RefreshServiceList(ControlHandle(kServiceList));
  if (plan.listRefresh && CurrentView == 3) RefreshDriverList(ControlHandle(kDriverList));
  if (plan.listRefresh && CurrentView == 1) RefreshWindowList();
  if (plan.listRefresh && CurrentView == 4) RefreshNetworkList();
  if (plan.listRefresh) RefreshProcessWindow();
  // The info panel follows the mouse; a new measure redraws at once.
  if (DiagramWindowVisible()) {
    CheckPieMeasure();
    ShowPieInfo();
  }
}

// How long the next wait may last: until the first periodic task falls due.
unsigned NextWait(ULONGLONG checkStamp, ULONGLONG checkInterval) {
  const double untilCheck =
      static_cast<double>(checkStamp) + static_cast<double>(checkInterval) + 1 - static_cast<double>(GetTickCount64());
  const bool animating = ToolbarAnimating() || TransparencyGestureActive();
  // The monitoring graphs step every 50 ms (by default) while their view
  // shows and one of them is not paused; the network graph while view 4 shows.
  const bool graphsRunning = (CurrentView == 5 && MonitorGraphsRunning()) || CurrentView == 4;
  const auto wait = static_cast<unsigned>(
      NextPassDelay(Stamps, static_cast<double>(GetTickCount()), Preferences.PreferencesRefresh1Spin,
                    Preferences.PreferencesRefresh2Spin, graphsRunning, animating, untilCheck));
  // The gesture keys are polled (kGestureKeyPoll); a running gesture passes more often.
  return QuickTransparencyStep ? std::min(wait, kGestureKeyPoll) : wait;
}

void RunEventLoop() {
  VELKOR_PLACE(kMainModule);
  ULONGLONG checkStamp = 0;
  unsigned wait = kShortestPass;
  HANDLE folder = SignalFolderWatch();
  for (;;) {
    wakeCount = 0;
    if (folder) wakeHandles[wakeCount++] = folder;
    if (HANDLE companion = CompanionHandle()) wakeHandles[wakeCount++] = companion;
    HANDLE servicesEnded = ServiceCommandsEnded();
    if (servicesEnded) wakeHandles[wakeCount++] = servicesEnded;
    signalledHandle = nullptr;
    const LoopEvent event = WaitEvent(wait);
    wakeCount = 0;  // other waits (the fades' own loops) wait for messages only
    // Right Alt + right Ctrl held over a window: the quick transparency gesture.
    if (QuickTransparencyStep) QuickTransparencyStep(TransparencyKeysHeld());
    const ULONGLONG now = GetTickCount64();
    // Something changed in the signal folder: ask for the next change first,
    // so none is missed while the file is looked at.
    if (signalledHandle && signalledHandle == folder && !FindNextChangeNotification(folder))
      folder = nullptr;  // the watch broke: poll from here on
    const ULONGLONG interval = folder ? kWatchedCheckInterval : kCheckInterval;
    if (signalledHandle || now - checkStamp > interval) {
      CheckStartSignal(MainWindow);
      WatchCompanion();
      checkStamp = now;
    }
    if (servicesEnded && signalledHandle == servicesEnded && FinishServiceCommands(ControlHandle(kServiceList)))
      SetListStamp();
    if (event.code != kEventNone && event.code != kEventMouseMove) UpdateStatusBar(kStatusFigures);
    DispatchEvent(event);
    if (event.code == kEventNone || event.code == kEventMouseMove) MonitorTick();
    wait = NextWait(checkStamp, interval);
  }
}

}  // namespace velkor
