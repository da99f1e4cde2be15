// The real program read from another process as a screen reader reads it:
// through the system's accessibility interfaces (oleacc), and for menus
// through the MSAAMENUINFO at the start of each item's data.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "probe_messages.h"
#include "program_support.h"
#include "support/wine_support.h"
#include "win/com.h"
#include "win/wide_text.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

struct Read {
  std::string name, value;
  long role = 0;
  long state = 0;
};

std::string Narrow(BSTR text) {
  std::string narrow;
  if (text) {
    const std::wstring wide(text, SysStringLen(text));
    const int size =
        WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(std::max(size, 0)));
    WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), size, nullptr, nullptr);
  }
  SysFreeString(text);
  return narrow;
}

Read ReadOf(IAccessible* object, long child) {
  Read read;
  VARIANT id{};
  id.vt = VT_I4;
  id.lVal = child;
  BSTR text = nullptr;
  if (SUCCEEDED(object->get_accName(id, &text))) read.name = Narrow(text);
  text = nullptr;
  if (SUCCEEDED(object->get_accValue(id, &text))) read.value = Narrow(text);
  VARIANT answer{};
  if (SUCCEEDED(object->get_accRole(id, &answer)) && answer.vt == VT_I4) read.role = answer.lVal;
  VariantClear(&answer);
  if (SUCCEEDED(object->get_accState(id, &answer)) && answer.vt == VT_I4) read.state = answer.lVal;
  VariantClear(&answer);
  return read;
}

// The client object of `control` as a reader gets it, with its parts.
struct Object {
  win::ComPtr<IAccessible> object;
  Read self;
  std::vector<Read> parts;
};
Object ObjectOf(HWND control) {
  Object read;
  if (!control ||
      FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, read.object.put())))
    return read;
  read.self = ReadOf(read.object.get(), CHILDID_SELF);
  long count = 0;
  read.object->get_accChildCount(&count);
  for (long child = 1; child <= count; ++child) read.parts.push_back(ReadOf(read.object.get(), child));
  return read;
}

// The events a reader hears from the program, out of its process.
struct Heard {
  HWND window;
  DWORD event;
  LONG child;
};
std::vector<Heard>& HeardEvents() {
  static std::vector<Heard> heard;
  return heard;
}
void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT) HeardEvents().push_back({window, event, child});
}
bool HeardFrom(HWND window, DWORD event, LONG child) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  return std::any_of(HeardEvents().begin(), HeardEvents().end(),
                     [&](const Heard& h) { return h.window == window && h.event == event && h.child == child; });
}

HWND Control(HWND main, std::initializer_list<int> path) {
  HWND at = main;
  for (int id : path) at = at ? GetDlgItem(at, id) : nullptr;
  return at;
}

class ScreenReader : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
    ASSERT_TRUE(run_.Start());
    main_ = run_.main();
  }
  win::ComApartment apartment_{COINIT_APARTMENTTHREADED};
  test::ProgramRun run_;
  HWND main_ = nullptr;
};

TEST_F(ScreenReader, ReadsTheDrawnControlsByTheirTexts) {
  for (int id = kFirstToolbarCommand; id <= kLastToolbarCommand; ++id) {
    const Object button = ObjectOf(GetDlgItem(main_, id));
    ASSERT_TRUE(button.object) << id;
    EXPECT_EQ(button.self.role, ROLE_SYSTEM_PUSHBUTTON) << id;
    if (id != kSearchCommand) {
      EXPECT_EQ(button.self.name, CommandTooltip(id)) << id;
    }
  }
  EXPECT_EQ(ObjectOf(GetDlgItem(main_, kSearchCommand)).self.name, "Nach diesem Prozess im Internet suchen (Strg+F)");

  const Object tabs = ObjectOf(GetDlgItem(main_, 136));
  EXPECT_EQ(tabs.self.role, ROLE_SYSTEM_PAGETABLIST);
  std::vector<std::string> names;
  for (const Read& tab : tabs.parts) names.push_back(tab.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Prozesse", "Fenster", "Dienste", "Treiber", "Netzwerk", "Überwachung"}));
  ASSERT_EQ(tabs.parts.size(), 6u);
  EXPECT_TRUE(tabs.parts[0].state & STATE_SYSTEM_SELECTED);
  EXPECT_FALSE(tabs.parts[5].state & STATE_SYSTEM_SELECTED);

  const Object bar = ObjectOf(GetDlgItem(main_, 137));
  EXPECT_EQ(bar.self.role, ROLE_SYSTEM_STATUSBAR);
  ASSERT_GE(bar.parts.size(), 4u);
  EXPECT_EQ(bar.parts[0].name.rfind("Prozesse: ", 0), 0u) << bar.parts[0].name;
  EXPECT_EQ(bar.parts[1].name.rfind("CPU: ", 0), 0u) << bar.parts[1].name;

  // "Ansicht" > "Überwachung": the meter by its caption, valued by its
  // figure; its tab selected, and each change of the figure announced.
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_SELECTION, EVENT_OBJECT_VALUECHANGE, nullptr, Hear,
                                             run_.pid(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(hook);
  PostMessageA(main_, WM_COMMAND, 18, 0);
  HWND meter = Control(main_, {192, 193, 194});
  ASSERT_TRUE(test::WaitUntil([&] { return meter && IsWindowVisible(meter); }, 10s) ||
              test::WaitUntil(
                  [&] {
                    return (meter = Control(main_, {192, 193, 194})) && IsWindowVisible(meter);
                  },
                  10s));
  HWND figure = Control(main_, {192, 193, 197});
  ASSERT_TRUE(test::WaitUntil([&] { return !test::WindowTextOf(figure).empty(); }, 10s));
  const Object read = ObjectOf(meter);
  EXPECT_EQ(read.self.role, ROLE_SYSTEM_GRAPHIC);
  EXPECT_EQ(read.self.name, "Prozessor-Auslastung:");
  EXPECT_EQ(read.self.value.back(), '%') << read.self.value;
  EXPECT_TRUE(ObjectOf(GetDlgItem(main_, 136)).parts[5].state & STATE_SYSTEM_SELECTED);
  EXPECT_TRUE(test::WaitUntil([&] { return HeardFrom(GetDlgItem(main_, 136), EVENT_OBJECT_SELECTION, 6); }, 5s));
  EXPECT_TRUE(test::WaitUntil([&] { return HeardFrom(meter, EVENT_OBJECT_VALUECHANGE, CHILDID_SELF); }, 10s));
  UnhookWinEvent(hook);
  // A check box keeps the system's reading of its caption.
  EXPECT_EQ(ObjectOf(Control(main_, {192, 193, 198})).self.name, "Pause");
}

// An item of a menu of `program` as another process reads it: from the
// system where it answers for another process's menus (Windows), else from
// the probe, which answers as the system does.
bool ItemInfo(HANDLE program, HWND main, HMENU menu, int position, MENUITEMINFOW& info) {
  info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE;
  if (GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) return true;
  static const UINT ask = RegisterWindowMessageA(probe::kMenuItem);
  DWORD_PTR address = 0;
  return SendMessageTimeoutA(main, ask, reinterpret_cast<WPARAM>(menu), position, SMTO_ABORTIFHUNG, 5000, &address) &&
         address && ReadProcessMemory(program, reinterpret_cast<void*>(address), &info, sizeof info, nullptr);
}

struct MenuRead {
  std::string text;  // "?" for an item without an MSAAMENUINFO
  UINT state = 0;
};

// Every item of `menu` and its submenus as the system's menu proxy reads an
// owner-drawn one: the text of the MSAAMENUINFO its item data points at, in
// the program's memory, and the item's state.
void ReadMenu(HANDLE program, HWND main, HMENU menu, std::vector<MenuRead>& items) {
  MENUITEMINFOW info{};
  for (int k = 0; k < 100 && ItemInfo(program, main, menu, k, info); ++k) {
    MSAAMENUINFO accessible{};
    MenuRead read{"?", info.fState};
    if (ReadProcessMemory(program, reinterpret_cast<void*>(info.dwItemData), &accessible, sizeof accessible, nullptr) &&
        accessible.dwMSAASignature == static_cast<DWORD>(MSAA_MENU_SIG) && accessible.cchWText < 512) {
      std::wstring text(accessible.cchWText, L'\0');
      if (ReadProcessMemory(program, accessible.pszWText, text.data(), text.size() * sizeof(wchar_t), nullptr))
        read.text = win::NarrowText(text);
    }
    items.push_back(read);
    if (info.hSubMenu) ReadMenu(program, main, info.hSubMenu, items);
  }
}

TEST_F(ScreenReader, ReadsEveryMenuItemByItsTextAndState) {
  run_.End();
  ASSERT_TRUE(run_.Start("velkor_probe.exe"));
  main_ = run_.main();
  std::vector<MenuRead> items;
  ReadMenu(run_.process().handle(), main_, GetMenu(main_), items);
  std::vector<std::string> texts;
  for (const MenuRead& item : items) texts.push_back(item.text);
  // Titles, items, separators (empty) and submenus, in menu order.
  const std::vector<std::string> file = {"Datei",
                                         "Prozessliste exportieren...",
                                         "Fensterliste exportieren...",
                                         "Dienstliste exportieren...",
                                         "Treiberliste exportieren...",
                                         "",
                                         "Einstellungen",
                                         ""};
  ASSERT_GE(texts.size(), 27u);
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + static_cast<long>(file.size())), file);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "?"), 0);
  EXPECT_EQ(texts.back(), "Information");
  // The view shown carries its check mark; separators are greyed.
  const size_t views = static_cast<size_t>(std::find(texts.begin(), texts.end(), "Ansicht") - texts.begin()) + 1;
  ASSERT_LT(views + 5, texts.size());
  EXPECT_EQ(texts[views + 5], "Überwachung");
  EXPECT_TRUE(items[views].state & MFS_CHECKED);
  EXPECT_FALSE(items[views + 1].state & MFS_CHECKED);
  EXPECT_TRUE(items[5].state & MFS_GRAYED);
}

}  // namespace
}  // namespace velkor
