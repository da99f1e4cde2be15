#include "procs/process_snapshot_win.h"

#include <algorithm>
#include <cstddef>

#include "procs/native_snapshot_win.h"
#include "win/system_functions.h"
#include "win/source_location.h"

namespace velkor {

namespace {

struct SnapshotSource {
  std::vector<uint64_t> buffer = std::vector<uint64_t>(64 * 1024 / sizeof(uint64_t));  // grows, and keeps its size
  ULONG returned = 0;
  uint64_t takenAt = 0, number = 0;
  std::vector<SnapshotEntry> entries;
};
SnapshotSource source;

// Takes the snapshot into source.buffer; false when the system refused.
bool QueryProcessSnapshot() {
  source.returned = static_cast<ULONG>(TakeNativeSnapshot(source.buffer));
  if (source.returned == 0) return false;
  source.takenAt = GetTickCount64();
  ++source.number;
  return true;
}

// The image name of a record, when it lies within the snapshot.
std::wstring_view ImageNameOf(const NativeProcessRecord& record) {
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
  for (size_t offset = 0; offset + sizeof(NativeProcessRecord) <= source.returned;) {
    const auto& record = *reinterpret_cast<const NativeProcessRecord*>(base + offset);
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
    entry.basePriority = record.basePriority;
    entry.threadCount = record.numberOfThreads;
    entry.handleCount = record.handleCount;
    source.entries.push_back(entry);
    if (record.nextEntryOffset == 0) break;
    offset += record.nextEntryOffset;
  }
  return &source.entries;
}

SnapshotBytes LastProcessSnapshot() {
  return {reinterpret_cast<const std::byte*>(source.buffer.data()), source.returned, source.takenAt, source.number};
}

}  // namespace velkor
