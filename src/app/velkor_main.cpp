// velkor.exe
#include <windows.h>

#include "app/event_loop.h"
#include "app/startup.h"
#include "app/program_windows.h"
#include "win/source_location.h"

#ifdef VELKOR_FAULT_TRIGGERS
#include <string>

#include "monitor/history_strip.h"
#include "procs/process_cpu.h"
#include "procs/process_list.h"

// Test builds only (never in the shipped program): registered messages to the
// main window that make the main program fault, for the error dialog's tests.
namespace {

WNDPROC shippedCallback = nullptr;
volatile int faultDivisor = 0;

// Rows whose first question divides by zero: handed to a procedure of
// another unit, they make the fault happen while that procedure runs. After
// "Fortfahren" they hold nothing.
class FaultingRows final : public velkor::ProcessRows {
 public:
  [[nodiscard]] int RowCount() const override {
    FaultOnce();
    return 0;
  }
  [[nodiscard]] std::string CellText(int, int) const override {
    FaultOnce();
    return {};
  }
  void SetCellText(int, int, const std::string&) override {}
  int AppendRow(const NewRow&) override { return -1; }
  void DeleteRow(int) override {}
  void SetRowBackground(int, velkor::Rgb) override {}
  [[nodiscard]] const velkor::ProcessRowFacts* Facts(int) const override { return nullptr; }
  void SetFacts(int, const velkor::ProcessRowFacts&) override {}

 private:
  void FaultOnce() const {
    if (faulted_) return;
    faulted_ = true;
    volatile int quotient = 1000 / faultDivisor;
    (void)quotient;
  }
  mutable bool faulted_ = false;
};

__attribute__((noinline)) int Recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  if (depth < 0) return 0;
  return Recurse(depth + 1) + frame[0];
}

LRESULT CALLBACK FaultTriggerCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT divideByZero = RegisterWindowMessageA("VelkorTestDivideByZero");
  static const UINT stackOverflow = RegisterWindowMessageA("VelkorTestStackOverflow");
  static const UINT inHistoryStrips = RegisterWindowMessageA("VelkorTestFaultInHistoryStrips");
  static const UINT inCpuLoad = RegisterWindowMessageA("VelkorTestFaultInCpuLoad");
  if (message == divideByZero) {
    VELKOR_LINE(velkor::kMainModule);
    volatile int quotient = 1000 / faultDivisor;
    return quotient;
  }
  if (message == stackOverflow) {
    return Recurse(0);
  }
  if (message == inHistoryStrips) {
    FaultingRows rows;
    velkor::SwitchHistoryImages(rows, true);
    return 0;
  }
  if (message == inCpuLoad) {
    FaultingRows rows;
    return static_cast<LRESULT>(velkor::UpdateCpuLoad(rows, 0, {}));
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
