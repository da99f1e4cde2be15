// The Win32 side of the monitor view: its controls, its graphs, its samples
// and its memory tables. What it draws and shows is decided in monitor_view.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "monitor/monitor_view.h"

namespace velkor {

// Set by whoever builds the windows; an empty hook finds nothing.
struct MonitorViewHooks {
  std::function<HWND(int id)> control;  // a control of the view by its id
  std::function<HWND()> mainWindow;     // the window the view lives in
};
// App hands them over when it builds the windows; {} lets go of them.
void SetMonitorViewHooks(MonitorViewHooks hooks);

// One step of the processor and memory graphs, each unless its "Pause" box
// is checked; shows them.
void StepMonitorGraphs();
// True while at least one graph would move at a step (its "Pause" box is
// not checked).
bool MonitorGraphsRunning();
// Takes the three samples into LastSample; with `showView` the view's
// percent labels and the meter follow.
void TakeMonitorSample(bool showView);
// Re-creates the graph canvases at the main window's client width, keeping
// their history (the loop calls it on every size event).
void RebuildGraphCanvases();
// Fills both memory tables; the process-list refresh calls it at its end with
// the sum of all listed working sets.
void UpdateMemoryTables(uint64_t workingSetSum);
// Frees the view's bitmaps and forgets its graphs (tests, between windows).
void DestroyMonitorView();

}  // namespace velkor
