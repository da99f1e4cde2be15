// velkor.exe and dornat.exe as whole programs: single instance, the signal of
// a second start, and the companion.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <deque>

#include "app/startup.h"
#include "program_support.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;
using test::OwnedProcess;

constexpr auto kStartBound = 20s;     // a cold program start under Wine
constexpr auto kReactionBound = 10s;  // the 250 ms checks, with room for a slow, shared machine

class Programs : public test::ProgramsTest {
 protected:
  // Starts velkor.exe and waits for its main window.
  OwnedProcess& StartVelkor(HWND* window = nullptr) {
    OwnedProcess& velkor = StartProgram("velkor.exe");
    HWND found = nullptr;
    EXPECT_TRUE(test::WaitUntil([&] { return (found = test::FindMainWindow(velkor.pid())) != nullptr; }, kStartBound));
    if (window) *window = found;
    return velkor;
  }

  static uint32_t WaitForCompanion() { return WaitForProcessNamed("dornat.exe"); }
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
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 50);
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
    EXPECT_TRUE(
        test::WaitUntil([&] { return IsWindowVisible(GetDlgItem(window, panels[view])) != 0; }, kReactionBound));
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
