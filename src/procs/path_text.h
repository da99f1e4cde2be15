// The parts of a Windows path as text: "\" and "/" both separate folders.
// Nothing here asks the file system.
#pragma once

#include <string_view>

namespace velkor {

// The last component: what follows the last separator; the whole text when
// there is none, "" when the path ends with one.
std::string_view FileNameOf(std::string_view path);

// The folder with its final separator (everything up to and including the
// last separator); "" when there is none.
std::string_view FolderOf(std::string_view path);

// The folder as Windows names it: without its final separator, except for a
// root, which keeps it ("C:\", "\"); "" when there is no separator.
std::string_view FolderNameOf(std::string_view path);

}  // namespace velkor
