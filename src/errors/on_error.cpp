#include "errors/on_error.h"

#include <optional>

#include "errors/error_report.h"
#include "errors/source_location.h"
#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

constexpr char kDialogClass[] = "VelkorErrorDialog";
constexpr int kEndButton = 100;
constexpr int kContinueButton = 101;
constexpr COLORREF kBackground = RGB(204, 221, 255);
// Stack kept for the handler when the thread's stack overflows: enough for
// the decoder and for building and running the dialog.
constexpr ULONG kHandlerStackSize = 192 * 1024;

void (*endProgramStep)() = nullptr;
// The banner, decoded once at installation: a fault is no time to decode.
// Besides the 100 percent drawing, the one for the system's scale.
std::optional<Canvas> banner;
std::optional<Canvas> scaledBanner;
int scaledBannerPercent = 100;
const Canvas* shownBanner = nullptr;
// The program image: faults inside it are ours wherever they are caught.
uintptr_t imageStart = 0;
uintptr_t imageEnd = 0;
// Set while a fault is handled: a fault in the handler, or a second one while
// the dialog is open, ends the program instead of nesting.
volatile LONG handling = 0;

enum class Choice { kNone, kEnd, kContinue };
Choice choice = Choice::kNone;
HBRUSH backgroundBrush = nullptr;
HWND headingText = nullptr;

LRESULT CALLBACK ErrorDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kEndButton) choice = Choice::kEnd;
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kContinueButton) choice = Choice::kContinue;
      return 0;
    case WM_CLOSE: return 0;  // only the two buttons end the dialog
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) return 0;
      break;
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(window, &area);
      FillRect(reinterpret_cast<HDC>(wParam), &area, backgroundBrush);
      return 1;
    }
    case WM_PAINT: {
      win::PaintScope paint(window);
      if (shownBanner) PaintCanvas(paint.get(), *shownBanner, 0, 0);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      // The heading stands on the banner; the read-only text field stays white.
      if (reinterpret_cast<HWND>(lParam) == headingText) {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// A control at its 96-DPI place, scaled by its edges to `dpi`.
HWND CreateControl(HWND dialog, const char* className, const char* text, DWORD style, int x, int y, int width,
                   int height, int id, HFONT font, int dpi) {
  const int left = ScaleToDpi(x, dpi), top = ScaleToDpi(y, dpi);
  HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, left, top,
                                 ScaleToDpi(x + width, dpi) - left, ScaleToDpi(y + height, dpi) - top, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

// Up to one instruction's worth of bytes at `address`, as far as readable.
size_t ReadInstructionBytes(uintptr_t address, uint8_t (&bytes)[15]) {
  SIZE_T read = 0;
  if (ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(address), bytes, sizeof bytes, &read))
    return read;
  // The instruction may end a readable page.
  const size_t toPageEnd = 4096 - (address & 4095);
  if (toPageEnd < sizeof bytes &&
      ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(address), bytes, toPageEnd, &read))
    return read;
  return 0;
}

LONG HandleFault(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  if (InterlockedExchange(&handling, 1)) TerminateProcess(GetCurrentProcess(), record.ExceptionCode);
  ErrorReport report;
  report.code = record.ExceptionCode;
  report.location = CurrentSourceLocation;
  const uintptr_t faultAddress = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
  uint8_t bytes[15] = {};
  const DecodedInstruction instruction =
      DecodeInstruction(bytes, ReadInstructionBytes(faultAddress, bytes), faultAddress);
  report.instruction = instruction.text;
  ShowErrorDialog(ErrorDialogText(report));
  CONTEXT& context = *exception->ContextRecord;
  context.Rip = ResumeAddress(report.code, faultAddress, context.Rip, instruction.length);
  InterlockedExchange(&handling, 0);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// Whatever no one else handles.
LONG WINAPI UnhandledFaultFilter(EXCEPTION_POINTERS* exception) { return HandleFault(exception); }

// Faults in the program's own code, seen first: a fault in a window procedure
// can otherwise be swallowed on its way through the system's callback frames.
LONG WINAPI OwnFaultHandler(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  const uintptr_t address = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
  if (!IsProcessorFault(record.ExceptionCode) || address < imageStart || address >= imageEnd)
    return EXCEPTION_CONTINUE_SEARCH;
  return HandleFault(exception);
}

// Keeps kHandlerStackSize of the thread's stack for the handler. Windows
// grows a stack page by page behind a guard page and raises the overflow
// while the guaranteed part is still free. Where the whole stack is committed
// at once (Wine does so for the main thread), the only guard page is the last
// page, and the overflow would come with a few hundred bytes left: a guard
// page placed above the guaranteed part makes the system grow the stack from
// there, so the overflow comes in time.
void ReserveStackForHandler() {
  ULONG guarantee = kHandlerStackSize;
  SetThreadStackGuarantee(&guarantee);
  MEMORY_BASIC_INFORMATION stack{};
  if (!VirtualQuery(&stack, &stack, sizeof stack)) return;
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const uintptr_t pageSize = system.dwPageSize;
  auto* guardPage = static_cast<uint8_t*>(stack.AllocationBase) + 2 * pageSize + kHandlerStackSize;
  MEMORY_BASIC_INFORMATION page{};
  if (!VirtualQuery(guardPage, &page, sizeof page) || page.State != MEM_COMMIT || (page.Protect & PAGE_GUARD) ||
      guardPage >= reinterpret_cast<uint8_t*>(&stack) - 16 * pageSize)
    return;
  DWORD old = 0;
  VirtualProtect(guardPage, pageSize, PAGE_READWRITE | PAGE_GUARD, &old);
}

}  // namespace

void InstallErrorHandler(void (*endProgram)()) {
  endProgramStep = endProgram;
  banner = LoadPngResource(images::kBanner);
  scaledBannerPercent = ImageScaleForDpi(win::SystemDpi());
  if (scaledBannerPercent != 100)
    scaledBanner = LoadPngResource(ScaledImageName(images::kBanner, scaledBannerPercent).c_str());
  const auto* image = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  imageStart = reinterpret_cast<uintptr_t>(image);
  imageEnd = imageStart + nt->OptionalHeader.SizeOfImage;

  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ErrorDialogCallback;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kDialogClass;
  RegisterClassExA(&windowClass);

  ReserveStackForHandler();
  AddVectoredExceptionHandler(1, OwnFaultHandler);
  SetUnhandledExceptionFilter(UnhandledFaultFilter);
}

void ShowErrorDialog(const std::string& text) {
  win::UniqueBrush background(CreateSolidBrush(kBackground));
  backgroundBrush = background.get();
  constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;  // a title bar only: no close, minimise or maximise button
  constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME;
  // Made first without a size: where the system puts it tells its DPI, and
  // the dialog is laid out for that DPI before it is shown.
  win::UniqueWindow window(CreateWindowExA(kExStyle, kDialogClass, "Velkor - Fehler!", kStyle, 0, 0, 0, 0, nullptr,
                                           nullptr, GetModuleHandleA(nullptr), nullptr));
  HWND dialog = window.get();
  const int dpi = win::WindowDpi(dialog);
  const RECT frame =
      win::OuterRectAtDpi(RECT{0, 0, ScaleToDpi(400, dpi), ScaleToDpi(185, dpi)}, kStyle, false, kExStyle, dpi);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  shownBanner = scaledBanner && scaledBannerPercent == ImageScaleForDpi(dpi) ? &*scaledBanner
                : banner                                                     ? &*banner
                                                                             : nullptr;
  win::UniqueFont font(CreateFontA(-ScaleToDpi(11, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
  headingText = CreateControl(dialog, "STATIC", "Bei der Benutzung von Velkor ist ein Fehler aufgetreten!", SS_LEFT, 10,
                              7, 390, 15, 0, font.get(), dpi);
  CreateControl(dialog, "EDIT", text.c_str(), WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 10,
                30, 380, 100, 0, font.get(), dpi);
  CreateControl(dialog, "STATIC", "", SS_ETCHEDHORZ, 10, 145, 380, 2, 0, font.get(), dpi);
  HWND endButton = CreateControl(dialog, "BUTTON", "Beenden", WS_TABSTOP | BS_PUSHBUTTON, 200, 153, 80, 24, kEndButton,
                                 font.get(), dpi);
  CreateControl(dialog, "BUTTON", "Fortfahren", WS_TABSTOP | BS_DEFPUSHBUTTON, 300, 153, 80, 24, kContinueButton,
                font.get(), dpi);
  ShowWindow(dialog, SW_SHOW);
  SetForegroundWindow(dialog);
  SetFocus(endButton);

  // The dialog's own loop: the program's other windows are still painted, but
  // their input is dropped and the main loop waits until the user decides.
  choice = Choice::kNone;
  MSG message;
  while (choice == Choice::kNone && GetMessageA(&message, nullptr, 0, 0) != -1) {
    if (message.message == WM_QUIT) continue;
    if (IsInput(message.message) && message.hwnd != dialog && !IsChild(dialog, message.hwnd)) continue;
    if (IsDialogMessageA(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (choice == Choice::kEnd) {
    if (endProgramStep) endProgramStep();
    ExitProcess(0);
  }
  window.reset();
  shownBanner = nullptr;
  headingText = nullptr;
  backgroundBrush = nullptr;
}

}  // namespace velkor
