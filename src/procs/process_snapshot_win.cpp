#include "procs/process_snapshot_win.h"

#include <algorithm>
#include <cstddef>

#include "win/system_functions.h"
#include "win/source_location.h"

namespace velkor {

namespace {

constexpr ULONG kProcessInformationClass = 5;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct CountedText {
  USHORT length;  // bytes
  USHORT maximumLength;
  PWSTR buffer;
};

// One record of the native process snapshot; only the leading fields, up to
// the memory counters, are read.
struct ProcessRecord {
  ULONG nextEntryOffset;
  ULONG numberOfThreads;
  LARGE_INTEGER workingSetPrivateSize;
  ULONG hardFaultCount;
  ULONG numberOfThreadsHighWatermark;
  ULONGLONG cycleTime;
  LARGE_INTEGER createTime;
  LARGE_INTEGER userTime;
  LARGE_INTEGER kernelTime;
  CountedText imageName;
  LONG basePriority;
  HANDLE uniqueProcessId;
  HANDLE inheritedFromUniqueProcessId;
  ULONG handleCount;
  ULONG sessionId;
  ULONG_PTR uniqueProcessKey;
  SIZE_T peakVirtualSize;
  SIZE_T virtualSize;
  ULONG pageFaultCount;
  SIZE_T peakWorkingSetSize;
  SIZE_T workingSetSize;
  SIZE_T quotaPeakPagedPoolUsage;
  SIZE_T quotaPagedPoolUsage;
  SIZE_T quotaPeakNonPagedPoolUsage;
  SIZE_T quotaNonPagedPoolUsage;
  SIZE_T pagefileUsage;
  SIZE_T peakPagefileUsage;
};
#ifdef _WIN64
static_assert(offsetof(ProcessRecord, imageName) == 56 && offsetof(ProcessRecord, uniqueProcessId) == 80 &&
              offsetof(ProcessRecord, workingSetSize) == 144 && offsetof(ProcessRecord, pagefileUsage) == 184);
#endif

struct SnapshotSource {
  std::vector<uint64_t> buffer = std::vector<uint64_t>(64 * 1024 / sizeof(uint64_t));  // grows, and keeps its size
  ULONG returned = 0;
  std::vector<SnapshotEntry> entries;
};
SnapshotSource source;

// Takes the snapshot into source.buffer; false when the system refused.
bool QueryProcessSnapshot() {
  const auto query = win::Native().querySystemInformation;
  if (!query) return false;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const auto capacity = static_cast<ULONG>(source.buffer.size() * sizeof(uint64_t));
    ULONG needed = 0;
    const LONG status = query(kProcessInformationClass, source.buffer.data(), capacity, &needed);
    if (status == kInfoLengthMismatch) {
      // Processes come and go between two calls: ask for some room to spare.
      const size_t bytes =
          std::max<size_t>(static_cast<size_t>(needed) + 64 * 1024, source.buffer.size() * sizeof(uint64_t) * 2);
      source.buffer.assign(bytes / sizeof(uint64_t) + 1, 0);
      continue;
    }
    if (status < 0) return false;
    source.returned = std::min(needed, capacity);
    return true;
  }
  return false;
}

// The image name of a record, when it lies within the snapshot.
std::wstring_view ImageNameOf(const ProcessRecord& record) {
  const auto* name = reinterpret_cast<const wchar_t*>(record.imageName.buffer);
  const auto* base = reinterpret_cast<const std::byte*>(source.buffer.data());
  const auto* nameBytes = reinterpret_cast<const std::byte*>(name);
  if (!name || nameBytes < base || nameBytes + record.imageName.length > base + source.returned) return {};
  return {name, record.imageName.length / sizeof(wchar_t)};
}

}  // namespace

const std::vector<SnapshotEntry>* TakeProcessSnapshot() {
  VELKOR_PLACE(kProceduresUnit);
  if (!QueryProcessSnapshot()) return nullptr;
  source.entries.clear();
  const auto* base = reinterpret_cast<const std::byte*>(source.buffer.data());
  for (size_t offset = 0; offset + sizeof(ProcessRecord) <= source.returned;) {
    const auto& record = *reinterpret_cast<const ProcessRecord*>(base + offset);
    SnapshotEntry entry;
    entry.pid = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record.uniqueProcessId));
    entry.parentPid = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record.inheritedFromUniqueProcessId));
    entry.imageName = ImageNameOf(record);
    entry.createTime = record.createTime;
    entry.userTime = static_cast<uint64_t>(record.userTime.QuadPart);
    entry.kernelTime = static_cast<uint64_t>(record.kernelTime.QuadPart);
    entry.workingSet = record.workingSetSize;
    entry.pageFile = record.pagefileUsage;
    entry.pagedPool = record.quotaPagedPoolUsage;
    entry.nonPagedPool = record.quotaNonPagedPoolUsage;
    entry.virtualSize = record.virtualSize;
    source.entries.push_back(entry);
    if (record.nextEntryOffset == 0) break;
    offset += record.nextEntryOffset;
  }
  return &source.entries;
}

}  // namespace velkor
