#include "app/accessibility.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <array>
#include <span>

#include "app/command_table.h"
#include "app/control_ids.h"
#include "app/layout_scale.h"
#include "app/program_windows.h"
#include "app/startup.h"
#include "app/tooltips.h"
#include "app/view_table.h"
#include "app/window_registry.h"
#include "gfx/dpi_scale.h"
#include "monitor/history_strip.h"
#include "monitor/history_strip_win.h"
#include "procs/process_list.h"
#include "settings/preferences_window.h"
#include "settings/preferences_window_win.h"
#include "win/accessible.h"

namespace velkor {

namespace {

// The pictures beside their captions and figures ("Prozessor-Auslastung:"
// and "23%"); a banner or the sidebar, with nothing beside it, is named by its
// window's title.
constexpr PictureReading kPictureReadings[] = {
    {141, 142, 0},                          // the selected process's icon, by its name
    {kNetworkGraph, 159, kNetworkLoad},     // "Netzwerk-Auslastung:"
    {kAdapterPicture, kAdapterHeading, 0},  // the chosen adapter's icon, by its name
    {194, 196, 197},                        // processor meter, "Prozessor-Auslastung:"
    {195, 196, 197},                        // processor history
    {200, 201, 202, 203, 204},              // memory and page-file history
    {kBanners[0], 0, 0},
    {kBanners[1], 0, 0},
    {kPieImage, 0, kMeasureList},  // the pie by its window, valued by its measure
    {242, 243, 0},                 // the icon of what is under the mouse in the pie
    {kPrefsSidebarId, 0, 0},
    {kBanners[2], 0, 0},
    {kBanners[3], 0, 0},
    {kAboutLogoPicture, 303, 0},  // the logo, by the program name beside it
    {kBanners[4], 0, 0},
};

std::string TextOf(HWND control) {
  if (!control) return {};
  char name[32] = {};
  GetClassNameA(control, name, sizeof name);
  // An extended combo box draws its items itself: the chosen item's text.
  if (lstrcmpiA(name, WC_COMBOBOXEXA) == 0) {
    char text[256] = {};
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT;
    item.iItem = SendMessageA(control, CB_GETCURSEL, 0, 0);
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (item.iItem < 0 || !SendMessageA(control, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return {};
    return text;
  }
  const int length = GetWindowTextLengthA(control);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
  return text;
}

std::string ControlText(int id) { return id ? TextOf(ControlHandle(id)) : std::string(); }

const PictureReading* ReadingOf(int picture) {
  for (const PictureReading& reading : kPictureReadings)
    if (reading.picture == picture) return &reading;
  return nullptr;
}

win::AccessibleFacts PictureFacts(const PictureReading& reading, int window) {
  win::AccessibleFacts facts;
  facts.role = ROLE_SYSTEM_GRAPHIC;
  facts.name = reading.caption ? ControlText(reading.caption) : TextOf(BuiltWindow(window));
  facts.value = ControlText(reading.figure);
  if (reading.figure2) facts.value += ", " + ControlText(reading.caption2) + " " + ControlText(reading.figure2);
  return facts;
}

// Tabs drawn side by side in a picture, cut at `rightEdges` (96-DPI pixels
// of the picture, drawn at the picture's own scale).
win::AccessibleFacts TabFacts(HWND strip, std::span<const std::string_view> names, std::span<const int> rightEdges,
                              int selected, int dpi) {
  win::AccessibleFacts facts;
  facts.role = ROLE_SYSTEM_PAGETABLIST;
  RECT client{};
  GetClientRect(strip, &client);
  const int pictureDpi = ImageDpi(ImageScaleForDpi(dpi));
  int left = 0;
  for (size_t k = 0; k < names.size() && k < rightEdges.size(); ++k) {
    win::AccessiblePart tab;
    tab.name = std::string(names[k]);
    tab.role = ROLE_SYSTEM_PAGETAB;
    tab.state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE |
                (static_cast<int>(k) == selected ? STATE_SYSTEM_SELECTED : 0);
    const int right = ScaleToDpi(rightEdges[k], pictureDpi);
    tab.place = {left, 0, right, client.bottom};
    left = right;
    facts.parts.push_back(tab);
  }
  facts.focusedPart = selected + 1;
  return facts;
}

win::AccessibleFacts MainTabFacts() {
  std::array<std::string_view, kViewCount> names{};
  for (int view = 0; view < kViewCount; ++view)
    if (const ControlSpec* panel = FindControlSpec(kViewPanels[static_cast<size_t>(view)])) names[view] = panel->text;
  return TabFacts(ControlHandle(kTabStrip), names, TabRightEdges(), CurrentView, LayoutDpiOf(kMainWindow));
}

win::AccessibleFacts PageSelectorFacts() {
  return TabFacts(ControlHandle(kPrefsPageSelectorId), kPreferencesPageNames, kPreferencesPageRightEdges,
                  PreferencesPage(), LayoutDpiOf(kPreferencesWindow));
}

// The selected process row's text in `column`, "" without one.
std::string SelectedProcessText(int column) {
  HWND list = ControlHandle(kProcessList);
  const int row = list ? ListView_GetNextItem(list, -1, LVNI_SELECTED) : -1;
  if (row < 0) return {};
  char text[512] = {};
  ListView_GetItemText(list, row, column, text, sizeof text);
  return text;
}

win::AccessibleFacts StatusBarFacts() {
  win::AccessibleFacts facts;
  facts.role = ROLE_SYSTEM_STATUSBAR;
  HWND bar = ControlHandle(kStatusBar);
  RECT client{};
  GetClientRect(bar, &client);
  const std::vector<StatusBarText>& texts = StatusBarTexts();
  const int dpi = LayoutDpiOf(kMainWindow);
  // The strip shows beside the figures, never beside a help line.
  const bool strip = SelectedHistoryImage() != 0 && ShownView().stripInStatusBar && texts.size() > 1;
  const int stripLeft = ScaleToDpi(kHistoryImageLeft, dpi);
  for (size_t k = 0; k < texts.size(); ++k) {
    win::AccessiblePart field;
    field.name = texts[k].text;
    field.role = ROLE_SYSTEM_STATICTEXT;
    field.state = STATE_SYSTEM_READONLY;
    const int right = k + 1 < texts.size() ? texts[k + 1].x : (strip ? stripLeft : client.right);
    field.place = {texts[k].x, 0, std::max(right, texts[k].x), client.bottom};
    facts.parts.push_back(field);
  }
  if (strip) {
    // The selected process's CPU history, by its name and its present load.
    win::AccessiblePart history;
    history.name = SelectedProcessText(kNameColumn);
    history.value = SelectedProcessText(kCpuColumn);
    history.role = ROLE_SYSTEM_GRAPHIC;
    history.place = {stripLeft, 0, client.right, client.bottom};
    facts.parts.push_back(history);
  }
  return facts;
}

win::AccessibleFacts ToolbarFacts(HWND button) {
  win::AccessibleFacts facts;
  facts.name = TooltipTextOf(button);
  facts.role = ROLE_SYSTEM_PUSHBUTTON;
  return facts;
}

}  // namespace

std::span<const PictureReading> PictureReadings() { return kPictureReadings; }

void DescribeControl(const ControlSpec& def, HWND control) {
  if (!control) return;
  const int id = def.id;
  if (def.kind == ControlKind::kToolbarButton) {
    win::SetAccessibleFacts(control, [control] { return ToolbarFacts(control); });
    return;
  }
  if (id == kTabStrip) win::SetAccessibleFacts(control, MainTabFacts);
  if (id == kPrefsPageSelectorId) win::SetAccessibleFacts(control, PageSelectorFacts);
  if (id == kStatusBar) win::SetAccessibleFacts(control, StatusBarFacts);
  if (const PictureReading* reading = ReadingOf(id)) {
    const int window = def.window;
    win::SetAccessibleFacts(control, [reading, window] { return PictureFacts(*reading, window); });
  }
  // A label (or the measure chooser) whose text names or values pictures:
  // they announce its changes.
  std::vector<int> named, valued;
  for (const PictureReading& reading : kPictureReadings) {
    if (reading.caption == id || reading.caption2 == id) named.push_back(reading.picture);
    if (reading.figure == id || reading.figure2 == id) valued.push_back(reading.picture);
  }
  // The measure chooser never gets a window text: the diagram announces its changes.
  if ((named.empty() && valued.empty()) || def.kind == ControlKind::kComboImages) return;
  win::WatchTextChanges(control, [named, valued] {
    for (int picture : named) win::AnnounceNameChange(BuiltControl(picture), CHILDID_SELF);
    for (int picture : valued) win::AnnounceValueChange(BuiltControl(picture));
  });
}

void AnnounceViewShown(int view) {
  HWND strip = BuiltControl(kTabStrip);
  if (!strip) return;
  win::AnnounceSelection(strip, view + 1);
  if (GetFocus() == strip) win::AnnounceFocus(strip, view + 1);
}

void AnnounceStatusBarFields(const std::vector<StatusBarText>& before) {
  HWND bar = BuiltControl(kStatusBar);
  if (!bar) return;
  const std::vector<StatusBarText>& now = StatusBarTexts();
  if (now.size() != before.size()) {
    NotifyWinEvent(EVENT_OBJECT_REORDER, bar, OBJID_CLIENT, CHILDID_SELF);
    return;
  }
  for (size_t k = 0; k < now.size(); ++k)
    if (now[k].text != before[k].text) win::AnnounceNameChange(bar, static_cast<int>(k + 1));
}

}  // namespace velkor
