#include "win/replace_file.h"

#include <algorithm>

#include "win/unique_handle.h"

namespace velkor::win {

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash + 1);
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
  char temp[MAX_PATH] = {};
  if (!GetTempFileNameA(FolderOf(path).c_str(), "vlk", 0, temp)) return false;
  bool written = false;
  {
    UniqueFileHandle file(
        CreateFileA(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    written = file && WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
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
