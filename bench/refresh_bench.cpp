// The cost of one process-list refresh against the calls no refresh can
// avoid, with N helper processes running. Run under Wine by bench/run-bench.
//
//   velkor_refresh_bench.exe refresh N     one table row for N helpers
//   velkor_refresh_bench.exe hold N S      keeps N helpers running for S seconds
//                                          (or until the file "stop" appears
//                                          in the working directory)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/windows.h"
#include "procs/process_list.h"
#include "settings/preferences.h"
#include "win/unique_handle.h"

namespace {

using velkor::win::UniqueKernelHandle;
using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

std::vector<UniqueKernelHandle> StartHelpers(int count) {
  std::vector<UniqueKernelHandle> helpers;
  const std::string exe = ProgramFolder() + "\\velkor_helper.exe";
  for (int i = 0; i < count; ++i) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
      std::fprintf(stderr, "cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
      break;
    }
    CloseHandle(info.hThread);
    helpers.emplace_back(info.hProcess);
  }
  return helpers;
}

void EndHelpers(std::vector<UniqueKernelHandle>& helpers) {
  for (auto& helper : helpers) TerminateProcess(helper.get(), 0);
  for (auto& helper : helpers) WaitForSingleObject(helper.get(), 5000);
  helpers.clear();
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  velkor::LoopEvent event;
  while (velkor::TakeLoopEvent(event)) {
  }
}

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

double CpuNow() {
  FILETIME creation{}, exit{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n == 0 ? 0.0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0);
}

struct Timing {
  double wallMs = 0;
  double cpuMs = 0;
};

// Wall and CPU milliseconds per step over one sample of `repeat` steps. The
// list paints between refreshes, as it does in the program; painting is not
// part of the refresh and its CPU time is left out.
Timing Sample(const std::function<void()>& step, int repeat) {
  double spent = 0, pumpCpu = 0;
  const double cpuStart = CpuNow();
  for (int i = 0; i < repeat; ++i) {
    const double t = Now();
    step();
    spent += Now() - t;
    const double beforePump = CpuNow();
    Pump();
    pumpCpu += CpuNow() - beforePump;
  }
  return {spent / repeat, (CpuNow() - cpuStart - pumpCpu) / repeat};
}

// Medians over 21 samples of each step, the samples of the steps taken in
// turn so that all see the same load on the machine. The process CPU clock
// ticks coarsely (10 to 16 ms), so each sample runs its step often enough to
// take about 200 ms.
std::vector<Timing> MeasureInTurn(const std::vector<std::function<void()>>& steps) {
  std::vector<int> repeats;
  for (const auto& step : steps) {
    const double start = Now();
    step();
    Pump();
    repeats.push_back(std::max(1, static_cast<int>(200.0 / std::max(Now() - start, 0.05))));
  }
  std::vector<std::vector<double>> wall(steps.size()), cpu(steps.size());
  for (int sample = 0; sample < 21; ++sample) {
    for (size_t i = 0; i < steps.size(); ++i) {
      const Timing t = Sample(steps[i], repeats[i]);
      wall[i].push_back(t.wallMs);
      cpu[i].push_back(t.cpuMs);
    }
  }
  std::vector<Timing> medians;
  for (size_t i = 0; i < steps.size(); ++i) medians.push_back({Median(wall[i]), Median(cpu[i])});
  return medians;
}

// One snapshot, and per process one open, one priority-class read and one
// close: what every refresh has to ask the system at the least.
struct Baseline {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  NtQuerySystemInformationFn query =
      reinterpret_cast<NtQuerySystemInformationFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
  std::vector<uint64_t> buffer = std::vector<uint64_t>(1 << 18);
  uint32_t priorities = 0;

  // The snapshot alone: what the system costs before any process is opened.
  void Snapshot() {
    ULONG needed = 0;
    while (query(5, buffer.data(), static_cast<ULONG>(buffer.size() * 8), &needed) == static_cast<LONG>(0xC0000004))
      buffer.resize(buffer.size() * 2);
  }

  void Step() {
    Snapshot();
    const auto* base = reinterpret_cast<const BYTE*>(buffer.data());
    for (size_t offset = 0;;) {
      const ULONG next = *reinterpret_cast<const ULONG*>(base + offset);
      const auto pid = static_cast<DWORD>(*reinterpret_cast<const ULONG_PTR*>(base + offset + (sizeof(void*) == 8 ? 80 : 68)));
      if (pid != 0) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        if (process) {
          priorities += GetPriorityClass(process);
          CloseHandle(process);
        }
      }
      if (next == 0) break;
      offset += next;
    }
  }
};

int RunRefresh(int helperCount) {
  std::vector<UniqueKernelHandle> helpers = StartHelpers(helperCount);
  if (static_cast<int>(helpers.size()) != helperCount) return 1;
  velkor::SetPreferenceDefaults();
  velkor::Preferences.PreferencesOptimize = 0;
  if (!velkor::BuildWindows()) {
    std::fprintf(stderr, "cannot build the windows\n");
    return 1;
  }
  Pump();
  for (int i = 0; i < 3; ++i) {
    velkor::RefreshProcessList();
    Pump();
  }
  const int rows = ListView_GetItemCount(velkor::ControlHandle(velkor::kProcessList));
  Baseline baseline;
  const std::vector<Timing> t = MeasureInTurn(
      {[] { velkor::RefreshProcessList(); }, [&] { baseline.Step(); }, [&] { baseline.Snapshot(); }});
  const Timing &refresh = t[0], &bare = t[1], &snapshot = t[2];
  std::printf("%d\t%d\t%.2f\t%.2f\t%.2f\t%.2f\t%.2f\t%.2f\t%.2f\n", helperCount, rows, refresh.wallMs, refresh.cpuMs,
              bare.wallMs, bare.cpuMs, snapshot.wallMs, snapshot.cpuMs, bare.wallMs > 0 ? refresh.wallMs / bare.wallMs : 0.0);
  std::fflush(stdout);
  velkor::DestroyWindows();
  EndHelpers(helpers);
  return 0;
}

int RunHold(int helperCount, int seconds) {
  std::vector<UniqueKernelHandle> helpers = StartHelpers(helperCount);
  std::printf("ready %zu\n", helpers.size());
  std::fflush(stdout);
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  while (GetTickCount64() < end && GetFileAttributesA("stop") == INVALID_FILE_ATTRIBUTES) Sleep(200);
  EndHelpers(helpers);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const int count = argc > 2 ? std::atoi(argv[2]) : 50;
  if (mode == "refresh") return RunRefresh(count);
  if (mode == "hold") return RunHold(count, argc > 3 ? std::atoi(argv[3]) : 600);
  std::fprintf(stderr, "usage: velkor_refresh_bench.exe refresh N | hold N SECONDS\n");
  return 2;
}
