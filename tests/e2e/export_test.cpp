// velkor.exe exports its process list through the menu item, the system's
// save dialog and, for an existing file, the system's message box.
#include <gtest/gtest.h>

#include <windows.h>

#include "program_support.h"
#include "support/save_dialog.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

constexpr auto kReactionBound = 10s;

class ProgramExport : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
    ASSERT_TRUE(run_.Start());
  }

  // Chooses "Prozessliste exportieren..." and answers the dialog with `name`.
  void ExportProcesses(int filterIndex, const std::string& name) {
    ASSERT_TRUE(PostMessageA(run_.main(), WM_COMMAND, 1, 0));
    HWND dialog = test::WaitForDialog(run_.pid(), "Prozessliste exportieren", kReactionBound);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(test::SaveDialogName(dialog), "Velkor");
    ASSERT_TRUE(test::SaveDialogAs(dialog, filterIndex, name));
  }

  test::ProgramRun run_;
};

TEST_F(ProgramExport, ProcessListToTextAndNeinKeepsTheOldFile) {
  const std::string path = run_.folder().File("prozesse.txt");
  ExportProcesses(1, run_.folder().File("prozesse"));
  std::string first;
  ASSERT_TRUE(test::WaitUntil([&] { return test::ReadFileBytes(path, first) && !first.empty(); }, kReactionBound));
  EXPECT_EQ(first.rfind("Velkor\r\nHTML Export (", 0), 0u);
  EXPECT_NE(first.find(" Uhr)\r\n\r\nProzess:"), std::string::npos);
  EXPECT_NE(first.find("\\bin\\velkor.exe"), std::string::npos);  // its own row, by path

  // The same name again: the system's message box asks, "Nein" declines.
  ExportProcesses(1, run_.folder().File("prozesse.txt"));
  HWND question = test::WaitForDialog(run_.pid(), "Velkor", kReactionBound);
  ASSERT_NE(question, nullptr);
  ASSERT_TRUE(test::PressDialogButton(question, IDNO));
  // A later export finishing shows that the declined one has ended.
  ExportProcesses(2, run_.folder().File("danach"));
  EXPECT_TRUE(test::WaitUntil([&] { return test::FileExists(run_.folder().File("danach.htm")); }, kReactionBound));
  std::string after;
  ASSERT_TRUE(test::ReadFileBytes(path, after));
  EXPECT_EQ(after, first);
}

}  // namespace
}  // namespace velkor
