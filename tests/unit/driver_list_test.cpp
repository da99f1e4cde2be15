#include "lists/driver_list.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

TEST(DriverList, PathNormalisation) {
  struct Case {
    const char* reported;
    const char* shown;
  };
  const Case cases[] = {
      {"\\SystemRoot\\System32\\drivers\\ntfs.sys", "C:\\Windows\\System32\\drivers\\ntfs.sys"},
      {"\\??\\C:\\Programme\\x.sys", "C:\\Programme\\x.sys"},
      {"\\WINDOWS\\system32\\x.sys", "C:\\Windows\\system32\\x.sys"},
      // The prefixes compare exactly: other spellings stay as reported.
      {"\\windows\\system32\\x.sys", "\\windows\\system32\\x.sys"},
      {"\\systemroot\\x.sys", "\\systemroot\\x.sys"},
      {"System32\\drivers\\relative.sys", "System32\\drivers\\relative.sys"},
      // Only the first matching rule applies.
      {"\\??\\\\SystemRoot\\x.sys", "\\SystemRoot\\x.sys"},
      {"\\??\\", ""},
      {"\\SystemRoot\\", "C:\\Windows\\"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseDriverPath(c.reported, "C:\\Windows"), c.shown) << c.reported;
}

TEST(DriverList, FolderMessageQuotesThePath) {
  EXPECT_EQ(DriverFolderFailedMessage("ntfs.sys"), "Das Verzeichnis von \"ntfs.sys\" konnte nicht ermittelt werden!");
}

}  // namespace
}  // namespace velkor
