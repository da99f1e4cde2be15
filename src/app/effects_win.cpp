#include "app/effects_win.h"

#include <cstring>

#include "app/control_ids.h"
#include "app/menus.h"
#include "app/window_registry.h"
#include "app/program_windows.h"
#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "win/foreign_window.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {

using SetLayeredAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Bound once by name: old systems have no layered windows, and the windows
// then only get the style.
SetLayeredAttributes LayeredAttributes() {
  static const auto function = [] {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<SetLayeredAttributes>(
                        reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")))
                  : nullptr;
  }();
  return function;
}

void SetAlphaAttribute(HWND window, int alpha) {
  if (SetLayeredAttributes set = LayeredAttributes()) set(window, 0, static_cast<BYTE>(alpha & 0xFF), LWA_ALPHA);
}

LONG_PTR ExStyle(HWND window) { return GetWindowLongPtrA(window, GWL_EXSTYLE); }

void SetExStyle(HWND window, LONG_PTR style) {
  if (ExStyle(window) != style) SetWindowLongPtrA(window, GWL_EXSTYLE, style);
}

void DrawOutline(HWND window) {
  win::WindowDc dc(window);
  if (!dc.get()) return;
  RECT client{};
  GetClientRect(window, &client);
  FrameRect(dc.get(), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// 255 ms of steps, each with the alpha for the time gone by.
template <typename AlphaOf>
void Fade(HWND window, PumpEvents pumpEvents, AlphaOf alphaOf) {
  const DWORD start = GetTickCount();
  for (DWORD elapsed = 0; (elapsed = GetTickCount() - start) < 255;) {
    SetFadeAlpha(window, alphaOf(static_cast<int>(elapsed)));
    DrawOutline(window);
    if (pumpEvents) pumpEvents();
    // Until something arrives or the clock has moved on.
    MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

struct ScaleState {
  TransparencyGesture gesture;
  win::UniqueBitmap picture;  // shown by the scale picture
  HWND shownIn = nullptr;     // the control it was handed to
  int dpi = 0;                // the scale it was drawn for
};
ScaleState scale;

void ShowScale(int level) {
  HWND control = ControlHandle(kScalePicture);
  if (!control) return;
  // Drawn for the scale window's DPI, like the control it fills.
  const int dpi = LayoutDpiOf(kScaleWindow);
  const Canvas drawn = DrawTransparencyScale(level, dpi);
  if (!scale.picture || scale.shownIn != control || scale.dpi != dpi) {
    // Handed over while all zero, so the control shows this section itself
    // and not a private copy (see the monitoring graphs).
    win::UniqueBitmap fresh = CanvasToBitmap(Canvas(drawn.width, drawn.height, 0));
    if (!fresh) return;
    SetStaticPicture(control, std::move(fresh), scale.picture);
    scale.shownIn = control;
    scale.dpi = dpi;
  }
  CopyCanvasToBitmap(drawn, scale.picture.get());
  {
    win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    win::SelectScope selectBitmap(dc.get(), scale.picture.get());
    win::SelectScope selectFont(dc.get(), MenuFont(dpi));  // Tahoma 8, font 2
    SetBkMode(dc.get(), TRANSPARENT);
    for (int cell = 0; cell < 10; ++cell) {
      const std::string text = ScaleCellText(cell);
      SIZE extent{};
      GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
      SetTextColor(dc.get(), cell == level ? RGB(255, 255, 255) : RGB(0, 0, 0));
      const int centre = (ScaleCellLeft(cell, dpi) + ScaleCellLeft(cell + 1, dpi)) / 2;
      TextOutA(dc.get(), centre - extent.cx / 2, ScaleToDpi(3, dpi), text.c_str(), static_cast<int>(text.size()));
    }
  }
  GdiFlush();
  InvalidateRect(control, nullptr, FALSE);
}

}  // namespace

void SetWindowAlpha(HWND window, int alpha) {
  VELKOR_PLACE(kProceduresUnit);
  if (!window || !win::WindowAnswers(window)) return;
  const LONG_PTR style = ExStyle(window);
  if (alpha != 255) {
    SetExStyle(window, style | WS_EX_LAYERED);
    SetAlphaAttribute(window, alpha);
    return;
  }
  SetAlphaAttribute(window, 255);
  SetExStyle(window, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
  // Painting at once is only asked of our own windows; another program's
  // window repaints when its thread gets to it.
  const UINT now = win::OwnThreadWindow(window) ? RDW_UPDATENOW : 0;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | now);
}

void SetFadeAlpha(HWND window, int alpha) {
  SetWindowLongPtrA(window, GWL_EXSTYLE, WS_EX_LAYERED);
  SetAlphaAttribute(window, alpha);
}

void FadeWindowIn(HWND window, HWND mainWindow, PumpEvents pumpEvents) {
  VELKOR_PLACE(kProceduresUnit);
  SetFadeAlpha(window, 0);
  ShowWindow(window, SW_SHOW);
  SetActiveWindow(window);
  EnableWindow(mainWindow, FALSE);
  Fade(window, pumpEvents, [](int elapsed) { return elapsed; });
  SetWindowLongPtrA(window, GWL_EXSTYLE, ExStyle(mainWindow) & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
}

void FadeWindowOut(HWND window, HWND mainWindow, PumpEvents pumpEvents) {
  VELKOR_PLACE(kProceduresUnit);
  SetWindowLongPtrA(window, GWL_EXSTYLE, ExStyle(mainWindow) | WS_EX_LAYERED);
  Fade(window, pumpEvents, [](int elapsed) { return 255 - elapsed; });
}

// The high bit: down now. The low one only tells that the key went down at
// some time since some program last asked.
bool TransparencyKeysHeld() {
  const bool held = (GetAsyncKeyState(VK_RMENU) & 0x8000) && (GetAsyncKeyState(VK_RCONTROL) & 0x8000);
  return held && GetForegroundWindow() != GetDesktopWindow();
}

void QuickTransparencyPass(bool keysHeld) {
  VELKOR_PLACE(kProceduresUnit);
  // Between gestures a pass with the keys up changes nothing: it asks
  // neither for the foreground window nor for the cursor, which would cost a
  // round trip to the window system ten times a second at idle.
  if (!keysHeld && !TransparencyGestureActive()) return;
  HWND front = GetForegroundWindow();
  bool programManager = false;
  if (keysHeld && front) {
    char title[256] = {};
    GetWindowTextA(front, title, sizeof title);
    programManager = std::strcmp(title, "Program Manager") == 0;
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  TransparencyGesture& gesture = scale.gesture;
  const GestureOutcome outcome = StepTransparencyGesture(gesture, keysHeld, reinterpret_cast<uintptr_t>(front),
                                                         programManager, {cursor.x, cursor.y});
  HWND scaleWindow = WindowHandle(kScaleWindow);
  if (outcome.showScale && scaleWindow)
    SetWindowPos(scaleWindow, HWND_TOPMOST, outcome.scaleAt.x, outcome.scaleAt.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (outcome.applyAlpha) {
    SetWindowAlpha(reinterpret_cast<HWND>(static_cast<uintptr_t>(gesture.target)), gesture.alpha);
    ShowScale(gesture.level);
  }
  if (outcome.hideScale && scaleWindow) ShowWindow(scaleWindow, SW_HIDE);
}

bool TransparencyGestureActive() { return scale.gesture.level != -1; }

void DestroyTransparencyScale() {
  ReleaseStaticPicture(scale.shownIn, scale.picture);
  scale = ScaleState{};
}

TransparencyGesture& CurrentTransparencyGesture() { return scale.gesture; }

void SnapMainWindow(HWND mainWindow, WINDOWPOS& position) {
  VELKOR_PLACE(kProceduresUnit);
  if ((position.flags & SWP_NOMOVE) || IsIconic(mainWindow) || IsZoomed(mainWindow)) return;
  RECT now{};
  if (!GetWindowRect(mainWindow, &now)) return;
  ProposedPosition proposed{position.x, position.y, position.cx, position.cy};
  if (position.flags & SWP_NOSIZE) {
    proposed.cx = now.right - now.left;
    proposed.cy = now.bottom - now.top;
  }
  // The work area of the monitor the window is moving onto.
  const RECT target{proposed.x, proposed.y, proposed.x + proposed.cx, proposed.y + proposed.cy};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromRect(&target, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  // The borders the window manager leaves invisible keep their width while
  // the window moves; a size change keeps them too.
  RECT frame{};
  FrameMargins margins;
  if (win::VisibleFrameOf(mainWindow, frame))
    margins =
        MarginsOfFrame({now.left, now.top, now.right, now.bottom}, {frame.left, frame.top, frame.right, frame.bottom});
  SnapVisibleFrame(proposed, margins,
                   {work.left, work.top, work.right, work.bottom, monitor.rcMonitor.left, monitor.rcMonitor.top});
  position.x = proposed.x;
  position.y = proposed.y;
}

}  // namespace velkor
