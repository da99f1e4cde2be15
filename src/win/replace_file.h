// Writing a file so that readers see either the old or the whole new one.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velkor::win {

// Writes `bytes` to a new file beside `path` (same folder, "~" before the
// file name), flushes it, then moves it over `path`. When the move is
// refused for a file in use (access denied, sharing violation), it is tried
// up to `attempts` times in all, 20 ms apart. Any failure removes the new file and leaves `path` as it
// was. Which targets may be replaced at all is the caller's to decide.
bool WriteBesideThenReplace(const std::string& path, std::string_view bytes, int attempts = 1);

}  // namespace velkor::win
