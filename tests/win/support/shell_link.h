// What a shell link (.lnk) holds, read back through the shell's link object.
#pragma once

#include <windows.h>

#include <string>

namespace velkor::test {

struct LinkContent {
  std::string target, arguments, workingDirectory, description, iconFile;
  int showCommand = -1, iconIndex = -1;
  WORD hotKey = 0xFFFF;
};

// False when the file is no shell link the shell can load.
bool ReadLink(const std::string& path, LinkContent& out);

}  // namespace velkor::test
