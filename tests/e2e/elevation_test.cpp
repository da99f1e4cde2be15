// "Als Administrator neu starten" of the real program: Wine has no elevation
// prompt and starts the program as it is, so the new instance takes over
// from the old one, which leaves through its shutdown routine.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "program_support.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

TEST(Elevation, RestartHandsOverToTheNewInstance) {
  ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
  test::ProgramRun run;
  ASSERT_TRUE(run.Start());
  const uint32_t old = run.pid();
  PostMessageA(run.main(), WM_COMMAND, 325, 0);  // "Datei" > "Als Administrator neu starten"
  EXPECT_EQ(run.process().WaitForExit(20s), 0u);
  EXPECT_TRUE(test::FileExists(run.folder().File("velkor.ini")));
  uint32_t successor = 0;
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        for (uint32_t pid : test::ProcessIdsNamed("velkor.exe"))
          if (pid != old && test::FindMainWindow(pid)) successor = pid;
        return successor != 0;
      },
      20s));
  run.End();  // the new instance runs in the test's job too
  test::EndProcessesNamed("velkor.exe");
}

}  // namespace
}  // namespace velkor
