// The Win32 side of the monitor view: where its controls are. The view's
// functions are declared in monitor_view.h.
#pragma once

#include <windows.h>

#include <functional>

namespace velkor {

// Set by whoever builds the windows; an empty hook finds nothing.
struct MonitorViewHooks {
  std::function<HWND(int id)> control;  // a control of the view by its id
  std::function<HWND()> mainWindow;     // the window the view lives in
};
extern MonitorViewHooks MonitorViewCallbacks;

}  // namespace velkor
