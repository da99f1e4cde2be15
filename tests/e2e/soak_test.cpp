// The main program over many refreshes: every list refreshed again and again
// while helper processes and their windows come and go around it. Its own
// object counts stay flat, it keeps running without a failure message, and
// each list shows exactly what is there after one refresh.
//
// The number of rounds comes from VELKOR_SOAK_ROUNDS (default 1000);
// scripts/soak runs longer soaks.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "probe_messages.h"
#include "program_support.h"
#include "support/wine_support.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;
using test::OwnedProcess;

constexpr auto kStartBound = 20s;
constexpr int kProcessList = 0;
constexpr int kWindowList = 1;
constexpr int kListCount = 6;  // five lists and the monitoring sample

struct Counts {
  long long handles = 0, gdi = 0, user = 0;
};

// A helper with a top-level window, started by the test.
struct HelperWindow {
  OwnedProcess process;
  HWND window = nullptr;
};

// A message box or the error dialog of process `pid`, if one shows.
HWND FailureWindowOf(uint32_t pid) {
  if (HWND box = test::FindWindowOf(pid, "#32770", {})) return box;
  return test::FindWindowOf(pid, "VelkorErrorDialog", {});
}

// velkor_probe.exe started by the test, and the questions it answers.
class ProbeTest : public test::ProgramsTest {
 protected:
  void StartProbe() {
    OwnedProcess& probe = StartProgram("velkor_probe.exe");
    pid_ = probe.pid();
    ASSERT_TRUE(test::WaitUntil([&] { return (main_ = test::FindMainWindow(pid_)) != nullptr; }, kStartBound));
    process_ = &probe;
    // The companion follows the window: its row and its windows belong in
    // every count, so it is waited for until it has built them. One of the
    // case before may still be listed while it ends: only a companion that
    // gets to wait for input counts.
    ASSERT_TRUE(test::WaitUntil(
        [] {
          for (uint32_t companion : test::ProcessIdsNamed("dornat.exe")) {
            const win::UniqueKernelHandle handle(
                OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, companion));
            if (handle && WaitForInputIdle(handle.get(), 50) == 0) return true;
          }
          return false;
        },
        kStartBound));
  }

  // One registered message to the probe, answered within 10 s or -1.
  LRESULT Ask(const char* name, WPARAM wParam, LPARAM lParam = 0) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(main_, RegisterWindowMessageA(name), wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result))
      return -1;
    return static_cast<LRESULT>(result);
  }
  LRESULT Refresh(int list) const { return Ask(probe::kRefresh, static_cast<WPARAM>(list)); }
  // Rows of the process list with that PID, of the window list with that handle.
  LRESULT ProcessRows(uint32_t pid) const { return Ask(probe::kRowsWith, kProcessList + (3 << 8), pid); }
  LRESULT WindowRowsOf(uint32_t pid) const { return Ask(probe::kRowsWith, kWindowList + (3 << 8), pid); }
  LRESULT WindowRows(HWND window) const {
    return Ask(probe::kRowsWith, kWindowList + (1 << 8), static_cast<LPARAM>(reinterpret_cast<uintptr_t>(window)));
  }
  Counts CountObjects() const {
    return {Ask(probe::kCount, probe::kHandles), Ask(probe::kCount, probe::kGdiObjects),
            Ask(probe::kCount, probe::kUserObjects)};
  }
  // Still running, no failure message on the screen.
  void ExpectUnharmed() {
    EXPECT_TRUE(process_->Running());
    EXPECT_EQ(FailureWindowOf(pid_), nullptr);
  }

  static HelperWindow StartHelperWindow(int number) {
    HelperWindow helper;
    helper.process =
        test::Start(test::ProgramFolder() + "\\velkor_helper.exe", "window Velkor-Probe-" + std::to_string(number));
    return helper;
  }
  static bool AwaitWindow(HelperWindow& helper) {
    const uint32_t pid = helper.process.pid();
    return test::WaitUntil(
        [&] { return (helper.window = test::FindWindowOf(pid, "VelkorHelperWindow", {})) != nullptr; }, kStartBound);
  }

  uint32_t pid_ = 0;
  HWND main_ = nullptr;
  OwnedProcess* process_ = nullptr;
};

int SoakRounds() {
  const char* text = std::getenv("VELKOR_SOAK_ROUNDS");
  const int rounds = text ? std::atoi(text) : 0;
  return rounds > 0 ? rounds : 1000;
}

// One list (its index in view order; 5 is the monitoring sample) per case.
class Soak : public ProbeTest, public ::testing::WithParamInterface<int> {};

TEST_P(Soak, ListStaysExactAndTheObjectCountsFlatOverManyRefreshes) {
  ASSERT_NO_FATAL_FAILURE(StartProbe());
  const int list = GetParam();
  const int rounds = SoakRounds();
  // The helpers change every few rounds: the oldest ends and the one
  // started at the change before (its window shown meanwhile) joins them.
  constexpr int kChangeEvery = 50;
  std::deque<HelperWindow> helpers;
  for (int i = 0; i < 3; ++i) helpers.push_back(StartHelperWindow(i));
  for (HelperWindow& helper : helpers) ASSERT_TRUE(AwaitWindow(helper));
  HelperWindow next = StartHelperWindow(3);
  const int warmUp = std::max(50, rounds / 10);
  LRESULT firstRows = -1;
  Counts warm, highest, last;
  int changes = 0;
  const ULONGLONG start = GetTickCount64();
  for (int round = 0; round < rounds && !HasFailure(); ++round) {
    uint32_t goneProcess = 0;
    HWND goneWindow = nullptr;
    if (round > 0 && round % kChangeEvery == 0) {
      goneProcess = helpers.front().process.pid();
      goneWindow = helpers.front().window;
      helpers.pop_front();  // ends it, waited for
      ASSERT_TRUE(AwaitWindow(next));
      helpers.push_back(std::move(next));
      next = StartHelperWindow(4 + changes++);
    }
    const LRESULT rows = Refresh(list);
    ASSERT_GE(rows, 0) << "round " << round;
    if (firstRows < 0) firstRows = rows;
    if (list == kProcessList && goneProcess) {
      // One refresh after the change shows exactly the present helpers.
      EXPECT_EQ(ProcessRows(goneProcess), 0) << "round " << round;
      for (const HelperWindow& helper : helpers) EXPECT_EQ(ProcessRows(helper.process.pid()), 1) << round;
    } else if (list == kWindowList && goneProcess) {
      EXPECT_EQ(WindowRows(goneWindow), 0) << "round " << round;
      for (const HelperWindow& helper : helpers) EXPECT_EQ(WindowRows(helper.window), 1) << "round " << round;
    } else if (list > kWindowList) {
      EXPECT_EQ(rows, firstRows) << "round " << round;  // the helpers do not change these
    }
    if (round + 1 == warmUp) highest = warm = CountObjects();
    if (round + 1 > warmUp && ((round + 1) % warmUp == 0 || round + 1 == rounds)) {
      last = CountObjects();
      highest = {std::max(highest.handles, last.handles), std::max(highest.gdi, last.gdi),
                 std::max(highest.user, last.user)};
    }
  }
  const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
  std::printf(
      "soak of list %d: %d refreshes in %.1f s; handles %lld -> %lld (highest %lld), GDI objects %lld -> "
      "%lld (highest %lld), windows %lld -> %lld (highest %lld)\n",
      list, rounds, seconds, warm.handles, last.handles, highest.handles, warm.gdi, last.gdi, highest.gdi, warm.user,
      last.user, highest.user);
  ASSERT_GT(warm.handles, 0);
  ASSERT_GT(warm.gdi, 0);
  ASSERT_GT(warm.user, 0);
  // Flat after the warm-up: no later count above it by more than a little
  // (what the system itself opens and closes as it likes).
  EXPECT_LE(highest.handles, warm.handles + 8);
  EXPECT_LE(highest.gdi, warm.gdi + 4);
  EXPECT_LE(highest.user, warm.user);
  ExpectUnharmed();
}

std::string ListName(const ::testing::TestParamInfo<int>& list) {
  constexpr const char* kNames[] = {"Processes", "Windows", "Services", "Drivers", "Network", "Monitoring"};
  return kNames[list.param];
}

INSTANTIATE_TEST_SUITE_P(EveryList, Soak, ::testing::Range(0, kListCount), ListName);

// Helpers started at a steady rate for a while, each ended soon after (half
// of them with a window, half ending by themselves).
struct ChurnOutcome {
  std::vector<uint32_t> pids;
  double seconds = 0;
};

// `starters` threads share the starts; each ends its helpers a few starts later.
ChurnOutcome Churn(int perSecond, int count, int starters) {
  ChurnOutcome outcome;
  std::mutex lock;
  const std::string helper = test::ProgramFolder() + "\\velkor_helper.exe";
  const ULONGLONG start = GetTickCount64();
  auto starter = [&](int first) {
    std::deque<OwnedProcess> running;
    for (int i = first; i < count; i += starters) {
      // Paced against the start, so a slow start is made up by the next ones.
      const ULONGLONG due = start + static_cast<ULONGLONG>(i) * 1000 / static_cast<ULONGLONG>(perSecond);
      if (const ULONGLONG now = GetTickCount64(); now < due) Sleep(static_cast<DWORD>(due - now));
      running.push_back(test::Start(helper, i % 2 ? "exit 0" : "window Velkor-Churn-" + std::to_string(i)));
      if (running.back().valid()) {
        std::lock_guard<std::mutex> hold(lock);
        outcome.pids.push_back(running.back().pid());
      }
      if (running.size() > 2) running.pop_front();  // ended, waited for
    }
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < starters; ++i) threads.emplace_back(starter, i);
  for (std::thread& thread : threads) thread.join();
  outcome.seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
  return outcome;
}

TEST_F(ProbeTest, HundredProcessesASecondComingAndGoingLeaveNoStaleRowAndNoFailure) {
  ASSERT_NO_FATAL_FAILURE(StartProbe());
  // Wine starts a few dozen processes a second on two cores: the starts are
  // paced for a hundred a second from four threads and reach what they can.
  constexpr int kHelpers = 200;
  ASSERT_GT(Refresh(kProcessList), 0);
  ASSERT_GT(Refresh(kWindowList), 0);
  const Counts before = CountObjects();
  std::atomic<bool> churning = true;
  ChurnOutcome churn;
  std::thread churner([&] {
    churn = Churn(100, kHelpers, 4);
    churning = false;
  });
  int refreshes = 0;
  while (churning) {
    const bool answered = Refresh(kProcessList) >= 0 && Refresh(kWindowList) >= 0;
    EXPECT_TRUE(answered);
    if (!answered) break;
    ++refreshes;
  }
  churner.join();
  std::printf("churn: %zu helpers in %.1f s beside %d refreshes of both lists\n", churn.pids.size(), churn.seconds,
              refreshes);
  EXPECT_EQ(churn.pids.size(), static_cast<size_t>(kHelpers));
  EXPECT_GT(refreshes, 1);
  // After one refresh each nothing of the helpers stays, not even a handle.
  EXPECT_GT(Refresh(kProcessList), 0);
  EXPECT_GT(Refresh(kWindowList), 0);
  const Counts after = CountObjects();
  EXPECT_LE(after.handles, before.handles + 8);
  EXPECT_LE(after.gdi, before.gdi + 4);
  EXPECT_LE(after.user, before.user);
  for (uint32_t pid : churn.pids) {
    ASSERT_EQ(ProcessRows(pid), 0) << pid;
    ASSERT_EQ(WindowRowsOf(pid), 0) << pid;
  }
  ExpectUnharmed();
}

}  // namespace
}  // namespace velkor
