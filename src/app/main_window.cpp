#include "app/main_window.h"

#include "app/startup.h"
#include "gfx/bitmap.h"
#include "win/unique_handle.h"

namespace velkor {

HWND MainWindow = nullptr;

namespace {

constexpr const char* kMainClass = "VelkorMain";
constexpr int kEventNone = 0;
constexpr int kEventClose = 16;

int pendingEvent = kEventNone;
win::UniqueBitmap logoBitmap;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    // The loop decides what a close means; the window is never destroyed here.
    pendingEvent = kEventClose;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Waits up to `milliseconds` for input and handles everything that arrived;
// returns the loop event the messages produced.
int WaitEvent(DWORD milliseconds) {
  pendingEvent = kEventNone;
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  while (pendingEvent == kEventNone && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return pendingEvent;
}

}  // namespace

bool BuildWindows() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "APPICON");
  windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, "APPICON", IMAGE_ICON, 16, 16, 0));
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kMainClass;
  if (!RegisterClassExA(&windowClass)) return false;

  RECT outer{0, 0, 640, 500};
  AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  MainWindow = CreateWindowExA(0, kMainClass, "Velkor", WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr, nullptr,
                               instance, nullptr);
  if (!MainWindow) return false;

  // The embedded logo proves the PNG path from resource to screen.
  if (auto logo = LoadPngResource("LOGO")) {
    logoBitmap = CanvasToBitmap(*logo);
    HWND image = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, 16, 16, logo->width,
                                 logo->height, MainWindow, nullptr, instance, nullptr);
    SendMessageA(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logoBitmap.get()));
  }
  ShowWindow(MainWindow, SW_SHOW);
  UpdateWindow(MainWindow);
  return true;
}

void RunEventLoop() {
  ULONGLONG checkStamp = 0;
  for (;;) {
    const int event = WaitEvent(25);
    const ULONGLONG now = GetTickCount64();
    if (now - checkStamp > 250) {
      CheckStartSignal(MainWindow);
      WatchCompanion();
      checkStamp = now;
    }
    if (event == kEventClose) QuitProgram();
  }
}

}  // namespace velkor
