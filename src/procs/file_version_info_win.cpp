#include "procs/file_version_info_win.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "win/system_functions.h"
#include "win/source_location.h"

namespace velkor {

namespace {

FileVersionCache& Cache() {
  static FileVersionCache cache;
  return cache;
}

class LoadedVersionBlock final : public VersionBlock {
 public:
  LoadedVersionBlock(const std::vector<char>& data, const win::VersionFunctions& version)
      : data_(data), version_(version) {}

  std::optional<std::string_view> Query(const std::string& subBlock) const override {
    void* value = nullptr;
    UINT length = 0;
    if (!version_.verQueryValue(data_.data(), subBlock.c_str(), &value, &length) || !value) return std::nullopt;
    return std::string_view(static_cast<const char*>(value), length);
  }

  std::string LanguageName(uint16_t language) const override {
    char name[128] = {};
    version_.verLanguageName(language, name, sizeof name);
    return std::string(name, strnlen(name, sizeof name));
  }

 private:
  const std::vector<char>& data_;
  const win::VersionFunctions& version_;
};

}  // namespace

std::string FileVersionText(const std::string& path, uint32_t bits, bool withNames) {
  VELKOR_PLACE(kFileVersionInfoUnit);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return "";
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "";
  const FileStamp stamp{(uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                        (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime};
  if (stamp.size == 0) return "";
  if (const std::string* known = Cache().Find(path, bits, withNames, stamp)) return *known;

  const win::VersionFunctions& version = win::Version();
  if (!version.complete()) return "";

  std::string text;
  DWORD ignored = 0;
  const DWORD size = version.getFileVersionInfoSize(path.c_str(), &ignored);
  if (VersionInfoSizeUsable(size)) {
    std::vector<char> block(size);
    // A block whose stated lengths lead the system's query outside it (a
    // crafted file, or one changed since its size was asked) has nothing usable.
    if (version.getFileVersionInfo(path.c_str(), 0, size, block.data()) &&
        VersionBlockSound(std::string_view(block.data(), block.size())))
      text = ComposeFileVersionText(LoadedVersionBlock(block, version), bits, withNames);
  }
  Cache().Store(path, bits, withNames, stamp, text);
  return text;
}

}  // namespace velkor
