#include "app/preferences_commands.h"

#include "app/event_loop.h"
#include "app/menus.h"
#include "gfx/image_names.h"
#include "procs/process_list.h"
#include "settings/preferences_window_win.h"
#include "settings/settings_file_win.h"

namespace velkor {

void WirePreferencesWindow() {
  // The window and its controls once built (PreferencesWindowBuilt): the
  // settings read and saved meanwhile need no controls.
  PreferencesWindow.window = BuiltWindow(kPreferencesWindow);
  PreferencesWindow.control = BuiltControl;
  PreferencesWindow.enableOtherWindows = EnableMainWindows;
  PreferencesWindow.showPagePicture = [](int page) {
    SetControlPicture(kPrefsPageSelectorId, page == 0 ? images::kPrefsTabsGeneral : images::kPrefsTabsColumns);
  };
  PreferencesWindow.showSearchEngineMenu = [] { ShowSearchEngineMenu(WindowHandle(kPreferencesWindow)); };
  PreferencesWindow.applyColumnVisibility = ApplyColumnVisibility;
  // The per-row CPU history strips plug in here (setHistoryImages) once the
  // process list draws them; until then there is nothing to create or free.
  PreferencesWindow.setHistoryImages = nullptr;
  SettingsHooks.fillPreferenceControls = FillPreferenceControls;
}

void PreferencesWindowBuilt() {
  PreferencesWindow.window = BuiltWindow(kPreferencesWindow);
  FillPreferenceControls();
}

void OpenPreferencesCommand(const LoopEvent&) {
  WindowHandle(kPreferencesWindow);
  OpenPreferences();
}
void PreferencesPageCommand(const LoopEvent&) { SelectPreferencesPageAtClick(); }
void AutostartBoxCommand(const LoopEvent& event) { CoupleAutostartBox(event.id); }
void NumberFieldCommand(const LoopEvent& event) { KeepDigitsOnly(event.id); }
void DefaultExitCodeCommand(const LoopEvent&) { SetDefaultExitCode(); }
void SearchEngineMenuCommand(const LoopEvent&) { OpenSearchEngineMenu(); }
void PreferencesOkCommand(const LoopEvent&) { ConfirmPreferences(); }
void PreferencesCancelCommand(const LoopEvent&) { DismissPreferences(); }
void SearchEngineCommand(const LoopEvent& event) { ChooseSearchEngine(event.id); }

}  // namespace velkor
