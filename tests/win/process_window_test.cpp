// The process-information window against helper processes of the test's
// own, read back from the window's controls.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <commctrl.h>
#include <vector>

#include <string>

#include "app/control_ids.h"
#include "app/event_loop.h"
#include "app/event_queue.h"
#include "app/process_window.h"
#include "app/program_windows.h"
#include "app/toolbar_win.h"
#include "app/window_registry.h"
#include "gfx/dpi_scale.h"
#include "procs/process_list.h"
#include "procs/process_list_win.h"
#include "settings/settings_file_win.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/list_view.h"
#include "win/message_box.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

// The owner the system names for a listening TCP port of 127.0.0.1.
uint32_t OwnerOfListeningPort(uint16_t port) {
  std::vector<uint8_t> bytes(1 << 16);
  auto size = static_cast<DWORD>(bytes.size());
  if (GetExtendedTcpTable(bytes.data(), &size, FALSE, AF_INET, TCP_TABLE_OWNER_PID_LISTENER, 0) != NO_ERROR) return 0;
  const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(bytes.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i)
    if (ntohs(static_cast<u_short>(table->table[i].dwLocalPort)) == port) return table->table[i].dwOwningPid;
  return 0;
}

std::string Caption(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

class ProcessWindow : public test::BuiltWindows {
 protected:
  void SetUp() override {
    SetEnvironmentVariableA("VELKOR_INFO_MARK", "Wert-42");
    helper_ = test::Start(test::ProgramFolder() + "\\velkor_helper.exe", "serve", helperFolder_.path());
    SetEnvironmentVariableA("VELKOR_INFO_MARK", nullptr);
    ASSERT_TRUE(helper_.valid());
    ASSERT_TRUE(
        test::WaitUntil([&] { return test::ReadFileBytes(helperFolder_.File("velkor_port.txt"), port_); }, 10s));
    ASSERT_NO_FATAL_FAILURE(BuildHere({}, false));
  }
  void TearDown() override {
    CloseProcessWindow();
    BuiltWindows::TearDown();
  }
  // Selects the helper's row and clicks toolbar button 25, as the user does.
  void OpenFor(uint32_t pid) {
    HWND list = ProcessListHandle();
    int row = -1;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
          RefreshProcessList();
          row = -1;
          for (int r = 0; r < ListView_GetItemCount(list); ++r)
            if (win::ListViewCellText(list, r, kPidColumn) == std::to_string(pid)) row = r;
          return row >= 0;
        },
        10s));
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    test::Pump();
    UpdateToolbarStates();
    SendMessageA(ControlHandle(25), BM_CLICK, 0, 0);
    LoopEvent event;
    while (TakeLoopEvent(event)) DispatchEvent(event);
    ASSERT_NE(BuiltWindow(kProcessInfoWindow), nullptr);
  }
  static HWND List(int page) { return BuiltControl(kProcessInfoLists[static_cast<size_t>(page)]); }
  // The value beside `caption` on a page of two columns.
  static std::string Value(int page, const std::string& caption) {
    for (int row = 0; row < ListView_GetItemCount(List(page)); ++row)
      if (win::ListViewCellText(List(page), row, 0) == caption) return win::ListViewCellText(List(page), row, 1);
    return "(none)";
  }
  static int RowWith(int page, int column, const std::string& text) {
    for (int row = 0; row < ListView_GetItemCount(List(page)); ++row)
      if (win::ListViewCellText(List(page), row, column).find(text) != std::string::npos) return row;
    return -1;
  }
  static void ClickTab(int page) {
    HWND tabs = BuiltControl(kProcessInfoTabs);
    TabCtrl_SetCurSel(tabs, page);
    NMHDR header{tabs, static_cast<UINT_PTR>(kProcessInfoTabs), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(GetParent(tabs), WM_NOTIFY, kProcessInfoTabs, reinterpret_cast<LPARAM>(&header));
  }

  test::TempFolder helperFolder_;
  test::OwnedProcess helper_;
  std::string port_;
};

TEST_F(ProcessWindow, ShowsWhatTheHelperIsAndClosesOnEscape) {
  ASSERT_NO_FATAL_FAILURE(OpenFor(helper_.pid()));
  HWND window = BuiltWindow(kProcessInfoWindow);
  EXPECT_EQ(Caption(window), "Prozessinformationen - velkor_helper.exe (" + std::to_string(helper_.pid()) + ")");
  EXPECT_TRUE(IsWindowVisible(List(0)));
  // Its controls where the layout puts them for its client size.
  const Size client = test::ClientOf(window);
  for (const ControlSpec& def : ControlTable()) {
    if (def.window != kProcessInfoWindow) continue;
    const Rect expected{def.x.Resolve(client.w, client.h), def.y.Resolve(client.w, client.h),
                        def.w.Resolve(client.w, client.h), def.h.Resolve(client.w, client.h)};
    EXPECT_EQ(test::RectInParent(BuiltControl(def.id)), expected) << def.id;
  }
  EXPECT_NE(Value(0, "Befehlszeile").find("velkor_helper.exe\" serve"), std::string::npos) << Value(0, "Befehlszeile");
  EXPECT_NE(Value(0, "Aktueller Ordner").find(helperFolder_.path()), std::string::npos) << Value(0, "Aktueller Ordner");
  EXPECT_EQ(Value(0, "Architektur"), "64-Bit");
  EXPECT_EQ(Value(0, "Status"), "Läuft");

  ClickTab(2);  // "Threads": the main thread and three more
  EXPECT_TRUE(IsWindowVisible(List(2)) && !IsWindowVisible(List(0)));
  const int threads = ListView_GetItemCount(List(2));
  EXPECT_GE(threads, 4);
  // A thread more: the refresh adds its row in place, the selection stays.
  ListView_SetItemState(List(2), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  const std::string selected = win::ListViewCellText(List(2), 1, 0);
  win::UniqueKernelHandle thread(CreateRemoteThread(
      helper_.handle(), nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(&SleepEx)),
      reinterpret_cast<void*>(INFINITE), 0, nullptr));
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        RefreshProcessWindow();
        return ListView_GetItemCount(List(2)) == threads + 1;
      },
      5s));
  const int now = ListView_GetNextItem(List(2), -1, LVNI_SELECTED);
  ASSERT_GE(now, 0);
  EXPECT_EQ(win::ListViewCellText(List(2), now, 0), selected);
  ClickTab(3);
  EXPECT_GE(RowWith(3, 0, "version.dll"), 0);
  ClickTab(4);
  const int mark = RowWith(4, 0, "VELKOR_INFO_MARK");
  ASSERT_GE(mark, 0);
  EXPECT_EQ(win::ListViewCellText(List(4), mark, 1), "Wert-42");
  ClickTab(5);
  const int listening = RowWith(5, 1, "127.0.0.1:" + port_);
  // Wine's table names no owner (PID 0): the row can only be looked for
  // where the system says whose the port is.
  if (OwnerOfListeningPort(static_cast<uint16_t>(std::stoi(port_))) == helper_.pid()) {
    ASSERT_GE(listening, 0);
    EXPECT_EQ(win::ListViewCellText(List(5), listening, 3), "ABHÖREN");
  } else {
    EXPECT_EQ(listening, -1);
  }

  // Command 25 again for the same process keeps the window and its page.
  ASSERT_NO_FATAL_FAILURE(OpenFor(helper_.pid()));
  EXPECT_EQ(BuiltWindow(kProcessInfoWindow), window);
  EXPECT_TRUE(IsWindowVisible(List(5)));

  // The user's size outlives the window, in velkor.ini in 96-DPI units.
  const int dpi = LayoutDpiOf(kProcessInfoWindow);
  RECT outer{0, 0, ScaleToDpi(600, dpi), ScaleToDpi(480, dpi)};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE, 0);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
  SetFocus(List(5));
  PostMessageA(List(5), WM_KEYDOWN, VK_ESCAPE, 0);
  test::Pump();
  test::Pump();
  EXPECT_EQ(BuiltWindow(kProcessInfoWindow), nullptr);
  EXPECT_EQ(ProcessWindowPid(), std::nullopt);
  ASSERT_TRUE(WritePreferences());
  std::string saved;
  ASSERT_TRUE(test::ReadFileBytes(folder_.File("velkor.ini"), saved));
  EXPECT_NE(saved.find("InfoWidth = 600\r\nInfoHeight = 480\r\n"), std::string::npos) << saved;
}

// A helper started as the child of `parent`, as if that one had started it.
test::OwnedProcess StartChildOf(const test::OwnedProcess& parent) {
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<uint8_t> bytes(size);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(bytes.data());
  HANDLE parentHandle = parent.handle();
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return {};
  UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_PARENT_PROCESS, &parentHandle, sizeof parentHandle,
                            nullptr, nullptr);
  STARTUPINFOEXA startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.lpAttributeList = attributes;
  PROCESS_INFORMATION info{};
  const std::string exe = test::ProgramFolder() + "\\velkor_helper.exe";
  std::string line = "\"" + exe + "\"";
  const BOOL started = CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, EXTENDED_STARTUPINFO_PRESENT,
                                      nullptr, nullptr, &startup.StartupInfo, &info);
  DeleteProcThreadAttributeList(attributes);
  if (!started) return {};
  CloseHandle(info.hThread);
  return test::OwnedProcess(win::UniqueKernelHandle(info.hProcess), info.dwProcessId);
}

TEST_F(ProcessWindow, AnEndedProcessKeepsItsFiguresAndShowsItsExitCode) {
  test::OwnedProcess parent = test::StartHelper();
  test::OwnedProcess other = StartChildOf(parent);
  ASSERT_TRUE(other.valid());
  ASSERT_NO_FATAL_FAILURE(OpenFor(helper_.pid()));
  // Another process replaces the one shown.
  ASSERT_NO_FATAL_FAILURE(OpenFor(other.pid()));
  EXPECT_EQ(ProcessWindowPid(), other.pid());
  const std::string parentText = "velkor_helper.exe (" + std::to_string(parent.pid()) + ")";
  EXPECT_EQ(Value(0, "Übergeordneter Prozess"), parentText);
  // The parent ends first: its name stays, marked as ended.
  parent.End();
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        RefreshProcessWindow();
        return Value(0, "Übergeordneter Prozess") != parentText;
      },
      5s));
  EXPECT_EQ(Value(0, "Übergeordneter Prozess"), parentText + " (beendet)");
  ClickTab(2);
  const int threads = ListView_GetItemCount(List(2));
  ASSERT_GE(threads, 1);
  TerminateProcess(other.handle(), 999);
  ASSERT_EQ(other.WaitForExit(5s), 999u);
  RefreshProcessWindow();
  EXPECT_EQ(Caption(BuiltWindow(kProcessInfoWindow)),
            "Prozessinformationen - velkor_helper.exe (" + std::to_string(other.pid()) + ") - beendet");
  EXPECT_EQ(ListView_GetItemCount(List(2)), threads);
  EXPECT_EQ(Value(0, "Exitcode"), "999");
  EXPECT_EQ(Value(0, "Status"), "Beendet");
  RefreshProcessWindow();  // nothing is read any more
  EXPECT_EQ(ListView_GetItemCount(List(2)), threads);
}

// While the list refreshes, the window shows the figures of the list's own
// snapshot; one it has read already is not read again.
TEST_F(ProcessWindow, FiguresComeFromTheListsSnapshotOnceAndThenFromItsOwn) {
  ASSERT_NO_FATAL_FAILURE(OpenFor(helper_.pid()));
  ClickTab(1);
  const auto threads = [] { return std::stoi(Value(1, "Threads")); };
  // Threads of the helper that sleep until it ends.
  const auto start = [&](int count) {
    for (int n = 0; n < count; ++n) {
      win::UniqueKernelHandle thread(CreateRemoteThread(
          helper_.handle(), nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(&SleepEx)),
          reinterpret_cast<void*>(INFINITE), 0, nullptr));
      ASSERT_TRUE(thread.valid());
    }
    test::Pump();
  };
  const int before = threads();
  start(2);
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        RefreshProcessWindow();
        return threads() == before + 2;
      },
      5s));
  RefreshProcessList();
  start(2);
  RefreshProcessWindow();
  EXPECT_EQ(threads(), before + 2);
  RefreshProcessWindow();
  EXPECT_EQ(threads(), before + 4);

  // The load runs between two snapshots: a page shown again on the same one
  // shows the same load, not one over no time at all.
  test::OwnedProcess busy = test::Start(test::ProgramFolder() + "\\velkor_helper.exe", "busy");
  ASSERT_NO_FATAL_FAILURE(OpenFor(busy.pid()));
  ClickTab(1);
  const std::string idle = Value(1, "CPU-Last");
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        RefreshProcessWindow();
        return Value(1, "CPU-Last") != idle;
      },
      5s));
  const std::string load = Value(1, "CPU-Last");
  ClickTab(0);
  ClickTab(1);
  EXPECT_EQ(Value(1, "CPU-Last"), load);
}

// "Beenden" asks the main window's question, owned by this window, and ends
// the process shown with the configured exit code.
TEST_F(ProcessWindow, EndButtonAsksAndEndsTheProcessShown) {
  test::OwnedProcess other = test::StartHelper();
  ASSERT_NO_FATAL_FAILURE(OpenFor(other.pid()));
  std::string asked;
  HWND owner = nullptr;
  win::SetMessageBoxHook([&](HWND box, const std::string& text, const std::string&, UINT) {
    asked = text;
    owner = box;
    return IDYES;
  });
  SendMessageA(BuiltControl(kProcessInfoEndButton), BM_CLICK, 0, 0);
  win::SetMessageBoxHook({});
  EXPECT_NE(asked.find("velkor_helper.exe"), std::string::npos) << asked;
  EXPECT_EQ(owner, BuiltWindow(kProcessInfoWindow));
  EXPECT_EQ(other.WaitForExit(5s), 1067u);
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        RefreshProcessWindow();
        return Value(0, "Exitcode") == "1067";
      },
      5s));
}

TEST_F(ProcessWindow, RefreshesAndOpeningsLeaveNoObjectsBehind) {
  ASSERT_NO_FATAL_FAILURE(OpenFor(helper_.pid()));
  for (int page = 0; page < 8; ++page) ClickTab(page);
  RefreshProcessWindow();
  test::Pump();
  const uint32_t handles = test::OwnHandleCount(), gdi = test::OwnGdiObjectCount();
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  for (int round = 0; round < 1000; ++round) {
    if (round % 125 == 0) ClickTab(round / 125);
    RefreshProcessWindow();
  }
  // Closed as its close box closes it, opened again by toolbar button 25.
  for (int round = 0; round < 100; ++round) {
    SendMessageA(BuiltWindow(kProcessInfoWindow), WM_CLOSE, 0, 0);
    ASSERT_EQ(BuiltWindow(kProcessInfoWindow), nullptr);
    SendMessageA(ControlHandle(25), BM_CLICK, 0, 0);
    LoopEvent event;
    while (TakeLoopEvent(event)) DispatchEvent(event);
    ASSERT_NE(BuiltWindow(kProcessInfoWindow), nullptr);
    ClickTab(round % 8);
  }
  test::Pump();
  EXPECT_LE(test::OwnHandleCount(), handles);
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
}

}  // namespace
}  // namespace velkor
