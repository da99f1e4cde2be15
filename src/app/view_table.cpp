#include "app/view_table.h"

#include <windows.h>

#include <array>

#include "app/accessibility.h"
#include "app/command_handlers.h"
#include "app/deferred_start.h"
#include "app/event_loop.h"
#include "app/keyboard.h"
#include "app/filter_field.h"
#include "app/menus.h"
#include "app/startup.h"
#include "app/toolbar_win.h"
#include "app/window_pictures.h"
#include "app/window_registry.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "lists/driver_list_win.h"
#include "lists/network_adapters_win.h"
#include "lists/service_list_win.h"
#include "lists/window_list_win.h"
#include "monitor/monitor_view.h"
#include "monitor/monitor_view_win.h"
#include "procs/process_list.h"
#include "procs/process_list_win.h"
#include "win/source_location.h"

namespace velkor {

namespace {

uint64_t lastWorkingSetSum = 0;

void RefreshProcesses() { RefreshProcessList(); }
void RefreshWindows() { RefreshWindowList(); }
void RefreshServices() { RefreshServiceList(ControlHandle(kServiceList)); }
void RefreshDrivers() { RefreshDriverList(ControlHandle(kDriverList)); }

void SetUpWindowView(Size) {
  AttachWindowList({ControlHandle(kWindowList), ControlHandle(kShowHiddenWindows), ControlHandle(kShowSizelessWindows),
                    ControlHandle(kShowOffscreenWindows)});
}
void SetUpServiceView(Size) { SortServiceList(ControlHandle(kServiceList), 0); }
void SetUpDriverView(Size) { SortDriverList(ControlHandle(kDriverList), 0); }

void SetUpNetworkView(Size mainClient) {
  NetworkControls controls;
  controls.list = ControlHandle(kNetworkList);
  controls.graph = ControlHandle(kNetworkGraph);
  controls.load = ControlHandle(kNetworkLoad);
  controls.heading = ControlHandle(kAdapterHeading);
  controls.picture = ControlHandle(kAdapterPicture);
  for (int k = 0; k < kAdapterDetailCount; ++k)
    controls.values[static_cast<size_t>(k)] = ControlHandle(kFirstAdapterValue + 2 * k);
  AttachNetworkView(controls, mainClient.w - ScaleToDpi(30, LayoutDpiOf(kMainWindow)));
}

void SetUpMonitorView(Size) { UpdateMemoryTables(lastWorkingSetSum); }

// "Netzwerk" and "Überwachung" have the most controls: built late, their
// panels there from the start, empty. The other views' lists exist from the
// start, for whoever looks for them.
const std::array<ViewSpec, kViewCount> kViews = {{
    {.panel = kViewPanels[kProcessView],
     .list = kProcessList,
     .tabPicture = images::kTabsProcesses,
     .countWord = "Prozesse",
     .refresh = RefreshProcesses,
     .refreshedWhenShown = true,
     .stripInStatusBar = true},
    {.panel = kViewPanels[kWindowView],
     .list = kWindowList,
     .tabPicture = images::kTabsWindows,
     .countWord = "Fenster",
     .refresh = RefreshWindows,
     .refreshedWhenShown = true,
     .listFilledLate = true,
     .setUp = SetUpWindowView},
    {.panel = kViewPanels[kServiceView],
     .list = kServiceList,
     .tabPicture = images::kTabsServices,
     .countWord = "Dienste",
     .refresh = RefreshServices,
     .refreshedWhenShown = true,
     .listFilledLate = true,
     .setUp = SetUpServiceView},
    {.panel = kViewPanels[kDriverView],
     .list = kDriverList,
     .tabPicture = images::kTabsDrivers,
     .countWord = "Treiber",
     .refresh = RefreshDrivers,
     .refreshedWhenShown = true,
     .listFilledLate = true,
     .setUp = SetUpDriverView},
    {.panel = kViewPanels[kNetworkView],
     .list = kNetworkList,
     .tabPicture = images::kTabsNetwork,
     .countWord = "Adapter",
     .refresh = RefreshNetworkList,
     .graphStep = DrawNetworkGraphStep,
     .builtLate = true,
     .listFilledLate = true,
     .setUp = SetUpNetworkView},
    {.panel = kViewPanels[kMonitorView],
     .tabPicture = images::kTabsMonitoring,
     .followsProcesses = true,
     .drawsSamples = true,
     .graphStep = StepMonitorGraphs,
     .graphsRunning = MonitorGraphsRunning,
     .builtLate = true,
     .setUp = SetUpMonitorView},
}};

}  // namespace

std::span<const ViewSpec> ViewTable() { return kViews; }

const ViewSpec* ViewOf(int view) {
  return view >= 0 && view < kViewCount ? &kViews[static_cast<size_t>(view)] : nullptr;
}

int ViewOfList(int list) {
  for (int view = 0; view < kViewCount; ++view)
    if (list && kViews[static_cast<size_t>(view)].list == list) return view;
  return -1;
}

void ShowView(int view, bool refresh) {
  VELKOR_PLACE(kProceduresUnit);
  const ViewSpec* shown = ViewOf(view);
  if (!shown) return;
  CurrentView = view;
  BuildViewControls(view);
  for (const ViewSpec& other : kViews)
    if (&other != shown) ShowWindow(ControlHandle(other.panel), SW_HIDE);
  ShowWindow(ControlHandle(shown->panel), SW_SHOW);
  const bool refreshNow = refresh && shown->refreshedWhenShown;
  // A list the start left for the idle time is filled once, here or there.
  if (shown->listFilledLate) {
    if (refreshNow)
      ForgetPendingList(shown->list);
    else
      FillListIfPending(shown->list);
  }
  if (refreshNow) {
    shown->refresh();
    SetListStamp();
  }
  ApplyViewTexts(view);
  ShowViewFilter(view);
  SetTabPicture(view);
  CheckViewMenuItem(view);
  UpdateToolbarStates();
  KeepFocusInShownView(view);
  AnnounceViewShown(view);
}

const ViewSpec& ShownView() {
  static constexpr ViewSpec kNone;
  const ViewSpec* shown = ViewOf(CurrentView);
  return shown ? *shown : kNone;
}

bool ShownViewAnimates() {
  const ViewSpec& shown = ShownView();
  return shown.graphStep && (!shown.graphsRunning || shown.graphsRunning());
}

void ProcessesRefreshed(uint64_t workingSetSum) {
  lastWorkingSetSum = workingSetSum;
  UpdateMemoryTables(workingSetSum);
}

}  // namespace velkor
