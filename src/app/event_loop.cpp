#include "app/event_loop.h"

#include <algorithm>
#include <ctime>
#include <optional>

#include "app/commands_built.h"
#include "app/menus.h"
#include "app/power.h"
#include "app/shortcuts.h"
#include "app/startup.h"
#include "procs/process_list.h"
#include "app/status_bar.h"
#include "app/toolbar_win.h"
#include "monitor/diagram_window_win.h"
#include "monitor/history_strip.h"
#include "monitor/monitor_view.h"
#include "monitor/process_summary_win.h"
#include "procs/process_commands_win.h"
#include "settings/preferences.h"

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
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  char commandLine[] = "taskmgr";
  if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
}

void Quit(const LoopEvent&) { QuitProgram(); }

void ShowViewFromMenu(const LoopEvent& event) { ShowView(event.id - 13, true); }

// Where the click happened, not where the mouse is by the time the click is
// handled: the mouse may have moved on since.
void SelectTab(const LoopEvent&) {
  const DWORD position = GetMessagePos();
  POINT cursor{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  ScreenToClient(MainWindow, &cursor);
  if (std::optional<int> view = TabAtX(cursor.x)) ShowView(*view, true);
}

// Process information: nothing to show yet for the selected process.
void NoAction(const LoopEvent&) {}

void EndProcesses(const LoopEvent&) { KillSelectedProcesses(); }
// The same button searches for the selected driver in the "Treiber" view.
void SearchOnline(const LoopEvent&) {
  if (CurrentView == 0) SearchProcessOnline();
}
void RefreshProcesses(const LoopEvent&) { RefreshProcessesNow(); }
void SetPriority(const LoopEvent& event) {
  if (std::optional<uint32_t> priorityClass = PriorityClassOfCommand(event.id)) SetSelectedPriority(*priorityClass);
}
void ToggleProcessor(const LoopEvent& event) { ToggleProcessorAffinity(event.id - kFirstProcessorCommand); }
void ProcessMenu(const LoopEvent&) { PrepareProcessMenu(); }
void ProcessCommand(const LoopEvent& event) {
  switch (event.id) {
    case kSuspendCommand: SuspendSelectedProcesses(); break;
    case kResumeCommand: ResumeSelectedProcesses(); break;
    case kOptimizeCommand: OptimizeSelectedProcesses(); break;
    case kOpenFolderCommand: OpenProcessFolder(); break;
    default: break;
  }
}

void ToggleDiagram(const LoopEvent&) { ToggleDiagramWindow(); }
void DiagramDoubleClick(const LoopEvent&) { PieDoubleClick(); }
void DiagramMeasure(const LoopEvent&) { CheckPieMeasure(); }

void PowerFromMenu(const LoopEvent& event) {
  if (std::optional<PowerCommand> command = PowerCommandFor(event.id, 26)) RunPowerCommand(*command, MainWindow);
}

void HelpFromMenu(const LoopEvent&) { OpenHelpFile(MainWindow); }

// A new selection in the process or driver list.
void SelectionChanged(const LoopEvent&) { UpdateToolbarStates(); }
// A new process selection also restarts the refresh interval, so no refresh
// follows it after a few milliseconds (a CPU load over so short a time jumps).
void ProcessSelectionChanged(const LoopEvent& event) {
  UpdateProcessSummary();
  SetListStamp();
  SelectionChanged(event);
}

// One flat table: identifier range, accepted event types, handler.
constexpr Command kCommands[] = {
    {12, 12, kAnyType, Quit},
    {13, 18, kAnyType, ShowViewFromMenu},
    {19, 19, kLeftClickOnly, StartTaskManager},
    {21, 21, kLeftClickOnly, ToggleDiagram},
    {23, 23, kLeftClickOnly, EndProcesses},
    {24, 24, kLeftClickOnly, SearchOnline},
    {25, 25, kAnyType, NoAction},
    {26, 31, kAnyType, PowerFromMenu},
    {32, 32, kAnyType, RefreshProcesses},
    {33, 38, kAnyType, SetPriority},
    {39, 102, kAnyType, ToggleProcessor},
    {103, 106, kAnyType, ProcessCommand},
    {133, 133, kAnyType, HelpFromMenu},
    {136, 136, kAnyType, SelectTab},
    {139, 139, kRightClickOnly, ProcessMenu},
    {139, 139, kChangeOnly, ProcessSelectionChanged},
    {154, 154, kChangeOnly, SelectionChanged},
    {239, 239, kDoubleClickOnly, DiagramDoubleClick},
    {240, 240, kChangeOnly, DiagramMeasure},
};

void RunCommand(const LoopEvent& event) {
  if (!IsCommandBuilt(event.id)) return;  // a shortcut of a feature not there yet
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
HANDLE wakeHandles[2] = {};
DWORD wakeCount = 0;
HANDLE signalledHandle = nullptr;

// The 250 ms checks: polled while the signal folder cannot be watched, else
// made when a watched object signals and, for safety, every 2 s.
constexpr ULONGLONG kCheckInterval = 250;
constexpr ULONGLONG kWatchedCheckInterval = 2000;

}  // namespace

void EnableMainWindows(bool enable) {
  EnableWindow(WindowHandle(kMainWindow), enable);
  EnableWindow(WindowHandle(kDiagramWindow), enable);
}

LoopEvent WaitEvent(unsigned milliseconds) {
  LoopEvent event;
  if (TakeLoopEvent(event)) return event;
  const ULONGLONG start = GetTickCount64();
  ULONGLONG end = start + milliseconds;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
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
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return LoopEvent{};
    const DWORD woken = MsgWaitForMultipleObjectsEx(wakeCount, wakeHandles, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                                    MWMO_INPUTAVAILABLE);
    if (woken >= WAIT_OBJECT_0 && woken < WAIT_OBJECT_0 + wakeCount) {
      signalledHandle = wakeHandles[woken - WAIT_OBJECT_0];
      return LoopEvent{};
    }
  }
}

void DispatchEvent(const LoopEvent& event) {
  switch (event.code) {
    case kEventControl:
    case kEventMenu: RunCommand(event); break;
    case kEventClose: CloseRequest(event.window); break;
    case kEventSize:
      FitTabFiller();
      RebuildGraphCanvases();
      ResizeProcessHistoryImages(ClientWidth());
      break;
    default: break;
  }
}

void ShowView(int view, bool refresh) {
  static constexpr int kPanels[] = {138, 146, 151, 153, 155, 192};
  if (view < 0 || view > 5) return;
  CurrentView = view;
  for (int i = 0; i < 6; ++i)
    if (i != view) ShowWindow(ControlHandle(kPanels[i]), SW_HIDE);
  ShowWindow(ControlHandle(kPanels[view]), SW_SHOW);
  if (refresh && view == 0) RefreshProcessList();
  (void)refresh;  // the lists refresh themselves once they exist
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
  ToolbarHoverStep();
  const TickPlan plan = PlanTick(Stamps, static_cast<double>(GetTickCount()), Preferences.PreferencesRefresh1Spin,
                                 Preferences.PreferencesRefresh2Spin);
  // The network graph of view 4 steps here too once it exists.
  if (plan.graphStep && CurrentView == 5) StepMonitorGraphs();
  if (plan.monitorSample) {
    TakeMonitorSample(CurrentView == 5);
    UpdateStatusBar(kStatusFigures);
  }
  if (plan.listRefresh && (CurrentView == 0 || CurrentView == 5 || IsWindowVisible(WindowHandle(kDiagramWindow)))) {
    RefreshProcessList();
    if (CurrentView == 0) UpdateStatusBar(kStatusFigures);  // the selected row's strip moved on
  }
  // The info panel follows the mouse; a new measure redraws at once.
  if (DiagramWindowVisible()) {
    CheckPieMeasure();
    ShowPieInfo();
  }
  (void)plan.listRefresh;  // the lists join as they are built
}

// How long the next wait may last: until the first periodic task falls due.
unsigned NextWait(ULONGLONG checkStamp, ULONGLONG checkInterval) {
  const double untilCheck =
      static_cast<double>(checkStamp) + static_cast<double>(checkInterval) + 1 - static_cast<double>(GetTickCount64());
  const bool animating = ToolbarAnimating() || QuickTransparencyStep != nullptr;
  // The monitoring graphs step every 50 ms (by default) while their view
  // shows and one of them is not paused.
  const bool graphsRunning = CurrentView == 5 && MonitorGraphsRunning();
  return static_cast<unsigned>(NextPassDelay(Stamps, static_cast<double>(GetTickCount()),
                                             Preferences.PreferencesRefresh1Spin, Preferences.PreferencesRefresh2Spin,
                                             graphsRunning, animating, untilCheck));
}

void RunEventLoop() {
  ULONGLONG checkStamp = 0;
  unsigned wait = kShortestPass;
  HANDLE folder = SignalFolderWatch();
  for (;;) {
    wakeCount = 0;
    if (folder) wakeHandles[wakeCount++] = folder;
    if (HANDLE companion = CompanionHandle()) wakeHandles[wakeCount++] = companion;
    signalledHandle = nullptr;
    const LoopEvent event = WaitEvent(wait);
    wakeCount = 0;  // other waits (the fades' own loops) wait for messages only
    // Right Alt + right Ctrl held over a window: the quick transparency gesture.
    if (QuickTransparencyStep) {
      const bool held = (GetAsyncKeyState(VK_RMENU) & 0x8000) && (GetAsyncKeyState(VK_RCONTROL) & 0x8000);
      QuickTransparencyStep(held && GetForegroundWindow() != GetDesktopWindow());
    }
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
    if (event.code != kEventNone && event.code != kEventMouseMove) UpdateStatusBar(kStatusFigures);
    DispatchEvent(event);
    if (event.code == kEventNone || event.code == kEventMouseMove) MonitorTick();
    wait = NextWait(checkStamp, interval);
  }
}

}  // namespace velkor
