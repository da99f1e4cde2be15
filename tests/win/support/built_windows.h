// A test fixture that builds the program's windows as the program does at
// start (defaults set, the process library bound), in an empty folder of
// their own as the working folder, and takes them down after the test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "support/wine_support.h"

namespace velkor::test {

// Handles the messages waiting for this thread and drops the loop events
// they queued, as a pass of the program's loop would without dispatching.
void Pump();

// Passes of the program's loop (events taken and dispatched) until `done`
// holds or `timeout` went by; whether it held.
bool LoopUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// A left click on the header of `list`'s `column` through the system's
// mouse input (its window shown in front and the column scrolled into
// sight first), then passes of the program's loop until `done` holds or
// 5 s went by; whether it held.
bool ClickListHeader(HWND list, int column, const std::function<bool()>& done);

class BuiltWindows : public ::testing::Test {
 protected:
  // Builds the windows; a `settings` text is written as velkor.ini first.
  // The lists of the hidden views are filled and the views built late are
  // built as the idle time after the start does, unless `fillLists` is false.
  void BuildHere(const std::string& settings = {}, bool fillLists = true);
  // Destroys the windows and returns to the working folder of before.
  void TearDown() override;

  TempFolder folder_;

 private:
  char previous_[MAX_PATH] = {};
};

}  // namespace velkor::test
