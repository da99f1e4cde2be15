#include "support/built_windows.h"

#include "app/program_windows.h"
#include "procs/process_cpu_win.h"
#include "procs/process_library.h"
#include "settings/preferences.h"

namespace velkor::test {

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  LoopEvent event;
  while (TakeLoopEvent(event)) {
  }
}

void BuiltWindows::BuildHere(const std::string& settings, bool fillLists) {
  GetCurrentDirectoryA(MAX_PATH, previous_);
  SetCurrentDirectoryA(folder_.path().c_str());
  if (!settings.empty()) {
    ASSERT_TRUE(WriteFileBytes(folder_.File("velkor.ini"), settings));
  }
  SetPreferenceDefaults();
  InitProcessLibrary();  // as the program binds it at start
  InitCpuUsage();
  ASSERT_TRUE(BuildWindows());
  if (fillLists) {
    for (int list : kViewLists) FillListIfPending(list);
    for (int view = 0; view < kViewCount; ++view) BuildViewControls(view);
  }
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

void BuiltWindows::TearDown() {
  DestroyWindows();
  if (previous_[0]) SetCurrentDirectoryA(previous_);
}

}  // namespace velkor::test
