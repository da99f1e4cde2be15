#include "app/window_procs.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "app/effects_win.h"
#include "app/keyboard.h"
#include "app/layout_scale.h"
#include "app/process_window.h"
#include "app/status_bar.h"
#include "app/toolbar_win.h"
#include "app/window_registry.h"
#include "app/program_windows.h"
#include "gfx/contrast.h"
#include "gfx/contrast_win.h"
#include "gfx/dpi_scale.h"
#include "gfx/look_cache_win.h"
#include "lists/driver_list_win.h"
#include "lists/network_adapters_win.h"
#include "lists/service_list_win.h"
#include "lists/window_list_win.h"
#include "monitor/process_summary_win.h"
#include "procs/process_list_win.h"
#include "shell/menu_draw.h"
#include "win/source_location.h"

namespace velkor {

namespace {

// A message handler answers, or leaves the message to the default procedure.
using Answer = std::optional<LRESULT>;

bool callbackInstalled = false;

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }
// With the system's high contrast on, panels take its face colour and the
// white boxes its window colour, each with its own text colour.
COLORREF ToColorRef(Pixel c) { return RGB(PixelRed(c), PixelGreen(c), PixelBlue(c)); }
HBRUSH PanelBrush() {
  const ContrastColours* contrast = HighContrast();
  return CachedBrush(contrast ? ToColorRef(contrast->face) : ToColorRef(kPanelColour));
}
HBRUSH WhiteBrush() {
  const ContrastColours* contrast = HighContrast();
  return CachedBrush(contrast ? ToColorRef(contrast->window) : ToColorRef(kWhiteColour));
}
HBRUSH LineBrush() {
  const ContrastColours* contrast = HighContrast();
  return CachedBrush(contrast ? ToColorRef(contrast->text) : RGB(160, 160, 160));
}

void QueueControlEvent(HWND from, int id, int type) { QueueLoopEvent({kEventControl, id, type, WindowNumberOf(from)}); }

// The event type a control's notification code means, by the control's kind.
std::optional<int> CommandEventType(ControlKind kind, int code) {
  switch (kind) {
    case ControlKind::kCheckBox:
    case ControlKind::kGroup:
    case ControlKind::kButton:
    case ControlKind::kDefaultButton:
    case ControlKind::kToolbarButton:
      if (code == BN_CLICKED) return kTypeLeftClick;
      if (code == BN_DOUBLECLICKED) return kTypeDoubleClick;
      return std::nullopt;
    // Statics report a double click as 1, which a button uses for BN_PAINT.
    case ControlKind::kImage:
    case ControlKind::kSunkenImage:
    case ControlKind::kLabel:
    case ControlKind::kLabelRight:
    case ControlKind::kLink:
    case ControlKind::kSeparator:
      if (code == STN_CLICKED) return kTypeLeftClick;
      if (code == STN_DBLCLK) return kTypeDoubleClick;
      return std::nullopt;
    case ControlKind::kEdit:
    case ControlKind::kNumberEdit:
    case ControlKind::kSpinEdit:
    case ControlKind::kReadOnlyField:
    case ControlKind::kMultiLineReadOnly:
      if (code == EN_CHANGE) return kTypeChange;
      return std::nullopt;
    case ControlKind::kComboEdit:
    case ControlKind::kComboImages:
      if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) return kTypeChange;
      return std::nullopt;
    default: return std::nullopt;
  }
}

Answer OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (lParam == 0) {  // menu item (0) or accelerator (1)
    QueueLoopEvent({kEventMenu, id, 0, WindowNumberOf(window)});
    return 0;
  }
  if (const ControlSpec* def = SpecOfControl(reinterpret_cast<HWND>(lParam)))
    if (std::optional<int> type = CommandEventType(def->kind, HIWORD(wParam))) QueueControlEvent(window, id, *type);
  return 0;
}

// Header clicks on the service and driver lists sort them as text.
bool SortListOnHeaderClick(const NMHDR* header) {
  if (header->code != static_cast<UINT>(LVN_COLUMNCLICK)) return false;
  const int column = reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem;
  if (header->hwndFrom == ControlHandle(kServiceList))
    SortServiceList(header->hwndFrom, column);
  else if (header->hwndFrom == ControlHandle(kDriverList))
    SortDriverList(header->hwndFrom, column);
  else
    return false;
  return true;
}

void QueueNotifyEvent(HWND window, const NMHDR* header) {
  const int id = static_cast<int>(header->idFrom);
  switch (header->code) {
    case NM_CLICK: QueueControlEvent(window, id, kTypeLeftClick); break;
    case NM_RCLICK: QueueControlEvent(window, id, kTypeRightClick); break;
    case NM_DBLCLK: QueueControlEvent(window, id, kTypeDoubleClick); break;
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) && ((change->uOldState ^ change->uNewState) & (LVIS_SELECTED | LVIS_FOCUSED)))
        QueueControlEvent(window, id, kTypeChange);
      break;
    }
    case LVN_ODSTATECHANGED: {  // a range of an owner-data list selected at once
      const auto* change = reinterpret_cast<const NMLVODSTATECHANGE*>(header);
      if ((change->uOldState ^ change->uNewState) & (LVIS_SELECTED | LVIS_FOCUSED))
        QueueControlEvent(window, id, kTypeChange);
      break;
    }
    default: break;
  }
}

// The lists' row colours, header-click sorting and locked columns; every
// other notification becomes an event, and list views still get the default answer.
Answer OnNotify(HWND window, const NMHDR* header) {
  if (Answer processes = ProcessListNotify(header)) return processes;
  if (SortListOnHeaderClick(header)) return 0;
  if (Answer windows = WindowListNotify(header)) return windows;
  if (Answer network = NetworkListNotify(header)) return network;
  QueueNotifyEvent(window, header);
  return std::nullopt;
}

HBRUSH BackgroundOf(HWND container) {
  const ControlSpec* def = SpecOfControl(container);
  if (def && (def->kind == ControlKind::kBox || def->kind == ControlKind::kScrollArea || (def->flags & kWhite)))
    return WhiteBrush();
  if (container == MainWindow) return WhiteBrush();
  return PanelBrush();
}

Answer OnControlColour(HWND window, HDC dc, HWND control) {
  const ControlSpec* def = SpecOfControl(control);
  if (def && def->kind == ControlKind::kSeparator) return reinterpret_cast<LRESULT>(LineBrush());
  SetBkMode(dc, TRANSPARENT);
  HBRUSH brush = BackgroundOf(window);
  if (const ContrastColours* contrast = HighContrast()) {
    SetTextColor(dc, ToColorRef(brush == WhiteBrush() ? contrast->text : contrast->faceText));
  } else {
    if (def && (def->flags & kRedText)) SetTextColor(dc, RGB(255, 0, 0));
    if (def && def->kind == ControlKind::kLink) SetTextColor(dc, RGB(0, 0, 255));
  }
  LOGBRUSH info{};
  GetObjectA(brush, sizeof info, &info);
  SetBkColor(dc, info.lbColor);
  return reinterpret_cast<LRESULT>(brush);
}

Answer OnEraseBackground(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, BackgroundOf(window));
  return 1;
}

LRESULT CALLBACK GroupFrameProc(HWND group, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(group, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundOf(GetParent(group)));
      return 1;
    }
    case WM_NCDESTROY: RemoveWindowSubclass(group, GroupFrameProc, id); break;
    default: break;
  }
  return DefSubclassProc(group, message, wParam, lParam);
}

// What program windows and containers answer alike.
Answer CommonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Answer answer = HandleMenuMessage(window, message, wParam, lParam)) return answer;
  switch (message) {
    case WM_COMMAND: return OnCommand(window, wParam, lParam);
    case WM_NOTIFY: return OnNotify(window, reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return OnControlColour(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
      if (PaintToolbarButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      return std::nullopt;
    case WM_ERASEBKGND: return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    default: return std::nullopt;
  }
}

// Scroll areas move their children by whole steps of 20 pixels at 96 DPI,
// scaled with the area.
void ScrollArea(HWND area, WPARAM wParam) {
  const ControlSpec* def = SpecOfControl(area);
  const int step = ScaleToDpi(20, LayoutDpiOf(def ? def->window : kMainWindow));
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(area, SB_VERT, &info);
  int position = info.nPos;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: position -= step; break;
    case SB_LINEDOWN: position += step; break;
    case SB_PAGEUP: position -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: position += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = info.nMin; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: break;
  }
  position = std::clamp(position, info.nMin, std::max(info.nMin, info.nMax - static_cast<int>(info.nPage) + 1));
  if (position == info.nPos) return;
  SetScrollPos(area, SB_VERT, position, TRUE);
  ScrollWindowEx(area, 0, info.nPos - position, nullptr, nullptr, nullptr, nullptr,
                 SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

// Links show the hand.
Answer OnContainerCursor(HWND window, HWND under) {
  const ControlSpec* def = SpecOfControl(under);
  if (!def || def->kind != ControlKind::kLink || under == window) return std::nullopt;
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
  return TRUE;
}

Answer ContainerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Answer answer = CommonMessage(window, message, wParam, lParam)) return answer;
  switch (message) {
    case WM_VSCROLL: ScrollArea(window, wParam); return 0;
    case WM_SETCURSOR: return OnContainerCursor(window, reinterpret_cast<HWND>(wParam));
    case WM_MOUSEWHEEL:
      if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_VSCROLL)) return std::nullopt;
      ScrollArea(window, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN);
      return 0;
    default: return std::nullopt;
  }
}

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  VELKOR_PLACE(kProceduresUnit);
  if (Answer answer = ContainerMessage(window, message, wParam, lParam)) return *answer;
  return DefWindowProcA(window, message, wParam, lParam);
}

// The system's colours or its high-contrast mode changed: everything the
// program draws itself is drawn again in the colours that hold now.
void FollowSystemColours() {
  if (!FollowHighContrast()) return;
  for (int number = 0; number < kWindowCount; ++number)
    if (HWND window = BuiltWindow(number))
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  UpdateStatusBar(kStatusFigures);
}

// The main window's outer size keeps to its minimum, and its edges snap.
void OnMainWindowPosChanging(HWND window, WINDOWPOS& position) {
  if (!(position.flags & SWP_NOSIZE)) {
    const Size raised = EnforceMinimumSize({position.cx, position.cy}, LayoutDpiOf(kMainWindow));
    position.cx = raised.w;
    position.cy = raised.h;
  }
  SnapMainWindow(window, position);
}

Answer ProgramWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Answer answer = ProcessWindowMessage(window, message, wParam, lParam)) return answer;
  if (Answer answer = CommonMessage(window, message, wParam, lParam)) return answer;
  const int number = ExactWindowNumber(window);
  if (message == DM_GETDEFID) return DefaultButtonAnswer(window);
  if (message == WM_ACTIVATE && GiveFocusBackOnActivate(window, wParam)) return 0;
  // What a close means is the loop's decision; no window is ever destroyed here.
  if (message == WM_CLOSE) {
    QueueLoopEvent({kEventClose, 0, 0, number});
    return 0;
  }
  // Moved to a monitor of another scale (or the scale changed): laid out
  // again at the new DPI in the rectangle the system suggests.
  if (message == WM_DPICHANGED && number >= 0) {
    ChangeWindowDpi(number, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    if (number == kMainWindow) {
      ProcessSummaryDpiChanged(LOWORD(wParam));
      WindowListDpiChanged(LOWORD(wParam));
      NetworkViewDpiChanged(LOWORD(wParam));
      ProcessListDpiChanged(LOWORD(wParam));
    }
    return 0;
  }
  if (number != kMainWindow) return std::nullopt;
  switch (message) {
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        ApplyAnchoring();
        QueueLoopEvent({kEventSize, 0, 0, number});
      }
      return std::nullopt;
    case WM_MOUSEMOVE: QueueLoopEvent({kEventMouseMove, 0, 0, number}); return std::nullopt;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE: FollowSystemColours(); return std::nullopt;
    case WM_GETMINMAXINFO: {
      const Size minimum = EnforceMinimumSize(Size{}, LayoutDpiOf(kMainWindow));
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {minimum.w, minimum.h};
      return 0;
    }
    case WM_WINDOWPOSCHANGING:
      OnMainWindowPosChanging(window, *reinterpret_cast<WINDOWPOS*>(lParam));
      return std::nullopt;
    default: return std::nullopt;
  }
}

// The class procedure of the program windows before the callback is installed
// and after it is removed again.
LRESULT CALLBACK BaseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  VELKOR_PLACE(kProceduresUnit);
  if (Answer answer = ProgramWindowMessage(window, message, wParam, lParam)) return *answer;
  return DefWindowProcA(window, message, wParam, lParam);
}

void SetProcedureOfWindows(WNDPROC procedure) {
  for (int number = 0; number < kWindowCount; ++number)
    if (HWND window = BuiltWindow(number))
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

}  // namespace

void GiveGroupFrameItsBackground(HWND group) {
  if (group) SetWindowSubclass(group, GroupFrameProc, 0, 0);
}

bool RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = BaseWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "APPICON");
  // Shared, like LoadIcon's: loaded once, owned by the system, so a second
  // build (whose classes exist already) creates no icon nobody frees.
  windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, "APPICON", IMAGE_ICON, 16, 16, LR_SHARED));
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  windowClass.style = CS_DROPSHADOW;
  windowClass.lpszClassName = kShadowWindowClass;
  if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  WNDCLASSEXA containerClass{};
  containerClass.cbSize = sizeof containerClass;
  containerClass.lpfnWndProc = ContainerProc;
  containerClass.hInstance = instance;
  containerClass.hCursor = windowClass.hCursor;
  containerClass.lpszClassName = kContainerClass;
  return RegisterClassExA(&containerClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK MainWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  VELKOR_PLACE(kProceduresUnit);
  if (message == WM_PAINT && window == MainWindow) UpdateStatusBar(kStatusFigures);
  return BaseWindowProc(window, message, wParam, lParam);
}

void InstallWindowCallback() {
  SetProcedureOfWindows(MainWindowCallback);
  callbackInstalled = true;
}

void GiveWindowCallback(HWND window) {
  if (callbackInstalled && window)
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainWindowCallback));
}

void RemoveWindowCallback() {
  if (!callbackInstalled) return;
  SetProcedureOfWindows(BaseWindowProc);
  callbackInstalled = false;
}

}  // namespace velkor
