#include "procs/path_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace velkor {
namespace {

TEST(PathText, PartsOfPaths) {
  struct Case {
    std::string_view path, fileName, folder, folderName;
  };
  const Case cases[] = {
      {"C:\\Windows\\notepad.exe", "notepad.exe", "C:\\Windows\\", "C:\\Windows"},
      {"notepad.exe", "notepad.exe", "", ""},                 // no separator
      {"C:\\Windows\\", "", "C:\\Windows\\", "C:\\Windows"},  // trailing separator
      {"C:/tools/x.exe", "x.exe", "C:/tools/", "C:/tools"},   // forward slashes
      {"C:\\mixed/dir\\x.exe", "x.exe", "C:\\mixed/dir\\", "C:\\mixed/dir"},
      {"C:\\boot.ini", "boot.ini", "C:\\", "C:\\"},  // a drive root keeps its separator
      {"C:\\", "", "C:\\", "C:\\"},
      {"\\x.exe", "x.exe", "\\", "\\"},  // the root of the current drive
      {"\\\\server\\share\\x", "x", "\\\\server\\share\\", "\\\\server\\share"},
      {"ab\\x", "x", "ab\\", "ab"},  // three characters, not a root
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path));
    EXPECT_EQ(FileNameOf(c.path), c.fileName);
    EXPECT_EQ(FolderOf(c.path), c.folder);
    EXPECT_EQ(FolderNameOf(c.path), c.folderName);
  }
}

}  // namespace
}  // namespace velkor
