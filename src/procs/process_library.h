// The process library: a snapshot of the running processes walked with a
// cursor, per-process queries, and the control operations that need rights.
// psapi.dll is bound by name at start; without it every snapshot is empty and
// every query returns its failure value.
#pragma once

#include <cstdint>
#include <string>

namespace velkor {

void InitProcessLibrary();
void DestroyProcessLibrary();
// Same as InitProcessLibrary, binding the named library instead of "psapi.dll"
// (a library that does not exist leaves the process library unbound).
void InitProcessLibraryFrom(const char* libraryName);
bool ProcessLibraryBound();

// Process snapshot: one walk at a time.
int ExamineProcesses();
int NextProcess();
uint32_t ProcessID();
std::string ProcessName();
uint64_t CurrentWorkingSet();

// Per-process queries; 0 or "" when the process cannot be opened.
uint64_t ProcessWorkingSet(uint32_t pid);
uint64_t ProcessPagefileUsage(uint32_t pid);
uint64_t ProcessPagedPool(uint32_t pid);
uint64_t ProcessNonPagedPool(uint32_t pid);
std::string ProcessPath(uint32_t pid);
uint32_t GetProcessPriority(uint32_t pid);

// Process control.
int SetProcessPriority(uint32_t pid, uint32_t priorityClass);
int KillProcess(uint32_t pid, uint32_t exitCode);
int RemovePageFaults(uint32_t pid);
void EnablePrivilege(const char* name);
// How often EnablePrivilege has enabled a privilege that was off: a change
// tells that processes may now open that could not before.
uint64_t PrivilegesGained();
// pid -1 (0xFFFFFFFF) is the program itself; level 0 idle, 1 normal, 2 high, 3 realtime.
int SetPriorityLevel(int64_t pid, int level);

// Driver snapshot, walked like the process snapshot.
int ExamineDrivers();
int NextDriver();
uintptr_t DriverImageBase();
std::string DriverBaseName();
std::string DriverFileName();

}  // namespace velkor
