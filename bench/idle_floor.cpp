// The least a process manager does while it sits idle: at the list interval
// it takes the native process snapshot, opens each process and reads its
// priority class; at the monitoring interval it samples the machine's
// processor times and memory. bench/run-bench measures velkor.exe against it.
//
// With "titles" the list step is what the process list needs at the least
// once every figure comes from the snapshot: the snapshot and the walk over
// the top-level windows with each visible one's owner and title, and the
// program shows one window.
//
// With "graphs" it also does the least the "Überwachung" view must add: a
// window whose two pictures, as large as the view's two graphs at the main
// window's first size, take one new column each and are shown whole every
// 50 ms. Each picture is a ring of columns, so a step writes one column and
// moves nothing; it is shown in two pieces, oldest column first.
//
//   velkor_idle_floor.exe [LIST_MS MONITOR_MS] [graphs|titles]   (defaults: the program's intervals)
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

uint64_t sink = 0;

BOOL CALLBACK VisitTitle(HWND window, LPARAM) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  if (!(style & WS_VISIBLE)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t text[257];
  sink += static_cast<uint64_t>(InternalGetWindowText(window, text, 257)) + pid;
  return TRUE;
}

void ListStep(NtQuerySystemInformationFn query, std::vector<uint64_t>& buffer, bool titles) {
  ULONG needed = 0;
  while (query(5, buffer.data(), static_cast<ULONG>(buffer.size() * 8), &needed) == static_cast<LONG>(0xC0000004))
    buffer.resize(buffer.size() * 2);
  const auto* base = reinterpret_cast<const BYTE*>(buffer.data());
  for (size_t offset = 0;;) {
    const ULONG next = *reinterpret_cast<const ULONG*>(base + offset);
    const auto pid =
        static_cast<DWORD>(*reinterpret_cast<const ULONG_PTR*>(base + offset + (sizeof(void*) == 8 ? 80 : 68)));
    if (pid != 0 && !titles) {
      if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)) {
        sink += GetPriorityClass(process);
        CloseHandle(process);
      }
    }
    if (next == 0) break;
    offset += next;
  }
  if (titles) EnumWindows(VisitTitle, 0);
}

void MonitorStep() {
  FILETIME idle{}, kernel{}, user{};
  GetSystemTimes(&idle, &kernel, &user);
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatusEx(&memory);
  sink += idle.dwLowDateTime + memory.dwMemoryLoad;
}

// A picture on screen that scrolls one column a step.
class RingPicture {
 public:
  RingPicture(HWND parent, int x, int y, int width, int height)
      : width_(width), height_(height), pixels_(static_cast<size_t>(width) * static_cast<size_t>(height)) {
    control_ = parent ? CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr,
                                        GetModuleHandleA(nullptr), nullptr)
                      : nullptr;
    dc_ = control_ ? GetDC(control_) : nullptr;
    info_.bmiHeader.biSize = sizeof info_.bmiHeader;
    info_.bmiHeader.biWidth = width;
    info_.bmiHeader.biHeight = -height;  // top row first
    info_.bmiHeader.biPlanes = 1;
    info_.bmiHeader.biBitCount = 32;
    info_.bmiHeader.biCompression = BI_RGB;
  }
  ~RingPicture() {
    if (dc_) ReleaseDC(control_, dc_);
  }
  RingPicture(const RingPicture&) = delete;
  RingPicture& operator=(const RingPicture&) = delete;

  void Step(unsigned step) {
    // The new column: the grid rows, and every 20th step a grid column.
    for (int y = 0; y < height_; ++y) {
      const bool grid = (y % 20 == 10) || (step % 20 == 0 && y >= 10 && y < 90);
      pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(head_)] =
          grid ? 0x00006020u : 0u;
    }
    head_ = (head_ + 1) % width_;
    if (!dc_) return;
    const int older = width_ - head_;  // columns head_..width_-1, shown on the left
    SetDIBitsToDevice(dc_, 0, 0, static_cast<DWORD>(older), static_cast<DWORD>(height_), head_, 0, 0,
                      static_cast<UINT>(height_), pixels_.data(), &info_, DIB_RGB_COLORS);
    if (head_ > 0)
      SetDIBitsToDevice(dc_, older, 0, static_cast<DWORD>(head_), static_cast<DWORD>(height_), 0, 0, 0,
                        static_cast<UINT>(height_), pixels_.data(), &info_, DIB_RGB_COLORS);
  }

 private:
  int width_, height_;
  int head_ = 0;
  std::vector<uint32_t> pixels_;
  HWND control_ = nullptr;
  HDC dc_ = nullptr;
  BITMAPINFO info_{};
};

// The window of the "graphs" and "titles" floors: the main window's first
// client size.
HWND CreateFloorWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "VelkorGraphFloor";
  RegisterClassA(&windowClass);
  RECT frame{0, 0, 640, 500};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window =
      CreateWindowExA(0, windowClass.lpszClassName, "Graphen", WS_OVERLAPPEDWINDOW, 60, 60, frame.right - frame.left,
                      frame.bottom - frame.top, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window) ShowWindow(window, SW_SHOWNOACTIVATE);
  return window;
}

// Waits until `until` (a tick count), handling the window's messages.
void WaitHandlingMessages(ULONGLONG until) {
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    const ULONGLONG now = GetTickCount64();
    if (now >= until) return;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(until - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool graphs = argc > 1 && std::strcmp(argv[argc - 1], "graphs") == 0;
  const bool titles = argc > 1 && std::strcmp(argv[argc - 1], "titles") == 0;
  if (graphs || titles) --argc;
  const ULONGLONG listInterval = argc > 2 ? std::strtoull(argv[1], nullptr, 10) : 2500;
  const ULONGLONG monitorInterval = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 750;
  auto query = reinterpret_cast<NtQuerySystemInformationFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query || listInterval == 0 || monitorInterval == 0) return 1;
  std::vector<uint64_t> buffer(1 << 18);
  // The graph step: more than a fifteenth of the monitoring interval apart.
  const ULONGLONG stepInterval = monitorInterval / 15 + 1;
  HWND window = graphs || titles ? CreateFloorWindow() : nullptr;
  if ((graphs || titles) && !window) return 1;
  // The two graphs where the view has them.
  RingPicture processor(graphs ? window : nullptr, 110, 60, 640 - 130, 100);
  RingPicture memory(graphs ? window : nullptr, 10, 250, 640 - 320, 100);
  unsigned steps = 0;
  ULONGLONG nextList = GetTickCount64(), nextMonitor = nextList, nextStep = nextList;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (graphs && now >= nextStep) {
      ++steps;
      processor.Step(steps);
      memory.Step(steps);
      nextStep = now + stepInterval;
    }
    if (now >= nextList) {
      ListStep(query, buffer, titles);
      nextList = now + listInterval;
    }
    if (now >= nextMonitor) {
      MonitorStep();
      nextMonitor = now + monitorInterval;
    }
    ULONGLONG next = nextList < nextMonitor ? nextList : nextMonitor;
    if (graphs && nextStep < next) next = nextStep;
    const ULONGLONG after = GetTickCount64();
    if (graphs || titles)
      WaitHandlingMessages(next);
    else if (next > after)
      Sleep(static_cast<DWORD>(next - after));
  }
}
