#include "procs/file_version_info.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
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
  const char* expected[] = {"FileVersion",  "FileDescription", "LegalCopyright", "InternalName",    "OriginalFilename",
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
  EXPECT_EQ(ComposeFileVersionText(block, 0x4, true), "");                                     // entry missing
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

// Version entries of the 32-bit kind as a resource compiler lays them out.
std::string Wide(std::string_view text, bool ended = true) {
  std::string wide;
  for (const char c : text) wide += {c, '\0'};
  if (ended) wide += std::string(2, '\0');
  return wide;
}
void SetWord(std::string& entry, size_t at, size_t word) {
  entry[at] = static_cast<char>(word & 0xFF);
  entry[at + 1] = static_cast<char>(word >> 8);
}
std::string Entry(std::string_view key, std::string_view value, bool text, std::vector<std::string> children = {}) {
  std::string entry = std::string(6, '\0') + Wide(key);
  entry.resize((entry.size() + 3) & ~size_t{3}, '\0');
  entry += value;
  for (const std::string& child : children) entry.resize((entry.size() + 3) & ~size_t{3}, '\0'), entry += child;
  SetWord(entry, 0, entry.size());
  SetWord(entry, 2, text ? value.size() / 2 : value.size());
  SetWord(entry, 4, text);
  return entry;
}
// The reader's buffer around a root with `description` as its one string:
// the resource, then as many bytes again and four for the single-byte copies.
std::string Block(const std::string& description, size_t tail = 4) {
  const std::string root = Entry("VS_VERSION_INFO", std::string(52, '\x01'), false,
                                 {Entry("StringFileInfo", "", true, {Entry("040704B0", "", true, {description})}),
                                  Entry("VarFileInfo", "", true, {Entry("Translation", "\x07\x04\xB0\x04", false)})});
  return root + std::string(root.size() + tail, '\0');
}

TEST(FileVersionInfo, BlocksWhoseLengthsLeadOutsideAreRefused) {
  const std::string good = Entry("FileDescription", Wide("Velkor"), true);
  const auto changed = [&](size_t at, size_t word) {
    std::string entry = good;
    SetWord(entry, at, word);
    return entry;
  };
  const struct {
    const char* what;
    std::string block;
    bool sound;
  } cases[] = {
      {"as compiled", Block(good), true},
      {"no room for the copies", Block(good, 3), false},
      {"entry longer than its parent", Block(changed(0, good.size() + 40)), false},
      {"key not ended inside the entry", Block(changed(0, 20)), false},
      {"value longer than the entry", Block(changed(2, 400)), false},
      {"text not ended", Block(Entry("FileDescription", Wide("Velkor", false), true)), false},
      {"too short for a root", std::string(5, '\0'), false},
  };
  for (const auto& c : cases) EXPECT_EQ(VersionBlockSound(c.block), c.sound) << c.what;
}

}  // namespace
}  // namespace velkor
