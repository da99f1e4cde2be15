#include "app/event_loop.h"

#include <commctrl.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <utility>

#include "app/command_handlers.h"
#include "app/effects_win.h"
#include "app/keyboard.h"
#include "app/layout_scale.h"
#include "app/menus.h"
#include "app/process_window.h"
#include "app/shortcuts.h"
#include "app/startup.h"
#include "procs/process_list_win.h"
#include "app/status_bar.h"
#include "app/toolbar_win.h"
#include "app/view_table.h"
#include "app/window_registry.h"
#include "gfx/dpi_scale.h"
#include "lists/driver_list_win.h"
#include "lists/service_list_win.h"
#include "lists/window_list_win.h"
#include "lists/network_adapters_win.h"
#include "monitor/diagram_window_win.h"
#include "monitor/history_strip_win.h"
#include "monitor/monitor_view_win.h"
#include "monitor/process_summary_win.h"
#include "settings/preferences.h"
#include "win/source_location.h"

namespace velkor {

RefreshStamps Stamps;
void (*QuickTransparencyStep)(bool keysHeld) = nullptr;

namespace {

// The network graph at the main window's new width, like the monitoring graphs.
void RebuildNetworkGraph() {
  RECT client{};
  if (!IsIconic(MainWindow) && GetClientRect(MainWindow, &client))
    ResizeNetworkGraph(client.right - ScaleToDpi(35, LayoutDpiOf(kMainWindow)));
}

int ClientWidth() {
  RECT client{};
  GetClientRect(MainWindow, &client);
  return client.right - client.left;
}

// The keyboard shortcut a key message of the active program window delivers.
// F10, and every key while no control has the focus, come as system keys;
// with Alt held a key belongs to the menus.
std::optional<int> ShortcutOf(const MSG& message) {
  const bool systemKey = message.message == WM_SYSKEYDOWN && !(message.lParam & (1 << 29));
  if ((message.message != WM_KEYDOWN && !systemKey) || FocusedControlKeepsKey(message)) return std::nullopt;
  HWND active = GetActiveWindow();
  const int window = WindowNumberOf(active);
  if (window < 0 || (message.hwnd != active && !IsChild(active, message.hwnd))) return std::nullopt;
  const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  // Delete in the filter field deletes text, it ends no process.
  if (!control && message.wParam == VK_DELETE && message.hwnd == ControlHandle(kFilterField)) return std::nullopt;
  // The context-menu key means what Shift+F10 means.
  if (message.wParam == VK_APPS) return ShortcutFor(window, control, kKeyF10, true);
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  return ShortcutFor(window, control, static_cast<int>(message.wParam), shift);
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
      } else if (!HandleDialogKeys(message)) {
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
  const ViewSpec& shown = ShownView();
  if (plan.graphStep && shown.graphStep) shown.graphStep();
  if (plan.monitorSample) {
    TakeMonitorSample(shown.drawsSamples);
    UpdateStatusBar(kStatusFigures);
  }
  if (plan.listRefresh) {
    // Once a refresh, also while the view's own list is the process list.
    if (shown.list != kProcessList && (shown.followsProcesses || IsWindowVisible(BuiltWindow(kDiagramWindow))))
      RefreshProcessList();
    if (shown.refresh) shown.refresh();
    if (shown.stripInStatusBar) UpdateStatusBar(kStatusFigures);  // the selected row's strip moved on
    RefreshProcessWindow();
  }
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
  // The graphs step every 50 ms (by default) while their view shows and one
  // of them runs.
  const bool graphsRunning = ShownViewAnimates();
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
