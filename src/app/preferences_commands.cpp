#include "app/preferences_commands.h"

#include <utility>

#include "app/event_loop.h"
#include "app/program_windows.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "gfx/image_names.h"
#include "monitor/history_strip_win.h"
#include "procs/process_list_win.h"
#include "settings/preferences_window_win.h"
#include "settings/settings_file_win.h"
#include "win/accessible.h"
#include "win/source_location.h"

namespace velkor {

void WirePreferencesWindow() {
  // The window and its controls once built (PreferencesWindowBuilt): the
  // settings read and saved meanwhile need no controls.
  PreferencesWindowHooks hooks;
  hooks.window = [] { return BuiltWindow(kPreferencesWindow); };
  hooks.control = BuiltControl;
  hooks.enableOtherWindows = EnableMainWindows;
  hooks.showPagePicture = [](int page) {
    SetControlPicture(kPrefsPageSelectorId, page == 0 ? images::kPrefsTabsGeneral : images::kPrefsTabsColumns);
    win::AnnounceSelection(BuiltControl(kPrefsPageSelectorId), page + 1);
  };
  hooks.showSearchEngineMenu = [] { ShowSearchEngineMenu(WindowHandle(kPreferencesWindow)); };
  hooks.applyColumnVisibility = ApplyColumnVisibility;
  // The status bar shows the selected row's strip, or none, at once.
  hooks.setHistoryImages = [](bool present) {
    SetHistoryImagesEnabled(present);
    UpdateStatusBar(kStatusFigures);
  };
  SetPreferencesWindowHooks(std::move(hooks));
}

void PreferencesWindowBuilt() { FillPreferenceControls(); }

void OpenPreferencesCommand(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  WindowHandle(kPreferencesWindow);
  OpenPreferences();
}
void PreferencesPageCommand(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  SelectPreferencesPageAtClick();
}
void AutostartBoxCommand(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  CoupleAutostartBox(event.id);
}
void NumberFieldCommand(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  KeepDigitsOnly(event.id);
}
void DefaultExitCodeCommand(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  SetDefaultExitCode();
}
void SearchEngineMenuCommand(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  OpenSearchEngineMenu();
}
void PreferencesOkCommand(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  ConfirmPreferences();
}
void PreferencesCancelCommand(const LoopEvent&) {
  VELKOR_PLACE(kMainModule);
  DismissPreferences();
}
void SearchEngineCommand(const LoopEvent& event) {
  VELKOR_PLACE(kMainModule);
  ChooseSearchEngine(event.id);
}

}  // namespace velkor
