// The least a process manager does while it sits idle: at the list interval
// it takes the native process snapshot, opens each process and reads its
// priority class; at the monitoring interval it samples the machine's
// processor times and memory. bench/run-bench measures velkor.exe against it.
//
//   velkor_idle_floor.exe [LIST_MS MONITOR_MS]   (defaults: the program's intervals)
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

uint64_t sink = 0;

void ListStep(NtQuerySystemInformationFn query, std::vector<uint64_t>& buffer) {
  ULONG needed = 0;
  while (query(5, buffer.data(), static_cast<ULONG>(buffer.size() * 8), &needed) == static_cast<LONG>(0xC0000004))
    buffer.resize(buffer.size() * 2);
  const auto* base = reinterpret_cast<const BYTE*>(buffer.data());
  for (size_t offset = 0;;) {
    const ULONG next = *reinterpret_cast<const ULONG*>(base + offset);
    const auto pid = static_cast<DWORD>(*reinterpret_cast<const ULONG_PTR*>(base + offset + (sizeof(void*) == 8 ? 80 : 68)));
    if (pid != 0) {
      if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)) {
        sink += GetPriorityClass(process);
        CloseHandle(process);
      }
    }
    if (next == 0) break;
    offset += next;
  }
}

void MonitorStep() {
  FILETIME idle{}, kernel{}, user{};
  GetSystemTimes(&idle, &kernel, &user);
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatusEx(&memory);
  sink += idle.dwLowDateTime + memory.dwMemoryLoad;
}

}  // namespace

int main(int argc, char** argv) {
  const ULONGLONG listInterval = argc > 2 ? std::strtoull(argv[1], nullptr, 10) : 2500;
  const ULONGLONG monitorInterval = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 750;
  auto query = reinterpret_cast<NtQuerySystemInformationFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query || listInterval == 0 || monitorInterval == 0) return 1;
  std::vector<uint64_t> buffer(1 << 18);
  ULONGLONG nextList = GetTickCount64(), nextMonitor = nextList;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= nextList) {
      ListStep(query, buffer);
      nextList = now + listInterval;
    }
    if (now >= nextMonitor) {
      MonitorStep();
      nextMonitor = now + monitorInterval;
    }
    const ULONGLONG next = nextList < nextMonitor ? nextList : nextMonitor;
    const ULONGLONG after = GetTickCount64();
    if (next > after) Sleep(static_cast<DWORD>(next - after));
  }
}
