// Version-information resources of executables: which entries a bit set asks
// for, and how the answers of the system's version block become one text.
// The Win32 side (file_version_info_win.h) loads "Version.dll" and feeds
// these functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velkor {

inline constexpr uint32_t kVersionLanguageBit = 0x1000;

// The entry key of the string table for one bit of 0x1..0x800, "Language" for
// 0x1000, "" for any other value (several bits included).
const char* VersionKeyName(uint32_t bit);

// The version-information size is held as a signed 16-bit value: 0 and
// anything from 32768 bytes on mean there is no usable version information.
bool VersionInfoSizeUsable(uint32_t size);

// Whether the system's query can answer from `block` (the bytes the system's
// reader gave for a file, as many as its size query asked for) without
// reading or writing outside them. The query believes the lengths the file
// states, and a file can state anything: every entry on the paths the query
// walks must lie inside its parent, with its key and value inside itself and
// a text value ended inside it; a block of the 32-bit kind needs as many
// bytes again, and four more, behind it for the single-byte copies of the
// texts asked for.
bool VersionBlockSound(std::string_view block);

// Language code addressing the string table: language and code page as four
// capital hexadecimal digits each, e.g. "040704B0".
std::string VersionLanguageCode(uint16_t language, uint16_t codePage);

// Sub-block paths as handed to the system's query. Every separator is two
// backslashes; the query skips the empty component between them.
inline constexpr const char* kVersionTranslationPath = "\\\\VarFileInfo\\\\Translation";
std::string VersionStringPath(std::string_view languageCode, std::string_view key);

// One file's version block as the system answers for it.
class VersionBlock {
 public:
  virtual ~VersionBlock() = default;
  // The bytes stored under `subBlock`, nullopt when there is no such entry.
  [[nodiscard]] virtual std::optional<std::string_view> Query(const std::string& subBlock) const = 0;
  // The system's name of a language identifier.
  [[nodiscard]] virtual std::string LanguageName(uint16_t language) const = 0;
};

// The text for `bits`: the selected string entries (0x1 to 0x800 ascending)
// run together, then for 0x1000 a line feed (when text precedes) and the
// language name, after "Language:" and a tab when `withNames` is on. Without
// a translation table no string entry is found and the language name is "".
std::string ComposeFileVersionText(const VersionBlock& block, uint32_t bits, bool withNames);

// Remembered texts per path, bits and names flag. An entry is only valid for
// the file's size and last-write time it was made for; the cache forgets
// everything when it grows past `capacity` entries.
struct FileStamp {
  uint64_t size = 0;
  uint64_t lastWrite = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

class FileVersionCache {
 public:
  explicit FileVersionCache(size_t capacity = 1024) : capacity_(capacity) {}
  [[nodiscard]] const std::string* Find(const std::string& path, uint32_t bits, bool withNames,
                                        const FileStamp& stamp) const;
  void Store(const std::string& path, uint32_t bits, bool withNames, const FileStamp& stamp, std::string text);
  [[nodiscard]] size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    FileStamp stamp;
    std::string text;
  };
  static std::string Key(const std::string& path, uint32_t bits, bool withNames);

  size_t capacity_;
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace velkor
