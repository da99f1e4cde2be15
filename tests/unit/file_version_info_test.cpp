#include "procs/file_version_info.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace velkor {
namespace {

// A version block answering from a table of sub-block paths, recording the
// paths it was asked for.
class TableBlock final : public VersionBlock {
 public:
  std::map<std::string, std::string> entries;
  mutable std::vector<std::string> asked;

  std::optional<std::string_view> Query(const std::string& subBlock) const override {
    asked.push_back(subBlock);
    const auto found = entries.find(subBlock);
    if (found == entries.end()) return std::nullopt;
    return std::string_view(found->second);
  }
  std::string LanguageName(uint16_t language) const override {
    return language == 0x0407 ? "Deutsch (Deutschland)" : "?";
  }
};

TableBlock GermanBlock() {
  TableBlock block;
  block.entries["\\\\VarFileInfo\\\\Translation"] = std::string("\x07\x04\xE4\x04", 4);
  const std::string table = "\\\\StringFileInfo\\\\040704E4\\\\";
  block.entries[table + "FileDescription"] = std::string("Velkor\0", 7);
  block.entries[table + "CompanyName"] = std::string("Velkor-Projekt\0junk", 19);
  block.entries[table + "FileVersion"] = "1.0.0.0";
  block.entries[table + "Comments"] = "Notiz";
  return block;
}

TEST(FileVersionInfo, KeyNamesForSingleBitsOnly) {
  const char* expected[] = {"FileVersion",  "FileDescription", "LegalCopyright", "InternalName", "OriginalFilename",
                            "ProductName",  "ProductVersion",  "CompanyName",    "LegalTrademarks", "SpecialBuild",
                            "PrivateBuild", "Comments",        "Language"};
  for (uint32_t i = 0; i < 13; ++i) EXPECT_STREQ(VersionKeyName(1u << i), expected[i]);
  EXPECT_STREQ(VersionKeyName(0), "");
  EXPECT_STREQ(VersionKeyName(0x3), "");
  EXPECT_STREQ(VersionKeyName(0x2000), "");
  EXPECT_STREQ(VersionKeyName(0xFFFFFFFF), "");
}

TEST(FileVersionInfo, SizeAndLanguageCode) {
  EXPECT_FALSE(VersionInfoSizeUsable(0));
  EXPECT_TRUE(VersionInfoSizeUsable(1));
  EXPECT_TRUE(VersionInfoSizeUsable(32767));
  EXPECT_FALSE(VersionInfoSizeUsable(32768));
  EXPECT_FALSE(VersionInfoSizeUsable(65536 + 100));
  EXPECT_EQ(VersionLanguageCode(0x0407, 0x04B0), "040704B0");
  EXPECT_EQ(VersionLanguageCode(0x0C0A, 0xFFFF), "0C0AFFFF");
  EXPECT_EQ(VersionLanguageCode(0, 0), "00000000");
  EXPECT_EQ(VersionStringPath("040704E4", "CompanyName"), "\\\\StringFileInfo\\\\040704E4\\\\CompanyName");
}

TEST(FileVersionInfo, EntriesRunTogetherInBitOrder) {
  const TableBlock block = GermanBlock();
  EXPECT_EQ(ComposeFileVersionText(block, 0x2, true), "Velkor");
  EXPECT_EQ(ComposeFileVersionText(block, 0x80, true), "Velkor-Projekt");
  EXPECT_EQ(ComposeFileVersionText(block, 0x80 | 0x2, true), "VelkorVelkor-Projekt");
  EXPECT_EQ(ComposeFileVersionText(block, 0x80 | 0x2 | 0x1, false), "1.0.0.0VelkorVelkor-Projekt");
  EXPECT_EQ(ComposeFileVersionText(block, 0xFFF, false), "1.0.0.0VelkorVelkor-ProjektNotiz");  // up to the highest bit
  EXPECT_EQ(ComposeFileVersionText(block, 0x4, true), "");  // entry missing
  EXPECT_EQ(ComposeFileVersionText(block, 0, true), "");
}

TEST(FileVersionInfo, LanguageEntry) {
  const TableBlock block = GermanBlock();
  EXPECT_EQ(ComposeFileVersionText(block, 0x1000, true), "Language:\tDeutsch (Deutschland)");
  EXPECT_EQ(ComposeFileVersionText(block, 0x1000, false), "Deutsch (Deutschland)");
  EXPECT_EQ(ComposeFileVersionText(block, 0x1002, true), "Velkor\nLanguage:\tDeutsch (Deutschland)");
  EXPECT_EQ(ComposeFileVersionText(block, 0x1004, false), "Deutsch (Deutschland)");
}

TEST(FileVersionInfo, WithoutTranslationNoEntryIsFound) {
  TableBlock block = GermanBlock();
  block.entries.erase("\\\\VarFileInfo\\\\Translation");
  EXPECT_EQ(ComposeFileVersionText(block, 0x2 | 0x80, true), "");
  EXPECT_EQ(ComposeFileVersionText(block, 0x1000, true), "Language:\t");
  // A translation table too short for one entry counts as missing.
  block.entries["\\\\VarFileInfo\\\\Translation"] = std::string("\x07\x04", 2);
  EXPECT_EQ(ComposeFileVersionText(block, 0x2, true), "");
}

TEST(FileVersionInfo, CacheHoldsPerPathBitsAndStamp) {
  FileVersionCache cache(3);
  const FileStamp stamp{100, 7};
  cache.Store("C:\\a.exe", 0x2, true, stamp, "A");
  ASSERT_NE(cache.Find("C:\\a.exe", 0x2, true, stamp), nullptr);
  EXPECT_EQ(*cache.Find("C:\\a.exe", 0x2, true, stamp), "A");
  EXPECT_EQ(cache.Find("C:\\a.exe", 0x2, true, FileStamp{101, 7}), nullptr);  // size changed
  EXPECT_EQ(cache.Find("C:\\a.exe", 0x2, true, FileStamp{100, 8}), nullptr);  // written since
  EXPECT_EQ(cache.Find("C:\\a.exe", 0x80, true, stamp), nullptr);
  EXPECT_EQ(cache.Find("C:\\a.exe", 0x2, false, stamp), nullptr);
  EXPECT_EQ(cache.Find("C:\\b.exe", 0x2, true, stamp), nullptr);
  cache.Store("C:\\a.exe", 0x2, true, FileStamp{101, 7}, "B");
  EXPECT_EQ(*cache.Find("C:\\a.exe", 0x2, true, FileStamp{101, 7}), "B");
  cache.Store("C:\\b.exe", 0x2, true, stamp, "");
  cache.Store("C:\\c.exe", 0x2, true, stamp, "C");
  EXPECT_EQ(cache.size(), 3u);
  cache.Store("C:\\d.exe", 0x2, true, stamp, "D");  // past capacity: starts over
  EXPECT_EQ(cache.size(), 1u);
  EXPECT_EQ(*cache.Find("C:\\d.exe", 0x2, true, stamp), "D");
}

}  // namespace
}  // namespace velkor
