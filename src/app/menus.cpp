#include "app/menus.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>

#include "app/command_decision_win.h"
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
};
MenuState menus;

void AddItem(HMENU menu, int id, const char* caption, const char* icon = nullptr) {
  AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(id), caption);
  MakeOwnerDrawn(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), icon, MF_BYPOSITION, caption, false);
}

void AddSeparator(HMENU menu, int id) { AddItem(menu, id, ""); }

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
  AddItem(menu, 32, "Aktualisieren", images::kMenuRefresh);
  AddSeparator(menu, 5);
  HMENU priority = AddSubmenu(menu, "Priorität", images::kMenuPriority);
  static constexpr const char* kPriorities[] = {"Echtzeit", "Hoch", "Erhöht", "Normal", "Erniedrigt", "Niedrig"};
  for (int i = 0; i < 6; ++i) AddItem(priority, 33 + i, kPriorities[i]);
  HMENU processors = AddSubmenu(menu, "Prozessor", images::kMenuProcessor);
  // Identifiers 39..102: one per processor, at most 64.
  const CommandContext context = CommandContextNow();
  for (int i = 0; i < 64; ++i) {
    if (!DecideCommandState(39 + i, context).visible) break;
    // Appended, not "#" + text: g++ 12 at -O3 reports a false overlap there.
    AddItem(processors, 39 + i, std::string("#").append(std::to_string(i + 1)).c_str());
  }
  AddSeparator(menu, 6);
  AddItem(menu, 103, "Prozess anhalten", images::kMenuSuspend);
  AddItem(menu, 104, "Prozess fortsetzen", images::kMenuResume);
  AddSeparator(menu, 7);
  AddItem(menu, 21, "Diagramm anzeigen", images::kMenuDiagram);
  AddItem(menu, 23, "Prozess beenden", images::kMenuEndProcess);
  AddItem(menu, 24, "Nach diesem Prozess im Internet suchen", images::kMenuSearch);
  AddItem(menu, 25, "Prozessinformationen zeigen", images::kMenuInformation);
  AddSeparator(menu, 8);
  AddItem(menu, 105, "Prozess optimieren", images::kMenuOptimize);
  AddSeparator(menu, 9);
  AddItem(menu, 106, "Verzeichnis öffnen", images::kMenuFolder);
  return menu;
}

HMENU BuildWindowMenu() {
  HMENU menu = CreatePopupMenu();
  AddItem(menu, 107, "Aktualisieren", images::kMenuRefresh);
  AddSeparator(menu, 5);
  HMENU transparency = AddSubmenu(menu, "Transparenz", images::kMenuTransparency);
  AddItem(transparency, 108, "Keine Transparenz");
  AddSeparator(transparency, 6);
  for (int id = 109; id <= 117; ++id) AddItem(transparency, id, (std::to_string(10 * (id - 108)) + "%").c_str());
  AddSeparator(menu, 7);
  AddItem(menu, 118, "Immer im Vordergrund", images::kMenuTopmost);
  AddSeparator(menu, 8);
  AddItem(menu, 119, "Verstecken / Anzeigen");
  AddSeparator(menu, 9);
  AddItem(menu, 120, "Minimieren");
  AddItem(menu, 121, "Maximieren");
  AddItem(menu, 122, "Wiederherstellen");
  AddSeparator(menu, 10);
  AddItem(menu, 123, "Schließen");
  AddItem(menu, 124, "Zerstören");
  AddSeparator(menu, 11);
  AddItem(menu, 125, "Zu diesem Prozess springen");
  return menu;
}

HMENU BuildServiceMenu() {
  HMENU menu = CreatePopupMenu();
  AddItem(menu, 126, "Aktualisieren", images::kMenuRefresh);
  AddSeparator(menu, 5);
  AddItem(menu, 127, "Starten", images::kMenuStart);
  AddItem(menu, 128, "Stoppen", images::kMenuStop);
  AddSeparator(menu, 6);
  AddItem(menu, 129, "Anhalten");
  AddItem(menu, 130, "Fortsetzen");
  return menu;
}

HMENU BuildDriverMenu() {
  HMENU menu = CreatePopupMenu();
  AddItem(menu, 131, "Aktualisieren", images::kMenuRefresh);
  AddSeparator(menu, 5);
  AddItem(menu, 24, "Nach diesem Treiber im Internet suchen", images::kMenuSearch);
  AddSeparator(menu, 6);
  AddItem(menu, 132, "Verzeichnis öffnen", images::kMenuFolder);
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
  AddItem(file, 1, "Prozessliste exportieren...", images::kMenuExport);
  AddItem(file, 2, "Fensterliste exportieren...", images::kMenuExport);
  AddItem(file, 3, "Dienstliste exportieren...", images::kMenuExport);
  AddItem(file, 4, "Treiberliste exportieren...", images::kMenuExport);
  AddSeparator(file, 5);
  AddItem(file, 20, "Einstellungen", images::kMenuPreferences);
  AddSeparator(file, 6);
  AddItem(file, kRestartElevatedCommand, "Als Administrator neu starten", ShieldPicture());
  AddItem(file, 12, "Schließen", images::kMenuClose);

  HMENU view = AddSubmenu(bar, "Ansicht", nullptr, true);
  static constexpr const char* kViews[] = {"Prozesse", "Fenster", "Dienste", "Treiber", "Netzwerk", "Überwachung"};
  for (int i = 0; i < 6; ++i) AddItem(view, 13 + i, kViews[i]);

  RememberPowerPolicy(BuildPowerMenu(AddSubmenu(bar, "Windows", nullptr, true), 26));

  HMENU help = AddSubmenu(bar, "Hilfe", nullptr, true);
  AddItem(help, 133, "Hilfe...", images::kMenuHelp);
  AddSeparator(help, 7);
  AddItem(help, 134, "Information", images::kMenuInformation);

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
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, MainWindow, nullptr);
}

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
