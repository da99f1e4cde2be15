#include "procs/process_commands.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>
#include <limits>

#include "procs/format.h"
#include "procs/path_text.h"
#include "procs/priority.h"

namespace velkor {

namespace {

uint32_t machineProcessors = 1;

constexpr const std::array<uint32_t, 6>& kCommandClasses = kPriorityClassesFromHighest;

void AddOnce(std::vector<int>& items, int item) {
  auto at = std::lower_bound(items.begin(), items.end(), item);
  if (at == items.end() || *at != item) items.insert(at, item);
}

// Texts are joined by appending: g++ 12 at -O3 reports a false overlap
// (-Wrestrict) inside "literal" + std::string.
std::string Join(std::initializer_list<std::string_view> parts) {
  size_t length = 0;
  for (std::string_view part : parts) length += part.size();
  std::string text;
  text.reserve(length);
  for (std::string_view part : parts) text.append(part);
  return text;
}

std::string Quoted(std::string_view name) { return Join({"\"", name, "\""}); }

}  // namespace

uint32_t ProcessorCount() { return machineProcessors; }

void SetProcessorCount(uint32_t count) { machineProcessors = std::max<uint32_t>(count, 1); }

std::optional<uint32_t> PriorityClassOfCommand(int command) {
  if (command < kFirstPriorityCommand || command > kLastPriorityCommand) return std::nullopt;
  return kCommandClasses[static_cast<size_t>(command - kFirstPriorityCommand)];
}

std::optional<int> PriorityCommandOfClass(uint32_t priorityClass) {
  const auto found = std::find(kCommandClasses.begin(), kCommandClasses.end(), priorityClass);
  if (found == kCommandClasses.end()) return std::nullopt;
  return kFirstPriorityCommand + static_cast<int>(found - kCommandClasses.begin());
}

void AddRowMarks(ProcessMenuMarks& marks, uint32_t priorityClass, std::optional<uint64_t> affinityMask,
                 uint32_t processorCount) {
  if (std::optional<int> item = PriorityCommandOfClass(priorityClass)) AddOnce(marks.priorityItems, *item);
  if (!affinityMask) return;
  const uint32_t count = std::min<uint32_t>(processorCount, kMaxProcessorItems);
  for (uint32_t n = 0; n < count; ++n)
    if (*affinityMask & (uint64_t{1} << n)) AddOnce(marks.processorItems, kFirstProcessorCommand + static_cast<int>(n));
}

uint64_t ToggledAffinity(uint64_t mask, int processor, bool itemChecked) {
  if (processor < 0 || processor >= kMaxProcessorItems) return mask;
  const uint64_t bit = uint64_t{1} << processor;
  return itemChecked ? (mask & ~bit) : (mask | bit);
}

std::string KillQuestion(const std::vector<std::string>& names) {
  if (names.size() == 1) return Join({"Soll der Prozess ", Quoted(names.front()), " wirklich beendet werden?"});
  std::string text = "Sollen folgende Prozesse wirklich beendet werden?\r\n\r\n";
  for (const std::string& name : names) text.append(" - ").append(name).append("\r\n");
  return text;
}

std::string KillFailedMessage(std::string_view name) {
  return Join({"Der Prozess ", Quoted(name), " konnte nicht beendet werden!"});
}

std::string PriorityFailedMessage(std::string_view name) {
  return Join({"Die Priorität von ", Quoted(name), " konnte nicht geändert werden, der Zugriff wurde verweigert!"});
}

std::string FolderFailedMessage(std::string_view name) {
  return Join({"Das Verzeichnis von ", Quoted(name), " konnte nicht ermittelt werden!"});
}

std::optional<std::string> FolderToOpen(std::string_view path) {
  const std::string_view folder = FolderOf(path);
  if (folder.empty() || FileNameOf(path).empty()) return std::nullopt;
  return std::string(folder);
}

bool IsWebSearchTemplate(std::string_view searchTemplate) {
  const auto startsWith = [&](std::string_view scheme) {
    return searchTemplate.size() > scheme.size() &&
           std::equal(scheme.begin(), scheme.end(), searchTemplate.begin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
  };
  const size_t host = startsWith("http://") ? 7 : startsWith("https://") ? 8 : 0;
  if (host == 0 || searchTemplate[host] == '/' || searchTemplate[host] == '\\') return false;
  return std::none_of(searchTemplate.begin(), searchTemplate.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || byte == 0x7F || c == '"';
  });
}

std::optional<std::string> SearchAddress(std::string_view searchTemplate, std::string_view term) {
  if (!IsWebSearchTemplate(searchTemplate)) return std::nullopt;
  // A file name may hold characters that would end the query or start a new
  // parameter in the address; they travel percent-encoded.
  std::string encoded;
  for (const char c : term) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte == 0x7F || c == '"' || c == '#' || c == '%' || c == '&' || c == '+' || c == '?' ||
        c == '=') {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 15];
    } else {
      encoded += c;
    }
  }
  static constexpr std::string_view kPlaceholder = "[SEARCH]";
  std::string address;
  size_t from = 0;
  for (size_t at; (at = searchTemplate.find(kPlaceholder, from)) != std::string_view::npos;
       from = at + kPlaceholder.size())
    address.append(searchTemplate.substr(from, at - from)).append(encoded);
  address.append(searchTemplate.substr(from));
  return address;
}

}  // namespace velkor
