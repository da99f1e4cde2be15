#include "procs/file_version_info.h"
#include "win/source_location.h"

#include <array>

namespace velkor {

namespace {

constexpr std::array<const char*, 13> kKeyNames = {
    "FileVersion",  "FileDescription", "LegalCopyright", "InternalName",    "OriginalFilename",
    "ProductName",  "ProductVersion",  "CompanyName",    "LegalTrademarks", "SpecialBuild",
    "PrivateBuild", "Comments",        "Language"};

// The root entry, the two groups below it, the tables or the translation
// below those, and the strings of a table: the query walks no deeper.
constexpr int kDeepestQueriedLevel = 3;

uint16_t WordAt(std::string_view block, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(block[at]) | static_cast<unsigned char>(block[at + 1]) << 8);
}

size_t Aligned4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// The entry at `at`, which must end by `limit`, and (above the deepest
// queried level) the entries the query walks through among its children. An
// entry is: its length, its value's length, a type word (32-bit kind only),
// its key ended by a zero character, then at the next multiple of four bytes
// from the entry's start its value (two bytes a unit for a 32-bit text), and
// at the next multiple of four after that its children, each starting a
// multiple of four after the one before.
bool EntrySound(std::string_view block, size_t at, size_t limit, bool wide, int level) {
  const size_t header = wide ? 6 : 4;
  const size_t unit = wide ? 2 : 1;
  if (at + header > limit) return false;
  const size_t end = at + WordAt(block, at);
  if (end > limit) return false;
  size_t keyEnd = at + header;
  for (;; keyEnd += unit) {
    if (keyEnd + unit > end) return false;
    if ((wide ? WordAt(block, keyEnd) : static_cast<unsigned char>(block[keyEnd])) == 0) break;
  }
  const bool text = wide && WordAt(block, at + 4) != 0;
  const size_t value = at + Aligned4(keyEnd + unit - at);
  const size_t valueSize = size_t{WordAt(block, at + 2)} * (text ? 2 : 1);
  if (valueSize > 0) {
    if (value + valueSize > end) return false;
    bool ended = false;
    for (size_t c = value; text && !ended && c + 2 <= end; c += 2) ended = WordAt(block, c) == 0;
    if (text && !ended) return false;
  }
  if (level == kDeepestQueriedLevel) return true;
  for (size_t child = at + Aligned4(value + valueSize - at); child < end; child += Aligned4(WordAt(block, child))) {
    if (!EntrySound(block, child, end, wide, level + 1)) return false;
  }
  return true;
}

void AppendHex4(std::string& out, uint16_t value) {
  constexpr const char* kDigits = "0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

}  // namespace

const char* VersionKeyName(uint32_t bit) {
  for (size_t i = 0; i < kKeyNames.size(); ++i)
    if (bit == (1u << i)) return kKeyNames[i];
  return "";
}

bool VersionBlockSound(std::string_view block) {
  VELKOR_PLACE(kFileVersionInfoUnit);
  // The 32-bit kind has a type word (0 or 1) where the 16-bit kind has the
  // first letter of its key; the system tells them apart the same way.
  if (block.size() < 6) return false;
  const bool wide = static_cast<unsigned char>(block[4]) < ' ';
  if (wide && 2 * size_t{WordAt(block, 0)} + 4 > block.size()) return false;
  return EntrySound(block, 0, block.size(), wide, 0);
}

bool VersionInfoSizeUsable(uint32_t size) { return size > 0 && size < 32768; }

std::string VersionLanguageCode(uint16_t language, uint16_t codePage) {
  std::string code;
  AppendHex4(code, language);
  AppendHex4(code, codePage);
  return code;
}

std::string VersionStringPath(std::string_view languageCode, std::string_view key) {
  std::string path = "\\\\StringFileInfo\\\\";
  path += languageCode;
  path += "\\\\";
  path += key;
  return path;
}

std::string ComposeFileVersionText(const VersionBlock& block, uint32_t bits, bool withNames) {
  VELKOR_PLACE(kFileVersionInfoUnit);
  std::string languageCode, languageName;
  if (const auto translation = block.Query(kVersionTranslationPath); translation && translation->size() >= 4) {
    const auto byte = [&](size_t i) { return static_cast<uint16_t>(static_cast<unsigned char>((*translation)[i])); };
    const auto language = static_cast<uint16_t>(byte(0) | byte(1) << 8);
    const auto codePage = static_cast<uint16_t>(byte(2) | byte(3) << 8);
    languageCode = VersionLanguageCode(language, codePage);
    if (bits & kVersionLanguageBit) languageName = block.LanguageName(language);
  }

  std::string result;
  if (!languageCode.empty()) {
    for (uint32_t bit = 0x1; bit <= 0x800; bit <<= 1) {
      if (!(bits & bit)) continue;
      if (const auto value = block.Query(VersionStringPath(languageCode, VersionKeyName(bit)))) {
        result += value->substr(0, value->find('\0'));
      }
    }
  }
  if (bits & kVersionLanguageBit) {
    if (!result.empty()) result += '\n';
    if (withNames) result += "Language:\t";
    result += languageName;
  }
  return result;
}

std::string FileVersionCache::Key(const std::string& path, uint32_t bits, bool withNames) {
  std::string key = path;
  key += '\0';
  key += std::to_string(bits);
  key += withNames ? "+" : "-";
  return key;
}

const std::string* FileVersionCache::Find(const std::string& path, uint32_t bits, bool withNames,
                                          const FileStamp& stamp) const {
  const auto found = entries_.find(Key(path, bits, withNames));
  if (found == entries_.end() || !(found->second.stamp == stamp)) return nullptr;
  return &found->second.text;
}

void FileVersionCache::Store(const std::string& path, uint32_t bits, bool withNames, const FileStamp& stamp,
                             std::string text) {
  std::string key = Key(path, bits, withNames);
  if (entries_.size() >= capacity_ && !entries_.contains(key)) entries_.clear();
  entries_[std::move(key)] = Entry{stamp, std::move(text)};
}

}  // namespace velkor
