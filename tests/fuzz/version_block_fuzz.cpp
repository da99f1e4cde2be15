// libFuzzer target for version blocks of crafted files: a block that
// VersionBlockSound accepts is walked by a query that believes every length
// the block states, as the system's does, and that query must stay inside the
// block for every entry the program asks for.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "procs/file_version_info.h"

namespace {

class TrustingBlock final : public velkor::VersionBlock {
 public:
  explicit TrustingBlock(std::string_view block) : bytes_(new uint8_t[block.size()]), size_(block.size()) {
    std::memcpy(bytes_.get(), block.data(), block.size());
    wide_ = At(4) < ' ';
  }

  std::optional<std::string_view> Query(const std::string& path) const override {
    size_t entry = 0;
    for (size_t from = 0; from < path.size();) {
      size_t slash = path.find('\\', from);
      if (slash == std::string::npos) slash = path.size();
      if (slash > from && !(entry = Child(entry, std::string_view(path).substr(from, slash - from))))
        return std::nullopt;
      from = slash + 1;
    }
    const size_t value = ValueOf(entry);
    const size_t length = Word(entry + 2);
    if (!wide_ || Word(entry + 4) == 0) {
      for (size_t i = 0; i < length; ++i) (void)At(value + i);
      return std::string_view(reinterpret_cast<const char*>(bytes_.get() + value), length);
    }
    // A text is handed out in single bytes, copied behind the block at its
    // own offset, into at most as many bytes as the root entry is long from there.
    const size_t copy = Word(0) + 4 + value;
    const size_t room = static_cast<uint32_t>(Word(0) - value);
    size_t n = 0;
    for (; n < length && n < room; ++n) Put(copy + n, static_cast<uint8_t>(Word(value + 2 * n)));
    return std::string_view(reinterpret_cast<const char*>(bytes_.get() + copy), n);
  }

  std::string LanguageName(uint16_t language) const override { return language == 0x407 ? "Deutsch" : "?"; }

 private:
  uint8_t At(size_t at) const {
    if (at >= size_) std::abort();  // the query left the block
    return bytes_[at];
  }
  void Put(size_t at, uint8_t byte) const {
    if (at >= size_) std::abort();
    bytes_[at] = byte;
  }
  size_t Word(size_t at) const { return At(at) | size_t{At(at + 1)} << 8; }
  size_t Unit(size_t at) const { return wide_ ? Word(at) : At(at); }
  size_t UnitSize() const { return wide_ ? 2 : 1; }
  static size_t Aligned(size_t entry, size_t at) { return entry + ((at - entry + 3) & ~size_t{3}); }

  size_t ValueOf(size_t entry) const {
    size_t key = entry + (wide_ ? 6 : 4);
    while (Unit(key) != 0) key += UnitSize();
    return Aligned(entry, key + UnitSize());
  }
  // The first child whose key is `name` (letter case aside), 0 when none is.
  size_t Child(size_t entry, std::string_view name) const {
    const size_t end = entry + Word(entry);
    const size_t valueSize = Word(entry + 2) * (wide_ && Word(entry + 4) != 0 ? 2 : 1);
    for (size_t child = Aligned(entry, ValueOf(entry) + valueSize); child < end;) {
      const size_t key = child + (wide_ ? 6 : 4);
      size_t i = 0;
      while (i < name.size() &&
             std::tolower(static_cast<int>(Unit(key + i * UnitSize()) & 0xFF)) ==
                 std::tolower(static_cast<unsigned char>(name[i])) &&
             Unit(key + i * UnitSize()) < 0x100)
        ++i;
      if (i == name.size() && Unit(key + i * UnitSize()) == 0) return child;
      if (Word(child) == 0) return 0;
      child += (Word(child) + 3) & ~size_t{3};
    }
    return 0;
  }

  std::unique_ptr<uint8_t[]> bytes_;
  size_t size_;
  bool wide_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view block(reinterpret_cast<const char*>(data), size);
  if (!velkor::VersionBlockSound(block)) return 0;
  const TrustingBlock trusting(block);
  for (uint32_t bits : {0x2u, 0x80u, 0x1FFFu}) {
    for (bool withNames : {false, true}) {
      const std::string text = velkor::ComposeFileVersionText(trusting, bits, withNames);
      if (text.size() > 12 * size + 64) std::abort();
    }
  }
  return 0;
}
