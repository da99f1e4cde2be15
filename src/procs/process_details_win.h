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
  uint64_t created = 0;  // file time
  int32_t priority = 0;
  uint64_t cpuTime = 0;  // 100-ns units, kernel and user
  uint32_t state = 0;
  uint32_t waitReason = 0;
};

// The process's record in a fresh system snapshot.
struct ProcessRecordFacts {
  bool found = false;
  uint64_t takenAt = 0;  // GetTickCount64 of the snapshot
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
  std::vector<uint64_t> snapshot;  // the window's own, when the list's is not fresh
  std::string parentName;          // as last seen while the parent ran
  uint64_t listSnapshotRead = 0;   // the number of the list's snapshot read last
  // The load and the rates run from the figures of the snapshot before the
  // latest to the latest's; a page read again on the same snapshot shows
  // the same figures.
  struct Sample {
    uint64_t wall = 0, cpu = 0, readBytes = 0, writeBytes = 0, otherBytes = 0;  // 100-ns units, bytes
  };
  Sample previous, latest;
  std::vector<double> loadHistory;      // percent, one per refresh since the window opened
  std::vector<ModuleSpan> modules;      // by base
  std::vector<ModuleSpan> moduleFiles;  // the same, named by file name only
  bool modulesRead = false;
  // A loaded module's file cannot change while it is mapped: its description
  // is read once per path.
  std::map<std::string, std::string> descriptions;
  // A thread's start never changes: by TID, with the thread's creation time
  // (a TID is used again once its thread ended), the threads shown.
  std::map<uint32_t, std::pair<uint64_t, uint64_t>> threadStarts;
  std::optional<std::string> user;  // read once
  // What never changes for a process, read at the first "Allgemein".
  struct FixedFacts {
    std::string path, description, company, version, architecture;
  };
  std::optional<FixedFacts> fixed;
};

// Opens `pid` for the window; false when not even the limited rights answer
// (the window then shows what the snapshot holds).
bool OpenInspectedProcess(InspectedProcess& process, uint32_t pid, const std::string& name);
// Reads the record the pages show (the process's figures, its threads) out
// of the process list's last snapshot when that one was not read before and
// is less than `listInterval` ms old, else out of a snapshot of its own;
// notes whether the process ended, with its exit code.
void RefreshInspectedProcess(InspectedProcess& process, uint32_t listInterval);
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
// The modules of the process, walked through its loader's list once; none
// when its memory cannot be read.
std::optional<std::vector<ModuleSpan>> ReadLoadedModules(InspectedProcess& process);
// The process handle that may read memory, opened at the first call.
HANDLE ReadingHandle(InspectedProcess& process);

}  // namespace velkor
