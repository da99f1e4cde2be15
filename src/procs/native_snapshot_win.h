// The record layouts of the system's native process snapshot on 64-bit
// Windows (a process record, then one record per thread): the process list
// reads its leading fields, the process window all of them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velkor {

struct NativeCountedText {
  USHORT length;  // bytes
  USHORT maximumLength;
  PWSTR buffer;
};

struct NativeProcessRecord {
  ULONG nextEntryOffset;
  ULONG numberOfThreads;
  LARGE_INTEGER workingSetPrivateSize;
  ULONG hardFaultCount;
  ULONG numberOfThreadsHighWatermark;
  ULONGLONG cycleTime;
  LARGE_INTEGER createTime;
  LARGE_INTEGER userTime;
  LARGE_INTEGER kernelTime;
  NativeCountedText imageName;
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
  SIZE_T privatePageCount;
  LARGE_INTEGER readOperationCount;
  LARGE_INTEGER writeOperationCount;
  LARGE_INTEGER otherOperationCount;
  LARGE_INTEGER readTransferCount;
  LARGE_INTEGER writeTransferCount;
  LARGE_INTEGER otherTransferCount;
};

struct NativeThreadRecord {
  LARGE_INTEGER kernelTime;
  LARGE_INTEGER userTime;
  LARGE_INTEGER createTime;
  ULONG waitTime;
  PVOID startAddress;
  HANDLE uniqueProcess;
  HANDLE uniqueThread;
  LONG priority;
  LONG basePriority;
  ULONG contextSwitches;
  ULONG threadState;
  ULONG waitReason;
};

#ifdef _WIN64
static_assert(sizeof(NativeProcessRecord) == 256 && offsetof(NativeProcessRecord, imageName) == 56 &&
              offsetof(NativeProcessRecord, uniqueProcessId) == 80 &&
              offsetof(NativeProcessRecord, workingSetSize) == 144 &&
              offsetof(NativeProcessRecord, pagefileUsage) == 184 &&
              offsetof(NativeProcessRecord, readOperationCount) == 208);
static_assert(sizeof(NativeThreadRecord) == 80 && offsetof(NativeThreadRecord, uniqueThread) == 48);
#endif

// Takes the native snapshot into `buffer`, which grows to what the system
// needs and keeps its size: the bytes written, 0 when the system refused.
size_t TakeNativeSnapshot(std::vector<uint64_t>& buffer);

}  // namespace velkor
