#include "win/system_functions.h"

#include "win/unique_handle.h"

namespace velkor::win {

namespace {

// A group of functions with the library that holds them.
template <typename Functions>
struct Bound {
  UniqueModule library;
  Functions functions{};
};

// Loads `name` and binds the group's functions from it with `bind`.
template <typename Functions>
Bound<Functions> LoadAndBind(const char* name, void (*bind)(HMODULE, Functions&)) {
  Bound<Functions> bound;
  bound.library.reset(LoadLibraryA(name));
  bind(bound.library.get(), bound.functions);
  return bound;
}

}  // namespace

const NativeFunctions& Native() {
  static const NativeFunctions native = [] {
    NativeFunctions n;
    n.library = GetModuleHandleA("ntdll.dll");
    n.querySystemInformation =
        BindFunction<NativeFunctions::QuerySystemInformation>(n.library, "NtQuerySystemInformation");
    n.suspendProcess = BindFunction<NativeFunctions::ProcessCall>(n.library, "NtSuspendProcess");
    n.resumeProcess = BindFunction<NativeFunctions::ProcessCall>(n.library, "NtResumeProcess");
    return n;
  }();
  return native;
}

const VersionFunctions& Version() {
  static const auto version = LoadAndBind<VersionFunctions>("Version.dll", [](HMODULE m, VersionFunctions& f) {
    f.getFileVersionInfoSize = BindFunction<VersionFunctions::GetInfoSize>(m, "GetFileVersionInfoSizeA");
    f.getFileVersionInfo = BindFunction<VersionFunctions::GetInfo>(m, "GetFileVersionInfoA");
    f.verQueryValue = BindFunction<VersionFunctions::QueryValue>(m, "VerQueryValueA");
    f.verLanguageName = BindFunction<VersionFunctions::LanguageName>(m, "VerLanguageNameA");
  });
  return version.functions;
}

const PowerFunctions& Power() {
  static const auto power = LoadAndBind<PowerFunctions>("PowrProf.dll", [](HMODULE m, PowerFunctions& f) {
    f.setSuspendState = BindFunction<PowerFunctions::SetSuspendState>(m, "SetSuspendState");
    f.isPwrShutdownAllowed = BindFunction<PowerFunctions::Allowed>(m, "IsPwrShutdownAllowed");
    f.isPwrHibernateAllowed = BindFunction<PowerFunctions::Allowed>(m, "IsPwrHibernateAllowed");
    f.isPwrSuspendAllowed = BindFunction<PowerFunctions::Allowed>(m, "IsPwrSuspendAllowed");
  });
  return power.functions;
}

HtmlHelpFunction HelpViewer() {
  static const auto help = LoadAndBind<HtmlHelpFunction>(
      "hhctrl.ocx", [](HMODULE m, HtmlHelpFunction& f) { f = BindFunction<HtmlHelpFunction>(m, "HtmlHelpA"); });
  return help.functions;
}

const DpiFunctions& Dpi() {
  static const DpiFunctions dpi = [] {
    DpiFunctions f;
    HMODULE user = GetModuleHandleA("user32.dll");
    f.getDpiForWindow = BindFunction<DpiFunctions::ForWindow>(user, "GetDpiForWindow");
    f.getDpiForSystem = BindFunction<DpiFunctions::ForSystem>(user, "GetDpiForSystem");
    f.getSystemMetricsForDpi = BindFunction<DpiFunctions::MetricsForDpi>(user, "GetSystemMetricsForDpi");
    f.adjustWindowRectExForDpi = BindFunction<DpiFunctions::AdjustForDpi>(user, "AdjustWindowRectExForDpi");
    return f;
  }();
  return dpi;
}

const WindowManagerFunctions& WindowManager() {
  static const auto manager =
      LoadAndBind<WindowManagerFunctions>("dwmapi.dll", [](HMODULE m, WindowManagerFunctions& f) {
        f.getWindowAttribute = BindFunction<WindowManagerFunctions::GetWindowAttribute>(m, "DwmGetWindowAttribute");
        f.isCompositionEnabled = BindFunction<WindowManagerFunctions::CompositionEnabled>(m, "DwmIsCompositionEnabled");
      });
  return manager.functions;
}

bool WindowCloaked(HWND window) {
  constexpr DWORD kCloaked = 14;  // DWMWA_CLOAKED, Windows 8 and later
  const auto get = WindowManager().getWindowAttribute;
  DWORD cloaked = 0;
  return get && SUCCEEDED(get(window, kCloaked, &cloaked, sizeof cloaked)) && cloaked != 0;
}

bool VisibleFrameOf(HWND window, RECT& frame) {
  constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
  const WindowManagerFunctions& manager = WindowManager();
  BOOL composition = FALSE;
  // Windows 8 and later always compose; Windows 7 may not, and then the
  // bounds are the window rectangle's anyway or fail.
  if (manager.getWindowAttribute && manager.isCompositionEnabled &&
      SUCCEEDED(manager.isCompositionEnabled(&composition)) && composition &&
      SUCCEEDED(manager.getWindowAttribute(window, kExtendedFrameBounds, &frame, sizeof frame)))
    return true;
  return GetWindowRect(window, &frame) != FALSE;
}

int SystemDpi() {
  if (Dpi().getDpiForSystem) return static_cast<int>(Dpi().getDpiForSystem());
  WindowDc screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND window) {
  if (window && Dpi().getDpiForWindow) {
    if (const UINT dpi = Dpi().getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int SystemMetricAtDpi(int index, int dpi) {
  if (Dpi().getSystemMetricsForDpi) return Dpi().getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

RECT OuterRectAtDpi(RECT client, DWORD style, bool menu, DWORD exStyle, int dpi) {
  if (Dpi().adjustWindowRectExForDpi) {
    Dpi().adjustWindowRectExForDpi(&client, style, menu, exStyle, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(&client, style, menu, exStyle);
  }
  return client;
}

}  // namespace velkor::win
