// What the "Treiber" view decides without asking Windows: the shown path of
// a driver file and the message when its folder cannot be found.
#pragma once

#include <string>
#include <string_view>

namespace velkor {

inline constexpr int kDriverRefreshCommand = 131;
inline constexpr int kDriverFolderCommand = 132;

// The driver file name as the system reports it, made into a path the user
// can open: "\??\" dropped, "\SystemRoot\" and "\WINDOWS\" (exact case)
// replaced by `windowsFolder` (no trailing backslash); anything else as is.
std::string NormaliseDriverPath(std::string_view fileName, std::string_view windowsFolder);

std::string DriverFolderFailedMessage(std::string_view path);

}  // namespace velkor
