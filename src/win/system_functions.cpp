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

}  // namespace velkor::win
