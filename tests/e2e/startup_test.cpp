// velkor.exe and dornat.exe as whole programs: single instance, the signal of
// a second start, and the companion.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <deque>

#include "app/startup.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;
using test::OwnedProcess;

constexpr auto kStartBound = 20s;  // a cold program start under Wine
constexpr auto kReactionBound = 10s;  // the 250 ms checks, with room for a slow, shared machine

HWND FindMainWindow(uint32_t pid) {
  struct Search {
    uint32_t pid;
    HWND found;
  } search{pid, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        char title[64] = {};
        GetWindowTextA(window, title, sizeof title);
        if (owner == s->pid && IsWindowVisible(window) && std::string(className) == "VelkorWindow" &&
            std::string(title) == "Velkor") {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class Programs : public ::testing::Test {
 protected:
  void SetUp() override {
    // Programs of an earlier, failed run would change what these tests see.
    ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
    ASSERT_TRUE(test::ProcessIdsNamed("dornat.exe").empty()) << "a dornat.exe is already running";
    DeleteFileA(SignalFilePath().c_str());
  }

  // Ends what the test started: its own processes and the companions that
  // the programs it started have started in turn.
  void TearDown() override {
    for (OwnedProcess& p : started_) p.End();
    for (const char* name : {"dornat.exe", "velkor.exe"}) {
      for (uint32_t pid : test::ProcessIdsNamed(name)) {
        win::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (process) {
          TerminateProcess(process.get(), 999);
          WaitForSingleObject(process.get(), 5000);
        }
      }
    }
    DeleteFileA(SignalFilePath().c_str());
  }

  OwnedProcess& StartProgram(const char* exe) {
    started_.push_back(test::Start(test::ProgramFolder() + "\\" + exe, {}, folder_.path()));
    return started_.back();
  }

  // Starts velkor.exe and waits for its main window.
  OwnedProcess& StartVelkor(HWND* window = nullptr) {
    OwnedProcess& velkor = StartProgram("velkor.exe");
    HWND found = nullptr;
    EXPECT_TRUE(test::WaitUntil([&] { return (found = FindMainWindow(velkor.pid())) != nullptr; }, kStartBound));
    if (window) *window = found;
    return velkor;
  }

  static uint32_t WaitForCompanion() {
    uint32_t pid = 0;
    test::WaitUntil(
        [&] {
          auto ids = test::ProcessIdsNamed("dornat.exe");
          pid = ids.empty() ? 0 : ids.front();
          return pid != 0;
        },
        kStartBound);
    return pid;
  }

  test::TempFolder folder_;
  std::deque<OwnedProcess> started_;  // references stay valid as it grows
};

TEST_F(Programs, SecondStartLeavesOneInstanceAndItsSignalIsConsumed) {
  OwnedProcess& first = StartVelkor();
  ASSERT_TRUE(first.Running());
  OwnedProcess& second = StartProgram("velkor.exe");
  EXPECT_EQ(second.WaitForExit(kStartBound), 0u);
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(test::ProcessIdsNamed("velkor.exe"), std::vector<uint32_t>{first.pid()});
  // The running instance finds the signal within its 250 ms check and deletes it.
  EXPECT_TRUE(test::WaitUntil([] { return !test::FileExists(SignalFilePath()); }, kReactionBound));
}

TEST_F(Programs, LeftoverEmptySignalIsConsumedOnceAfterStart) {
  ASSERT_TRUE(test::WriteFileBytes(SignalFilePath(), ""));
  StartVelkor();
  EXPECT_TRUE(test::WaitUntil([] { return !test::FileExists(SignalFilePath()); }, kReactionBound));
}

TEST_F(Programs, NonEmptyFileOfTheSignalNameIsLeftAlone) {
  ASSERT_TRUE(test::WriteFileBytes(SignalFilePath(), "not a signal"));
  StartVelkor();
  // Several check periods pass without the file being touched.
  EXPECT_FALSE(test::WaitUntil([] { return !test::FileExists(SignalFilePath()); }, 1500ms));
  std::string content;
  ASSERT_TRUE(test::ReadFileBytes(SignalFilePath(), content));
  EXPECT_EQ(content, "not a signal");
}

TEST_F(Programs, CompanionIsStartedWhenAbsent) {
  StartVelkor();
  EXPECT_NE(WaitForCompanion(), 0u);
}

TEST_F(Programs, CompanionIsNotStartedWhenPresent) {
  OwnedProcess& companion = StartProgram("dornat.exe");
  ASSERT_TRUE(test::WaitUntil([&] { return !test::ProcessIdsNamed("dornat.exe").empty(); }, kStartBound));
  StartVelkor();
  // The companion check happens before the main window is built.
  EXPECT_EQ(test::ProcessIdsNamed("dornat.exe"), std::vector<uint32_t>{companion.pid()});
}

TEST_F(Programs, EndingTheStartedCompanionEndsTheMainProgram) {
  OwnedProcess& velkor = StartVelkor();
  const uint32_t companion = WaitForCompanion();
  ASSERT_NE(companion, 0u);
  win::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, companion));
  ASSERT_TRUE(process);
  ASSERT_TRUE(TerminateProcess(process.get(), 0));
  EXPECT_EQ(velkor.WaitForExit(kReactionBound), 0u);
}

TEST_F(Programs, EndingACompanionItDidNotStartLeavesTheMainProgramRunning) {
  OwnedProcess& companion = StartProgram("dornat.exe");
  ASSERT_TRUE(test::WaitUntil([&] { return !test::ProcessIdsNamed("dornat.exe").empty(); }, kStartBound));
  OwnedProcess& velkor = StartVelkor();
  companion.End();
  EXPECT_EQ(velkor.WaitForExit(1s), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(Programs, ClosingTheMainWindowByDefaultEndsOnlyTheMainProgram) {
  HWND window = nullptr;
  OwnedProcess& velkor = StartVelkor(&window);
  ASSERT_NE(window, nullptr);
  const uint32_t companion = WaitForCompanion();
  ASSERT_NE(companion, 0u);
  ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
  EXPECT_EQ(velkor.WaitForExit(kReactionBound), 0u);
  EXPECT_EQ(test::ProcessIdsNamed("dornat.exe"), std::vector<uint32_t>{companion});
}

TEST_F(Programs, WithRemainZeroClosingEndsTheStartedCompanionToo) {
  ASSERT_TRUE(test::WriteFileBytes(folder_.File("velkor.ini"), "[General]\r\nPreferencesRemain = 0\r\n"));
  HWND window = nullptr;
  OwnedProcess& velkor = StartVelkor(&window);
  ASSERT_NE(window, nullptr);
  const uint32_t companion = WaitForCompanion();
  ASSERT_NE(companion, 0u);
  ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
  EXPECT_EQ(velkor.WaitForExit(kReactionBound), 0u);
  EXPECT_TRUE(test::WaitUntil([] { return test::ProcessIdsNamed("dornat.exe").empty(); }, kReactionBound));
}

TEST_F(Programs, ClosingWritesTheSettingsFile) {
  HWND window = nullptr;
  OwnedProcess& velkor = StartVelkor(&window);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
  EXPECT_EQ(velkor.WaitForExit(kReactionBound), 0u);
  std::string content;
  ASSERT_TRUE(test::ReadFileBytes(folder_.File("velkor.ini"), content));
  EXPECT_EQ(content.rfind("[General]\r\n", 0), 0u);
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 48);
  EXPECT_NE(content.find("PreferencesRemain = 1\r\n"), std::string::npos);
}

TEST_F(Programs, EveryViewIsReachedByClickingTheTabStrip) {
  HWND window = nullptr;
  StartVelkor(&window);
  ASSERT_NE(window, nullptr);
  const int panels[] = {138, 146, 151, 153, 155, 192};
  const int tabCentres[] = {42, 112, 167, 221, 280, 355};
  for (int view : {3, 1, 5, 0, 4, 2}) {
    SCOPED_TRACE(view);
    POINT point{tabCentres[view], 42};
    ClientToScreen(window, &point);
    SetForegroundWindow(window);
    SetCursorPos(point.x, point.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
    EXPECT_TRUE(test::WaitUntil([&] { return IsWindowVisible(GetDlgItem(window, panels[view])) != 0; }, kReactionBound));
    for (int other = 0; other < 6; ++other) {
      if (other != view) {
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, panels[other]))) << other;
      }
    }
  }
}

TEST_F(Programs, CompanionRunsOnce) {
  OwnedProcess& first = StartProgram("dornat.exe");
  // The first one runs once it holds its mutex.
  ASSERT_TRUE(test::WaitUntil(
      [] { return win::UniqueKernelHandle(OpenMutexA(SYNCHRONIZE, FALSE, "Velkor Systray")).valid(); }, kStartBound));
  OwnedProcess& second = StartProgram("dornat.exe");
  EXPECT_EQ(second.WaitForExit(kStartBound), 0u);
  EXPECT_TRUE(first.Running());
}

}  // namespace
}  // namespace velkor
