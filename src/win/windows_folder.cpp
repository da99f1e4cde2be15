#include "win/windows_folder.h"

#include <windows.h>
#include <shlobj.h>

namespace velkor::win {

const std::string& WindowsFolder() {
  static const std::string folder = [] {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_WINDOWS, nullptr, SHGFP_TYPE_CURRENT, path))) {
      const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
      if (length == 0 || length >= MAX_PATH) path[0] = '\0';
    }
    std::string text = path;
    while (!text.empty() && text.back() == '\\') text.pop_back();
    return text;
  }();
  return folder;
}

}  // namespace velkor::win
