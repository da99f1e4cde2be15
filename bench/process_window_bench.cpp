// The cost of the process-information window for a process with 50 threads
// and 100 modules: one refresh of a page against the calls no refresh of
// that page can avoid, and the time from command 25 to its first page
// filled and painted. Run under Wine by bench/run-bench (section "window"),
// in a folder of its own: it copies its module there for the helper to load.
//
//   velkor_window_bench.exe refresh [SAMPLES]   one table row per page
//   velkor_window_bench.exe open [RUNS]         command 25 to the first page shown
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/control_ids.h"
#include "app/deferred_start.h"
#include "app/event_loop.h"
#include "app/event_queue.h"
#include "app/process_window.h"
#include "app/program_windows.h"
#include "app/toolbar_win.h"
#include "app/window_registry.h"
#include "procs/process_list.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "win/list_view.h"
#include "win/unique_handle.h"

#include "bench_timing.h"

namespace {

using velkor::win::UniqueKernelHandle;
using QuerySystemFn = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
using QueryProcessFn = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);

constexpr int kThreads = 50, kModules = 100;
int samples = 21;

using bench::CpuNow;
using bench::Median;
using bench::Now;
using bench::ProgramFolder;
using bench::Timing;

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  velkor::LoopEvent event;
  while (velkor::TakeLoopEvent(event)) velkor::DispatchEvent(event);
}

std::vector<Timing> MeasureInTurn(const std::vector<std::function<void()>>& steps) {
  return bench::MeasureInTurn(steps, samples, Pump);
}

// --- Baseline: what one refresh of a page has to ask the system at least ---
//
// Every refresh: whether the process ended (one wait on its handle), the
// system's process snapshot (its figures, its threads) and its GDI and USER
// counts for the load sample. "Threads" and "Leistung" need nothing more:
// a thread's start address never changes and is asked once per thread. A
// module may come or go at any time: "Module" walks the loader's list of
// the process once (its anchor, then per module its entry and its path).
// "Allgemein": the current folder (the parameters block and the text), the
// priority class and the token's integrity level; what never changes for a
// process (image, command line, user, kind, elevation) is read once.
struct Baseline {
  QuerySystemFn querySystem = reinterpret_cast<QuerySystemFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  QueryProcessFn queryProcess = reinterpret_cast<QueryProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  UniqueKernelHandle limited, reader;
  std::vector<uint64_t> buffer = std::vector<uint64_t>(1 << 16);
  uint64_t sink = 0;

  explicit Baseline(DWORD pid)
      : limited(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid)),
        reader(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, pid)) {}

  bool Read(uint64_t address, void* into, size_t size) {
    SIZE_T read = 0;
    return ReadProcessMemory(reader.get(), reinterpret_cast<LPCVOID>(address), into, size, &read) && read == size;
  }

  void Common() {
    sink += WaitForSingleObject(limited.get(), 0);
    ULONG needed = 0;
    while (querySystem(5, buffer.data(), static_cast<ULONG>(buffer.size() * 8), &needed) ==
           static_cast<LONG>(0xC0000004))
      buffer.resize(buffer.size() * 2);
    sink += GetGuiResources(limited.get(), GR_GDIOBJECTS) + GetGuiResources(limited.get(), GR_USEROBJECTS);
  }

  uint64_t Peb() {
    struct {
      LONG exitStatus;
      void* peb;
      ULONG_PTR rest[4];
    } basic{};
    return queryProcess(reader.get(), 0, &basic, sizeof basic, nullptr) >= 0 ? reinterpret_cast<uint64_t>(basic.peb)
                                                                             : 0;
  }

  void Modules() {
    Common();
    uint64_t ldr = 0, head[2] = {};
    if (!Read(Peb() + 0x18, &ldr, 8) || !Read(ldr + 0x10, head, sizeof head)) return;
    wchar_t path[MAX_PATH * 2];
    for (uint64_t link = head[0]; link && link != ldr + 0x10;) {
      uint8_t entry[0x68];
      if (!Read(link, entry, sizeof entry)) break;
      uint16_t length = 0;
      uint64_t text = 0;
      std::memcpy(&length, entry + 0x48, 2);
      std::memcpy(&text, entry + 0x50, 8);
      if (Read(text, path, std::min<size_t>(length, sizeof path))) sink += length;
      std::memcpy(&link, entry, 8);
    }
  }

  void General() {
    Common();
    uint64_t parameters = 0;
    uint8_t block[0x48];
    wchar_t folder[MAX_PATH];
    if (Read(Peb() + 0x20, &parameters, 8) && Read(parameters, block, sizeof block)) {
      uint16_t length = 0;
      uint64_t text = 0;
      std::memcpy(&length, block + 0x38, 2);
      std::memcpy(&text, block + 0x40, 8);
      sink += Read(text, folder, std::min<size_t>(length, sizeof folder));
    }
    sink += GetPriorityClass(limited.get());
    HANDLE raw = nullptr;
    if (OpenProcessToken(limited.get(), TOKEN_QUERY, &raw)) {
      UniqueKernelHandle token(raw);
      uint8_t label[64];
      DWORD size = 0;
      sink += GetTokenInformation(token.get(), TokenIntegrityLevel, label, sizeof label, &size);
    }
  }
};

// --- The program ------------------------------------------------------------

struct Crowd {
  UniqueKernelHandle process;
  DWORD pid = 0;
};

// The helper with its threads and modules, started in the current folder.
Crowd StartCrowd() {
  const std::string folder = ProgramFolder();
  for (int copy = 0; copy < kModules; ++copy)
    CopyFileA((folder + "\\velkor_bench_module.dll").c_str(),
              ("velkor_module_" + std::to_string(copy) + ".dll").c_str(), FALSE);
  DeleteFileA("velkor_crowd.txt");
  const std::string exe = folder + "\\velkor_helper.exe";
  std::string line = "\"" + exe + "\" crowd " + std::to_string(kThreads) + " " + std::to_string(kModules);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  Crowd crowd;
  if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return crowd;
  CloseHandle(info.hThread);
  crowd.process.reset(info.hProcess);
  crowd.pid = info.dwProcessId;
  for (int wait = 0; wait < 3000 && GetFileAttributesA("velkor_crowd.txt") == INVALID_FILE_ATTRIBUTES; ++wait) {
    if (WaitForSingleObject(info.hProcess, 10) == WAIT_OBJECT_0) break;
  }
  if (GetFileAttributesA("velkor_crowd.txt") == INVALID_FILE_ATTRIBUTES) {
    std::fprintf(stderr, "the helper did not load its modules\n");
    TerminateProcess(crowd.process.get(), 0);
    crowd.process.reset();
  }
  return crowd;
}

// The program's windows with the helper's row selected, as a click selects it.
bool BuildAndSelect(DWORD pid) {
  velkor::SetPreferenceDefaults();
  velkor::Preferences.PreferencesOptimize = 0;
  if (!velkor::BuildWindows()) return false;
  velkor::CompleteStartNow();
  Pump();
  HWND list = velkor::ProcessListHandle();
  velkor::RefreshProcessList();
  const int row = velkor::ProcessRowOf(pid);
  if (row < 0) return false;
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Pump();
  velkor::UpdateToolbarStates();
  return true;
}

HWND Page(int page) { return velkor::BuiltControl(velkor::kProcessInfoLists[static_cast<size_t>(page)]); }

// Command 25 as a click on its toolbar button gives it.
void ClickCommand() {
  SendMessageA(velkor::ControlHandle(velkor::kProcessInfoCommand), BM_CLICK, 0, 0);
  velkor::LoopEvent event;
  while (velkor::TakeLoopEvent(event)) velkor::DispatchEvent(event);
}

int RunRefresh() {
  Crowd crowd = StartCrowd();
  if (!crowd.process || !BuildAndSelect(crowd.pid)) return 1;
  ClickCommand();
  if (!velkor::BuiltWindow(velkor::kProcessInfoWindow)) return 1;
  velkor::SelectProcessWindowPage(3);  // the rows name the modules the window lists
  Baseline baseline(crowd.pid);
  struct Row {
    const char* name;
    int page;
    std::function<void()> baseline;
  };
  const Row rows[] = {{"Threads", 2, [&] { baseline.Common(); }},
                      {"Module", 3, [&] { baseline.Modules(); }},
                      {"Allgemein", 0, [&] { baseline.General(); }},
                      {"Leistung", 1, [&] { baseline.Common(); }}};
  for (const Row& row : rows) {
    velkor::SelectProcessWindowPage(row.page);
    Pump();
    // The list does not refresh here: each refresh takes the window's own snapshot.
    const std::vector<Timing> t = MeasureInTurn({[] { velkor::RefreshProcessWindow(); }, row.baseline});
    auto ratio = [](double a, double b) { return b >= 0.05 ? std::to_string(a / b).substr(0, 4) : std::string("-"); };
    std::printf("%s\t%d\t%d\t%.2f\t%.2f\t%.2f\t%.2f\t%s\t%s\n", row.name, ListView_GetItemCount(Page(2)),
                ListView_GetItemCount(Page(3)), t[0].wallMs, t[0].cpuMs, t[1].wallMs, t[1].cpuMs,
                ratio(t[0].wallMs, t[1].wallMs).c_str(), ratio(t[0].cpuMs, t[1].cpuMs).c_str());
    std::fflush(stdout);
  }
  velkor::DestroyWindows();
  TerminateProcess(crowd.process.get(), 0);
  return 0;
}

int RunOpen(int runs) {
  Crowd crowd = StartCrowd();
  if (!crowd.process || !BuildAndSelect(crowd.pid)) return 1;
  std::vector<double> times;
  for (int run = 0; run <= runs; ++run) {
    velkor::RefreshProcessList();  // as the list refreshes in the program
    Pump();
    const double start = Now();
    ClickCommand();
    HWND window = velkor::BuiltWindow(velkor::kProcessInfoWindow);
    if (!window) return 1;
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double shown = Now() - start;
    if (ListView_GetItemCount(Page(0)) == 0) return 1;
    if (run > 0) times.push_back(shown);  // the first one builds the caches every later one finds
    SendMessageA(window, WM_CLOSE, 0, 0);
    Pump();
  }
  std::printf("%d\t%.1f\t%.1f\n", runs, Median(times), *std::max_element(times.begin(), times.end()));
  velkor::DestroyWindows();
  TerminateProcess(crowd.process.get(), 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;
  if (mode == "refresh") {
    samples = count;
    return RunRefresh();
  }
  if (mode == "open") return RunOpen(count);
  std::fprintf(stderr, "usage: velkor_window_bench.exe refresh [SAMPLES] | open [RUNS]\n");
  return 2;
}
