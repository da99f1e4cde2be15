// The preferences window "Einstellungen" at work: filling its controls from
// the settings, the coupled check boxes, the number fields, the two pages,
// and "OK" / "Abbrechen". The window and its controls are built elsewhere and
// handed in; the meaning of each control is in preferences_window.h.
#pragma once

#include <windows.h>

#include <functional>

#include "settings/preferences_window.h"

namespace velkor {

// What the window code provides; each hook may stay empty.
struct PreferencesWindowHooks {
  std::function<HWND()> window;                         // window 3 once built, else none
  std::function<HWND(int id)> control;                  // its controls by identifier
  std::function<void(bool enable)> enableOtherWindows;  // the main window and "Diagramm"
  std::function<void(int page)> showPagePicture;        // the page selector's picture of page 0 or 1
  std::function<void()> showSearchEngineMenu;           // the search-engine menu at the mouse
  std::function<void()> applyColumnVisibility;          // process-list columns after ColumnShown
  // Gives every row of the process list a CPU history image (true) or frees
  // them all (false), when the setting is switched.
  std::function<void(bool present)> setHistoryImages;
};
// App hands them over when it builds the windows (DetachPreferencesWindow
// lets go of them).
void SetPreferencesWindowHooks(PreferencesWindowHooks hooks);

// Sets every control from Preferences, PreferencesAutostart and ColumnShown;
// greys the explorer restart where the system cannot use it. The load runs
// it through its fillPreferenceControls hook.
void FillPreferenceControls();

// Re-reads the file into the controls, shows and activates the window and
// disables the main window and "Diagramm".
void OpenPreferences();
// "OK": applies and saves the controls, the column visibility, then closes.
void ConfirmPreferences();
// "Abbrechen" and the close button: the controls keep their edits, nothing
// is applied.
void DismissPreferences();

// Takes the controls into the settings (the record, ColumnShown and the
// autostart choice), switches the CPU history images, writes or removes the
// autostart shortcut, sets the main window's topmost state and writes
// velkor.ini. Without controls the settings in memory are applied.
void ApplyPreferences();

// A click on check box 252 or 253: keeps the two consistent.
void CoupleAutostartBox(int id);
// A change in field 263, 266 or 269: drops everything but digits.
void KeepDigitsOnly(int id);
// "Standard" beside the exit code.
void SetDefaultExitCode();
// "Standard" beside the URL: the search-engine menu.
void OpenSearchEngineMenu();
// Item 293..299 of the search-engine menu: its template into the URL field.
void ChooseSearchEngine(int id);
// A click on the page selector at `clientX` (client coordinates of window 3).
void SelectPreferencesPage(int clientX);
// The same for the click being handled, at the position it happened.
void SelectPreferencesPageAtClick();
// The page shown: 0 general, 1 columns.
int PreferencesPage();
// The page not shown (Ctrl+Tab); a focus left on the hidden page goes to
// the first control of the shown one.
void ShowOtherPreferencesPage();

// Forgets the window (it was destroyed) and returns to the first page.
void DetachPreferencesWindow();

}  // namespace velkor
