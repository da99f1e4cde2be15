// Every window and control of velkor.exe, created once by BuildWindows and
// afterwards only shown, hidden, enabled and disabled.
#pragma once

#include <windows.h>

#include <string>

#include "app/control_ids.h"
#include "app/deferred_start.h"
#include "app/event_queue.h"
#include "app/layout.h"
#include "app/window_pictures.h"

namespace velkor {

// Window 0, "Velkor".
extern HWND MainWindow;

// Creates all windows and controls; false when the main window could not be made.
bool BuildWindows();
// Destroys everything BuildWindows made; the program never does, tests do
// between cases (and count that nothing is left behind).
void DestroyWindows();
// Windows 1 to 5 are built at their first use: WindowHandle builds a missing
// one (with its controls, pictures and values) before it answers.
// CompleteStartWhenIdle (app/deferred_start.h) builds the rest once the loop
// is idle after the first paint, after filling the lists of the hidden views.
HWND WindowHandle(int number);
// The window or control as far as built: null for one not built yet. A
// control of a view built late exists once the view was shown or the
// deferred start built it (BuildViewControls).
HWND ControlHandle(int id);
HWND BuiltWindow(int number);
HWND BuiltControl(int id);
// Builds window `number` (1 to 5) with its controls, if not built yet.
void BuildOtherWindow(int number);
// Number of the program window `window` is or belongs to, or -1.
int WindowNumberOf(HWND window);

// The window message callback of all program windows (installed at the end
// of BuildWindows, removed by the shutdown).
LRESULT CALLBACK MainWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InstallWindowCallback();
// A window built after InstallWindowCallback gets the callback too.
void GiveWindowCallback(HWND window);
void RemoveWindowCallback();

// Puts every anchored control of window 0 where its anchors want it.
void ApplyAnchoring();
// Stretches the tab filler to the client width minus the tab picture.
void FitTabFiller();
// Gives a control of window 0 the tooltip `text` (replacing its old one).
void SetToolbarTooltip(int id, const std::string& text);

}  // namespace velkor
