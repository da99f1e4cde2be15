#include "procs/file_version_info.h"

#include <array>

namespace velkor {

namespace {

constexpr std::array<const char*, 13> kKeyNames = {
    "FileVersion",  "FileDescription", "LegalCopyright", "InternalName", "OriginalFilename",
    "ProductName",  "ProductVersion",  "CompanyName",    "LegalTrademarks", "SpecialBuild",
    "PrivateBuild", "Comments",        "Language"};

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
