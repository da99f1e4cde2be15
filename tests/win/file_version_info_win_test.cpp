#include <gtest/gtest.h>

#include <windows.h>

#include "procs/file_version_info_win.h"
#include "support/wine_support.h"
#include "win/system_functions.h"

namespace velkor {
namespace {

std::string InBin(const char* name) { return test::ProgramFolder() + "\\" + name; }

TEST(FileVersionInfoWin, ReadsTheProgramsOwnResources) {
  const std::string velkor = InBin("velkor.exe");
  EXPECT_EQ(FileVersionText(velkor, 0x2, true), "Velkor");
  EXPECT_EQ(FileVersionText(velkor, 0x80, true), "Velkor-Projekt");
  EXPECT_EQ(FileVersionText(velkor, 0x2 | 0x80, true), "VelkorVelkor-Projekt");
  EXPECT_EQ(FileVersionText(velkor, 0x1 | 0x20, true), "1.0.0.0Velkor");
  EXPECT_EQ(FileVersionText(InBin("dornat.exe"), 0x2, true), "Velkor Systray");

  const auto languageName = win::Version().verLanguageName;
  ASSERT_NE(languageName, nullptr);
  char name[128] = {};
  languageName(0x0407, name, sizeof name);
  ASSERT_STRNE(name, "");
  EXPECT_EQ(FileVersionText(velkor, 0x1000, true), std::string("Language:\t") + name);
  EXPECT_EQ(FileVersionText(velkor, 0x1000, false), name);
  EXPECT_EQ(FileVersionText(velkor, 0x1002, true), std::string("Velkor\nLanguage:\t") + name);
}

TEST(FileVersionInfoWin, NothingForFilesWithoutResource) {
  test::TempFolder folder;
  ASSERT_TRUE(test::WriteFileBytes(folder.File("empty.exe"), ""));
  EXPECT_EQ(FileVersionText(InBin("velkor_helper.exe"), 0x2, true), "");
  EXPECT_EQ(FileVersionText(folder.path(), 0x2, true), "");
  EXPECT_EQ(FileVersionText(folder.File("empty.exe"), 0x2, true), "");
  EXPECT_EQ(FileVersionText(folder.File("absent.exe"), 0x2, true), "");
}

TEST(FileVersionInfoWin, ChangedFileIsReadAgain) {
  test::TempFolder folder;
  const std::string copy = folder.File("copy.exe");
  ASSERT_TRUE(CopyFileA(InBin("dornat.exe").c_str(), copy.c_str(), FALSE));
  EXPECT_EQ(FileVersionText(copy, 0x2, true), "Velkor Systray");
  ASSERT_TRUE(CopyFileA(InBin("velkor.exe").c_str(), copy.c_str(), FALSE));
  EXPECT_EQ(FileVersionText(copy, 0x2, true), "Velkor");
  ASSERT_TRUE(CopyFileA(InBin("velkor_helper.exe").c_str(), copy.c_str(), FALSE));
  EXPECT_EQ(FileVersionText(copy, 0x2, true), "");
}

}  // namespace
}  // namespace velkor
