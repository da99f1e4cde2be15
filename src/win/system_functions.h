// Functions of system libraries that the import table does not bind: they are
// missing on some systems, or their library is needed only now and then.
// Each group is looked up once, at its first use (thread-safe), and stays
// bound while the program runs; a library it loads stays loaded with it.
// A function the system does not have is null.
#pragma once

#include <windows.h>

namespace velkor::win {

// ntdll, which every process has loaded.
struct NativeFunctions {
  using QuerySystemInformation = LONG(WINAPI*)(ULONG infoClass, void* buffer, ULONG length, ULONG* returned);
  using ProcessCall = LONG(NTAPI*)(HANDLE process);

  HMODULE library = nullptr;  // not owned
  QuerySystemInformation querySystemInformation = nullptr;
  ProcessCall suspendProcess = nullptr;
  ProcessCall resumeProcess = nullptr;
};
const NativeFunctions& Native();

// "Version.dll": the version resource of a file.
struct VersionFunctions {
  using GetInfoSize = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using GetInfo = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryValue = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  using LanguageName = DWORD(WINAPI*)(DWORD, LPSTR, DWORD);

  GetInfoSize getFileVersionInfoSize = nullptr;
  GetInfo getFileVersionInfo = nullptr;
  QueryValue verQueryValue = nullptr;
  LanguageName verLanguageName = nullptr;

  // All four are there.
  [[nodiscard]] bool complete() const {
    return getFileVersionInfoSize && getFileVersionInfo && verQueryValue && verLanguageName;
  }
};
const VersionFunctions& Version();

// "PowrProf.dll": standby, hibernation and what the power policy allows.
struct PowerFunctions {
  using SetSuspendState = BOOLEAN(WINAPI*)(BOOLEAN hibernate, BOOLEAN force, BOOLEAN wakeupEventsDisabled);
  using Allowed = BOOLEAN(WINAPI*)();

  SetSuspendState setSuspendState = nullptr;
  Allowed isPwrShutdownAllowed = nullptr;
  Allowed isPwrHibernateAllowed = nullptr;
  Allowed isPwrSuspendAllowed = nullptr;
};
const PowerFunctions& Power();

// "hhctrl.ocx": the help viewer's HtmlHelpA.
using HtmlHelpFunction = HWND(WINAPI*)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
HtmlHelpFunction HelpViewer();

// user32's display-scale functions of Windows 10 1607 and later.
struct DpiFunctions {
  using ForWindow = UINT(WINAPI*)(HWND);
  using ForSystem = UINT(WINAPI*)();
  using MetricsForDpi = int(WINAPI*)(int index, UINT dpi);
  using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);

  ForWindow getDpiForWindow = nullptr;
  ForSystem getDpiForSystem = nullptr;
  MetricsForDpi getSystemMetricsForDpi = nullptr;
  AdjustForDpi adjustWindowRectExForDpi = nullptr;
};
const DpiFunctions& Dpi();

// "dwmapi.dll": what the window manager of Windows Vista and later knows
// about a window beyond its rectangle.
struct WindowManagerFunctions {
  using GetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD attribute, void* value, DWORD size);
  using CompositionEnabled = HRESULT(WINAPI*)(BOOL* enabled);

  GetWindowAttribute getWindowAttribute = nullptr;
  CompositionEnabled isCompositionEnabled = nullptr;
};
const WindowManagerFunctions& WindowManager();

// Whether the window manager keeps `window` from the screen although it has
// the visible style (a suspended app's frame, a window on another virtual
// desktop); false where the system cannot tell.
bool WindowCloaked(HWND window);
// The frame of `window` the user sees, in screen coordinates: without the
// invisible resize borders that Windows 10 and 11 count into the window
// rectangle. The window rectangle where composition is off or the system
// cannot tell; false when even that fails.
bool VisibleFrameOf(HWND window, RECT& frame);

// The DPI `window` is shown at (its monitor's, for a per-monitor aware
// program); the system's DPI for a null window or where the system cannot
// tell one window's DPI.
int WindowDpi(HWND window);
// The system's DPI: the primary monitor's when the program started.
int SystemDpi();
// GetSystemMetrics(index) as it is at `dpi`.
int SystemMetricAtDpi(int index, int dpi);
// The outer rectangle of a window whose client area is `client`, at `dpi`.
RECT OuterRectAtDpi(RECT client, DWORD style, bool menu, DWORD exStyle, int dpi);

}  // namespace velkor::win
