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

// Replacing an export keeps the old file's attributes and leaves every
// other file of the folder as it was, a user's "~" file beside it too.
TEST_F(ProgramExport, ReplacingKeepsTheAttributesAndTheFilesBeside) {
  const std::string path = run_.folder().File("liste.htm");
  const std::string tilde = run_.folder().File("~liste.htm");
  ASSERT_TRUE(test::WriteFileBytes(path, "alt"));
  ASSERT_TRUE(test::WriteFileBytes(tilde, "eine eigene Datei"));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  ExportProcesses(2, run_.folder().File("liste"));
  HWND question = test::WaitForDialog(run_.pid(), "Velkor", kReactionBound);
  ASSERT_NE(question, nullptr);
  ASSERT_TRUE(test::PressDialogButton(question, IDYES));
  std::string written;
  ASSERT_TRUE(test::WaitUntil([&] { return test::ReadFileBytes(path, written) && written.rfind("<!DOCTYPE", 0) == 0; },
                              kReactionBound));
  EXPECT_NE(written.find("</TABLE></BODY></HTML>"), std::string::npos);
  EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  std::string mine;
  ASSERT_TRUE(test::ReadFileBytes(tilde, mine));
  EXPECT_EQ(mine, "eine eigene Datei");
  WIN32_FIND_DATAA found{};
  int files = 0;
  HANDLE search = FindFirstFileA(run_.folder().File("*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  EXPECT_EQ(files, 2);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace velkor
