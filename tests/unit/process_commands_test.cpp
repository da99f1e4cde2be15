#include "procs/process_commands.h"

#include <gtest/gtest.h>

#include "procs/priority.h"

namespace velkor {
namespace {

TEST(ProcessCommands, PriorityCommandsAndClassesMatch) {
  EXPECT_EQ(PriorityClassOfCommand(33), 0x100u);
  EXPECT_EQ(PriorityClassOfCommand(34), 0x80u);
  EXPECT_EQ(PriorityClassOfCommand(35), 0x8000u);
  EXPECT_EQ(PriorityClassOfCommand(36), 0x20u);
  EXPECT_EQ(PriorityClassOfCommand(37), 0x4000u);
  EXPECT_EQ(PriorityClassOfCommand(38), 0x40u);
  EXPECT_EQ(PriorityClassOfCommand(32), std::nullopt);
  EXPECT_EQ(PriorityClassOfCommand(39), std::nullopt);

  for (int command = 33; command <= 38; ++command)
    EXPECT_EQ(PriorityCommandOfClass(PriorityClassOfCommand(command).value()), command);
  EXPECT_EQ(PriorityCommandOfClass(0), std::nullopt);  // "N/A"
  EXPECT_EQ(PriorityCommandOfClass(0x21), std::nullopt);
}

TEST(ProcessCommands, MenuMarksAddUpOverTheSelectedRows) {
  ProcessMenuMarks marks;
  AddRowMarks(marks, kHighPriority, uint64_t{0b0101}, 4);
  AddRowMarks(marks, kIdlePriority, uint64_t{0b0011}, 4);
  AddRowMarks(marks, kHighPriority, std::nullopt, 4);  // affinity unreadable: priority only
  AddRowMarks(marks, 0, uint64_t{0b1000}, 4);
  EXPECT_EQ(marks.priorityItems, (std::vector<int>{34, 38}));
  EXPECT_EQ(marks.processorItems, (std::vector<int>{39, 40, 41, 42}));
}

TEST(ProcessCommands, MenuMarksStopAtTheProcessorCountAndAtSixtyFour) {
  ProcessMenuMarks two;
  AddRowMarks(two, kNormalPriority, ~uint64_t{0}, 2);
  EXPECT_EQ(two.processorItems, (std::vector<int>{39, 40}));

  ProcessMenuMarks many;
  AddRowMarks(many, kNormalPriority, ~uint64_t{0}, 128);
  ASSERT_EQ(many.processorItems.size(), 64u);
  EXPECT_EQ(many.processorItems.front(), 39);
  EXPECT_EQ(many.processorItems.back(), 102);
}

TEST(ProcessCommands, AffinityToggleFollowsTheCheckMark) {
  EXPECT_EQ(ToggledAffinity(0b11, 1, true), 0b01u);
  EXPECT_EQ(ToggledAffinity(0b01, 1, false), 0b11u);
  // Unchecking the last processor leaves an empty mask, which the system refuses.
  EXPECT_EQ(ToggledAffinity(0b01, 0, true), 0u);
  EXPECT_EQ(ToggledAffinity(0, 63, false), uint64_t{1} << 63);
  EXPECT_EQ(ToggledAffinity(0b10, 64, false), 0b10u);
  EXPECT_EQ(ToggledAffinity(0b10, -1, true), 0b10u);
}

TEST(ProcessCommands, QuestionsAndMessagesCarryTheNames) {
  EXPECT_EQ(KillQuestion({"notepad.exe"}), "Soll der Prozess \"notepad.exe\" wirklich beendet werden?");
  EXPECT_EQ(KillQuestion({"a.exe", "b.exe"}),
            "Sollen folgende Prozesse wirklich beendet werden?\r\n\r\n - a.exe\r\n - b.exe\r\n");
  EXPECT_EQ(KillFailedMessage("a.exe"), "Der Prozess \"a.exe\" konnte nicht beendet werden!");
  EXPECT_EQ(PriorityFailedMessage("a.exe"),
            "Die Priorit\xE4t von \"a.exe\" konnte nicht ge\xE4ndert werden, der Zugriff wurde verweigert!");
  EXPECT_EQ(FolderFailedMessage("a.exe"), "Das Verzeichnis von \"a.exe\" konnte nicht ermittelt werden!");
}

TEST(ProcessCommands, FolderOfAnExecutablePath) {
  EXPECT_EQ(FolderToOpen("C:\\Windows\\notepad.exe"), "C:\\Windows\\");
  EXPECT_EQ(FolderToOpen("C:/tools/x.exe"), "C:/tools/");
  EXPECT_EQ(FolderToOpen("C:\\mixed/dir\\x.exe"), "C:\\mixed/dir\\");
  EXPECT_EQ(FolderToOpen(""), std::nullopt);
  EXPECT_EQ(FolderToOpen("System"), std::nullopt);
  EXPECT_EQ(FolderToOpen("C:\\Windows\\"), std::nullopt);  // the folder would be the whole path
}

TEST(ProcessCommands, SearchAddressReplacesEveryPlaceholder) {
  const std::string google = "https://www.google.com/search?q=%22[SEARCH]%22";
  EXPECT_EQ(SearchAddress(google, "notepad.exe"), "https://www.google.com/search?q=%22notepad.exe%22");
  // A process without a path searches for nothing.
  EXPECT_EQ(SearchAddress(google, ""), "https://www.google.com/search?q=%22%22");
  EXPECT_EQ(SearchAddress("http://h/[SEARCH]/[SEARCH]", "a"), "http://h/a/a");
  EXPECT_EQ(SearchAddress("http://h/no-placeholder", "a"), "http://h/no-placeholder");
  EXPECT_EQ(SearchAddress("http://h/[SEARCH", "a"), "http://h/[SEARCH");
}

TEST(ProcessCommands, SearchTermsCannotBreakTheQuery) {
  EXPECT_EQ(SearchAddress("http://h/q=[SEARCH]&x=1", "a b&c#d%e+f.exe"), "http://h/q=a%20b%26c%23d%25e%2Bf.exe&x=1");
  EXPECT_EQ(SearchAddress("http://h/q=[SEARCH]", "\"x?=\"\t\x7F"), "http://h/q=%22x%3F%3D%22%09%7F");
  // A term that itself reads like the placeholder is not replaced again.
  EXPECT_EQ(SearchAddress("http://h/[SEARCH]", "[SEARCH]"), "http://h/[SEARCH]");
}

TEST(ProcessCommands, OnlyWebAddressesAreSearched) {
  const struct {
    const char* searchTemplate;
    bool web;
  } cases[] = {
      {"https://www.google.com/search?q=%22[SEARCH]%22", true},
      {"HTTP://suche.example/?q=[SEARCH]", true},
      {"http://[SEARCH]", true},
      {"", false},
      {"www.google.com/search?q=[SEARCH]", false},
      {"C:\\Windows\\system32\\calc.exe", false},
      {"calc.exe [SEARCH]", false},
      {"file:///C:/Windows/system32/calc.exe?[SEARCH]", false},
      {"ftp://host/[SEARCH]", false},
      {"javascript:alert([SEARCH])", false},
      {"http:", false},
      {"http://", false},
      {"http:///C:/calc.exe", false},
      {"http://\\\\server\\share\\tool.exe", false},
      {"https://host/?q=[SEARCH]\" --argument", false},
      {"https://host/?q=[SEARCH] x", false},
      {"https://host/\r\nq=[SEARCH]", false},
      {" https://host/", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsWebSearchTemplate(c.searchTemplate), c.web) << c.searchTemplate;
    EXPECT_EQ(SearchAddress(c.searchTemplate, "a.exe").has_value(), c.web) << c.searchTemplate;
  }
}

}  // namespace
}  // namespace velkor
