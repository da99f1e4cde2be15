// dornat.exe, the tray companion: a load icon in the notification area, a
// way to bring up velkor.exe, and the power menu of the main program.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "gfx/bitmap.h"
#include "gfx/contrast_win.h"
#include "gfx/image_names.h"
#include "procs/process_cpu_win.h"
#include "procs/process_library.h"
#include "settings/settings_file.h"
#include "settings/settings_file_win.h"
#include "shell/instance.h"
#include "shell/instance_win.h"
#include "shell/menu_draw.h"
#include "shell/power.h"
#include "tray/tray_figures.h"
#include "win/start_process.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kTrayIconId = 0;
constexpr DWORD kPassMs = 200;
constexpr DWORD kTooltipEveryMs = 1000;
constexpr DWORD kStayCheckEveryMs = 10000;

// Menu ids of the tray menu; 5..10 are the power commands in menu order.
constexpr int kShowMainId = 12;
constexpr int kFirstPowerId = 5;
constexpr int kHelpId = 11;
constexpr int kExitId = 4;

struct Companion {
  win::UniqueWindow window;  // hidden, receives the tray icon's messages
  win::UniqueMenu menu;
  win::UniqueIcon programIcon;
  win::UniqueIcon drawnIcon;     // the bar chart now shown, once there is one
  int iconSize = kTrayIconSize;  // the system's small-icon size at the taskbar's DPI
  int cpuLoad = -1;              // the figures the bar chart shows
  double memoryShare = 0.0;
  double pageFileShare = 0.0;
  std::string tip;
  win::UniqueKernelHandle mainProgram;  // the velkor.exe we started, while it may run
  DWORD lastTooltip = 0;
  DWORD lastStayCheck = 0;
  UINT taskbarCreated = 0;
  bool ending = false;
};
Companion companion;

bool MainProgramRunning() { return ProgramRunsInOwnSession(IsMainProgramName); }

// Not running main program and a settings file that forbids staying.
bool MustEnd() { return RemainForbidden(ReadSettingsBytes(kSettingsFileName)) && !MainProgramRunning(); }

NOTIFYICONDATAA TrayData(UINT flags) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = companion.window.get();
  data.uID = kTrayIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = companion.drawnIcon ? companion.drawnIcon.get() : companion.programIcon.get();
  const size_t length = std::min(companion.tip.size(), kTrayTipLength);
  std::memcpy(data.szTip, companion.tip.data(), length);
  return data;
}

void AddTrayIcon() {
  NOTIFYICONDATAA data = TrayData(NIF_MESSAGE | NIF_ICON | (companion.tip.empty() ? 0u : NIF_TIP));
  Shell_NotifyIconA(NIM_ADD, &data);
}

void RemoveTrayIcon() {
  if (!companion.window) return;
  NOTIFYICONDATAA data = TrayData(0);
  Shell_NotifyIconA(NIM_DELETE, &data);
}

// The bare name, no arguments, the inherited working folder: the system's
// search finds it beside the companion. A failed start is silent.
win::UniqueKernelHandle StartMainProgram() { return win::StartProcess("velkor.exe").process; }

bool Running(const win::UniqueKernelHandle& process) {
  return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// While the main program we started runs, a new start only brings it to the
// front and ends at once: its handle stays the one that "Beenden" ends.
void ShowMainProgram() {
  win::UniqueKernelHandle started = StartMainProgram();
  if (!Running(companion.mainProgram)) companion.mainProgram = std::move(started);
}

void EndCompanion() {
  companion.ending = true;
  PostQuitMessage(0);
}

// "Beenden": a main program that we started and that still runs goes too,
// without the chance to write its settings.
void ExitCommand() {
  if (Running(companion.mainProgram)) TerminateProcess(companion.mainProgram.get(), 0xFFFFFFFF);
  companion.mainProgram.reset();
  EndCompanion();
}

// The notification area shows small icons at the DPI of the screen it is on,
// which for the hidden window is the one the system starts on.
int TrayIconSize() {
  const int size = win::SystemMetricAtDpi(SM_CXSMICON, win::WindowDpi(companion.window.get()));
  return size > 0 ? size : kTrayIconSize;
}

void LoadProgramIcon() {
  const int size = companion.iconSize;
  companion.programIcon.reset(
      static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "APPICON", IMAGE_ICON, size, size, 0)));
}

void ShowBarChart() {
  // Opaque: the white ground is white on any taskbar. A failed creation
  // keeps the icon shown before.
  win::UniqueIcon icon =
      CanvasToIcon(DrawTrayIcon(companion.cpuLoad, companion.memoryShare, companion.pageFileShare, companion.iconSize));
  if (!icon) return;
  std::swap(companion.drawnIcon, icon);
  NOTIFYICONDATAA update = TrayData(NIF_ICON);
  Shell_NotifyIconA(NIM_MODIFY, &update);
}

void UpdateTooltipAndIcon() {
  companion.cpuLoad = SystemCpuUsage();
  companion.memoryShare = LoadShare(UsedPhysicalMemory(), TotalPhysicalMemory());
  companion.pageFileShare = LoadShare(UsedPageFile(), TotalPageFile());
  companion.tip =
      TrayTooltip(companion.cpuLoad, LoadPercent(companion.memoryShare), LoadPercent(companion.pageFileShare));
  NOTIFYICONDATAA tip = TrayData(NIF_TIP);
  Shell_NotifyIconA(NIM_MODIFY, &tip);
  ShowBarChart();
}

// After a change of scale: the icons at the new small-icon size (the chart
// from the figures it shows), the menu measured again when next opened.
void FollowDisplayScale() {
  const int size = TrayIconSize();
  if (size == companion.iconSize) return;
  companion.iconSize = size;
  LoadProgramIcon();
  if (companion.drawnIcon) {
    ShowBarChart();
  } else {
    NOTIFYICONDATAA update = TrayData(NIF_ICON);
    Shell_NotifyIconA(NIM_MODIFY, &update);
  }
  RemeasureMenu(companion.menu.get());
}

void ShowTrayMenu() {
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without the foreground the menu would stay open when the user clicks
  // elsewhere; the empty message afterwards lets it close at once.
  SetForegroundWindow(companion.window.get());
  TrackPopupMenu(GetSubMenu(companion.menu.get(), 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x,
                 cursor.y, 0, companion.window.get(), nullptr);
  PostMessageA(companion.window.get(), WM_NULL, 0, 0);
}

void RunMenuCommand(int id) {
  if (id == kShowMainId) {
    ShowMainProgram();
  } else if (std::optional<PowerCommand> command = PowerCommandFor(id, kFirstPowerId)) {
    RunPowerCommand(*command, companion.window.get());
  } else if (id == kHelpId) {
    OpenHelpFile(companion.window.get());
  } else if (id == kExitId) {
    ExitCommand();
  }
}

LRESULT CALLBACK CompanionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (std::optional<LRESULT> answer = HandleMenuMessage(window, message, wParam, lParam)) return *answer;
  if (message == kTrayMessage) {
    if (LOWORD(lParam) == WM_RBUTTONUP) ShowTrayMenu();
    if (LOWORD(lParam) == WM_LBUTTONDBLCLK) ShowMainProgram();
    return 0;
  }
  if (companion.taskbarCreated && message == companion.taskbarCreated) {
    FollowDisplayScale();  // a new taskbar may come at a new scale
    AddTrayIcon();         // the taskbar came back without our icon
    return 0;
  }
  switch (message) {
    case WM_DPICHANGED:
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      // The menu is drawn in the system's high-contrast colours while that mode is on.
      FollowHighContrast();
      FollowDisplayScale();
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_COMMAND:
      if (HIWORD(wParam) == 0) RunMenuCommand(LOWORD(wParam));
      return 0;
    case WM_CLOSE: EndCompanion(); return 0;
    case WM_ENDSESSION:
      if (wParam) RemoveTrayIcon();  // the process may not get further than this
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

void AddItem(HMENU menu, int id, const char* caption, const char* icon) {
  AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(id), caption);
  MakeOwnerDrawn(menu, static_cast<UINT>(id), icon, MF_BYCOMMAND, caption, false);
}

// The tray menu is the one submenu of a holder menu, which owns it.
win::UniqueMenu BuildTrayMenu() {
  win::UniqueMenu holder(CreatePopupMenu());
  HMENU menu = CreatePopupMenu();
  AppendMenuA(holder.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(menu), "");
  AddItem(menu, kShowMainId, "Velkor anzeigen", images::kMenuProgram);
  AddItem(menu, 1, "", nullptr);
  HMENU power = CreatePopupMenu();
  AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(power), "Windows");
  MakeOwnerDrawn(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), nullptr, MF_BYPOSITION, "Windows", false);
  BuildPowerMenu(power, kFirstPowerId);
  AddItem(menu, 2, "", nullptr);
  AddItem(menu, kHelpId, "Hilfe...", images::kMenuHelp);
  AddItem(menu, kExitId, "Beenden", images::kMenuExit);
  return holder;
}

// Down now: the high bit. The low one tells only that the key went down at
// some time since some program last asked, so one press of Entf would stay
// latched until any later AltGr ("@", "{" typed hours later) took it up.
bool KeyDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

void PollHotKey() {
  // Every pass while held starts it again; the main program turns each extra
  // start into its signal to come to the front.
  if (KeyDown(VK_RMENU) && KeyDown(VK_DELETE)) StartMainProgram();
}

void RunPass() {
  const DWORD now = GetTickCount();
  if (now - companion.lastTooltip > kTooltipEveryMs) {
    UpdateTooltipAndIcon();
    companion.lastTooltip = now;
  }
  if (now - companion.lastStayCheck > kStayCheckEveryMs) {
    if (MustEnd()) {
      EndCompanion();
      return;
    }
    companion.lastStayCheck = now;
  }
  PollHotKey();
}

int RunCompanion(HINSTANCE instance) {
  // 1.-3. Libraries and the CPU meter, a quiet priority, the shutdown right.
  InitProcessLibrary();
  InitCpuUsage();
  SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
  EnablePrivilege("SeShutdownPrivilege");

  // 4.-6. Stay only beside the main program or where the settings allow it,
  // and only once.
  if (MustEnd()) return 0;
  SetLastError(ERROR_SUCCESS);
  win::UniqueKernelHandle mutex(CreateMutexA(nullptr, FALSE, kCompanionMutexName));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  // 7.-10. The menu font, the icons, the hidden window, the menu, the icon.
  MenuFont();
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = CompanionWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "VelkorSystray";
  RegisterClassExA(&windowClass);
  companion.window.reset(
      CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
  if (!companion.window) return 0;
  companion.iconSize = TrayIconSize();
  LoadProgramIcon();
  companion.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  FollowHighContrast();
  companion.menu = BuildTrayMenu();
  AddTrayIcon();

  // 11.-12. The loop: at most 200 ms per pass.
  companion.lastTooltip = companion.lastStayCheck = GetTickCount();
  MSG message;
  while (!companion.ending) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPassMs, QS_ALLINPUT);
    while (!companion.ending && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) companion.ending = true;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (!companion.ending) RunPass();
  }

  RemoveTrayIcon();
  companion.window.reset();
  companion.menu.reset();
  DestroyMenuItemRecords();
  DestroyProcessLibrary();
  EndCpuUsage();
  return 0;
}

}  // namespace
}  // namespace velkor

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return velkor::RunCompanion(instance); }
