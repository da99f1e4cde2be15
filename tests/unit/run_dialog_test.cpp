#include "app/run_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/information.h"

namespace velkor {
namespace {

TEST(RunDialog, OnlyCommandsWithMoreThanSpacesCanRun) {
  EXPECT_FALSE(CanRunCommand(""));
  EXPECT_FALSE(CanRunCommand("    "));
  EXPECT_TRUE(CanRunCommand("  a "));
  const RunRequest blank = PlanRun("   ", "  x ");
  EXPECT_TRUE(blank.command.empty());
}

TEST(RunDialog, FolderComesFromThePathPartOfTheCommand) {
  struct Case {
    const char* command;
    const char* folder;
  } cases[] = {
      {"notepad.exe", ""},
      {"C:\\Windows\\notepad.exe", "C:\\Windows\\"},
      {"C:/tools/a.exe", "C:/tools/"},
      {"\"C:\\Program Files\\Big App\\app.exe\"", "C:\\Program Files\\Big App\\"},
      {"C:\\a\\b.exe|D:\\c\\d", "C:\\a\\"},  // nothing from the first "|" on
      {"|C:\\a\\b.exe", ""},
      {"\\\\server\\share\\x.bat", "\\\\server\\share\\"},
      {"\"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandFolder(c.command), c.folder) << c.command;
}

TEST(RunDialog, PlanTrimsAndOpensQuotedPathsWithoutTheirQuotes) {
  RunRequest r = PlanRun("  notepad.exe  ", "   C:\\x y\\a.txt  ");
  EXPECT_EQ(r.command, "notepad.exe");
  EXPECT_EQ(r.file, "notepad.exe");
  EXPECT_EQ(r.parameters, "C:\\x y\\a.txt");
  EXPECT_EQ(r.folder, "");

  r = PlanRun(" \"C:\\Program Files\\App\\app.exe\" ", "");
  EXPECT_EQ(r.command, "\"C:\\Program Files\\App\\app.exe\"");  // the history keeps what was typed
  EXPECT_EQ(r.file, "C:\\Program Files\\App\\app.exe");
  EXPECT_EQ(r.folder, "C:\\Program Files\\App\\");
  EXPECT_EQ(r.parameters, "");

  // What follows the closing quote goes first; its slashes name no folder.
  r = PlanRun("\"C:\\A B\\app.exe\" /x D:\\data\\", " -y ");
  EXPECT_EQ(r.file, "C:\\A B\\app.exe");
  EXPECT_EQ(r.parameters, "/x D:\\data\\ -y");
  EXPECT_EQ(r.folder, "C:\\A B\\");

  // An unclosed quote is handed over as typed.
  r = PlanRun("\"C:\\A B\\app.exe", "");
  EXPECT_EQ(r.file, "\"C:\\A B\\app.exe");
  EXPECT_EQ(r.folder, "C:\\A B\\");
}

TEST(RunDialog, HistoryKeepsEachCommandOnceWithLetterCaseCounting) {
  std::vector<std::string> history;
  for (const char* command : {"notepad.exe", "notepad.exe", "NOTEPAD.EXE", "calc", "notepad.exe"})
    if (BelongsInHistory(history, command)) history.emplace_back(command);
  EXPECT_EQ(history, (std::vector<std::string>{"notepad.exe", "NOTEPAD.EXE", "calc"}));
}

TEST(RunDialog, FailureTextAndFileFilter) {
  EXPECT_EQ(RunFailureText("x.exe"), "\"x.exe\" konnte nicht ausgef\xFChrt werden!");
  const std::string filter = FileDialogFilter(kRunBrowseFilter);
  ASSERT_GE(filter.size(), 2u);
  EXPECT_EQ(filter.substr(filter.size() - 2), std::string(2, '\0'));
  EXPECT_EQ(std::count(filter.begin(), filter.end(), '\0'), 7);
  EXPECT_EQ(filter.find('|'), std::string::npos);
  EXPECT_EQ(std::string(filter.c_str()), "Programme");
}

TEST(Information, OpensCentredAndEveryPageSwitchReturnsWhereItStarted) {
  const Rect start = InformationPlacement(100, 50, {640, 481});
  EXPECT_EQ(start, (Rect{280, 145, 280, 290}));  // 481 / 2 rounds down
  // Near the left edge it may stand partly off the screen; nothing corrects it.
  EXPECT_EQ(InformationPlacement(-300, 0, {570, 400}).x, -155);
  Rect r = start;
  for (int round = 0; round < 3; ++round) {
    r = PlacementForPage(r, kDisclaimerPage);
    EXPECT_EQ(r, (Rect{start.x - 80, start.y, 420, 290}));
    r = PlacementForPage(r, kAboutPage);
  }
  EXPECT_EQ(r, start);
}

TEST(Information, LinksAndLicenceTerms) {
  EXPECT_EQ(LinkTarget(307).substr(0, 7), "mailto:");
  EXPECT_TRUE(LinkTarget(309).empty());
  EXPECT_FALSE(LinkTarget(312).empty());
  EXPECT_FALSE(LinkTarget(314).empty());
  const std::string_view terms = DisclaimerText();
  EXPECT_EQ(terms.size(), 2580u);
  size_t breaks = 0;
  for (size_t at = terms.find("\r\n"); at != std::string_view::npos; at = terms.find("\r\n", at + 2)) ++breaks;
  EXPECT_EQ(breaks, 61u);
  EXPECT_EQ(std::count(terms.begin(), terms.end(), '\n'), 61);  // no bare line feeds
  // German first, then English; no address of any kind.
  EXPECT_LT(terms.find("LIZENZBEDINGUNGEN"), terms.find("LICENCE TERMS"));
  for (const char* address : {"@", "http", "www.", ".com", ".de"})
    EXPECT_EQ(terms.find(address), std::string_view::npos) << address;

  // The archive's LICENSE (UTF-8, line feeds) says what the window says.
  std::string shown;
  for (const char c : terms) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') continue;
    if (byte < 0x80) {
      shown += c;
    } else {  // the terms use only letters that Windows-1252 and Latin-1 share
      shown += static_cast<char>(0xC0 | (byte >> 6));
      shown += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  std::ifstream file(VELKOR_ASSETS_DIR "/../LICENSE", std::ios::binary);
  const std::string licence((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(licence, shown + "\n");
}

}  // namespace
}  // namespace velkor
