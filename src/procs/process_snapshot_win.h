// The system's process snapshot: one native query returns a record of every
// process with its times and memory counters, without opening any of them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velkor {

// What the process list reads of one record.
struct SnapshotEntry {
  uint32_t pid = 0;
  uint32_t parentPid = 0;
  std::wstring_view imageName;  // within the snapshot; empty when the record names none
  LARGE_INTEGER createTime{};   // file time
  uint64_t userTime = 0;        // 100-ns units
  uint64_t kernelTime = 0;
  uint64_t workingSet = 0;  // bytes
  uint64_t pageFile = 0;
  uint64_t pagedPool = 0;
  uint64_t nonPagedPool = 0;
  uint64_t virtualSize = 0;
  // The scheduling base of the process's threads. It follows the priority
  // class, so a changed value tells that the class may have changed.
  int32_t basePriority = 0;
  uint32_t threadCount = 0;
  uint32_t handleCount = 0;
};

// Takes a fresh snapshot: the entries in the system's order, valid (names
// included) until the next call; null when the system refused. The buffer
// grows to what the system needs and keeps its size.
const std::vector<SnapshotEntry>* TakeProcessSnapshot();

// The native records of the last snapshot TakeProcessSnapshot took, valid
// until the next call, when it was taken (GetTickCount64) and its number
// (0 before the first): the process window reads them instead of a snapshot
// of its own.
struct SnapshotBytes {
  const std::byte* bytes = nullptr;
  size_t size = 0;
  uint64_t takenAt = 0;
  uint64_t number = 0;
};
SnapshotBytes LastProcessSnapshot();

}  // namespace velkor
