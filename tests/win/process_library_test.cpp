#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

#include "procs/process_library.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;
using test::OwnedProcess;
using test::StartHelper;

class ProcessLibrary : public ::testing::Test {
 protected:
  void SetUp() override { InitProcessLibrary(); }
  void TearDown() override { DestroyProcessLibrary(); }

  // Walks a fresh snapshot; the name the walk gives `pid`, or nothing.
  static bool FindInSnapshot(uint32_t pid, std::string* name = nullptr, uint64_t* workingSet = nullptr) {
    ExamineProcesses();
    while (NextProcess()) {
      if (ProcessID() != pid) continue;
      if (name) *name = ProcessName();
      if (workingSet) *workingSet = CurrentWorkingSet();
      return true;
    }
    return false;
  }
};

TEST_F(ProcessLibrary, SnapshotShowsAHelperWithNamePathAndCounters) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  std::string name;
  uint64_t workingSet = 0;
  ASSERT_TRUE(test::WaitUntil([&] { return FindInSnapshot(helper.pid(), &name, &workingSet) && workingSet > 0; }, 5s));
  EXPECT_EQ(name, "velkor_helper.exe");
  EXPECT_GT(workingSet, 0u);
  const std::string path = ProcessPath(helper.pid());
  EXPECT_EQ(path, test::ProgramFolder() + "\\velkor_helper.exe");
  EXPECT_GT(ProcessWorkingSet(helper.pid()), 0u);
  EXPECT_GT(ProcessPagefileUsage(helper.pid()), 0u);
}

TEST_F(ProcessLibrary, CursorStopsAtTheEndAndStaysThere) {
  const int count = ExamineProcesses();
  ASSERT_GT(count, 0);
  EXPECT_EQ(ProcessID(), 0u);  // before the first step there is no current process
  int steps = 0, last = 0;
  while (int position = NextProcess()) {
    EXPECT_EQ(position, last + 1);
    last = position;
    ++steps;
  }
  EXPECT_EQ(steps, count);
  EXPECT_EQ(NextProcess(), 0);
  EXPECT_EQ(NextProcess(), 0);
  // The cursor stays on the last entry: its identifier is still readable.
  EXPECT_NE(ProcessID(), 0u);
}

TEST_F(ProcessLibrary, PriorityIsReadAndChanged) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  EXPECT_EQ(GetProcessPriority(helper.pid()), static_cast<uint32_t>(NORMAL_PRIORITY_CLASS));
  EXPECT_NE(SetProcessPriority(helper.pid(), HIGH_PRIORITY_CLASS), 0);
  EXPECT_EQ(GetProcessPriority(helper.pid()), static_cast<uint32_t>(HIGH_PRIORITY_CLASS));
  EXPECT_NE(SetProcessPriority(helper.pid(), IDLE_PRIORITY_CLASS), 0);
  EXPECT_EQ(GetProcessPriority(helper.pid()), static_cast<uint32_t>(IDLE_PRIORITY_CLASS));
  // An undefined level opens the process, fails to set a class and still answers 1.
  EXPECT_EQ(SetPriorityLevel(helper.pid(), 7), 1);
  EXPECT_EQ(GetProcessPriority(helper.pid()), static_cast<uint32_t>(IDLE_PRIORITY_CLASS));
  EXPECT_EQ(SetPriorityLevel(helper.pid(), 1), 1);
  EXPECT_EQ(GetProcessPriority(helper.pid()), static_cast<uint32_t>(NORMAL_PRIORITY_CLASS));
}

TEST_F(ProcessLibrary, OwnPriorityLevelThroughMinusOne) {
  const DWORD before = GetPriorityClass(GetCurrentProcess());
  EXPECT_EQ(SetPriorityLevel(-1, 2), 1);
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  SetPriorityClass(GetCurrentProcess(), before);
}

TEST_F(ProcessLibrary, KillEndsWithTheRequestedExitCode) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  const uint32_t pid = helper.pid();
  EXPECT_NE(KillProcess(pid, 1067), 0);
  EXPECT_EQ(helper.WaitForExit(5s), 1067u);
  ASSERT_TRUE(test::WaitUntil([&] { return !FindInSnapshot(pid); }, 5s));
}

TEST_F(ProcessLibrary, AProcessThatCannotBeOpenedGivesTheFailureValues) {
  constexpr uint32_t kNoSuchPid = 0x7FFFFFFC;
  ASSERT_FALSE(FindInSnapshot(kNoSuchPid));
  EXPECT_EQ(ProcessPath(kNoSuchPid), "");
  EXPECT_EQ(ProcessWorkingSet(kNoSuchPid), 0u);
  EXPECT_EQ(ProcessPagefileUsage(kNoSuchPid), 0u);
  EXPECT_EQ(ProcessPagedPool(kNoSuchPid), 0u);
  EXPECT_EQ(ProcessNonPagedPool(kNoSuchPid), 0u);
  EXPECT_EQ(GetProcessPriority(kNoSuchPid), 0u);
  EXPECT_EQ(KillProcess(kNoSuchPid, 1), 0);
  EXPECT_EQ(SetProcessPriority(kNoSuchPid, HIGH_PRIORITY_CLASS), 0);
  EXPECT_EQ(RemovePageFaults(kNoSuchPid), -2);
  EXPECT_EQ(SetPriorityLevel(kNoSuchPid, 1), 0);
}

TEST_F(ProcessLibrary, TrimmingAWorkingSetSucceeds) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  ASSERT_TRUE(test::WaitUntil([&] { return ProcessWorkingSet(helper.pid()) > 0; }, 5s));
  EXPECT_NE(RemovePageFaults(helper.pid()), 0);
  EXPECT_NE(RemovePageFaults(helper.pid()), -2);
}

TEST_F(ProcessLibrary, WithoutPsapiEverythingGivesItsFailureValue) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  // A library that does not exist, and one that lacks the functions.
  for (const char* library : {"velkor-no-such-library.dll", "kernel32.dll"}) {
    SCOPED_TRACE(library);
    InitProcessLibraryFrom(library);
    EXPECT_FALSE(ProcessLibraryBound());
    EXPECT_EQ(ExamineProcesses(), 0);
    EXPECT_EQ(NextProcess(), 0);
    EXPECT_EQ(ProcessName(), "");
    EXPECT_EQ(ProcessPath(helper.pid()), "");
    EXPECT_EQ(ProcessWorkingSet(helper.pid()), 0u);
    EXPECT_EQ(ExamineDrivers(), 0);
    EXPECT_EQ(NextDriver(), 0);
    EXPECT_EQ(DriverBaseName(), "");
  }
  InitProcessLibrary();
  EXPECT_TRUE(ProcessLibraryBound());
  EXPECT_TRUE(FindInSnapshot(helper.pid()));
}

TEST_F(ProcessLibrary, DriverWalkFollowsTheSameCursorRules) {
  const int count = ExamineDrivers();
  ASSERT_GE(count, 0);
  int steps = 0;
  while (NextDriver()) {
    ++steps;
    EXPECT_NE(DriverImageBase(), 0u);
  }
  EXPECT_EQ(steps, count);
  EXPECT_EQ(NextDriver(), 0);
}

}  // namespace
}  // namespace velkor
