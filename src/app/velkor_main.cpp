// velkor.exe
#include <windows.h>

#include "app/event_loop.h"
#include "app/startup.h"
#include "app/windows.h"
#include "errors/source_location.h"

#ifdef VELKOR_FAULT_TRIGGERS
// Test builds only (never in the shipped program): registered messages to the
// main window that make the main program fault, for the error dialog's tests.
namespace {

WNDPROC shippedCallback = nullptr;
volatile int faultDivisor = 0;

__attribute__((noinline)) int Recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  if (depth < 0) return 0;
  return Recurse(depth + 1) + frame[0];
}

LRESULT CALLBACK FaultTriggerCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT divideByZero = RegisterWindowMessageA("VelkorTestDivideByZero");
  static const UINT stackOverflow = RegisterWindowMessageA("VelkorTestStackOverflow");
  if (message == divideByZero) {
    VELKOR_LINE(velkor::kMainModule);
    volatile int quotient = 1000 / faultDivisor;
    return quotient;
  }
  if (message == stackOverflow) {
    return Recurse(0);
  }
  return CallWindowProcA(shippedCallback, window, message, wParam, lParam);
}

}  // namespace
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  VELKOR_LINE(velkor::kMainModule);
  if (!velkor::StartProgram()) ExitProcess(0);
  VELKOR_LINE(velkor::kMainModule);
  if (!velkor::BuildWindows()) velkor::ShutdownProgram();
  velkor::StartCompanionSoon();
  velkor::CompleteStartWhenIdle();
#ifdef VELKOR_FAULT_TRIGGERS
  shippedCallback = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(velkor::MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FaultTriggerCallback)));
#endif
  VELKOR_LINE(velkor::kMainModule);
  velkor::RunEventLoop();
}
