#include "win/replace_file.h"

#include <algorithm>

#include "win/unique_handle.h"

namespace velkor::win {

namespace {

// The new file's one name beside `path`: "~" before the file name. A save
// cut short (the program killed between writing and moving) leaves it, and
// the next save of that file writes over it, so leftovers never pile up.
std::string NewFileBeside(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return "~" + path;
  return path.substr(0, slash + 1) + "~" + path.substr(slash + 1);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool WriteBesideThenReplace(const std::string& path, std::string_view bytes, int attempts) {
  const std::string newFile = NewFileBeside(path);
  const char* temp = newFile.c_str();
  bool written = false;
  {
    // Not shared: a second save of the same file at the same time fails
    // here instead of writing into this one.
    UniqueFileHandle file(
        CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  }
  if (written) {
    for (int attempt = 0; attempt < std::max(attempts, 1); ++attempt) {
      if (attempt > 0) Sleep(20);
      if (MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
      const DWORD error = GetLastError();
      if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) break;
    }
  }
  DeleteFileA(temp);
  return false;
}

}  // namespace velkor::win
