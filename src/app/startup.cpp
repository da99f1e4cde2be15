#include "app/startup.h"

#include <commctrl.h>
#include <shellapi.h>

#include <optional>
#include <vector>

#include "shell/instance.h"
#include "shell/instance_win.h"
#include "errors/on_error.h"
#include "monitor/diagram_window_win.h"
#include "monitor/history_strip_win.h"
#include "procs/path_text.h"
#include "procs/priority.h"
#include "procs/process_cpu_win.h"
#include "procs/process_library.h"
#include "settings/preferences.h"
#include "settings/settings_file_win.h"
#include "win/com.h"
#include "win/message_box.h"
#include "win/start_process.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

int CurrentView = 0;

namespace {

win::UniqueKernelHandle instanceMutex;
// The window's thread is a single-threaded apartment while the program
// runs: the shell handlers that ShellExecuteEx starts (the run dialog,
// links, folders) may be COM objects, which need one.
std::optional<win::ComApartment> apartment;
win::UniqueKernelHandle companionProcess;
uint32_t companionPid = 0;
win::UniqueChangeNotification signalFolderWatch;
bool signalWatchTried = false;
std::vector<ShutdownStep>& ShutdownSteps() {
  static std::vector<ShutdownStep> steps;
  return steps;
}

void StartCompanion() {
  VELKOR_PLACE(kMainModule);
  win::StartedProcess started = win::StartProcess("dornat.exe");
  if (!started.process) return;
  companionProcess = std::move(started.process);
  companionPid = started.id;
}

}  // namespace

std::string SignalFilePath() {
  char temp[MAX_PATH * 2] = {};
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length >= sizeof temp) return kSignalFileName;
  char longPath[MAX_PATH * 2] = {};
  const DWORD longLength = GetLongPathNameA(temp, longPath, sizeof longPath);
  std::string folder = (longLength > 0 && longLength < sizeof longPath) ? longPath : temp;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + kSignalFileName;
}

void WriteStartSignal() {
  win::UniqueFileHandle file(CreateFileA(SignalFilePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                         nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool CompanionRunning() { return ProgramRunsInOwnSession(IsCompanionName); }

uint32_t CompanionProcessId() { return companionPid; }

bool StartProgram() {
  VELKOR_PLACE(kMainModule);
  // 1. Libraries, the machine's CPU meter (its first sample) and the window toolkit.
  InitProcessLibrary();
  InitCpuUsage();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // 2. Single instance.
  SetLastError(ERROR_SUCCESS);
  win::UniqueKernelHandle mutex(CreateMutexA(nullptr, FALSE, kInstanceMutexName));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    mutex.reset();
    WriteStartSignal();
    return false;
  }
  instanceMutex = std::move(mutex);
  apartment.emplace(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  // 3. Run-time faults from here on go to the error dialog.
  InstallErrorHandler(EndProcessNow);
  // 4.-8. The process itself, then every default.
  SetDefaultColumnWidths();
  SetPriorityLevel(-1, 2);
  EnablePrivilege("SeShutdownPrivilege");
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  SetProcessorCount(system.dwNumberOfProcessors);
  SetPreferenceDefaults();
  AddShutdownStep(SavePreferencesAtShutdown);
  CurrentView = 0;
  SetPriorityColours();

  // 9.-10. The companion follows once the main window shows (StartCompanionSoon).
  return true;
}

void StartCompanionSoon() {
  // A thread timer: its first tick comes when the loop has nothing else to
  // do, after the first paint, so the companion's start (the process launch
  // and its own start on the same cores) does not delay the first list.
  SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    // Started only when no process of its exact name runs.
    if (!companionProcess && !CompanionRunning()) StartCompanion();
  });
}

void CheckStartSignal(HWND mainWindow) {
  VELKOR_PLACE(kMainModule);
  const std::string path = SignalFilePath();
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const bool exists = GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
                      !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  if (!IsStartSignal(exists, size)) return;
  if (mainWindow) {
    if (IsIconic(mainWindow)) ShowWindow(mainWindow, SW_RESTORE);
    SetForegroundWindow(mainWindow);
  }
  DeleteFileA(path.c_str());
}

HANDLE SignalFolderWatch() {
  if (!signalWatchTried) {
    signalWatchTried = true;
    const std::string path = SignalFilePath();
    const std::string folder(FolderNameOf(path));
    if (!folder.empty()) {
      signalFolderWatch.reset(FindFirstChangeNotificationA(
          folder.c_str(), FALSE,
          FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));
    }
  }
  return signalFolderWatch.valid() ? signalFolderWatch.get() : nullptr;
}

HANDLE CompanionHandle() { return companionProcess.get(); }

void WatchCompanion() {
  VELKOR_PLACE(kMainModule);
  if (companionProcess && WaitForSingleObject(companionProcess.get(), 0) == WAIT_OBJECT_0) ShutdownProgram();
}

void QuitProgram() {
  VELKOR_PLACE(kMainModule);
  if (Preferences.PreferencesRemain == 0 && companionProcess) {
    DWORD code = 0;
    if (GetExitCodeProcess(companionProcess.get(), &code) && code == STILL_ACTIVE)
      TerminateProcess(companionProcess.get(), 0xFFFFFFFF);
    companionProcess.reset();
  }
  ShutdownProgram();
}

namespace {

// Whether some instance holds the single-instance mutex; one that runs
// elevated may keep us from opening it, which tells as much.
bool InstanceHeld() {
  SetLastError(ERROR_SUCCESS);
  win::UniqueKernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, kInstanceMutexName));
  return mutex || GetLastError() == ERROR_ACCESS_DENIED;
}

// How long the new instance may take to its single-instance check.
constexpr ULONGLONG kElevatedStartBound = 15000;

}  // namespace

void RestartElevated(HWND owner) {
  std::vector<wchar_t> program(32768), folder(32768);
  const DWORD length = GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
  const DWORD folderLength = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  if (length == 0 || length >= program.size() || folderLength == 0 || folderLength >= folder.size()) return;
  // The new instance reads velkor.ini as this one leaves it now.
  SavePreferencesAtShutdown();
  // Held, the new instance would take itself for a second start and end.
  instanceMutex.reset();
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  info.hwnd = owner;
  info.lpVerb = L"runas";
  info.lpFile = program.data();
  info.lpDirectory = folder.data();
  info.nShow = SW_SHOWNORMAL;
  const bool started = ShellExecuteExW(&info) != FALSE;
  const DWORD error = started ? ERROR_SUCCESS : GetLastError();
  win::UniqueKernelHandle process(started ? info.hProcess : nullptr);
  const ULONGLONG end = GetTickCount64() + kElevatedStartBound;
  while (process && GetTickCount64() < end) {
    if (InstanceHeld()) ShutdownProgram();
    HANDLE waited = process.get();
    // Ended before it took the single instance: this one goes on.
    if (MsgWaitForMultipleObjects(1, &waited, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  instanceMutex.reset(CreateMutexA(nullptr, FALSE, kInstanceMutexName));
  if (!started && error != ERROR_CANCELLED)
    win::ShowMessageBox(owner, "Velkor konnte nicht als Administrator neu gestartet werden!", "Hinweis",
                        MB_OK | MB_ICONEXCLAMATION);
}

void AddShutdownStep(ShutdownStep step) { ShutdownSteps().push_back(step); }

void ShutdownProgram() {
  VELKOR_PLACE(kMainModule);
  for (ShutdownStep step : ShutdownSteps()) step();
  DestroyAllHistoryImages();
  DestroyDiagramWindow();  // its picture and the measure icons
  EndProcessNow();
}

void EndProcessNow() {
  DestroyProcessLibrary();
  instanceMutex.reset();
  EndCpuUsage();
  companionProcess.reset();
  signalFolderWatch.reset();
  apartment.reset();
  ExitProcess(0);
}

}  // namespace velkor
