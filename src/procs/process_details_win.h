// The readers behind the process-information window: one process, opened
// once with the least rights that answer and kept open while it is shown,
// read page by page into rows of text. Nothing here sends the process a
// message or waits for it; reads of its memory are bounded in size.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "procs/process_details.h"
#include "win/unique_handle.h"

namespace velkor {

enum DetailPageNumber : int {
  kGeneralPage = 0,
  kPerformancePage,
  kThreadsPage,
  kModulesPage,
  kEnvironmentPage,
  kNetworkPage,
  kWindowsPage,
  kServicesPage,
  kDetailPageCount,
};

// One thread as the system snapshot describes it.
struct ThreadRecord {
  uint32_t tid = 0;
  uint64_t startAddress = 0;
  int32_t priority = 0;
  uint64_t cpuTime = 0;  // 100-ns units, kernel and user
  uint32_t state = 0;
  uint32_t waitReason = 0;
};

// The process's record in a fresh system snapshot.
struct ProcessRecordFacts {
  bool found = false;
  uint32_t parentPid = 0;
  uint64_t created = 0;  // file time
  uint64_t userTime = 0, kernelTime = 0;
  uint32_t handleCount = 0, threadCount = 0, pageFaults = 0, sessionId = 0;
  uint64_t workingSet = 0, peakWorkingSet = 0, privateBytes = 0, virtualSize = 0;
  uint64_t reads = 0, writes = 0, others = 0, readBytes = 0, writeBytes = 0, otherBytes = 0;
  std::vector<ThreadRecord> threads;
  // The parent's record, when a process of that PID is in the snapshot.
  bool parentRunning = false;
  uint64_t parentCreated = 0;
  std::string parentName;
};

// The shown process with what its pages remember between refreshes.
struct InspectedProcess {
  uint32_t pid = 0;
  std::string name;
  win::UniqueKernelHandle limited;  // PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE
  win::UniqueKernelHandle reading;  // + PROCESS_VM_READ, opened at the first page that needs it
  bool readingTried = false;
  bool ended = false;
  uint32_t exitCode = 0;
  ProcessRecordFacts record;
  // For the rates and the load: the figures of the previous refresh.
  uint64_t lastWall = 0, lastCpu = 0, lastReadBytes = 0, lastWriteBytes = 0, lastOtherBytes = 0;
  std::vector<double> loadHistory;  // percent, one per refresh since the window opened
  std::vector<ModuleSpan> modules;
  bool modulesRead = false;
  std::map<uint32_t, uint64_t> threadStarts;  // by TID: a thread's start never changes
  std::optional<std::string> user;            // read once
};

// Opens `pid` for the window; false when not even the limited rights answer
// (the window then shows what the snapshot holds).
bool OpenInspectedProcess(InspectedProcess& process, uint32_t pid, const std::string& name);
// Takes the snapshot the pages read (the process's record, its threads);
// notes whether the process ended, with its exit code.
void RefreshInspectedProcess(InspectedProcess& process);
// The rows of page `page`, as they are now.
DetailPage ReadDetailPage(InspectedProcess& process, int page);
// The image path of the process, "" when it cannot be read.
std::string InspectedImagePath(const InspectedProcess& process);

// What the memory readers find in the process's parameters block.
struct ProcessParameters {
  std::optional<std::string> commandLine;
  std::optional<std::string> currentFolder;
  std::optional<std::vector<std::pair<std::string, std::string>>> environment;
};
ProcessParameters ReadProcessParameters(InspectedProcess& process, bool withEnvironment);
// The process handle that may read memory, opened at the first call.
HANDLE ReadingHandle(InspectedProcess& process);

}  // namespace velkor
