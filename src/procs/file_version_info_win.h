// Version information of a file through "Version.dll", bound by name.
#pragma once

#include <cstdint>
#include <string>

#include "procs/file_version_info.h"

namespace velkor {

// The selected entries of the file's version resource as one text (see
// ComposeFileVersionText); "" for a missing file, a directory, an empty file
// or a file without readable version information. Results are kept per path
// until the file's size or last-write time changes.
std::string FileVersionText(const std::string& path, uint32_t bits, bool withNames);

}  // namespace velkor
