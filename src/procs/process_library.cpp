#include "procs/process_library.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <vector>

#include "procs/path_text.h"
#include "win/message_box.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

using win::BindFunction;
using win::UniqueKernelHandle;

using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleBaseNameAFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
using GetModuleFileNameExAFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
using EnumDeviceDriversFn = BOOL(WINAPI*)(LPVOID*, DWORD, DWORD*);
using GetDeviceDriverBaseNameAFn = DWORD(WINAPI*)(LPVOID, LPSTR, DWORD);
using GetDeviceDriverFileNameAFn = DWORD(WINAPI*)(LPVOID, LPSTR, DWORD);
using GetProcessMemoryInfoFn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
using EmptyWorkingSetFn = BOOL(WINAPI*)(HANDLE);

struct Psapi {
  win::UniqueModule module;
  EnumProcessesFn enumProcesses = nullptr;
  EnumProcessModulesFn enumProcessModules = nullptr;
  GetModuleBaseNameAFn getModuleBaseName = nullptr;
  GetModuleFileNameExAFn getModuleFileNameEx = nullptr;
  EnumDeviceDriversFn enumDeviceDrivers = nullptr;
  GetDeviceDriverBaseNameAFn getDeviceDriverBaseName = nullptr;
  GetDeviceDriverFileNameAFn getDeviceDriverFileName = nullptr;
  GetProcessMemoryInfoFn getProcessMemoryInfo = nullptr;
  EmptyWorkingSetFn emptyWorkingSet = nullptr;
};

// Library state for the whole run. The arrays start with room for 1024
// entries and grow when a snapshot fills them, so no process is ever dropped;
// the size reached is kept for the next snapshot.
struct LibraryState {
  Psapi psapi;
  bool bound = false;
  std::vector<DWORD> processIds;
  int processCount = 0;
  int processCursor = 0;
  std::vector<void*> driverBases;
  int driverCount = 0;
  int driverCursor = 0;
};
LibraryState state;

constexpr size_t kInitialEntries = 1024;
constexpr size_t kMaxEntries = 1u << 20;

// A cursor step shared by the process and driver walks.
int Advance(int& cursor, int count) {
  ++cursor;
  if (cursor > count) {
    cursor = count;
    return 0;
  }
  return cursor;
}

UniqueKernelHandle OpenForQuery(DWORD pid) {
  return UniqueKernelHandle(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
}

PROCESS_MEMORY_COUNTERS MemoryCounters(DWORD pid) {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!state.psapi.getProcessMemoryInfo) return counters;
  UniqueKernelHandle process = OpenForQuery(pid);
  if (!process) return counters;
  if (!state.psapi.getProcessMemoryInfo(process.get(), &counters, sizeof counters)) counters = {};
  return counters;
}

// For processes that refuse query + VM-read rights (other users' and protected
// processes): the full image path through limited-query rights.
std::string LimitedImagePath(DWORD pid) {
  UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return {};
  char buffer[MAX_PATH * 4];
  DWORD size = sizeof buffer;
  if (!QueryFullProcessImageNameA(process.get(), 0, buffer, &size)) return {};
  return std::string(buffer, size);
}

std::string TextUpToZero(const char* buffer, size_t capacity) { return std::string(buffer, strnlen(buffer, capacity)); }

}  // namespace

void InitProcessLibraryFrom(const char* libraryName) {
  DestroyProcessLibrary();
  Psapi& p = state.psapi;
  p.module.reset(LoadLibraryA(libraryName));
  if (!p.module) return;
  const HMODULE m = p.module.get();
  p.enumProcesses = BindFunction<EnumProcessesFn>(m, "EnumProcesses");
  p.enumProcessModules = BindFunction<EnumProcessModulesFn>(m, "EnumProcessModules");
  p.getModuleBaseName = BindFunction<GetModuleBaseNameAFn>(m, "GetModuleBaseNameA");
  p.getModuleFileNameEx = BindFunction<GetModuleFileNameExAFn>(m, "GetModuleFileNameExA");
  p.enumDeviceDrivers = BindFunction<EnumDeviceDriversFn>(m, "EnumDeviceDrivers");
  p.getDeviceDriverBaseName = BindFunction<GetDeviceDriverBaseNameAFn>(m, "GetDeviceDriverBaseNameA");
  p.getDeviceDriverFileName = BindFunction<GetDeviceDriverFileNameAFn>(m, "GetDeviceDriverFileNameA");
  p.getProcessMemoryInfo = BindFunction<GetProcessMemoryInfoFn>(m, "GetProcessMemoryInfo");
  p.emptyWorkingSet = BindFunction<EmptyWorkingSetFn>(m, "EmptyWorkingSet");
  state.bound = p.enumProcesses && p.enumProcessModules && p.getModuleBaseName && p.getModuleFileNameEx &&
                p.enumDeviceDrivers && p.getDeviceDriverBaseName && p.getDeviceDriverFileName &&
                p.getProcessMemoryInfo && p.emptyWorkingSet;
  if (!state.bound) {
    // A partial library binds nothing: the program sees one consistent picture.
    state.psapi = Psapi{};
    return;
  }
  state.processIds.assign(kInitialEntries, 0);
  state.driverBases.assign(kInitialEntries, nullptr);
}

void InitProcessLibrary() { InitProcessLibraryFrom("psapi.dll"); }

void DestroyProcessLibrary() {
  state.psapi = Psapi{};
  state.bound = false;
  state.processIds = {};
  state.driverBases = {};
  state.processCount = state.processCursor = 0;
  state.driverCount = state.driverCursor = 0;
}

bool ProcessLibraryBound() { return state.bound; }

int ExamineProcesses() {
  state.processCount = 0;
  state.processCursor = 0;
  if (!state.bound) return 0;
  for (;;) {
    const DWORD capacity = static_cast<DWORD>(state.processIds.size() * sizeof(DWORD));
    DWORD returned = 0;
    if (!state.psapi.enumProcesses(state.processIds.data(), capacity, &returned)) return 0;
    // A full buffer may have cut the list short: grow and ask again.
    if (returned < capacity || state.processIds.size() >= kMaxEntries) {
      state.processCount = static_cast<int>(returned / sizeof(DWORD));
      return state.processCount;
    }
    state.processIds.resize(state.processIds.size() * 2);
  }
}

int NextProcess() { return Advance(state.processCursor, state.processCount); }

uint32_t ProcessID() {
  if (state.processCursor < 1 || state.processCursor > state.processCount) return 0;
  return state.processIds[static_cast<size_t>(state.processCursor - 1)];
}

std::string ProcessName() {
  if (state.processCursor < 1 || state.processCursor > state.processCount) return {};
  const DWORD pid = ProcessID();
  if (pid == 0) return "IDLE";
  if (!state.bound) return {};
  std::string name;
  if (UniqueKernelHandle process = OpenForQuery(pid)) {
    HMODULE module = nullptr;
    DWORD needed = 0;
    char buffer[256];
    std::fill(std::begin(buffer), std::end(buffer), ' ');
    if (state.psapi.enumProcessModules(process.get(), &module, sizeof module, &needed) &&
        state.psapi.getModuleBaseName(process.get(), module, buffer, 255) > 0) {
      name = TextUpToZero(buffer, 255);
    }
  }
  // Refused rights, or a process whose module list is not readable (yet):
  // its image name still names it.
  if (name.empty()) name = std::string(FileNameOf(LimitedImagePath(pid)));
  if (name == "?") return "System";
  return name;
}

uint64_t CurrentWorkingSet() { return ProcessWorkingSet(ProcessID()); }

uint64_t ProcessWorkingSet(uint32_t pid) { return MemoryCounters(pid).WorkingSetSize; }
uint64_t ProcessPagefileUsage(uint32_t pid) { return MemoryCounters(pid).PagefileUsage; }
uint64_t ProcessPagedPool(uint32_t pid) { return MemoryCounters(pid).QuotaPagedPoolUsage; }
uint64_t ProcessNonPagedPool(uint32_t pid) { return MemoryCounters(pid).QuotaNonPagedPoolUsage; }

std::string ProcessPath(uint32_t pid) {
  if (!state.bound) return {};
  // The image name is one question to the system; the module list of the
  // other process (read from its memory) is asked only when that fails.
  if (std::string path = LimitedImagePath(pid); !path.empty()) return path;
  UniqueKernelHandle process = OpenForQuery(pid);
  if (!process) return {};
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = state.psapi.getModuleFileNameEx(process.get(), nullptr, buffer, MAX_PATH);
  if (length == 0) return LimitedImagePath(pid);
  return std::string(buffer, std::min<DWORD>(length, MAX_PATH));
}

uint32_t GetProcessPriority(uint32_t pid) {
  UniqueKernelHandle process = OpenForQuery(pid);
  if (!process) return 0;
  return GetPriorityClass(process.get());
}

int SetProcessPriority(uint32_t pid, uint32_t priorityClass) {
  EnablePrivilege("SeIncreaseBasePriorityPrivilege");
  UniqueKernelHandle process(OpenProcess(PROCESS_SET_INFORMATION, FALSE, pid));
  if (!process) return 0;
  return SetPriorityClass(process.get(), priorityClass) ? 1 : 0;
}

int KillProcess(uint32_t pid, uint32_t exitCode) {
  EnablePrivilege("SeDebugPrivilege");
  UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
  if (!process) return 0;
  return TerminateProcess(process.get(), exitCode) ? 1 : 0;
}

int RemovePageFaults(uint32_t pid) {
  UniqueKernelHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid));
  if (!process) return -2;
  const BOOL trimmed = state.psapi.emptyWorkingSet ? state.psapi.emptyWorkingSet(process.get()) : FALSE;
  process.reset();
  if (trimmed) return trimmed;
  const DWORD code = state.psapi.emptyWorkingSet ? GetLastError() : ERROR_PROC_NOT_FOUND;
  char message[1024] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), message, sizeof message, nullptr);
  win::ShowMessageBox(nullptr, "Error " + std::to_string(code) + "\r\n" + message, "Error RemovePageFaults", MB_OK);
  return 0;
}

namespace {
uint64_t privilegesGained = 0;
}  // namespace

void EnablePrivilege(const char* name) {
  UniqueKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) return;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueA("", name, &privileges.Privileges[0].Luid)) return;
  TOKEN_PRIVILEGES previous{};
  DWORD previousSize = sizeof previous;
  // The previous state lists the privilege only when this call changed it.
  if (AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof previous, &previous, &previousSize) &&
      GetLastError() == ERROR_SUCCESS && previous.PrivilegeCount > 0)
    ++privilegesGained;
}

uint64_t PrivilegesGained() { return privilegesGained; }

int SetPriorityLevel(int64_t pid, int level) {
  static constexpr DWORD kClasses[] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS,
                                       REALTIME_PRIORITY_CLASS};
  const DWORD target = (pid == -1 || pid == 0xFFFFFFFF) ? GetCurrentProcessId() : static_cast<DWORD>(pid);
  UniqueKernelHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, target));
  if (!process) return 0;
  const DWORD priorityClass = (level >= 0 && level <= 3) ? kClasses[level] : 0;
  SetPriorityClass(process.get(), priorityClass);
  return 1;
}

int ExamineDrivers() {
  state.driverCount = 0;
  state.driverCursor = 0;
  if (!state.bound) return 0;
  for (;;) {
    const DWORD capacity = static_cast<DWORD>(state.driverBases.size() * sizeof(void*));
    DWORD needed = 0;
    if (!state.psapi.enumDeviceDrivers(state.driverBases.data(), capacity, &needed)) return 0;
    // The system reports the size the whole list needs; grow until it fits.
    if (needed <= capacity || state.driverBases.size() >= kMaxEntries) {
      state.driverCount = static_cast<int>(std::min<size_t>(needed / sizeof(void*), state.driverBases.size()));
      return state.driverCount;
    }
    state.driverBases.resize(std::max<size_t>(state.driverBases.size() * 2, needed / sizeof(void*) + 16));
  }
}

int NextDriver() { return Advance(state.driverCursor, state.driverCount); }

uintptr_t DriverImageBase() {
  if (state.driverCursor < 1 || state.driverCursor > state.driverCount) return 0;
  return reinterpret_cast<uintptr_t>(state.driverBases[static_cast<size_t>(state.driverCursor - 1)]);
}

std::string DriverBaseName() {
  if (!state.bound || DriverImageBase() == 0) return {};
  char buffer[1024] = {};
  state.psapi.getDeviceDriverBaseName(reinterpret_cast<void*>(DriverImageBase()), buffer, sizeof buffer);
  return TextUpToZero(buffer, sizeof buffer);
}

std::string DriverFileName() {
  if (!state.bound || DriverImageBase() == 0) return {};
  char buffer[1024] = {};
  state.psapi.getDeviceDriverFileName(reinterpret_cast<void*>(DriverImageBase()), buffer, sizeof buffer);
  return TextUpToZero(buffer, sizeof buffer);
}

}  // namespace velkor
