// The "Dienste" view against Wine's real services: the list as built at
// start, a service the tests stop and start again (through the worker that
// waits for the manager), failing commands, the context menu's enabled
// items, and descriptions from the registry.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/menus.h"
#include "app/program_windows.h"
#include "lists/service_list_win.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/list_view.h"
#include "win/message_box.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

// Wine's print spooler: it holds nothing a test or another program needs,
// stops at once and starts again on request, and accepts no pause.
constexpr const char* kTestService = "Spooler";
constexpr const char* kProbeKey = "SYSTEM\\CurrentControlSet\\Services\\VelkorProbe";

struct ShownBox {
  std::string text;
  std::string title;
  UINT flags = 0;
};

uint32_t StateOf(const char* name) {
  win::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  win::UniqueServiceHandle service(manager ? OpenServiceA(manager.get(), name, SERVICE_QUERY_STATUS) : nullptr);
  SERVICE_STATUS status{};
  return service && QueryServiceStatus(service.get(), &status) ? status.dwCurrentState : 0;
}

bool Settled(const char* name, uint32_t state) {
  return test::WaitUntil([&] { return StateOf(name) == state; }, 10s);
}

class ServiceView : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    list_ = ControlHandle(152);
    ASSERT_NE(list_, nullptr);
    win::SetMessageBoxHook([this](HWND, const std::string& text, const std::string& title, UINT flags) {
      boxes_.push_back({text, title, flags});
      return IDOK;
    });
    initial_ = StateOf(kTestService);
  }
  void TearDown() override {
    win::SetMessageBoxHook({});
    // The service leaves as it came.
    if (initial_ == SERVICE_RUNNING && StateOf(kTestService) != SERVICE_RUNNING) {
      Settled(kTestService, SERVICE_STOPPED);
      ServiceStart(kTestService);
      Settled(kTestService, SERVICE_RUNNING);
    } else if (initial_ == SERVICE_STOPPED && StateOf(kTestService) != SERVICE_STOPPED) {
      Settled(kTestService, SERVICE_RUNNING);
      ServiceStop(kTestService);
      Settled(kTestService, SERVICE_STOPPED);
    }
    BuiltWindows::TearDown();
  }

  std::vector<std::string> Column(int column) const {
    std::vector<std::string> cells;
    for (int row = 0; row < ListView_GetItemCount(list_); ++row)
      cells.push_back(win::ListViewCellText(list_, row, column));
    return cells;
  }
  int RowOf(const std::string& name) const {
    const std::vector<std::string> names = Column(0);
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
  }
  std::string StateCell(const std::string& name) const {
    const int row = RowOf(name);
    return row < 0 ? "<missing>" : win::ListViewCellText(list_, row, 2);
  }
  // Selects the service's row and opens (prepares) its menu, as a right click does.
  void RightClick(const std::string& name) {
    win::SelectListRow(list_, RowOf(name));
    ASSERT_TRUE(PrepareServiceMenu(list_, PopupMenuHandle(4)));
  }
  bool ItemEnabled(int id) const {
    return !(GetMenuState(PopupMenuHandle(4), static_cast<UINT>(id), MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
  }
  // Waits for the outcomes of the commands handed to the worker and takes
  // them, as the event loop does when their event is set.
  bool Finish() {
    HANDLE ended = ServiceCommandsEnded();
    return ended && WaitForSingleObject(ended, 20000) == WAIT_OBJECT_0 && FinishServiceCommands(list_);
  }
  // Waits, refreshing as the periodic refresh would, until the row shows `text`.
  bool RowShows(const std::string& name, const std::string& text) {
    return test::WaitUntil(
        [&] {
          RefreshServiceList(list_);
          return StateCell(name) == text;
        },
        10s);
  }

  HWND list_ = nullptr;
  uint32_t initial_ = 0;
  std::vector<ShownBox> boxes_;
};

TEST_F(ServiceView, ListsWineServicesSortedByKeyName) {
  const std::vector<std::string> names = Column(0);
  ASSERT_GT(names.size(), 5u);
  EXPECT_EQ(std::count(names.begin(), names.end(), ""), 0);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
  }));
  const std::vector<std::string> states = Column(2);
  EXPECT_NE(std::find(states.begin(), states.end(), "Aktiv"), states.end());
  for (const std::string& state : states)
    EXPECT_TRUE(state.empty() || state == "Aktiv" || state == "Angehalten" || state.ends_with("...")) << state;
  const int row = RowOf(kTestService);
  ASSERT_GE(row, 0);
  EXPECT_FALSE(win::ListViewCellText(list_, row, 1).empty());  // the display name
  EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(list_, LVSIL_SMALL)), 1);
}

TEST_F(ServiceView, StopAndStartThroughTheMenuChangeTheRow) {
  if (initial_ != SERVICE_RUNNING) {
    ASSERT_TRUE(ServiceStart(kTestService));
    ASSERT_TRUE(Settled(kTestService, SERVICE_RUNNING));
    RefreshServiceList(list_);
  }
  RightClick(kTestService);
  EXPECT_TRUE(ItemEnabled(128));
  EXPECT_FALSE(ItemEnabled(127));
  ShowView(2, false);
  SetListStamp();
  const double stampBefore = Stamps.list;
  DispatchEvent({kEventMenu, 128, 0, 0});
  // Pending while the worker waits for the manager, and its menu blocked.
  EXPECT_EQ(StateCell(kTestService), "Stoppen...");
  RefreshServiceList(list_);
  EXPECT_EQ(StateCell(kTestService), "Stoppen...");
  RightClick(kTestService);
  for (int id = 127; id <= 130; ++id) EXPECT_FALSE(ItemEnabled(id)) << id;
  ASSERT_TRUE(Finish());
  EXPECT_TRUE(boxes_.empty());
  EXPECT_GE(Stamps.list, stampBefore);
  // Refreshed at once: pending at the manager, or already stopped.
  const std::string right = StateCell(kTestService);
  EXPECT_TRUE(right == "Stoppen..." || right.empty()) << right;
  ASSERT_TRUE(RowShows(kTestService, ""));

  RightClick(kTestService);
  EXPECT_TRUE(ItemEnabled(127));
  EXPECT_FALSE(ItemEnabled(128));
  DispatchEvent({kEventMenu, 127, 0, 0});
  ASSERT_TRUE(Finish());
  EXPECT_TRUE(boxes_.empty());
  const std::string after = StateCell(kTestService);
  EXPECT_TRUE(after == "Starten..." || after == "Aktiv") << after;
  EXPECT_TRUE(RowShows(kTestService, "Aktiv"));
}

TEST_F(ServiceView, AFailingCommandShowsItsNoticeAndTheRowItsState) {
  if (initial_ != SERVICE_RUNNING) {
    ASSERT_TRUE(ServiceStart(kTestService));
    ASSERT_TRUE(Settled(kTestService, SERVICE_RUNNING));
  }
  RefreshServiceList(list_);
  RightClick(kTestService);
  EXPECT_FALSE(RunServiceCommand(list_, 129));  // the spooler cannot pause
  ASSERT_TRUE(Finish());
  EXPECT_FALSE(RunServiceCommand(list_, 127));  // and is running already
  ASSERT_TRUE(Finish());
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[0].text, std::string("Der Dienst \"") + kTestService + "\" konnte nicht angehalten werden!");
  EXPECT_EQ(boxes_[1].text, std::string("Der Dienst \"") + kTestService + "\" konnte nicht gestartet werden!");
  for (const ShownBox& box : boxes_) {
    EXPECT_EQ(box.title, "Hinweis");
    EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  }
  // The row no longer shows the commands as pending.
  EXPECT_EQ(StateCell(kTestService), "Aktiv");
  EXPECT_EQ(StateOf(kTestService), static_cast<uint32_t>(SERVICE_RUNNING));
  EXPECT_FALSE(ServiceStop("VelkorNoSuchService"));
}

TEST_F(ServiceView, MenuEnablingFollowsTheStatusText) {
  struct Case {
    const char* state;
    bool start, stop, pause, resume;
  };
  const Case cases[] = {{"", true, false, false, false},
                        {"Aktiv", false, true, true, false},
                        {"Angehalten", false, true, false, true},
                        {"Starten...", false, false, false, false},
                        {"Stoppen...", false, false, false, false},
                        {"Anhalten...", false, false, false, false},
                        {"Fortsetzen...", false, false, false, false}};
  ASSERT_GT(ListView_GetItemCount(list_), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    ListView_SetItemText(list_, 0, 2, const_cast<char*>(c.state));
    win::SelectListRow(list_, 0);
    ASSERT_TRUE(PrepareServiceMenu(list_, PopupMenuHandle(4)));
    EXPECT_TRUE(ItemEnabled(126));
    EXPECT_EQ(ItemEnabled(127), c.start);
    EXPECT_EQ(ItemEnabled(128), c.stop);
    EXPECT_EQ(ItemEnabled(129), c.pause);
    EXPECT_EQ(ItemEnabled(130), c.resume);
  }
  win::SelectListRow(list_, -1);
  EXPECT_FALSE(PrepareServiceMenu(list_, PopupMenuHandle(4)));
}

TEST_F(ServiceView, RefreshKeepsViewStateAndLeaksNothing) {
  SortServiceList(list_, 0);  // started ascending: now descending
  const std::vector<std::string> names = Column(0);
  ASSERT_GT(names.size(), 3u);
  EXPECT_TRUE(std::is_sorted(names.rbegin(), names.rend(), [](const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
  }));
  win::SelectListRow(list_, 2);
  for (int i = 0; i < 5; ++i) RefreshServiceList(list_);
  const uint32_t handles = test::OwnHandleCount();
  const DWORD gdi = test::OwnGdiObjectCount();
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  for (int i = 0; i < 300; ++i) RefreshServiceList(list_);
  EXPECT_LE(test::OwnHandleCount(), handles + 2);
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
  EXPECT_EQ(win::SelectedListRow(list_), 2);
  EXPECT_EQ(Column(0), names);
}

TEST_F(ServiceView, DescriptionsFromTheRegistry) {
  // A string of a system module, as an indirect reference names it.
  HMODULE user32 = GetModuleHandleA("user32.dll");
  int id = 1;
  char expected[256] = {};
  while (id < 4096 && LoadStringA(user32, static_cast<UINT>(id), expected, sizeof expected) <= 0) ++id;
  ASSERT_LT(id, 4096);

  win::UniqueRegistryKey key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProbeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  auto describe = [&](const std::string& value) {
    RegSetValueExA(key.get(), "Description", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    return ServiceDescription("VelkorProbe");
  };
  EXPECT_EQ(describe("Druckt"), "Druckt");
  EXPECT_EQ(describe("x"), "");                     // one character and its terminator
  EXPECT_EQ(describe(std::string(1100, 'a')), "");  // larger than the buffer
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(describe("@" + std::string(system) + "\\user32.dll,-" + std::to_string(id)), expected);
  EXPECT_EQ(describe("@velkor_nosuch.dll,-1"), "@velkor_nosuch.dll,-1");
  RegDeleteValueA(key.get(), "Description");
  EXPECT_EQ(ServiceDescription("VelkorProbe"), "");
  key.reset();
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kProbeKey);
  EXPECT_EQ(ServiceDescription("VelkorProbe"), "");
}

// The list keeps each service's description until its registry key changes:
// a new description shows at the next refresh, and the old one comes back.
TEST_F(ServiceView, ADescriptionChangedInTheRegistryShowsAtTheNextRefresh) {
  RefreshServiceList(list_);
  const std::vector<std::string> names = Column(0);
  ASSERT_FALSE(names.empty());
  const std::string path = std::string("SYSTEM\\CurrentControlSet\\Services\\") + names[0];
  win::UniqueRegistryKey key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.put()),
            ERROR_SUCCESS);
  std::vector<BYTE> before(4096);
  DWORD type = 0, size = static_cast<DWORD>(before.size());
  const bool had = RegQueryValueExA(key.get(), "Description", nullptr, &type, before.data(), &size) == ERROR_SUCCESS;
  auto description = [&] { return Column(3)[static_cast<size_t>(std::max(RowOf(names[0]), 0))]; };
  const std::string shown = description();
  const std::string changed = "Velkor prüft die Beschreibung";
  ASSERT_EQ(RegSetValueExA(key.get(), "Description", 0, REG_SZ, reinterpret_cast<const BYTE*>(changed.c_str()),
                           static_cast<DWORD>(changed.size() + 1)),
            ERROR_SUCCESS);
  RefreshServiceList(list_);
  EXPECT_EQ(description(), changed);
  if (had)
    RegSetValueExA(key.get(), "Description", 0, type, before.data(), size);
  else
    RegDeleteValueA(key.get(), "Description");
  RefreshServiceList(list_);
  EXPECT_EQ(description(), shown);
}

}  // namespace
}  // namespace velkor
