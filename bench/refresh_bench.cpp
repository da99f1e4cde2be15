// The cost of each list's refresh against the calls no refresh of that list
// can avoid, and the start of velkor.exe against the start of an empty
// program. Run under Wine by bench/run-bench.
//
//   velkor_refresh_bench.exe lists N [SAMPLES]    one table row per list (processes,
//                                                 services, drivers, network) with N
//                                                 helper processes running
//   velkor_refresh_bench.exe windows N [SAMPLES]  the window list with N helper windows
//   velkor_refresh_bench.exe start VELKOR EMPTY [RUNS]
//                                                 start to first full process list of
//                                                 VELKOR beside the start of EMPTY
//   velkor_refresh_bench.exe view V               shows view V in the running velkor.exe
//   velkor_refresh_bench.exe hold N S             keeps N helpers running for S seconds
//                                                 (or until the file "stop" appears in
//                                                 the working directory)
#include <winsock2.h>
#include <windows.h>
#include <ws2ipdef.h>
#include <commctrl.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/event_loop.h"
#include "app/program_windows.h"
#include "lists/driver_list_win.h"
#include "app/deferred_start.h"
#include "lists/network_adapters_win.h"
#include "lists/service_list_win.h"
#include "lists/window_list_win.h"
#include "monitor/monitor_view_win.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "win/unique_handle.h"

#include "bench_timing.h"

namespace {

using velkor::win::UniqueKernelHandle;
using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

int samples = 21;

using bench::CpuNow;
using bench::Median;
using bench::Now;
using bench::ProgramFolder;
using bench::Timing;

// Starts `exe` with `arguments` in the current folder; the process handle, or
// an empty owner (after a message) when it cannot start.
UniqueKernelHandle Launch(const std::string& exe, const std::string& arguments, DWORD* pid = nullptr) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
    return UniqueKernelHandle();
  }
  CloseHandle(info.hThread);
  if (pid) *pid = info.dwProcessId;
  return UniqueKernelHandle(info.hProcess);
}

void EndHelpers(std::vector<UniqueKernelHandle>& helpers) {
  for (auto& helper : helpers) TerminateProcess(helper.get(), 0);
  for (auto& helper : helpers) WaitForSingleObject(helper.get(), 5000);
  helpers.clear();
}

// `count` helpers; with `windowed` each shows a top-level window titled
// "Helfer N", and the call returns once all of them are there.
std::vector<UniqueKernelHandle> StartHelpers(int count, bool windowed = false) {
  std::vector<UniqueKernelHandle> helpers;
  const std::string exe = ProgramFolder() + "\\velkor_helper.exe";
  for (int i = 0; i < count; ++i) {
    UniqueKernelHandle helper = Launch(exe, windowed ? "window Helfer " + std::to_string(i) : "");
    if (!helper) break;
    helpers.push_back(std::move(helper));
  }
  if (windowed) {
    // A helper that cannot show its window (the display refused it) ends the
    // run after one bound for all of them, not one per window.
    const ULONGLONG end = GetTickCount64() + 60000 + 200ull * helpers.size();
    for (size_t i = 0; i < helpers.size(); ++i) {
      const std::string title = "Helfer " + std::to_string(i);
      while (!FindWindowA("VelkorHelperWindow", title.c_str())) {
        if (GetTickCount64() > end) {
          std::fprintf(stderr, "the window of helper %zu did not appear\n", i);
          EndHelpers(helpers);
          return helpers;
        }
        Sleep(10);
      }
    }
  }
  return helpers;
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  velkor::LoopEvent event;
  while (velkor::TakeLoopEvent(event)) {
  }
}

std::vector<Timing> MeasureInTurn(const std::vector<std::function<void()>>& steps) {
  return bench::MeasureInTurn(steps, samples, Pump);
}

// One table row: the list's refresh beside its baseline.
void PrintRow(const char* list, int count, int rows, const std::function<void()>& refresh,
              const std::function<void()>& baseline) {
  const std::vector<Timing> t = MeasureInTurn({refresh, baseline});
  // A baseline below the clocks' resolution (no rows to read) has no ratio.
  auto ratio = [](double a, double b) { return b >= 0.05 ? std::to_string(a / b).substr(0, 4) : std::string("-"); };
  std::printf("%s\t%d\t%d\t%.2f\t%.2f\t%.2f\t%.2f\t%s\t%s\n", list, count, rows, t[0].wallMs, t[0].cpuMs, t[1].wallMs,
              t[1].cpuMs, ratio(t[0].wallMs, t[1].wallMs).c_str(), ratio(t[0].cpuMs, t[1].cpuMs).c_str());
  std::fflush(stdout);
}

// --- Baselines: what each refresh has to ask the system at the least -----

// The native process snapshot, and the walk over the top-level windows with
// each visible window's owner and title (the "Fenstertitel" column): every
// figure a refresh of an unchanged list shows comes from these two.
struct ProcessBaseline {
  NtQuerySystemInformationFn query = reinterpret_cast<NtQuerySystemInformationFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<uint64_t> buffer = std::vector<uint64_t>(1 << 18);
  uint64_t sink = 0;

  // Process ids of the snapshot (0, the idle process, left out).
  std::vector<DWORD> Snapshot() {
    ULONG needed = 0;
    while (query(5, buffer.data(), static_cast<ULONG>(buffer.size() * 8), &needed) == static_cast<LONG>(0xC0000004))
      buffer.resize(buffer.size() * 2);
    std::vector<DWORD> pids;
    const auto* base = reinterpret_cast<const BYTE*>(buffer.data());
    for (size_t offset = 0;;) {
      const ULONG next = *reinterpret_cast<const ULONG*>(base + offset);
      const auto pid =
          static_cast<DWORD>(*reinterpret_cast<const ULONG_PTR*>(base + offset + (sizeof(void*) == 8 ? 80 : 68)));
      if (pid != 0) pids.push_back(pid);
      if (next == 0) break;
      offset += next;
    }
    return pids;
  }

  static BOOL CALLBACK VisitTitle(HWND window, LPARAM self) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    if (!(style & WS_VISIBLE)) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t text[257];
    reinterpret_cast<ProcessBaseline*>(self)->sink +=
        static_cast<uint64_t>(InternalGetWindowText(window, text, 257)) + pid;
    return TRUE;
  }

  void Step() {
    sink += Snapshot().size();
    EnumWindows(VisitTitle, reinterpret_cast<LPARAM>(this));
  }
};

// EnumWindows; per window what the filter needs (visibility, title, frame,
// minimised, maximised, extended style), the owner's id and one icon
// question to the window. An owner's image path is read when it first shows
// a window, not in every refresh.
struct WindowBaseline {
  char title[256] = {};
  uint64_t sink = 0;

  static BOOL CALLBACK Visit(HWND window, LPARAM self) {
    auto& b = *reinterpret_cast<WindowBaseline*>(self);
    if (!IsWindowVisible(window)) return TRUE;
    GetWindowTextA(window, b.title, sizeof b.title);
    RECT r{};
    GetWindowRect(window, &r);
    (void)IsIconic(window);
    (void)IsZoomed(window);
    (void)GetWindowLongPtrA(window, GWL_EXSTYLE);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    b.sink += pid;
    DWORD_PTR icon = 0;
    SendMessageTimeoutA(window, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG, 200, &icon);
    return TRUE;
  }

  void Step() { EnumWindows(Visit, reinterpret_cast<LPARAM>(this)); }
};

// The service manager's snapshot of the Win32 services. Their descriptions
// (the list's fourth column) are read from the registry when a service first
// shows and again only after the system told of a change under the
// services' key.
struct ServiceBaseline {
  std::vector<BYTE> buffer = std::vector<BYTE>(256 * 1024);
  size_t listed = 0;

  void Step() {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE);
    if (!manager) return;
    DWORD needed = 0, returned = 0, resume = 0;
    while (!EnumServicesStatusExA(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, buffer.data(),
                                  static_cast<DWORD>(buffer.size()), &needed, &returned, &resume, nullptr) &&
           GetLastError() == ERROR_MORE_DATA) {
      buffer.resize(buffer.size() + needed);
      resume = 0;
    }
    CloseServiceHandle(manager);
    listed += returned;
  }
};

// EnumDeviceDrivers and both names of each driver.
struct DriverBaseline {
  std::vector<void*> bases = std::vector<void*>(1024);
  size_t named = 0;

  void Step() {
    DWORD needed = 0;
    if (!EnumDeviceDrivers(bases.data(), static_cast<DWORD>(bases.size() * sizeof(void*)), &needed)) return;
    const size_t count = std::min<size_t>(needed / sizeof(void*), bases.size());
    char name[MAX_PATH];
    for (size_t i = 0; i < count; ++i) {
      named += GetDeviceDriverBaseNameA(bases[i], name, MAX_PATH);
      named += GetDeviceDriverFileNameA(bases[i], name, MAX_PATH);
    }
  }
};

// The interface table, and the table of every interface's 64-bit counters.
struct NetworkBaseline {
  std::vector<BYTE> buffer = std::vector<BYTE>(64 * 1024);
  uint64_t octets = 0;

  void Step() {
    ULONG size = static_cast<ULONG>(buffer.size());
    if (GetIfTable(reinterpret_cast<MIB_IFTABLE*>(buffer.data()), &size, TRUE) != NO_ERROR) return;
    MIB_IF_TABLE2* wide = nullptr;
    if (GetIfTable2(&wide) != NO_ERROR) return;
    for (ULONG i = 0; i < wide->NumEntries; ++i) octets += wide->Table[i].InOctets;
    FreeMibTable(wide);
  }
};

// One sample of the machine's processor times and memory: what each step
// of the monitoring graphs shows.
struct MachineSample {
  uint64_t sink = 0;

  void Step() {
    FILETIME idle{}, kernel{}, user{};
    GetSystemTimes(&idle, &kernel, &user);
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatusEx(&memory);
    sink += idle.dwLowDateTime + memory.dwMemoryLoad;
  }
};

// --- Modes ------------------------------------------------------------------

bool BuildProgramWindows() {
  velkor::SetPreferenceDefaults();
  velkor::Preferences.PreferencesOptimize = 0;
  if (!velkor::BuildWindows()) {
    std::fprintf(stderr, "cannot build the windows\n");
    return false;
  }
  // What the program builds and fills once its first paint is done: the
  // controls of the later views, whose lists are measured here.
  velkor::CompleteStartNow();
  Pump();
  return true;
}

int ListRows(int id) { return ListView_GetItemCount(velkor::ControlHandle(id)); }

// The filter field of the process view: a change of its text from the
// edit's change notice to the list painted (all rows to one and back, the
// largest changes), and a refresh with a filter in force that shows nearly
// every row (so every cell is read) beside one without, in turn.
void FilterRows(int helperCount) {
  HWND field = velkor::ControlHandle(velkor::kFilterField);
  HWND list = velkor::ControlHandle(velkor::kProcessList);
  // The milliseconds from the change to the list brought up to date, and on
  // to the list painted.
  struct Change {
    double updated = 0;
    double painted = 0;
  };
  auto type = [field, list](const char* text) {
    const double start = Now();
    SetWindowTextA(field, text);  // EN_CHANGE queues the field's event
    velkor::LoopEvent event;
    while (velkor::TakeLoopEvent(event)) velkor::DispatchEvent(event);
    const double updated = Now();
    RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return Change{updated - start, Now() - start};
  };
  const char* narrow = "velkor_refresh_bench";  // this program alone
  std::vector<double> narrowing, narrowPainted, widening, widePainted, filtered, unfiltered;
  for (int sample = 0; sample < samples; ++sample) {
    Change change = type(narrow);
    narrowing.push_back(change.updated);
    narrowPainted.push_back(change.painted);
    change = type("");
    widening.push_back(change.updated);
    widePainted.push_back(change.painted);
    type("velkor_helper");  // nearly every row shown, every cell read
    double t = Now();
    velkor::RefreshProcessList();
    filtered.push_back(Now() - t);
    Pump();
    type("");
    t = Now();
    velkor::RefreshProcessList();
    unfiltered.push_back(Now() - t);
    Pump();
  }
  type(narrow);
  const int shown = ListRows(velkor::kProcessList);
  type("velkor_helper");
  const int helpersShown = ListRows(velkor::kProcessList);
  type("");
  // The refresh columns: to the list brought up to date; the baseline
  // columns: to the list painted.
  std::printf("filter-to-one\t%d\t%d\t%.2f\t-\t%.2f\t-\t-\t-\n", helperCount, shown, Median(narrowing),
              Median(narrowPainted));
  std::printf("filter-to-all\t%d\t%d\t%.2f\t-\t%.2f\t-\t-\t-\n", helperCount, ListRows(velkor::kProcessList),
              Median(widening), Median(widePainted));
  const double f = Median(filtered), u = Median(unfiltered);
  std::printf("refresh-filtered\t%d\t%d\t%.2f\t-\t%.2f\t-\t%s\t-\n", helperCount, helpersShown, f, u,
              std::to_string(f / u).substr(0, 4).c_str());
  std::fflush(stdout);
}

int RunLists(int helperCount) {
  std::vector<UniqueKernelHandle> helpers = StartHelpers(helperCount);
  if (static_cast<int>(helpers.size()) != helperCount || !BuildProgramWindows()) return 1;
  for (int i = 0; i < 3; ++i) {
    velkor::RefreshProcessList();
    Pump();
  }
  ProcessBaseline processes;
  PrintRow(
      "processes", helperCount, ListRows(velkor::kProcessList), [] { velkor::RefreshProcessList(); },
      [&] { processes.Step(); });
  FilterRows(helperCount);
  ServiceBaseline services;
  PrintRow(
      "services", helperCount, ListRows(velkor::kServiceList),
      [] { velkor::RefreshServiceList(velkor::ControlHandle(velkor::kServiceList)); }, [&] { services.Step(); });
  DriverBaseline drivers;
  PrintRow(
      "drivers", helperCount, ListRows(velkor::kDriverList),
      [] { velkor::RefreshDriverList(velkor::ControlHandle(velkor::kDriverList)); }, [&] { drivers.Step(); });
  NetworkBaseline network;
  PrintRow(
      "network", helperCount, ListRows(velkor::kNetworkList), [] { velkor::RefreshNetworkList(); },
      [&] { network.Step(); });
  // The "Überwachung" view steps both graphs 15 times per sample; a step
  // here includes painting them.
  velkor::ShowView(5, false);
  Pump();
  MachineSample machine;
  PrintRow(
      "graphs", helperCount, 2,
      [] {
        velkor::StepMonitorGraphs();
        RedrawWindow(velkor::MainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      },
      [&] { machine.Step(); });
  velkor::DestroyWindows();
  EndHelpers(helpers);
  return 0;
}

int RunWindows(int windowCount) {
  std::vector<UniqueKernelHandle> helpers = StartHelpers(windowCount, true);
  if (static_cast<int>(helpers.size()) != windowCount || !BuildProgramWindows()) return 1;
  velkor::RefreshWindowList();
  Pump();
  WindowBaseline windows;
  PrintRow(
      "windows", windowCount, ListRows(147), [] { velkor::RefreshWindowList(); }, [&] { windows.Step(); });
  velkor::DestroyWindows();
  EndHelpers(helpers);
  return 0;
}

struct ProcessEntry {
  DWORD pid;
  DWORD parent;
  std::string name;
};

std::vector<ProcessEntry> Processes() {
  std::vector<ProcessEntry> entries;
  velkor::win::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
    entries.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  return entries;
}

struct Found {
  DWORD pid = 0;
  HWND window = nullptr;
};

// The visible top-level window of process `pid` titled `title`.
HWND VisibleWindowOf(DWORD pid, const char* title) {
  Found found{pid, nullptr};
  const std::string wanted = title;
  struct Search {
    Found* found;
    const std::string* title;
  } search{&found, &wanted};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char text[64] = {};
        if (owner != s.found->pid || !IsWindowVisible(window)) return TRUE;
        GetWindowTextA(window, text, sizeof text);
        if (*s.title != text) return TRUE;
        s.found->window = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return found.window;
}

// The list view with control id `id` somewhere under `parent`.
HWND ListUnder(HWND parent, int id) {
  Found found{static_cast<DWORD>(id), nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto& f = *reinterpret_cast<Found*>(data);
        if (GetDlgCtrlID(child) != static_cast<int>(f.pid)) return TRUE;
        f.window = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.window;
}

// Ends `process` and the companion it started.
void EndProgram(UniqueKernelHandle& process, DWORD pid) {
  TerminateProcess(process.get(), 0);
  WaitForSingleObject(process.get(), 5000);
  for (const ProcessEntry& entry : Processes()) {
    if (entry.parent != pid || _stricmp(entry.name.c_str(), "dornat.exe") != 0) continue;
    UniqueKernelHandle companion(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.pid));
    if (!companion) continue;
    TerminateProcess(companion.get(), 0);
    WaitForSingleObject(companion.get(), 5000);
  }
}

// Milliseconds from the start of the empty program until it has shown its
// window and ended; -1 on failure.
double StartEmpty(const std::string& exe) {
  const double start = Now();
  UniqueKernelHandle process = Launch(exe, "");
  if (!process || WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) return -1;
  return Now() - start;
}

// Milliseconds from the start of velkor.exe until its main window shows and
// its process list holds a row for every process that ran before it, and
// itself. Observed from outside, polled every 2 ms, bounded at 30 s; -1 on
// failure.
double StartVelkor(const std::string& exe) {
  const size_t before = Processes().size();
  const double start = Now();
  DWORD pid = 0;
  UniqueKernelHandle process = Launch(exe, "", &pid);
  if (!process) return -1;
  double shown = -1;
  HWND main = nullptr, list = nullptr;
  while (Now() - start < 30000) {
    if (!main) main = VisibleWindowOf(pid, "Velkor");
    if (main && !list) list = ListUnder(main, velkor::kProcessList);
    DWORD_PTR rows = 0;
    if (list && SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &rows) &&
        rows >= before + 1) {
      shown = Now() - start;
      break;
    }
    Sleep(2);
  }
  EndProgram(process, pid);
  return shown;
}

int RunStart(const std::string& velkorExe, const std::string& emptyExe, int runs) {
  StartEmpty(emptyExe);  // the first start of each reads its files from disk
  StartVelkor(velkorExe);
  std::vector<double> velkor, empty;
  for (int i = 0; i < runs; ++i) {
    empty.push_back(StartEmpty(emptyExe));
    velkor.push_back(StartVelkor(velkorExe));
    Sleep(300);  // what the ended programs leave behind settles
  }
  if (std::count(velkor.begin(), velkor.end(), -1.0) || std::count(empty.begin(), empty.end(), -1.0)) {
    std::fprintf(stderr, "a start failed\n");
    return 1;
  }
  const double v = Median(velkor), e = Median(empty);
  std::printf("%d\t%.0f\t%.0f\t%.0f\n", runs, v, e, v - e);
  return 0;
}

// Shows view `view` in the velkor.exe that runs, through its "Ansicht" menu.
int RunView(int view) {
  for (const ProcessEntry& entry : Processes()) {
    if (_stricmp(entry.name.c_str(), "velkor.exe") != 0) continue;
    if (HWND main = VisibleWindowOf(entry.pid, "Velkor")) return PostMessageA(main, WM_COMMAND, 13 + view, 0) ? 0 : 1;
  }
  std::fprintf(stderr, "no velkor.exe window\n");
  return 1;
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
  auto number = [&](int index, int fallback) { return argc > index ? std::atoi(argv[index]) : fallback; };
  if (mode == "lists" || mode == "windows") {
    samples = std::max(1, number(3, samples));
    return mode == "lists" ? RunLists(number(2, 50)) : RunWindows(number(2, 50));
  }
  if (mode == "start" && argc > 3) return RunStart(argv[2], argv[3], std::max(1, number(4, 5)));
  if (mode == "view") return RunView(number(2, 0));
  if (mode == "hold") return RunHold(number(2, 50), number(3, 600));
  std::fprintf(stderr,
               "usage: velkor_refresh_bench.exe lists N [SAMPLES] | windows N [SAMPLES] | start VELKOR EMPTY [RUNS]"
               " | view V | hold N SECONDS\n");
  return 2;
}
