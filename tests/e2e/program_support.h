// What the whole-program tests share: finding the programs' windows, ending
// what they started, and velkor.exe run in a folder of its own.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "support/wine_support.h"

namespace velkor::test {

// A top-level window of process `pid` with that class and title (empty: any);
// hidden windows count only when `visibleOnly` is false.
HWND FindWindowOf(uint32_t pid, const std::string& className, const std::string& title, bool visibleOnly = true);
// The visible main window of a velkor.exe.
HWND FindMainWindow(uint32_t pid);
// A window's text, asked of its owner (edit controls of other processes keep
// theirs to themselves); "" when the owner does not answer in 5 s.
std::string WindowTextOf(HWND window);
// Ends every process of that name not in `spared`, each waited for up to 5 s.
void EndProcessesNamed(const std::string& name, const std::vector<uint32_t>& spared = {});

// The prefix's DPI for programs started meanwhile (Wine reads LogPixels of
// the desktop settings when a process starts); the old value (or its
// absence) comes back at the end.
class PrefixDpi {
 public:
  explicit PrefixDpi(int dpi);
  ~PrefixDpi();
  PrefixDpi(const PrefixDpi&) = delete;
  PrefixDpi& operator=(const PrefixDpi&) = delete;
  void Set(int dpi);

 private:
  win::UniqueRegistryKey key_;
  std::optional<DWORD> old_;
};

// A left click of the mouse at `x`, `y` on the screen, through the input queue.
void ClickAtScreen(int x, int y);

// This thread reads other windows' rectangles in device pixels, not
// converted to its own DPI.
void ReadDevicePixels();

// A program of the program folder started in an empty folder of its own.
// Ending it ends the companion it started too.
class ProgramRun {
 public:
  ProgramRun() = default;
  ~ProgramRun() { End(); }
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // Starts `exe` and waits for its main window; false when none shows within
  // the start bound.
  bool Start(const std::string& exe = "velkor.exe");
  void End();

  [[nodiscard]] const TempFolder& folder() const { return folder_; }
  [[nodiscard]] OwnedProcess& process() { return process_; }
  [[nodiscard]] uint32_t pid() const { return process_.pid(); }
  [[nodiscard]] HWND main() const { return main_; }

 private:
  TempFolder folder_;
  // Holds the program and whatever it starts (the companion among them),
  // even one still starting when the test ends.
  win::UniqueKernelHandle job_;
  OwnedProcess process_;
  HWND main_ = nullptr;
};

// A test that starts velkor.exe and dornat.exe itself, as many as it likes,
// all in one empty folder. None may run before; after the test none runs,
// whoever started it. The signal file of a second start is removed before
// and after.
class ProgramsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts `exe` of the program folder; the reference stays valid.
  OwnedProcess& StartProgram(const char* exe);
  // The first process of that name, 0 when none runs within the start bound.
  static uint32_t WaitForProcessNamed(const char* name);

  TempFolder folder_;
  std::deque<OwnedProcess> started_;
};

}  // namespace velkor::test
