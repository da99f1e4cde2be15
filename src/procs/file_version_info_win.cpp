#include "procs/file_version_info_win.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "win/unique_handle.h"

namespace velkor {

namespace {

using GetFileVersionInfoSizeAFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using GetFileVersionInfoAFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using VerQueryValueAFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
using VerLanguageNameAFn = DWORD(WINAPI*)(DWORD, LPSTR, DWORD);

FileVersionCache& Cache() {
  static FileVersionCache cache;
  return cache;
}

class LoadedVersionBlock final : public VersionBlock {
 public:
  LoadedVersionBlock(const std::vector<char>& data, VerQueryValueAFn query, VerLanguageNameAFn languageName)
      : data_(data), query_(query), languageName_(languageName) {}

  std::optional<std::string_view> Query(const std::string& subBlock) const override {
    void* value = nullptr;
    UINT length = 0;
    if (!query_(data_.data(), subBlock.c_str(), &value, &length) || !value) return std::nullopt;
    return std::string_view(static_cast<const char*>(value), length);
  }

  std::string LanguageName(uint16_t language) const override {
    char name[128] = {};
    languageName_(language, name, sizeof name);
    return std::string(name, strnlen(name, sizeof name));
  }

 private:
  const std::vector<char>& data_;
  VerQueryValueAFn query_;
  VerLanguageNameAFn languageName_;
};

}  // namespace

std::string FileVersionText(const std::string& path, uint32_t bits, bool withNames) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return "";
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "";
  const FileStamp stamp{(uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                        (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime};
  if (stamp.size == 0) return "";
  if (const std::string* known = Cache().Find(path, bits, withNames, stamp)) return *known;

  win::UniqueModule library(LoadLibraryA("Version.dll"));
  const auto getSize = win::BindFunction<GetFileVersionInfoSizeAFn>(library.get(), "GetFileVersionInfoSizeA");
  const auto getInfo = win::BindFunction<GetFileVersionInfoAFn>(library.get(), "GetFileVersionInfoA");
  const auto query = win::BindFunction<VerQueryValueAFn>(library.get(), "VerQueryValueA");
  const auto languageName = win::BindFunction<VerLanguageNameAFn>(library.get(), "VerLanguageNameA");
  // A missing library may be back on the next call, so this is not remembered.
  if (!getSize || !getInfo || !query || !languageName) return "";

  std::string text;
  DWORD ignored = 0;
  const DWORD size = getSize(path.c_str(), &ignored);
  if (VersionInfoSizeUsable(size)) {
    std::vector<char> block(size);
    // A block whose stated lengths lead the system's query outside it (a
    // crafted file, or one changed since its size was asked) has nothing usable.
    if (getInfo(path.c_str(), 0, size, block.data()) && VersionBlockSound(std::string_view(block.data(), block.size())))
      text = ComposeFileVersionText(LoadedVersionBlock(block, query, languageName), bits, withNames);
  }
  Cache().Store(path, bits, withNames, stamp, text);
  return text;
}

}  // namespace velkor
