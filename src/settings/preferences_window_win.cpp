#include "settings/preferences_window_win.h"

#include <string>
#include <utility>

#include "gfx/dpi_scale.h"
#include "settings/autostart_win.h"
#include "settings/settings_file_win.h"
#include "win/system_functions.h"
#include "win/source_location.h"

namespace velkor {

namespace {

PreferencesWindowHooks hooks;
int shownPage = 0;

HWND Window() { return hooks.window ? hooks.window() : nullptr; }
HWND Control(int id) { return hooks.control ? hooks.control(id) : nullptr; }

bool Checked(int id) {
  HWND box = Control(id);
  return box && SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(int id, bool checked) {
  if (HWND box = Control(id)) SendMessageA(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string TextOf(int id) {
  HWND control = Control(id);
  if (!control) return {};
  std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  const int length = GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return text;
}

void SetText(int id, const std::string& text) {
  if (HWND control = Control(id)) SetWindowTextA(control, text.c_str());
}

void ShowPage(int page) {
  shownPage = page;
  ShowWindow(Control(kPrefsGeneralPageId), page == 0 ? SW_SHOW : SW_HIDE);
  ShowWindow(Control(kPrefsColumnsPageId), page == 0 ? SW_HIDE : SW_SHOW);
  if (hooks.showPagePicture) hooks.showPagePicture(page);
}

void CloseWindow() {
  if (hooks.enableOtherWindows) hooks.enableOtherWindows(true);
  if (HWND window = Window()) ShowWindow(window, SW_HIDE);
}

// Step 2 of the apply: the controls into the settings.
void TakeControls() {
  for (size_t k = 0; k < kPreferenceFlags.size(); ++k)
    Preferences.*kPreferenceFlags[k] = Checked(kRemainBoxId + static_cast<int>(k)) ? 1 : 0;
  Preferences.PreferencesExitCodeSpin = ExitCodeFieldValue(TextOf(kExitCodeFieldId));
  Preferences.PreferencesSearchString = TextOf(kSearchStringFieldId);
  Preferences.PreferencesRefresh1Spin = RefreshFieldValue(TextOf(kListRefreshFieldId));
  Preferences.PreferencesRefresh2Spin = RefreshFieldValue(TextOf(kMonitorRefreshFieldId));
  for (size_t n = 0; n < ColumnShown.size(); ++n)
    ColumnShown[n] = Checked(kFirstColumnBoxId + static_cast<int>(n)) ? 1 : 0;
  PreferencesAutostart = Checked(kAutostartBoxId) ? 1 : 0;
}

}  // namespace

void FillPreferenceControls() {
  if (!Control(kAutostartBoxId)) return;
  SetChecked(kAutostartBoxId, PreferencesAutostart != 0);
  for (size_t k = 0; k < kPreferenceFlags.size(); ++k)
    SetChecked(kRemainBoxId + static_cast<int>(k), Preferences.*kPreferenceFlags[k] != 0);
  EnableWindow(Control(kReactivateExplorerBoxId), !WindowsXpOrLater());
  SetText(kExitCodeFieldId, std::to_string(Preferences.PreferencesExitCodeSpin));
  SetText(kSearchStringFieldId, Preferences.PreferencesSearchString);
  SetText(kListRefreshFieldId, std::to_string(Preferences.PreferencesRefresh1Spin));
  SetText(kMonitorRefreshFieldId, std::to_string(Preferences.PreferencesRefresh2Spin));
  for (size_t n = 0; n < ColumnShown.size(); ++n)
    SetChecked(kFirstColumnBoxId + static_cast<int>(n), ColumnShown[n] != 0);
  if (HWND exitCode = Control(kExitCodeFieldId)) SendMessageA(exitCode, EM_SETLIMITTEXT, kExitCodeFieldLength, 0);
}

void OpenPreferences() {
  VELKOR_PLACE(kProceduresUnit);
  LoadPreferences(false);
  if (HWND window = Window()) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetActiveWindow(window);
  }
  if (hooks.enableOtherWindows) hooks.enableOtherWindows(false);
}

void ConfirmPreferences() {
  VELKOR_PLACE(kProceduresUnit);
  ApplyPreferences();
  // A shown column keeps the width the user gave it; one shown again gets
  // back the width it had when it was hidden.
  if (CurrentPreferenceHooks().columnWidth) {
    std::array<int32_t, kProcessColumnCount> current{};
    for (int n = 0; n < kProcessColumnCount; ++n)
      current[static_cast<size_t>(n)] = CurrentPreferenceHooks().columnWidth(n);
    TakeShownColumnWidths(current, ColumnWidths);
  }
  if (hooks.applyColumnVisibility) hooks.applyColumnVisibility();
  CloseWindow();
}

void DismissPreferences() {
  VELKOR_PLACE(kProceduresUnit);
  CloseWindow();
}

void ApplyPreferences() {
  VELKOR_PLACE(kProceduresUnit);
  const bool hasControls = Control(kAutostartBoxId) != nullptr;
  // 1. The CPU history images follow a switched setting (decided on the value before the switch).
  if (hasControls && hooks.setHistoryImages) {
    const bool wanted = Checked(kCpuPerProcessBoxId);
    if (wanted != (Preferences.PreferencesCPUPerProcess != 0)) hooks.setHistoryImages(wanted);
  }
  // 2. The controls into the settings.
  if (hasControls) TakeControls();
  // 3. The shortcut is rewritten every time, not only when the choice changed.
  if (PreferencesAutostart) {
    WriteAutostartShortcut();
  } else {
    RemoveAutostartShortcut();
  }
  // 4.-5. Topmost state, then the file.
  if (CurrentPreferenceHooks().setTopmost) CurrentPreferenceHooks().setTopmost(Preferences.PreferencesSticky != 0);
  WritePreferences();
}

void CoupleAutostartBox(int id) {
  VELKOR_PLACE(kProceduresUnit);
  const AutostartPair now{Checked(kAutostartBoxId), Checked(kRemainBoxId)};
  const AutostartPair coupled = CoupleAutostartBoxes(id, now);
  if (coupled.autostart != now.autostart) SetChecked(kAutostartBoxId, coupled.autostart);
  if (coupled.remain != now.remain) SetChecked(kRemainBoxId, coupled.remain);
}

void KeepDigitsOnly(int id) {
  VELKOR_PLACE(kProceduresUnit);
  HWND field = Control(id);
  if (!field) return;
  const std::string text = TextOf(id);
  const std::string digits = DigitsOnly(text, id == kExitCodeFieldId ? kExitCodeFieldLength : kRefreshFieldLength);
  if (digits == text) return;
  SetWindowTextA(field, digits.c_str());
  SendMessageA(field, EM_SETSEL, digits.size(), digits.size());
}

void SetDefaultExitCode() { SetText(kExitCodeFieldId, std::to_string(kDefaultExitCode)); }

void OpenSearchEngineMenu() {
  if (hooks.showSearchEngineMenu) hooks.showSearchEngineMenu();
}

void ChooseSearchEngine(int id) {
  VELKOR_PLACE(kProceduresUnit);
  if (const auto url = SearchEngineTemplate(id)) SetText(kSearchStringFieldId, std::string(*url));
}

void SelectPreferencesPage(int clientX) {
  VELKOR_PLACE(kProceduresUnit);
  ShowPage(PreferencesPageAt(clientX));
}

// Where the click happened, not where the mouse is by the time it is handled.
void SelectPreferencesPageAtClick() {
  const DWORD position = GetMessagePos();
  POINT click{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  ScreenToClient(Window(), &click);
  // The page picture is drawn for the window's DPI; its boundary is a 96-DPI one.
  SelectPreferencesPage(DesignCoordinateAt(click.x, ImageDpi(ImageScaleForDpi(win::WindowDpi(Window())))));
}

int PreferencesPage() { return shownPage; }

void ShowOtherPreferencesPage() {
  VELKOR_PLACE(kProceduresUnit);
  ShowPage(shownPage == 0 ? 1 : 0);
  HWND window = Window();
  HWND focus = GetFocus();
  if (!window || (focus && focus != window && IsWindowVisible(focus))) return;
  HWND page = Control(shownPage == 0 ? kPrefsGeneralPageId : kPrefsColumnsPageId);
  if (HWND first = page ? GetNextDlgTabItem(page, nullptr, FALSE) : nullptr) SetFocus(first);
}

void SetPreferencesWindowHooks(PreferencesWindowHooks wanted) { hooks = std::move(wanted); }

void DetachPreferencesWindow() {
  hooks = PreferencesWindowHooks{};
  shownPage = 0;
}

}  // namespace velkor
