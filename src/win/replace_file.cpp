#include "win/replace_file.h"

#include <algorithm>
#include <cstdio>

#include "win/unique_handle.h"

namespace velkor::win {

namespace {

// Attributes of the old file that the new one takes from its creation on.
// ReplaceFile keeps more on Windows; not every system's ReplaceFile keeps
// these, so the new file is born with them. Read-only is the caller's
// refusal, never copied.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool Refused(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// The new file, created only where no file of its name exists: "~", the
// target's name, four hex digits and ".tmp" ("~" and the digits alone where
// that name would be too long), so a user's own "~" file beside the target
// is never opened.
UniqueFileHandle CreateNewFileBeside(const std::string& path, DWORD attributes, std::string& name) {
  const size_t slash = path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string file = path.substr(folder.size());
  const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 8);
  for (DWORD attempt = 0; attempt < 64; ++attempt) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04lx", static_cast<unsigned long>((seed + attempt) & 0xFFFFu));
    name = folder + "~" + file + "." + digits + ".tmp";
    if (name.size() >= MAX_PATH) name = folder + "~" + digits + ".tmp";
    UniqueFileHandle created(
        CreateFileA(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, attributes, nullptr));
    if (created) return created;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return {};
}

// While the file is marked, closing its handle deletes it, also when the
// program is ended in the middle of a save.
bool MarkForDeletion(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO info{};
  info.DeleteFile = remove ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info) != FALSE;
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

enum class Outcome { kDone, kRefused, kFailed, kTargetLost };

Outcome PutInPlace(const std::string& path, const std::string& newFile) {
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // Nothing to replace: a file that appears meanwhile is not written over.
    if (MoveFileExA(newFile.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) return Outcome::kDone;
    const DWORD error = GetLastError();
    return (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS || Refused(error)) ? Outcome::kRefused
                                                                                           : Outcome::kFailed;
  }
  {
    // A holder that does not let the old file go is found before anything
    // moves: some systems' ReplaceFile leaves a file of its own behind then.
    UniqueFileHandle probe(CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!probe) return Refused(GetLastError()) ? Outcome::kRefused : Outcome::kFailed;
  }
  if (ReplaceFileA(path.c_str(), newFile.c_str(), nullptr,
                   REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
    return Outcome::kDone;
  const DWORD error = GetLastError();
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
    // The old file is gone and the new one still has its own name.
    return MoveFileExA(newFile.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) ? Outcome::kDone : Outcome::kTargetLost;
  }
  if (error == ERROR_FILE_NOT_FOUND) return Outcome::kRefused;  // gone meanwhile: the next try moves
  return Refused(error) ? Outcome::kRefused : Outcome::kFailed;
}

// The full path of `name` against the current folder: some systems'
// ReplaceFile cannot find the folder of a bare file name.
std::string FullPath(const std::string& name) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(name.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::string(full, length) : name;
}

}  // namespace

bool WriteBesideThenReplace(const std::string& target, std::string_view bytes, int attempts) {
  const std::string path = FullPath(target);
  const DWORD old = GetFileAttributesA(path.c_str());
  const DWORD attributes =
      old == INVALID_FILE_ATTRIBUTES || !(old & kKeptAttributes) ? FILE_ATTRIBUTE_NORMAL : old & kKeptAttributes;
  std::string newFile;
  {
    UniqueFileHandle file = CreateNewFileBeside(path, attributes, newFile);
    if (!file) return false;
    const bool marked = MarkForDeletion(file.get(), true);
    const bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    if (!written) {
      if (!marked) {
        file.reset();
        DeleteFileA(newFile.c_str());
      }
      return false;
    }
    if (marked && !MarkForDeletion(file.get(), false)) return false;  // deleted as the handle closes
  }
  for (int attempt = 0; attempt < std::max(attempts, 1); ++attempt) {
    if (attempt > 0) Sleep(20);
    const Outcome outcome = PutInPlace(path, newFile);
    if (outcome == Outcome::kDone) return true;
    // The new file then holds the only copy of the settings: it stays.
    if (outcome == Outcome::kTargetLost) return false;
    if (outcome == Outcome::kFailed) break;
  }
  DeleteFileA(newFile.c_str());
  return false;
}

std::optional<std::string> MoveAside(const std::string& path) {
  for (int n = 1; n < 100; ++n) {
    const std::string aside = path + ".bak" + (n == 1 ? std::string() : std::to_string(n));
    if (MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) return aside;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace velkor::win
