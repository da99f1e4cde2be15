#include "procs/native_snapshot_win.h"

#include <algorithm>

#include "win/system_functions.h"

namespace velkor {

namespace {

constexpr ULONG kProcessInformationClass = 5;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

}  // namespace

size_t TakeNativeSnapshot(std::vector<uint64_t>& buffer) {
  const auto query = win::Native().querySystemInformation;
  if (!query) return 0;
  if (buffer.empty()) buffer.assign(64 * 1024 / sizeof(uint64_t), 0);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const auto capacity = static_cast<ULONG>(buffer.size() * sizeof(uint64_t));
    ULONG needed = 0;
    const LONG status = query(kProcessInformationClass, buffer.data(), capacity, &needed);
    if (status == kInfoLengthMismatch) {
      // Processes come and go between two calls: ask for some room to spare.
      const size_t bytes = std::max<size_t>(static_cast<size_t>(needed) + 64 * 1024, size_t{capacity} * 2);
      buffer.assign(bytes / sizeof(uint64_t) + 1, 0);
      continue;
    }
    return status < 0 ? 0 : std::min(needed, capacity);
  }
  return 0;
}

}  // namespace velkor
