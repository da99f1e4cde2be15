#include "errors/on_error.h"

#include <array>
#include <iterator>
#include <optional>

#include "errors/error_report.h"
#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

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
// The banner in each of its drawings, decoded once at installation: a fault
// is no time to decode, and the dialog may move to a screen of another scale.
std::array<std::optional<Canvas>, std::size(kImageScales)> banners;
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

// The dialog's controls at their 96-DPI places; the description field gets
// the report's text.
struct ControlPlace {
  const char* className;
  const char* text;
  DWORD style;
  int x, y, width, height, id;
};
constexpr ControlPlace kControls[] = {
    {"STATIC", "Bei der Benutzung von Velkor ist ein Fehler aufgetreten!", SS_LEFT, 10, 7, 390, 15, 0},
    {"EDIT", nullptr, WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 10, 30, 380, 100, 0},
    {"STATIC", "", SS_ETCHEDHORZ, 10, 145, 380, 2, 0},
    {"BUTTON", "Beenden", WS_TABSTOP | BS_PUSHBUTTON, 200, 153, 80, 24, kEndButton},
    {"BUTTON", "Fortfahren", WS_TABSTOP | BS_DEFPUSHBUTTON, 300, 153, 80, 24, kContinueButton},
};

// The open dialog: its controls (in the order of kControls) and the font
// they show, made for the DPI it is laid out at.
struct OpenDialog {
  std::array<HWND, std::size(kControls)> controls{};
  win::UniqueFont font;
  int dpi = kDesignDpi;
};
OpenDialog* openDialog = nullptr;

const Canvas* BannerFor(int dpi) {
  const int percent = ImageScaleForDpi(dpi);
  for (size_t k = std::size(kImageScales); k-- > 0;)
    if (kImageScales[k] <= percent && banners[k]) return &*banners[k];
  return nullptr;
}

// The controls at their places for `dpi`, with a font made for it; the font
// shown before is freed once no control shows it.
void LayOutDialog(HWND dialog, OpenDialog& open, int dpi) {
  win::UniqueFont font(CreateFontA(-ScaleToDpi(11, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
  for (size_t k = 0; k < std::size(kControls); ++k) {
    const ControlPlace& c = kControls[k];
    const int left = ScaleToDpi(c.x, dpi), top = ScaleToDpi(c.y, dpi);
    SetWindowPos(open.controls[k], nullptr, left, top, ScaleToDpi(c.x + c.width, dpi) - left,
                 ScaleToDpi(c.y + c.height, dpi) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(open.controls[k], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  open.font = std::move(font);
  open.dpi = dpi;
  shownBanner = BannerFor(dpi);
  InvalidateRect(dialog, nullptr, TRUE);
}

LRESULT CALLBACK ErrorDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  VELKOR_PLACE(kOnErrorUnit);
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
    case WM_DPICHANGED:
      // Moved to a screen of another scale: the suggested rectangle, and
      // everything inside laid out again for it.
      if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      }
      if (openDialog && LOWORD(wParam) != openDialog->dpi) LayOutDialog(window, *openDialog, LOWORD(wParam));
      return 0;
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

void PrepareErrorDialog() {
  VELKOR_PLACE(kOnErrorUnit);
  for (size_t k = 0; k < std::size(kImageScales); ++k)
    banners[k] = LoadPngResource(ScaledImageName(images::kBanner, kImageScales[k]).c_str());
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ErrorDialogCallback;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kDialogClass;
  RegisterClassExA(&windowClass);
}

void InstallErrorHandler(void (*endProgram)()) {
  VELKOR_PLACE(kOnErrorUnit);
  endProgramStep = endProgram;
  PrepareErrorDialog();
  const auto* image = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  imageStart = reinterpret_cast<uintptr_t>(image);
  imageEnd = imageStart + nt->OptionalHeader.SizeOfImage;

  ReserveStackForHandler();
  AddVectoredExceptionHandler(1, OwnFaultHandler);
  SetUnhandledExceptionFilter(UnhandledFaultFilter);
}

void ShowErrorDialog(const std::string& text) {
  VELKOR_PLACE(kOnErrorUnit);
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
  OpenDialog open;
  for (size_t k = 0; k < std::size(kControls); ++k) {
    const ControlPlace& c = kControls[k];
    open.controls[k] = CreateWindowExA(0, c.className, c.text ? c.text : text.c_str(), WS_CHILD | WS_VISIBLE | c.style,
                                       0, 0, 0, 0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                       GetModuleHandleA(nullptr), nullptr);
  }
  headingText = open.controls[0];
  HWND endButton = open.controls[3];
  LayOutDialog(dialog, open, dpi);
  openDialog = &open;
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
  openDialog = nullptr;
  window.reset();
  shownBanner = nullptr;
  headingText = nullptr;
  backgroundBrush = nullptr;
}

}  // namespace velkor
