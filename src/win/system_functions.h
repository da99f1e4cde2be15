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

}  // namespace velkor::win
