// Brings velkor.exe and its companion into each state the pictures of docs/
// show, one after the other, as a user gets there (menu commands, the click
// on the page selector, the companion's tray notification). For each it
// prints "shot <name> <x> <y> <width> <height>" (screen pixels) and waits
// until scripts/screenshots has written <folder>\<name>.png.
//   velkor_pictures.exe <folder> <suffix>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "app/control_ids.h"
#include "gfx/dpi_scale.h"
#include "settings/preferences_window.h"
#include "program_support.h"
#include "support/wine_support.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

constexpr auto kBound = 20s;
std::string folder, suffix;
int failures = 0;

bool Expect(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "pictures: %s did not happen within the bound\n", what);
    ++failures;
  }
  return condition;
}

// What is on screen settles a moment after the state is reached: the first
// samples and graph steps, a fade. The pictures are not tests.
void Settle(std::chrono::milliseconds time) {
  test::WaitUntil([] { return false; }, time);
}

void Shot(const std::string& name, HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  const std::string file = name + "_" + suffix;
  std::printf("shot %s %ld %ld %ld %ld\n", file.c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fflush(stdout);
  Expect(test::WaitUntil([&] { return test::FileExists(folder + "\\" + file + ".png"); }, 60s), file.c_str());
}

int ListRows(HWND list) {
  DWORD_PTR rows = 0;
  SendMessageTimeoutA(list, 0x1004 /* LVM_GETITEMCOUNT */, 0, 0, SMTO_ABORTIFHUNG, 5000, &rows);
  return static_cast<int>(rows);
}

void PressEscape() {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

void PressKey(WORD key) {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = key;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

// The process view filtered to the programs named "velkor", typed into
// the filter field after Ctrl+E; Escape empties the field again.
void ShootFilteredProcesses(HWND main) {
  HWND list = test::Descendant(main, kProcessList);
  Expect(test::WaitUntil([&] { return IsWindowVisible(list) && ListRows(list) > 0; }, kBound), "processes again");
  const int all = ListRows(list);
  INPUT keys[4] = {};
  for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[3].ki.wVk = VK_CONTROL;
  keys[1].ki.wVk = keys[2].ki.wVk = 'E';
  keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, keys, sizeof(INPUT));
  for (char c : std::string("velkor")) {
    INPUT typed[2] = {};
    typed[0].type = typed[1].type = INPUT_KEYBOARD;
    typed[0].ki.wScan = typed[1].ki.wScan = static_cast<WORD>(c);
    typed[0].ki.dwFlags = KEYEVENTF_UNICODE;
    typed[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendInput(2, typed, sizeof(INPUT));
  }
  Expect(test::WaitUntil([&] { return ListRows(list) > 0 && ListRows(list) < all; }, kBound), "the filtered list");
  Settle(1500ms);
  Shot("processes_filtered", main);
  PressEscape();
  Expect(test::WaitUntil([&] { return ListRows(list) >= all; }, kBound), "the list unfiltered");
}

// "Prozessinformationen" for the first row of the process list, each page
// chosen on its tab strip with the arrow key, as a user would.
void ShootProcessInformation(HWND main, uint32_t pid, int dpi) {
  HWND list = test::Descendant(main, kProcessList);
  RECT header{};
  GetWindowRect(FindWindowExA(list, nullptr, "SysHeader32", nullptr), &header);
  test::ClickAtScreen(header.left + ScaleToDpi(40, dpi), header.bottom + ScaleToDpi(8, dpi));
  Settle(500ms);
  PostMessageA(main, WM_COMMAND, 25, 0);
  HWND window = nullptr;
  const auto find = [&] {
    struct Search {
      uint32_t pid;
      HWND found;
    } search{pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM data) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(w, &owner);
          char title[64] = {};
          GetWindowTextA(w, title, sizeof title);
          if (owner == s.pid && IsWindowVisible(w) && std::string(title).rfind("Prozessinformationen", 0) == 0)
            s.found = w;
          return s.found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return (window = search.found) != nullptr;
  };
  if (!Expect(test::WaitUntil(find, kBound), "the process information")) return;
  constexpr const char* kPages[] = {"info_general",     "info_performance", "info_threads", "info_modules",
                                    "info_environment", "info_network",     "info_windows", "info_services"};
  RECT frame{};
  GetWindowRect(test::Descendant(window, kProcessInfoTabs), &frame);
  test::ClickAtScreen(frame.left + ScaleToDpi(20, dpi), frame.top + ScaleToDpi(10, dpi));
  for (size_t page = 0; page < std::size(kPages); ++page) {
    if (page > 0) PressKey(VK_RIGHT);
    Settle(page == 1 ? 6s : 1500ms);  // the load graph fills a few refreshes
    Shot(kPages[page], window);
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
}

void TakeAll() {
  // Window rectangles in device pixels, as X has them.
  using SetContext = HANDLE(WINAPI*)(HANDLE);
  if (auto set = reinterpret_cast<SetContext>(
          reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext"))))
    set(reinterpret_cast<HANDLE>(-4));  // per monitor, version 2

  test::ProgramRun run;
  if (!Expect(run.Start(), "the main window")) return;
  HWND main = run.main();
  // The screen's DPI, the one the programs started with (Wine answers 96 for
  // another process's window).
  win::WindowDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
  const auto find = [&](const char* title) { return test::FindWindowOf(run.pid(), {}, title, false); };
  const auto open = [&](int command, const char* title) -> HWND {
    HWND window = nullptr;
    Expect(test::WaitUntil([&] { return (window = find(title)) != nullptr && IsWindowEnabled(main); }, kBound), title);
    PostMessageA(main, WM_COMMAND, static_cast<WPARAM>(command), 0);
    Expect(test::WaitUntil([&] { return window && IsWindowVisible(window); }, kBound), title);
    return window;
  };

  // The companion runs (and is listed) before the first picture.
  uint32_t companion = 0;
  HWND tray = nullptr;
  Expect(test::WaitUntil(
             [&] {
               const auto pids = test::ProcessIdsNamed("dornat.exe");
               if (pids.empty()) return false;
               companion = pids.front();
               return (tray = test::FindWindowOf(companion, "VelkorSystray", {}, false)) != nullptr;
             },
             kBound),
         "the companion");
  // The views in their order; "Ansicht" holds them as items 13 to 18. Wine
  // loads no drivers and the network view may list no interface, so only the
  // first three lists must have rows.
  constexpr const char* kViewNames[] = {"processes", "windows", "services", "drivers", "network", "monitoring"};
  for (size_t view = 0; view < kViewPanels.size(); ++view) {
    PostMessageA(main, WM_COMMAND, 13 + view, 0);
    Expect(test::WaitUntil(
               [&] {
                 HWND panel = test::Descendant(main, kViewPanels[view]);
                 return panel && IsWindowVisible(panel) &&
                        (view >= 3 || ListRows(test::Descendant(main, kViewLists[view])) > 0);
               },
               kBound),
           kViewNames[view]);
    // "Netzwerk" shows an interface's details once its row is clicked.
    HWND list = test::Descendant(main, kViewLists[view]);
    if (view == 4 && ListRows(list) > 0) {
      RECT header{};
      GetWindowRect(FindWindowExA(list, nullptr, "SysHeader32", nullptr), &header);
      SetCursorPos(header.left + ScaleToDpi(40, dpi), header.bottom + ScaleToDpi(8, dpi));
      INPUT clicks[2] = {};
      clicks[0].type = clicks[1].type = INPUT_MOUSE;
      clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
      clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
      SendInput(2, clicks, sizeof(INPUT));
    }
    // A refresh of the list after the companion came (every 2.5 s); the
    // graphs of "Überwachung" fill a few seconds.
    Settle(view == 0 ? 3s : view == 5 ? 8s : 1500ms);
    Shot(kViewNames[view], main);
  }
  PostMessageA(main, WM_COMMAND, 13, 0);
  ShootFilteredProcesses(main);
  ShootProcessInformation(main, run.pid(), dpi);

  HWND diagram = open(21, "Diagramm");
  Settle(1500ms);
  Shot("diagram", diagram);
  PostMessageA(diagram, WM_CLOSE, 0, 0);

  HWND prefs = open(20, "Einstellungen");
  Settle(1s);
  Shot("preferences_general", prefs);
  HWND columns = test::Descendant(prefs, kPrefsColumnsPageId);
  Expect(test::WaitUntil(
             [&] {
               if (IsWindowVisible(columns)) return true;
               // The selector's click notification, with the mouse on the
               // columns half: the program reads the page from the position.
               POINT point{ScaleToDpi(250, dpi), ScaleToDpi(35, dpi)};
               ClientToScreen(prefs, &point);
               SetCursorPos(point.x, point.y);
               PostMessageA(prefs, WM_COMMAND, MAKEWPARAM(kPrefsPageSelectorId, STN_CLICKED),
                            reinterpret_cast<LPARAM>(test::Descendant(prefs, kPrefsPageSelectorId)));
               return test::WaitUntil([&] { return IsWindowVisible(columns) != FALSE; }, 1s);
             },
             kBound),
         "the columns page");
  Settle(1s);
  Shot("preferences_columns", prefs);
  PostMessageA(test::Descendant(prefs, 292), BM_CLICK, 0, 0);  // "Abbrechen"
  Expect(test::WaitUntil([&] { return !IsWindowVisible(prefs); }, kBound), "the preferences closing");

  HWND runDialog = open(22, "Ausf\xFChren");
  Settle(1s);
  Shot("run", runDialog);
  PostMessageA(runDialog, WM_CLOSE, 0, 0);

  HWND information = open(134, "Information");
  Settle(1500ms);  // the fade in
  Shot("information", information);
  PostMessageA(test::Descendant(information, 316), BM_CLICK, 0, 0);  // "Schließen"
  Expect(test::WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, kBound), "the information closing");

  // The companion's menu, as a right click on its icon opens it: at the mouse.
  SetCursorPos(ScaleToDpi(200, dpi), ScaleToDpi(150, dpi));
  PostMessageA(tray, WM_APP + 1, 0, WM_RBUTTONUP);
  HWND menu = nullptr;
  if (Expect(test::WaitUntil(
                 [&] {
                   menu = FindWindowA("#32768", nullptr);
                   return menu && IsWindowVisible(menu);
                 },
                 kBound),
             "the tray menu")) {
    Settle(1s);
    Shot("tray_menu", menu);
    PressEscape();
  }
}

}  // namespace
}  // namespace velkor

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velkor_pictures.exe <folder> <suffix>\n");
    return 2;
  }
  velkor::folder = argv[1];
  velkor::suffix = argv[2];
  velkor::TakeAll();
  return velkor::failures == 0 ? 0 : 1;
}
