#include "app/menus.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <optional>

#include "app/command_decision_win.h"
#include "app/command_table.h"
#include "app/control_ids.h"
#include "shell/power.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "app/program_windows.h"
#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "settings/preferences_window.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {

struct MenuState {
  win::UniqueMenu bar;
  std::array<win::UniqueMenu, 6> popups;  // 2..5 are ours; menu 1 comes with the preferences
  std::optional<POINT> place;             // where the next popup opens instead of at the mouse
};
MenuState menus;

void AddItem(HMENU menu, int id, const char* caption, const char* icon = nullptr) {
  AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(id), caption);
  MakeOwnerDrawn(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), icon, MF_BYPOSITION, caption, false);
}

void AddSeparator(HMENU menu, int id) { AddItem(menu, id, ""); }

// Item `id` with its text and picture from the command table, as `view`
// shows them; `picture` stands in for a picture made at run time.
void AddCommand(HMENU menu, int id, int view, const char* picture = nullptr) {
  const CommandRow* row = FindCommandRowInView(id, view);
  AddItem(menu, id, CommandMenuText(id, view).c_str(), picture ? picture : row ? row->menuPicture : nullptr);
}

// The picture of "Als Administrator neu starten": the system's shield, taken
// from its icon file at each scale the menus draw (never stretched) and kept
// as the look cache's picture of that name; null where the system has none.
const char* ShieldPicture() {
  SHSTOCKICONINFO stock{};
  stock.cbSize = sizeof stock;
  if (FAILED(SHGetStockIconInfo(SIID_SHIELD, SHGSI_ICONLOCATION, &stock))) return nullptr;
  bool any = false;
  for (const int scale : {100, 150, 200}) {
    const int size = ScaleToDpi(16, 96 * scale / 100);
    const std::string key = scale == 100 ? images::kMenuShield : ScaledImageName(images::kMenuShield, scale);
    any |=
        CachedPicture(key, [&]() -> std::optional<Canvas> {
          HICON small = nullptr;
          if (FAILED(SHDefExtractIconW(stock.szPath, stock.iIcon, 0, nullptr, &small, MAKELONG(size, size))) || !small)
            return std::nullopt;
          const win::UniqueIcon icon(small);
          return IconToCanvas(icon.get(), size);
        }) != nullptr;
  }
  return any ? images::kMenuShield : nullptr;
}

HMENU AddSubmenu(HMENU menu, const char* caption, const char* icon, bool title = false) {
  HMENU submenu = CreatePopupMenu();
  AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), caption);
  MakeOwnerDrawn(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), icon, MF_BYPOSITION, caption, title);
  return submenu;
}

// A popup menu opens only over a selected row of its view; its items are
// enabled as they are then.
CommandContext OpeningContext(int number) {
  CommandContext context = CommandContextNow();
  context.view = number - 2;
  context.processSelected = number == 2;
  context.driverSelected = number == 5;
  return context;
}

HMENU BuildProcessMenu() {
  HMENU menu = CreatePopupMenu();
  AddCommand(menu, kRefreshProcessesCommand, kProcessView);
  AddSeparator(menu, kFirstSeparator);
  HMENU priority = AddSubmenu(menu, "Priorität", images::kMenuPriority);
  for (int id = kFirstPriorityCommand; id <= kLastPriorityCommand; ++id) AddCommand(priority, id, kProcessView);
  HMENU processors = AddSubmenu(menu, "Prozessor", images::kMenuProcessor);
  // One item per processor, at most 64.
  const CommandContext context = CommandContextNow();
  for (int id = kFirstProcessorCommand; id <= kLastProcessorCommand && DecideCommandState(id, context).visible; ++id)
    AddCommand(processors, id, kProcessView);
  AddSeparator(menu, kFirstSeparator + 1);
  AddCommand(menu, kSuspendCommand, kProcessView);
  AddCommand(menu, kResumeCommand, kProcessView);
  AddSeparator(menu, kFirstSeparator + 2);
  for (int id : {kDiagramCommand, kKillCommand, kSearchCommand, kProcessInfoCommand})
    AddCommand(menu, id, kProcessView);
  AddSeparator(menu, kFirstSeparator + 3);
  AddCommand(menu, kOptimizeCommand, kProcessView);
  AddSeparator(menu, kFirstSeparator + 4);
  AddCommand(menu, kOpenFolderCommand, kProcessView);
  return menu;
}

HMENU BuildWindowMenu() {
  HMENU menu = CreatePopupMenu();
  AddCommand(menu, kRefreshWindowsCommand, kWindowView);
  AddSeparator(menu, kFirstSeparator);
  HMENU transparency = AddSubmenu(menu, "Transparenz", images::kMenuTransparency);
  AddCommand(transparency, kOpaqueCommand, kWindowView);
  AddSeparator(transparency, kFirstSeparator + 1);
  for (int id = kFirstTransparencyCommand; id <= kLastTransparencyCommand; ++id)
    AddCommand(transparency, id, kWindowView);
  AddSeparator(menu, kFirstSeparator + 2);
  AddCommand(menu, kTopmostCommand, kWindowView);
  AddSeparator(menu, kFirstSeparator + 3);
  AddCommand(menu, kToggleVisibleCommand, kWindowView);
  AddSeparator(menu, kFirstSeparator + 4);
  for (int id : {kMinimiseCommand, kMaximiseCommand, kRestoreCommand}) AddCommand(menu, id, kWindowView);
  AddSeparator(menu, kFirstSeparator + 5);
  AddCommand(menu, kCloseWindowCommand, kWindowView);
  AddCommand(menu, kDestroyWindowCommand, kWindowView);
  AddSeparator(menu, kLastSeparator);
  AddCommand(menu, kJumpToProcessCommand, kWindowView);
  return menu;
}

HMENU BuildServiceMenu() {
  HMENU menu = CreatePopupMenu();
  AddCommand(menu, kServiceRefreshCommand, kServiceView);
  AddSeparator(menu, kFirstSeparator);
  AddCommand(menu, kServiceStartCommand, kServiceView);
  AddCommand(menu, kServiceStopCommand, kServiceView);
  AddSeparator(menu, kFirstSeparator + 1);
  AddCommand(menu, kServicePauseCommand, kServiceView);
  AddCommand(menu, kServiceContinueCommand, kServiceView);
  return menu;
}

HMENU BuildDriverMenu() {
  HMENU menu = CreatePopupMenu();
  AddCommand(menu, kDriverRefreshCommand, kDriverView);
  AddSeparator(menu, kFirstSeparator);
  AddCommand(menu, kSearchCommand, kDriverView);
  AddSeparator(menu, kFirstSeparator + 1);
  AddCommand(menu, kDriverFolderCommand, kDriverView);
  return menu;
}

// Menu 1: the search engines of the preferences window's URL field.
HMENU BuildSearchEngineMenu() {
  HMENU menu = CreatePopupMenu();
  for (const SearchEngine& engine : SearchEngines())
    AddItem(menu, engine.id, std::string(engine.caption).c_str(), engine.icon);
  return menu;
}

}  // namespace

HMENU PopupMenuHandle(int number) {
  if (number < 1 || number > 5) return nullptr;
  return menus.popups[static_cast<size_t>(number)].get();
}

HMENU MenuBarHandle() { return menus.bar.get(); }

void BuildPopupMenus() {
  menus.popups[1].reset(BuildSearchEngineMenu());
  menus.popups[2].reset(BuildProcessMenu());
  menus.popups[3].reset(BuildWindowMenu());
  menus.popups[4].reset(BuildServiceMenu());
  menus.popups[5].reset(BuildDriverMenu());
  for (int number = 2; number <= 5; ++number) ApplyCommandStates(PopupMenuHandle(number), OpeningContext(number));
  SetMenuHighlightHook(UpdateStatusBar);
}

void BuildMenuBar() {
  HMENU bar = CreateMenu();
  HMENU file = AddSubmenu(bar, "Datei", nullptr, true);
  for (int id = kExportProcessesCommand; id <= kExportDriversCommand; ++id) AddCommand(file, id, kAnyView);
  AddSeparator(file, kFirstSeparator);
  AddCommand(file, kPreferencesCommand, kAnyView);
  AddSeparator(file, kFirstSeparator + 1);
  AddCommand(file, kRestartElevatedCommand, kAnyView, ShieldPicture());
  AddCommand(file, kCloseProgramCommand, kAnyView);

  HMENU view = AddSubmenu(bar, "Ansicht", nullptr, true);
  for (int id = kFirstViewCommand; id <= kLastViewCommand; ++id) AddCommand(view, id, kAnyView);

  RememberPowerPolicy(BuildPowerMenu(AddSubmenu(bar, "Windows", nullptr, true), kFirstPowerCommand));

  HMENU help = AddSubmenu(bar, "Hilfe", nullptr, true);
  AddCommand(help, kHelpCommand, kAnyView);
  AddSeparator(help, kFirstSeparator + 2);
  AddCommand(help, kInformationCommand, kAnyView);

  menus.bar.reset(bar);
  if (MainWindow) SetMenu(MainWindow, bar);
  CheckViewMenuItem(CurrentView);  // and every other item's state
  SetMenuHighlightHook(UpdateStatusBar);
}

void DestroyMenus() {
  if (MainWindow && GetMenu(MainWindow) == menus.bar.get()) SetMenu(MainWindow, nullptr);
  menus = MenuState{};
  SetMenuHighlightHook(nullptr);
  DestroyMenuItemRecords();
}

void ShowPopupMenu(int number) {
  VELKOR_PLACE(kProceduresUnit);
  HMENU menu = PopupMenuHandle(number);
  if (!menu || !MainWindow) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  if (menus.place) cursor = *menus.place;
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, MainWindow, nullptr);
}

void SetMenuPlace(POINT screen) { menus.place = screen; }

void ForgetMenuPlace() { menus.place.reset(); }

void ShowSearchEngineMenu(HWND owner) {
  VELKOR_PLACE(kProceduresUnit);
  HMENU menu = PopupMenuHandle(1);
  if (!menu || !owner) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
}

void CheckViewMenuItem(int view) {
  if (!menus.bar) return;
  CommandContext context = CommandContextNow();
  context.view = view;
  ApplyCommandStates(menus.bar.get(), context);
}

}  // namespace velkor
