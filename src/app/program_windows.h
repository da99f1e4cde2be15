// Every window and control of velkor.exe, created once by BuildWindows and
// afterwards only shown, hidden, enabled and disabled.
#pragma once

#include <windows.h>

#include <string>

#include "app/control_ids.h"
#include "app/event_queue.h"
#include "app/layout.h"

namespace velkor {

// Window 0, "Velkor".
extern HWND MainWindow;

// Creates all windows and controls; false when the main window could not be made.
bool BuildWindows();
// Destroys everything BuildWindows made; the program never does, tests do
// between cases (and count that nothing is left behind).
void DestroyWindows();
// Windows 1 to 5 are built at their first use: WindowHandle and
// ControlHandle build a missing one (with its controls, pictures and values)
// before they answer. CompleteStartWhenIdle builds the rest once the loop is
// idle after the first paint, after filling the lists of the hidden views.
HWND WindowHandle(int number);
HWND ControlHandle(int id);
// The window or control as far as built: null for one not built yet.
HWND BuiltWindow(int number);
HWND BuiltControl(int id);
// Builds window `number` (1 to 5) with its controls, if not built yet.
void BuildOtherWindow(int number);
// The views "Netzwerk" and "Überwachung" get their controls at their first
// use too: when a control of theirs is asked for or their panel is shown.
void BuildViewControls(int view);
// What view `view` (1 to 5) needs once its controls exist: the attached
// lists and views, the sort marks, the memory tables.
void SetUpViewControls(int view, Size mainClient);
void BuildViewOfPanel(HWND panel);
// Builds the window or view control `id` belongs to, if not built yet.
void BuildMissingControl(int id);
void CompleteStartWhenIdle();
// Does at once what the start left for the idle time.
void CompleteStartNow();
// Fills list `id` (a view list) now if the start left it for later.
void FillListIfPending(int id);
// List `id` was just filled by its view: the idle time need not fill it.
void ForgetPendingList(int id);
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
// The pictures of the toolbar buttons and the tab strip.
void SetTabPicture(int view);
// Shows the picture resource `name` in image control `id`.
void SetControlPicture(int id, const char* name);
// The pictures every window shows from its creation on, drawn for its DPI.
void SetWindowPictures();
// Window `number` now shown at `dpi`: takes the suggested outer rectangle and
// lays out its controls, fonts and pictures again, keeping their contents.
void ChangeWindowDpi(int number, int dpi, const RECT& suggested);
// Gives a control of window 0 the tooltip `text` (replacing its old one).
void SetToolbarTooltip(int id, const std::string& text);

}  // namespace velkor
