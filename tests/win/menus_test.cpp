// Menus, toolbar states, status bar, power commands and the help file of
// velkor.exe, with the windows built in the test process.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/layout.h"
#include "shell/menu_look.h"
#include "app/menus.h"
#include "shell/power.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "app/toolbar_win.h"
#include "app/program_windows.h"
#include "gfx/dpi_scale.h"
#include "gfx/look_cache_win.h"
#include "procs/process_library.h"
#include "settings/preferences.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/message_box.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

struct Item {
  int id;  // -1 for a submenu
  std::string caption;
  friend bool operator==(const Item&, const Item&) = default;
};

// What a screen reader reads of an owner-drawn item: its item data taken as
// the accessible text it begins with; "?" when that lacks its signature.
std::wstring AccessibleText(HMENU menu, int position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) || !info.dwItemData) return L"?";
  const auto* accessible = reinterpret_cast<const MSAAMENUINFO*>(info.dwItemData);
  if (accessible->dwMSAASignature != static_cast<DWORD>(MSAA_MENU_SIG)) return L"?";
  return {accessible->pszWText, accessible->cchWText};
}

std::vector<Item> ItemsOf(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    const MenuItemRecord* record = MenuItemRecordOf(menu, static_cast<UINT>(i), true);
    // Every item carries its text for screen readers.
    if (record && AccessibleText(menu, i) == L"?") ADD_FAILURE() << "no accessible text: " << record->text;
    items.push_back({static_cast<int>(GetMenuItemID(menu, i)), record ? record->text : "<not owner-drawn>"});
  }
  return items;
}

bool Greyed(HMENU menu, int id) { return (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) != 0; }

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Runs the events the windows queued, as the loop would.
void RunQueuedEvents() {
  Pump();
  LoopEvent event;
  while (TakeLoopEvent(event)) DispatchEvent(event);
}

std::string StatusLine() {
  std::string line;
  for (const StatusBarText& text : StatusBarTexts()) line += (line.empty() ? "" : "|") + text.text;
  return line;
}

class Menus : public test::BuiltWindows {
 protected:
  void Build(uint32_t processors = 2) {
    SetProcessorCount(processors);
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    win::SetMessageBoxHook([this](HWND, const std::string& text, const std::string& title, UINT flags) {
      boxes_.push_back({text, title, flags});
      return IDOK;
    });
  }
  void TearDown() override {
    win::SetMessageBoxHook({});
    SetPowerSystemCalls({});
    SetProcessorCount(1);
    BuiltWindows::TearDown();
  }
  struct Box {
    std::string text, title;
    UINT flags;
  };
  std::vector<Box> boxes_;
};

TEST_F(Menus, MenuBarHoldsEveryItemInOrder) {
  Build();
  HMENU bar = GetMenu(MainWindow);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(ItemsOf(bar), (std::vector<Item>{{-1, "Datei"}, {-1, "Ansicht"}, {-1, "Windows"}, {-1, "Hilfe"}}));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(MenuItemRecordOf(bar, static_cast<UINT>(i), true)->title);
  EXPECT_EQ(AccessibleText(bar, 1), L"Ansicht");
  EXPECT_EQ(AccessibleText(GetSubMenu(bar, 0), 8), L"Schlie\u00DFen");
  EXPECT_EQ(AccessibleText(GetSubMenu(bar, 1), 5), L"\u00DCberwachung");
  EXPECT_EQ(ItemsOf(GetSubMenu(bar, 0)), (std::vector<Item>{{1, "Prozessliste exportieren..."},
                                                            {2, "Fensterliste exportieren..."},
                                                            {3, "Dienstliste exportieren..."},
                                                            {4, "Treiberliste exportieren..."},
                                                            {5, ""},
                                                            {20, "Einstellungen"},
                                                            {6, ""},
                                                            {325, "Als Administrator neu starten"},
                                                            {12,
                                                             "Schlie\xDF"
                                                             "en"}}));
  EXPECT_EQ(ItemsOf(GetSubMenu(bar, 1)), (std::vector<Item>{{13, "Prozesse"},
                                                            {14, "Fenster"},
                                                            {15, "Dienste"},
                                                            {16, "Treiber"},
                                                            {17, "Netzwerk"},
                                                            {18,
                                                             "\xDC"
                                                             "berwachung"}}));
  EXPECT_EQ(ItemsOf(GetSubMenu(bar, 2)), (std::vector<Item>{{26, "Ausschalten"},
                                                            {27, "Neu starten"},
                                                            {28, "Standby"},
                                                            {29, "Ruhezustand"},
                                                            {30, PowerUserName() + " abmelden"},
                                                            {31, "Sperren / Benutzer wechseln"}}));
  EXPECT_EQ(ItemsOf(GetSubMenu(bar, 3)), (std::vector<Item>{{133, "Hilfe..."}, {7, ""}, {134, "Information"}}));
  // Separators are greyed; icons by role.
  EXPECT_TRUE(Greyed(bar, 5));
  EXPECT_TRUE(Greyed(bar, 7));
  EXPECT_STREQ(MenuItemRecordOf(bar, 3, false)->iconName, "MENU_EXPORT");
  EXPECT_STREQ(MenuItemRecordOf(bar, 26, false)->iconName, "MENU_POWER_OFF");
  EXPECT_STREQ(MenuItemRecordOf(bar, 133, false)->iconName, "MENU_HELP");
  EXPECT_NE(MenuItemRecordOf(bar, 133, false)->icon, nullptr);
  EXPECT_EQ(MenuItemRecordOf(bar, 30, false)->iconName, nullptr);
  // The system's shield where it has one, drawn for each scale.
  if (const char* shield = MenuItemRecordOf(bar, 325, false)->iconName) {
    for (int dpi : {96, 144, 192}) {
      const Canvas* picture = CachedPictureForDpi(shield, dpi);
      ASSERT_NE(picture, nullptr) << dpi;
      EXPECT_EQ(picture->width, ScaleToDpi(16, dpi)) << dpi;
    }
  }
  EXPECT_EQ(MenuItemRecordOf(bar, 15, false)->iconName, nullptr);
  // Never greyed, whatever the power policy.
  for (int id : {27, 30, 31}) EXPECT_FALSE(Greyed(bar, id)) << id;
}

TEST_F(Menus, PopupMenusHoldEveryItemInOrder) {
  Build(2);
  HMENU process = PopupMenuHandle(2);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(ItemsOf(process), (std::vector<Item>{{32, "Aktualisieren"},
                                                 {5, ""},
                                                 {-1, "Priorit\xE4t"},
                                                 {-1, "Prozessor"},
                                                 {6, ""},
                                                 {103, "Prozess anhalten"},
                                                 {104, "Prozess fortsetzen"},
                                                 {7, ""},
                                                 {21, "Diagramm anzeigen"},
                                                 {23, "Prozess beenden"},
                                                 {24, "Nach diesem Prozess im Internet suchen"},
                                                 {25, "Prozessinformationen zeigen"},
                                                 {8, ""},
                                                 {105, "Prozess optimieren"},
                                                 {9, ""},
                                                 {106,
                                                  "Verzeichnis \xF6"
                                                  "ffnen"}}));
  EXPECT_EQ(
      ItemsOf(GetSubMenu(process, 2)),
      (std::vector<Item>{
          {33, "Echtzeit"}, {34, "Hoch"}, {35, "Erh\xF6ht"}, {36, "Normal"}, {37, "Erniedrigt"}, {38, "Niedrig"}}));
  EXPECT_EQ(ItemsOf(GetSubMenu(process, 3)), (std::vector<Item>{{39, "#1"}, {40, "#2"}}));
  EXPECT_STREQ(MenuItemRecordOf(process, 2, true)->iconName, "MENU_PRIORITY");
  EXPECT_EQ(AccessibleText(process, 2), L"Priorit\u00E4t");
  EXPECT_STREQ(MenuItemRecordOf(process, 3, true)->iconName, "MENU_PROCESSOR");
  EXPECT_STREQ(MenuItemRecordOf(process, 106, false)->iconName, "MENU_FOLDER");
  EXPECT_FALSE(Greyed(process, 21));  // the diagram is there

  HMENU window = PopupMenuHandle(3);
  std::vector<Item> transparency = {{108, "Keine Transparenz"}, {6, ""}};
  for (int p = 1; p <= 9; ++p) transparency.push_back({108 + p, std::to_string(10 * p) + "%"});
  EXPECT_EQ(ItemsOf(GetSubMenu(window, 2)), transparency);
  EXPECT_EQ(ItemsOf(window), (std::vector<Item>{{107, "Aktualisieren"},
                                                {5, ""},
                                                {-1, "Transparenz"},
                                                {7, ""},
                                                {118, "Immer im Vordergrund"},
                                                {8, ""},
                                                {119, "Verstecken / Anzeigen"},
                                                {9, ""},
                                                {120, "Minimieren"},
                                                {121, "Maximieren"},
                                                {122, "Wiederherstellen"},
                                                {10, ""},
                                                {123,
                                                 "Schlie\xDF"
                                                 "en"},
                                                {124, "Zerst\xF6ren"},
                                                {11, ""},
                                                {125, "Zu diesem Prozess springen"}}));
  EXPECT_EQ(ItemsOf(PopupMenuHandle(4)), (std::vector<Item>{{126, "Aktualisieren"},
                                                            {5, ""},
                                                            {127, "Starten"},
                                                            {128, "Stoppen"},
                                                            {6, ""},
                                                            {129, "Anhalten"},
                                                            {130, "Fortsetzen"}}));
  EXPECT_EQ(ItemsOf(PopupMenuHandle(5)), (std::vector<Item>{{131, "Aktualisieren"},
                                                            {5, ""},
                                                            {24, "Nach diesem Treiber im Internet suchen"},
                                                            {6, ""},
                                                            {132,
                                                             "Verzeichnis \xF6"
                                                             "ffnen"}}));
  EXPECT_STREQ(MenuItemRecordOf(PopupMenuHandle(4), 127, false)->iconName, "MENU_START");
  // Menu 1: seven search engines, each with its icon.
  const std::vector<Item> engines = ItemsOf(PopupMenuHandle(1));
  ASSERT_EQ(engines.size(), 7u);
  EXPECT_EQ(engines[0], (Item{293, "Google"}));
  EXPECT_EQ(engines[4], (Item{297, "Lycos"}));
  for (int id = 293; id <= 299; ++id) EXPECT_NE(MenuItemRecordOf(PopupMenuHandle(1), id, false)->icon, nullptr) << id;
  EXPECT_EQ(PopupMenuHandle(0), nullptr);
  EXPECT_EQ(PopupMenuHandle(6), nullptr);
}

TEST_F(Menus, HighlightedItemsShowTheirHelpLine) {
  Build();
  HMENU transparency = GetSubMenu(PopupMenuHandle(3), 2);
  // The window menu's commands are greyed until they exist; the help line
  // follows an enabled item.
  EnableMenuItem(transparency, 109, MF_BYCOMMAND | MF_ENABLED);
  EnableMenuItem(transparency, 117, MF_BYCOMMAND | MF_ENABLED);
  SendMessageA(MainWindow, WM_MENUSELECT, MAKEWPARAM(109, MF_HILITE), reinterpret_cast<LPARAM>(transparency));
  EXPECT_EQ(StatusLine(),
            "Setzt die Fenstertransparenz auf 10%. Ein gr\xF6\xDF"
            "erer Wert l\xE4sst das Fenster "
            "durchscheinender werden.");

  // Drawing the highlighted "90%" does the same and paints the highlight.
  win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  win::UniqueBitmap bitmap(CreateBitmap(120, 20, 1, 32, nullptr));
  win::SelectScope select(dc.get(), bitmap.get());
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_MENU;
  item.itemID = 117;
  item.itemAction = ODA_SELECT;
  item.itemState = ODS_SELECTED;
  item.hwndItem = reinterpret_cast<HWND>(transparency);
  item.hDC = dc.get();
  item.rcItem = {0, 0, 120, 20};
  item.itemData = reinterpret_cast<ULONG_PTR>(MenuItemRecordOf(transparency, 117, false));
  SendMessageA(MainWindow, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(StatusLine(),
            "Setzt die Fenstertransparenz auf 90%. Ein gr\xF6\xDF"
            "erer Wert l\xE4sst das Fenster "
            "durchscheinender werden.");
  EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(102, 153, 255));
  EXPECT_EQ(GetPixel(dc.get(), 1, 1), RGB(170, 204, 255));

  // A greyed item under the highlight clears the line; so does a separator.
  item.itemID = 21;
  item.itemState = ODS_SELECTED | ODS_GRAYED;
  item.itemData = reinterpret_cast<ULONG_PTR>(MenuItemRecordOf(PopupMenuHandle(2), 21, false));
  SendMessageA(MainWindow, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(StatusLine(), "");
  EXPECT_EQ(GetPixel(dc.get(), 1, 1), RGB(221, 221, 204));  // the strip of a disabled item
  SendMessageA(MainWindow, WM_MENUSELECT, MAKEWPARAM(133, MF_HILITE), reinterpret_cast<LPARAM>(GetMenu(MainWindow)));
  EXPECT_EQ(StatusLine(), "Zeigt die Hilfedatei an.");
  SendMessageA(MainWindow, WM_MENUSELECT, MAKEWPARAM(39, MF_HILITE), reinterpret_cast<LPARAM>(GetMenu(MainWindow)));
  EXPECT_EQ(StatusLine(), "");
  // Closing the menu brings the figures back.
  SendMessageA(MainWindow, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(StatusLine().rfind(
                "Prozesse: " + std::to_string(ListView_GetItemCount(ControlHandle(kProcessList))) + "|CPU: ", 0),
            0u)
      << StatusLine();
}

// The separators part the figures only: the help line of a highlighted item
// runs across the whole bar, and they come back when the menu closes.
TEST_F(Menus, AHelpLineIsNotCrossedByTheSeparators) {
  Build();
  const auto separatorPixels = [] {
    auto picture = reinterpret_cast<HBITMAP>(SendMessageA(ControlHandle(137), STM_GETIMAGE, IMAGE_BITMAP, 0));
    win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    win::SelectScope select(dc.get(), picture);
    // In the separators' colours and unlike the bar beside them.
    int found = 0;
    for (int x : {92, 93, 172, 173, 252, 253, 332, 333})
      for (int y = 1; y < 20; ++y) {
        const COLORREF c = GetPixel(dc.get(), x, y);
        found += (c == RGB(184, 196, 224) || c == RGB(157, 168, 191)) && c != GetPixel(dc.get(), x - 3, y);
      }
    return found;
  };
  UpdateStatusBar(-1);
  EXPECT_GT(separatorPixels(), 100);
  SendMessageA(MainWindow, WM_MENUSELECT, MAKEWPARAM(1, MF_HILITE), reinterpret_cast<LPARAM>(GetMenu(MainWindow)));
  ASSERT_EQ(StatusLine().rfind("Exportiert die aktuelle Prozessliste", 0), 0u) << StatusLine();
  EXPECT_EQ(separatorPixels(), 0);
  SendMessageA(MainWindow, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_GT(separatorPixels(), 100);
}

TEST_F(Menus, ViewsSetCheckMarksTooltipAndStatusBar) {
  Build();
  HMENU bar = GetMenu(MainWindow);
  EXPECT_TRUE(GetMenuState(bar, 13, MF_BYCOMMAND) & MF_CHECKED);
  DispatchEvent({kEventMenu, 16, 0, 0});
  EXPECT_EQ(CurrentView, 3);
  for (int id = 13; id <= 18; ++id)
    EXPECT_EQ((GetMenuState(bar, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0, id == 16);

  // Button 24's tooltip names the driver in "Treiber" and keeps it in "Netzwerk".
  HWND tooltip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == TOOLTIPS_CLASSA && GetWindow(window, GW_OWNER) == MainWindow) {
          *reinterpret_cast<HWND*>(found) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  auto tipOf24 = [tooltip] {
    char text[256] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = MainWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(ControlHandle(24));
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return std::string(text);
  };
  EXPECT_EQ(tipOf24(), "Nach diesem Treiber im Internet suchen (Strg+F)");
  ShowView(4, false);
  EXPECT_EQ(tipOf24(), "Nach diesem Treiber im Internet suchen (Strg+F)");
  ShowView(0, false);
  EXPECT_EQ(tipOf24(), "Nach diesem Prozess im Internet suchen (Strg+F)");

  // The figures per view; "Überwachung" shows none.
  UpdateStatusBar(-1);
  EXPECT_EQ(StatusLine().rfind(
                "Prozesse: " + std::to_string(ListView_GetItemCount(ControlHandle(kProcessList))) + "|CPU: ", 0),
            0u)
      << StatusLine();
  ShowView(2, false);
  UpdateStatusBar(-1);
  EXPECT_EQ(StatusLine().rfind("Dienste: ", 0), 0u) << StatusLine();
  ShowView(5, false);
  UpdateStatusBar(-1);
  EXPECT_EQ(StatusLine(), "");
  UpdateStatusBar(-2);
  EXPECT_EQ(StatusLine(), "");
}

TEST_F(Menus, SelectionDecidesTheToolbarButtons) {
  Build();
  HWND processes = ControlHandle(kProcessList);
  ASSERT_GT(ListView_GetItemCount(processes), 0);  // the processes of the first refresh
  RunQueuedEvents();
  for (int id : {23, 24, 25}) EXPECT_FALSE(IsWindowEnabled(ControlHandle(id))) << id;
  ListView_SetItemState(processes, 0, LVIS_SELECTED, LVIS_SELECTED);
  RunQueuedEvents();
  for (int id : {23, 24, 25}) EXPECT_TRUE(IsWindowEnabled(ControlHandle(id))) << id;
  UpdateStatusBar(-1);
  EXPECT_EQ(StatusLine().rfind("Prozesse: " + std::to_string(ListView_GetItemCount(processes)) + "|", 0), 0u)
      << StatusLine();

  DispatchEvent({kEventMenu, 14, 0, 0});  // "Fenster"
  for (int id : {23, 24, 25}) EXPECT_FALSE(IsWindowEnabled(ControlHandle(id))) << id;

  // In "Treiber" only 24 follows the driver selection.
  DispatchEvent({kEventMenu, 16, 0, 0});
  HWND drivers = ControlHandle(154);
  LVITEMA row{};
  row.mask = LVIF_TEXT;
  char driver[] = "null.sys";
  row.pszText = driver;
  ASSERT_EQ(ListView_InsertItem(drivers, &row), 0);
  ListView_SetItemState(drivers, 0, LVIS_SELECTED, LVIS_SELECTED);
  RunQueuedEvents();
  EXPECT_TRUE(IsWindowEnabled(ControlHandle(24)));
  EXPECT_FALSE(IsWindowEnabled(ControlHandle(23)));
  EXPECT_FALSE(IsWindowEnabled(ControlHandle(25)));
  ListView_SetItemState(drivers, 0, 0, LVIS_SELECTED);
  RunQueuedEvents();
  EXPECT_FALSE(IsWindowEnabled(ControlHandle(24)));
}

// Every menu item with a text is enabled as the menus are built (the power
// items follow the power policy), and so are the toolbar buttons that do not
// follow a selection.
TEST_F(Menus, EveryCommandIsEnabledWhereNoRuleGreysIt) {
  Build();
  int checked = 0;
  std::vector<HMENU> menus = {MenuBarHandle(), PopupMenuHandle(2), PopupMenuHandle(3), PopupMenuHandle(4),
                              PopupMenuHandle(5)};
  while (!menus.empty()) {
    HMENU menu = menus.back();
    menus.pop_back();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      if (HMENU sub = GetSubMenu(menu, i)) {
        menus.push_back(sub);
        continue;
      }
      const int id = static_cast<int>(GetMenuItemID(menu, i));
      const MenuItemRecord* record = MenuItemRecordOf(menu, static_cast<UINT>(i), true);
      if (!record || record->text.empty() || (id >= 26 && id <= 31)) continue;
      const bool greyed = (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0;
      EXPECT_FALSE(greyed) << id;
      ++checked;
    }
  }
  EXPECT_GT(checked, 50);
  for (int id = 19; id <= 22; ++id) EXPECT_TRUE(IsWindowEnabled(ControlHandle(id))) << id;
}

TEST_F(Menus, HoverFadesOutWhileTheMainWindowIsDisabled) {
  Build();
  SetHoverLevel(19, 200);
  EnableMainWindows(false);
  ToolbarHoverStep();
  EXPECT_EQ(HoverLevel(19), 180);
  for (int pass = 0; pass < 20; ++pass) ToolbarHoverStep();
  EXPECT_EQ(HoverLevel(19), 0);
  EnableMainWindows(true);
}

TEST_F(Menus, OnlyMouseActivityMakesTheHoverPassLookAtTheMouse) {
  Build();
  // Start from rest: cursor away from the toolbar, every glow out.
  ASSERT_TRUE(SetCursorPos(0, 0));
  for (int pass = 0; pass < 12 && ToolbarAnimating(); ++pass) ToolbarHoverStep();
  ASSERT_FALSE(ToolbarAnimating());

  const ControlSpec* def = FindControlSpec(19);
  ASSERT_NE(def, nullptr);
  POINT centre{def->x.base + def->w.base / 2, def->y.base + def->h.base / 2};
  ClientToScreen(MainWindow, &centre);
  ASSERT_TRUE(SetCursorPos(centre.x, centre.y));
  // No mouse message reached the program: the pass leaves the glow alone.
  ToolbarHoverStep();
  EXPECT_EQ(HoverLevel(19), 0);

  // A mouse message cuts a long wait short and starts the fading.
  PostMessageA(ControlHandle(19), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  const ULONGLONG start = GetTickCount64();
  while (!ToolbarAnimating() && GetTickCount64() - start < 10000) WaitEvent(20000);  // events queued earlier come first
  EXPECT_LT(GetTickCount64() - start, 10000u);
  EXPECT_TRUE(ToolbarAnimating());
  ToolbarHoverStep();
  EXPECT_EQ(HoverLevel(19), 20);
  // Lit, the glow keeps the passes coming until it has faded out again.
  ASSERT_TRUE(SetCursorPos(0, 0));
  ToolbarHoverStep();
  EXPECT_EQ(HoverLevel(19), 0);
  EXPECT_FALSE(ToolbarAnimating());
}

TEST_F(Menus, StatusBarRedrawsLeaveNoObjectsBehind) {
  Build();
  UpdateStatusBar(-1);
  const DWORD gdi = test::OwnGdiObjectCount();
  for (int round = 0; round < 500; ++round) {
    UpdateStatusBar(round % 3 == 0 ? -1 : 133);
    if (round % 100 == 0) {
      RECT r{};
      GetWindowRect(MainWindow, &r);
      SetWindowPos(MainWindow, nullptr, 0, 0, r.right - r.left + 10, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    }
    for (int id : {19, 23}) {
      SetHoverLevel(id, round % 201);
      DrawToolbarButton(id);
    }
  }
  Pump();
  EXPECT_LE(test::OwnGdiObjectCount(), gdi + 2);
}

// A new status line goes to the screen at once, without waiting for the
// bar to repaint, and the bar's picture holds the same.
TEST_F(Menus, StatusBarOnScreenShowsItsPictureAtOnce) {
  Build();
  ShowWindow(MainWindow, SW_SHOW);
  UpdateWindow(MainWindow);
  Pump();
  UpdateStatusBar(-1);
  Pump();
  UpdateStatusBar(133);  // a help line: other texts on the same background
  HWND bar = ControlHandle(137);
  auto picture = reinterpret_cast<HBITMAP>(SendMessageA(bar, STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(picture, nullptr);
  BITMAP size{};
  ASSERT_EQ(GetObjectA(picture, sizeof size, &size), static_cast<int>(sizeof size));
  RECT shown{};
  GetClientRect(bar, &shown);
  win::UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
  win::SelectScope select(memory.get(), picture);
  win::WindowDc screen(bar);
  // Only where the bar is visible: another test's window may lie over it.
  int differing = 0, compared = 0;
  for (int y = 0; y < std::min<int>(size.bmHeight, shown.bottom); y += 3)
    for (int x = 0; x < std::min<int>(size.bmWidth, shown.right); x += 2)
      if (PtVisible(screen.get(), x, y)) {
        ++compared;
        differing += GetPixel(screen.get(), x, y) != GetPixel(memory.get(), x, y);
      }
  if (compared == 0) GTEST_SKIP() << "the bar is covered";
  EXPECT_EQ(differing, 0) << compared;
}

TEST_F(Menus, PowerPolicyGreysWhatItForbids) {
  Build();
  win::UniqueMenu menu(CreatePopupMenu());
  BuildPowerMenu(menu.get(), 5);
  ASSERT_EQ(GetMenuItemCount(menu.get()), 6);
  EXPECT_EQ(MenuItemRecordOf(menu.get(), 9, false)->text, PowerUserName() + " abmelden");
  PowerPolicy policy;
  policy.hibernateAllowed = false;
  ApplyPowerPolicy(menu.get(), 5, policy);
  EXPECT_TRUE(Greyed(menu.get(), 8));
  for (int id : {5, 6, 7, 9, 10}) EXPECT_FALSE(Greyed(menu.get(), id)) << id;
  ApplyPowerPolicy(menu.get(), 5, PowerPolicy{false, true, false});
  EXPECT_TRUE(Greyed(menu.get(), 5));
  EXPECT_TRUE(Greyed(menu.get(), 7));
  EXPECT_FALSE(Greyed(menu.get(), 8));
  // The menu bar follows the system's own answer.
  const PowerPolicy system = ReadPowerPolicy();
  HMENU bar = GetMenu(MainWindow);
  EXPECT_EQ(Greyed(bar, 26), !system.shutdownAllowed);
  EXPECT_EQ(Greyed(bar, 28), !system.suspendAllowed);
  EXPECT_EQ(Greyed(bar, 29), !system.hibernateAllowed);
}

TEST_F(Menus, PowerCommandsReportTheirFailures) {
  Build();
  std::vector<std::string> calls;
  PowerSystemCalls refusing;
  refusing.exitWindows = [&calls](UINT flags) {
    calls.push_back("exit " + std::to_string(flags));
    return false;
  };
  refusing.suspend = [&calls](bool hibernate) {
    calls.push_back(hibernate ? "hibernate" : "standby");
    return false;
  };
  refusing.lockWorkStation = [&calls] {
    calls.push_back("lock");
    return false;
  };
  SetPowerSystemCalls(refusing);
  for (int id = 26; id <= 31; ++id) DispatchEvent({kEventMenu, id, 0, 0});
  EXPECT_EQ(calls,
            (std::vector<std::string>{"exit " + std::to_string(EWX_POWEROFF), "exit " + std::to_string(EWX_REBOOT),
                                      "standby", "hibernate", "exit " + std::to_string(EWX_LOGOFF), "lock"}));
  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(boxes_[0].text, "Das System konnte nicht heruntergefahren werden!");
  EXPECT_EQ(boxes_[1].text, "Das System konnte nicht neu gestartet werden!");
  EXPECT_EQ(boxes_[2].text, "Das System konnte nicht gesperrt werden!");
  for (const Box& box : boxes_) {
    EXPECT_EQ(box.title, "Hinweis");
    EXPECT_EQ(box.flags, UINT{MB_OK | MB_ICONQUESTION});
  }
  // Accepted requests say nothing.
  boxes_.clear();
  SetPowerSystemCalls({[](UINT) { return true; }, [](bool) { return true; }, [] { return true; }});
  for (int id = 26; id <= 31; ++id) DispatchEvent({kEventMenu, id, 0, 0});
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(Menus, HelpOpensTheCompiledHelpFile) {
  Build();
  // Without velkor.chm in the working folder: a message and no window.
  EXPECT_EQ(OpenHelpFile(), nullptr);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text,
            "Die Hilfedatei konnte nicht gefunden bzw. ge\xF6"
            "ffnet werden!");
  EXPECT_EQ(boxes_[0].title, "Hinweis");
  EXPECT_EQ(boxes_[0].flags, UINT{MB_OK | MB_ICONEXCLAMATION});

  // The build puts velkor.chm beside the programs.
  boxes_.clear();
  ASSERT_TRUE(test::FileExists(test::ProgramFolder() + "\\velkor.chm"));
  SetCurrentDirectoryA(test::ProgramFolder().c_str());
  HWND help = OpenHelpFile();
  EXPECT_NE(help, nullptr);
  EXPECT_TRUE(IsWindow(help));
  CloseHelpFile();
  // "Hilfe..." from the menu opens it the same way.
  DispatchEvent({kEventMenu, 133, 0, 0});
  EXPECT_TRUE(boxes_.empty());
  CloseHelpFile();
  Pump();
}

}  // namespace
}  // namespace velkor
