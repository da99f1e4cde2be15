// velkor.exe exports its process list through the menu item, the system's
// save dialog and, for an existing file, the system's message box.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/save_dialog.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

constexpr auto kStartBound = 20s;
constexpr auto kReactionBound = 10s;

HWND FindVelkorWindow(uint32_t pid) {
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
        if (owner != s->pid || !IsWindowVisible(window) || std::string(className) != "VelkorWindow") return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class ProgramExport : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
    velkor_ = test::Start(test::ProgramFolder() + "\\velkor.exe", {}, folder_.path());
    ASSERT_TRUE(test::WaitUntil([&] { return (window_ = FindVelkorWindow(velkor_.pid())) != nullptr; }, kStartBound));
  }
  // Ends the program and the companion it started.
  void TearDown() override {
    velkor_.End();
    for (uint32_t pid : test::ProcessIdsNamed("dornat.exe")) {
      win::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
      if (process) {
        TerminateProcess(process.get(), 999);
        WaitForSingleObject(process.get(), 5000);
      }
    }
  }

  // Chooses "Prozessliste exportieren..." and answers the dialog with `name`.
  void ExportProcesses(int filterIndex, const std::string& name) {
    ASSERT_TRUE(PostMessageA(window_, WM_COMMAND, 1, 0));
    HWND dialog = test::WaitForDialog(velkor_.pid(), "Prozessliste exportieren", kReactionBound);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(test::SaveDialogName(dialog), "Velkor");
    ASSERT_TRUE(test::SaveDialogAs(dialog, filterIndex, name));
  }

  test::TempFolder folder_;
  test::OwnedProcess velkor_;
  HWND window_ = nullptr;
};

TEST_F(ProgramExport, ProcessListToTextAndNeinKeepsTheOldFile) {
  const std::string path = folder_.File("prozesse.txt");
  ExportProcesses(1, folder_.File("prozesse"));
  std::string first;
  ASSERT_TRUE(test::WaitUntil([&] { return test::ReadFileBytes(path, first) && !first.empty(); }, kReactionBound));
  EXPECT_EQ(first.rfind("Velkor\r\nHTML Export (", 0), 0u);
  EXPECT_NE(first.find(" Uhr)\r\n\r\nProzess:"), std::string::npos);
  EXPECT_NE(first.find("\\bin\\velkor.exe"), std::string::npos);  // its own row, by path

  // The same name again: the system's message box asks, "Nein" declines.
  ExportProcesses(1, folder_.File("prozesse.txt"));
  HWND question = test::WaitForDialog(velkor_.pid(), "Velkor", kReactionBound);
  ASSERT_NE(question, nullptr);
  ASSERT_TRUE(test::PressDialogButton(question, IDNO));
  // A later export finishing shows that the declined one has ended.
  ExportProcesses(2, folder_.File("danach"));
  EXPECT_TRUE(test::WaitUntil([&] { return test::FileExists(folder_.File("danach.htm")); }, kReactionBound));
  std::string after;
  ASSERT_TRUE(test::ReadFileBytes(path, after));
  EXPECT_EQ(after, first);
}

}  // namespace
}  // namespace velkor
