// The "Dienste" view of the real program: Wine's services listed, one the
// test chooses stopped and started through the program's menu commands, and
// a failing command's notice.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>

#include "program_support.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

constexpr auto kReactionBound = 10s;
// Wine's print spooler: nothing depends on it, it stops and starts on
// request and accepts no pause.
constexpr const char* kTestService = "Spooler";

uint32_t StateOf(const char* name) {
  win::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  win::UniqueServiceHandle service(manager ? OpenServiceA(manager.get(), name, SERVICE_QUERY_STATUS) : nullptr);
  SERVICE_STATUS status{};
  return service && QueryServiceStatus(service.get(), &status) ? status.dwCurrentState : 0;
}

// Sets the service to `state` (running or stopped) and waits until it is there.
bool Bring(const char* name, uint32_t state) {
  if (StateOf(name) == state) return true;
  win::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  win::UniqueServiceHandle service(manager ? OpenServiceA(manager.get(), name, SERVICE_START | SERVICE_STOP) : nullptr);
  if (!service) return false;
  test::WaitUntil(
      [&] {
        const uint32_t now = StateOf(name);
        return now == SERVICE_RUNNING || now == SERVICE_STOPPED;
      },
      kReactionBound);
  SERVICE_STATUS status{};
  if (state == SERVICE_RUNNING)
    StartServiceA(service.get(), 0, nullptr);
  else
    ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
  return test::WaitUntil([&] { return StateOf(name) == state; }, kReactionBound);
}

HWND FindControl(HWND window, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (GetDlgCtrlID(child) != s->id) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A list view of another process, read and selected through memory in that process.
class RemoteList {
 public:
  RemoteList(HWND list, uint32_t pid)
      : list_(list), process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)) {
    if (process_) memory_ = VirtualAllocEx(process_.get(), nullptr, kSize, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteList() {
    if (memory_) VirtualFreeEx(process_.get(), memory_, 0, MEM_RELEASE);
  }
  RemoteList(const RemoteList&) = delete;
  RemoteList& operator=(const RemoteList&) = delete;

  [[nodiscard]] bool valid() const { return memory_ != nullptr; }
  int Rows() const { return static_cast<int>(Send(LVM_GETITEMCOUNT, 0, 0)); }
  std::string Cell(int row, int column) const {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = static_cast<char*>(memory_) + sizeof item;
    item.cchTextMax = kSize - sizeof item;
    if (!WriteProcessMemory(process_.get(), memory_, &item, sizeof item, nullptr)) return {};
    const auto length = Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory_));
    std::string text(static_cast<size_t>(std::max<LRESULT>(length, 0)), '\0');
    ReadProcessMemory(process_.get(), static_cast<char*>(memory_) + sizeof item, text.data(), text.size(), nullptr);
    return text;
  }
  int RowOf(const std::string& name) const {
    for (int row = 0; row < Rows(); ++row)
      if (Cell(row, 0) == name) return row;
    return -1;
  }
  void Select(int row) const {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = item.stateMask;
    WriteProcessMemory(process_.get(), memory_, &item, sizeof item, nullptr);
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory_));
  }

 private:
  static constexpr size_t kSize = 4096;
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(list_, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
  }
  HWND list_;
  win::UniqueKernelHandle process_;
  void* memory_ = nullptr;
};

class ServiceViewProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
    initial_ = StateOf(kTestService);
    ASSERT_NE(initial_, 0u) << "Wine has no service " << kTestService;
  }
  void TearDown() override {
    run_.End();
    test::EndProcessesNamed("velkor.exe");
    if (initial_ == SERVICE_RUNNING || initial_ == SERVICE_STOPPED) Bring(kTestService, initial_);
  }

  test::ProgramRun run_;
  uint32_t initial_ = 0;
};

TEST_F(ServiceViewProgram, StopAndStartAServiceFromItsMenu) {
  ASSERT_TRUE(Bring(kTestService, SERVICE_RUNNING));
  ASSERT_TRUE(run_.Start());
  HWND main = run_.main();
  PostMessageA(main, WM_COMMAND, 15, 0);  // "Ansicht" > "Dienste"
  HWND list = FindControl(main, 152);
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(list) != FALSE; }, kReactionBound));
  RemoteList rows(list, run_.pid());
  ASSERT_TRUE(rows.valid());
  ASSERT_TRUE(test::WaitUntil([&] { return rows.RowOf(kTestService) >= 0; }, kReactionBound));
  EXPECT_EQ(rows.Cell(rows.RowOf(kTestService), 2), "Aktiv");
  EXPECT_FALSE(rows.Cell(rows.RowOf(kTestService), 1).empty());

  auto rowShows = [&](const char* text) {
    return test::WaitUntil([&] { return rows.Cell(rows.RowOf(kTestService), 2) == text; }, kReactionBound);
  };
  rows.Select(rows.RowOf(kTestService));
  PostMessageA(main, WM_COMMAND, 128, 0);  // "Stoppen"
  EXPECT_TRUE(rowShows(""));
  EXPECT_EQ(StateOf(kTestService), static_cast<uint32_t>(SERVICE_STOPPED));

  rows.Select(rows.RowOf(kTestService));
  PostMessageA(main, WM_COMMAND, 127, 0);  // "Starten"
  EXPECT_TRUE(rowShows("Aktiv"));

  // Pausing is refused: the notice names the service.
  rows.Select(rows.RowOf(kTestService));
  PostMessageA(main, WM_COMMAND, 129, 0);  // "Anhalten"
  HWND box = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (box = test::FindWindowOf(run_.pid(), "#32770", "Hinweis")) != nullptr; },
                              kReactionBound));
  char text[256] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_EQ(std::string(text), std::string("Der Dienst \"") + kTestService + "\" konnte nicht angehalten werden!");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindow(box); }, kReactionBound));
  EXPECT_EQ(StateOf(kTestService), static_cast<uint32_t>(SERVICE_RUNNING));
}

// A service of the test's own whose stop handler takes 20 s to answer
// (tests/e2e/slow_service), registered for the test and removed after it.
class SlowService {
 public:
  static constexpr const char* kName = "VelkorSlowStop";
  SlowService() : manager_(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE | SC_MANAGER_CONNECT)) {
    if (!manager_) return;
    const std::string path = "\"" + test::ProgramFolder() + "\\velkor_slow_service.exe\"";
    service_.reset(CreateServiceA(manager_.get(), kName, "Velkor langsamer Stopp", SERVICE_ALL_ACCESS,
                                  SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, path.c_str(),
                                  nullptr, nullptr, nullptr, nullptr, nullptr));
  }
  ~SlowService() {
    if (!service_) return;
    // A stop still answering is waited for; the service then leaves the manager.
    test::WaitUntil([] { return StateOf(kName) == SERVICE_STOPPED; }, 40s);
    DeleteService(service_.get());
  }
  SlowService(const SlowService&) = delete;
  SlowService& operator=(const SlowService&) = delete;

  bool Start() {
    return service_ && StartServiceA(service_.get(), 0, nullptr) &&
           test::WaitUntil([] { return StateOf(kName) == SERVICE_RUNNING; }, kReactionBound);
  }
  [[nodiscard]] bool registered() const { return service_.valid(); }

 private:
  win::UniqueServiceHandle manager_;
  win::UniqueServiceHandle service_;
};

TEST_F(ServiceViewProgram, ASlowStopLeavesTheWindowAnswering) {
  SlowService slow;
  ASSERT_TRUE(slow.registered()) << GetLastError();
  ASSERT_TRUE(slow.Start());
  ASSERT_TRUE(run_.Start());
  HWND main = run_.main();
  PostMessageA(main, WM_COMMAND, 15, 0);  // "Ansicht" > "Dienste"
  HWND list = FindControl(main, 152);
  ASSERT_NE(list, nullptr);
  RemoteList rows(list, run_.pid());
  ASSERT_TRUE(rows.valid());
  ASSERT_TRUE(test::WaitUntil([&] { return rows.RowOf(SlowService::kName) >= 0; }, kReactionBound));
  rows.Select(rows.RowOf(SlowService::kName));
  auto state = [&] { return rows.Cell(rows.RowOf(SlowService::kName), 2); };

  // From the command until the service has stopped, each ping of the window
  // is answered within a second; the row shows the stop as pending, and a
  // refused stop shows its notice meanwhile.
  PostMessageA(main, WM_COMMAND, 128, 0);  // "Stoppen"
  const ULONGLONG start = GetTickCount64();
  int pings = 0, unanswered = 0;
  bool pendingShown = false;
  HWND notice = nullptr;
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        DWORD_PTR answer = 0;
        ++pings;
        if (!SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer)) {
          ++unanswered;
          return false;
        }
        if (!pendingShown) pendingShown = state() == "Stoppen...";
        if (!notice) notice = test::FindWindowOf(run_.pid(), "#32770", "Hinweis");
        return StateOf(SlowService::kName) == SERVICE_STOPPED;
      },
      40s));
  EXPECT_TRUE(pendingShown);
  EXPECT_GE(GetTickCount64() - start, 15000u);  // the stop really took its time
  EXPECT_GT(pings, 20);
  EXPECT_EQ(unanswered, 0);

  // The row shows the outcome: stopped, or the notice names the service.
  if (notice) {
    char text[256] = {};
    GetDlgItemTextA(notice, 0xFFFF, text, sizeof text);
    EXPECT_EQ(std::string(text), "Der Dienst \"VelkorSlowStop\" konnte nicht gestoppt werden!");
    PostMessageA(notice, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(test::WaitUntil([&] { return !IsWindow(notice); }, kReactionBound));
    EXPECT_NE(state(), "Stoppen...");
  } else {
    EXPECT_TRUE(test::WaitUntil([&] { return state().empty(); }, kReactionBound)) << state();
  }
}

}  // namespace
}  // namespace velkor
