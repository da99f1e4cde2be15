// Writing a file so that readers see either the old or the whole new one.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace velkor::win {

// Writes `bytes` to a new file in `path`'s folder, under a name that no file
// had (it is created only if absent, so no file beside `path` is ever
// written over), flushes it, then puts it in place of `path`: ReplaceFile
// where `path` exists, so the old file's attributes, creation time and
// permissions stay; a move that replaces nothing where it does not. When
// the target is in use (access denied, sharing violation), it is tried up
// to `attempts` times in all, 20 ms apart. Any failure removes the new file
// and leaves `path` as it was; a program ended while it writes leaves no new
// file behind. Which targets may be replaced at all is the caller's to decide.
bool WriteBesideThenReplace(const std::string& path, std::string_view bytes, int attempts = 1);

// Renames `path` to the first name of `path` + ".bak", ".bak2" ... ".bak99"
// that no file has. The name it now has, or nullopt when it was not moved.
std::optional<std::string> MoveAside(const std::string& path);

}  // namespace velkor::win
