// dornat.exe as a whole program: its icon and tooltip in the tray, when it
// stays, and what its menu does with the main program.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "app/startup.h"
#include "program_support.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;
using test::OwnedProcess;

constexpr auto kStartBound = 20s;     // a cold program start under Wine
constexpr auto kReactionBound = 10s;  // a few 200 ms passes, with room for a slow, shared machine
constexpr UINT kTrayMessage = WM_APP + 1;

bool IsTrayIconClass(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  // Wine's X11 driver shows the icons in its own tray window when the desktop
  // has no tray; newer Wine versions do it in explorer.exe.
  return std::string(name) == "__winex11_tray_icon" || std::string(name) == "__wine_tray_icon";
}

// Every window that shows a tray icon, at the top level or inside a tray.
std::vector<HWND> TrayIconWindows() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* icons = reinterpret_cast<std::vector<HWND>*>(data);
        if (IsTrayIconClass(window)) icons->push_back(window);
        EnumChildWindows(
            window,
            [](HWND child, LPARAM list) -> BOOL {
              if (IsTrayIconClass(child)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
              return TRUE;
            },
            data);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The tooltip windows that may hold the icon's tip: those owned by the
// icon's top-level window.
std::vector<HWND> TooltipsFor(HWND iconWindow) {
  struct Search {
    HWND owner;
    std::vector<HWND> found;
  } search{GetAncestor(iconWindow, GA_ROOT), {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == TOOLTIPS_CLASSA && GetWindow(window, GW_OWNER) == s->owner) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The tip text of a tray icon, asked of the tooltip in the tray's process
// through a block of that process's memory.
std::string TipFrom(HWND tooltip, HWND iconWindow) {
  DWORD pid = 0;
  if (!GetWindowThreadProcessId(tooltip, &pid)) return {};
  win::UniqueKernelHandle tray(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
  if (!tray) return {};
  constexpr size_t kChars = 256;
  struct Block {
    TTTOOLINFOW info;
    wchar_t text[kChars];
  };
  auto* remote = static_cast<Block*>(VirtualAllocEx(tray.get(), nullptr, sizeof(Block), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return {};
  Block local{};
  local.info.cbSize = sizeof local.info;
  local.info.uFlags = TTF_IDISHWND;
  local.info.hwnd = iconWindow;
  local.info.uId = reinterpret_cast<UINT_PTR>(iconWindow);
  local.info.lpszText = remote->text;
  std::string tip;
  DWORD_PTR result = 0;
  if (WriteProcessMemory(tray.get(), remote, &local, sizeof local, nullptr) &&
      SendMessageTimeoutA(tooltip, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(&remote->info), SMTO_ABORTIFHUNG,
                          2000, &result) &&
      ReadProcessMemory(tray.get(), remote, &local, sizeof local, nullptr)) {
    local.text[kChars - 1] = 0;
    for (const wchar_t* c = local.text; *c; ++c) tip += static_cast<char>(*c < 256 ? *c : '?');
  }
  VirtualFreeEx(tray.get(), remote, 0, MEM_RELEASE);
  return tip;
}

std::string TrayTip(HWND iconWindow) {
  for (HWND tooltip : TooltipsFor(iconWindow)) {
    std::string tip = TipFrom(tooltip, iconWindow);
    if (!tip.empty()) return tip;
  }
  return {};
}

// Tray icons whose tip is the companion's.
std::vector<HWND> CompanionIcons() {
  std::vector<HWND> icons;
  for (HWND icon : TrayIconWindows())
    if (TrayTip(icon).rfind("Prozessor: ", 0) == 0) icons.push_back(icon);
  return icons;
}

class Companion : public test::ProgramsTest {
 protected:
  // Starts dornat.exe and waits for its hidden window.
  HWND StartCompanion(OwnedProcess** started = nullptr) {
    OwnedProcess& companion = StartProgram("dornat.exe");
    if (started) *started = &companion;
    HWND window = nullptr;
    test::WaitUntil(
        [&] { return (window = test::FindWindowOf(companion.pid(), "VelkorSystray", {}, false)) != nullptr; },
        kStartBound);
    return window;
  }

  static HWND WaitForMainWindow(uint32_t pid) {
    HWND window = nullptr;
    test::WaitUntil([&] { return (window = test::FindWindowOf(pid, "VelkorWindow", {}, true)) != nullptr; },
                    kStartBound);
    return window;
  }

  static bool Ends(uint32_t pid, std::chrono::milliseconds bound) {
    win::UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    return !process || WaitForSingleObject(process.get(), static_cast<DWORD>(bound.count())) == WAIT_OBJECT_0;
  }

  void WriteRemain(int remain) {
    ASSERT_TRUE(test::WriteFileBytes(folder_.File("velkor.ini"),
                                     "[General]\r\nPreferencesRemain = " + std::to_string(remain) + "\r\n"));
  }
};

TEST_F(Companion, ShowsItsIconWithTheFourLineTipInTheTrayOnceAndRemovesItAtExit) {
  OwnedProcess* companion = nullptr;
  HWND window = StartCompanion(&companion);
  ASSERT_NE(window, nullptr);
  std::vector<HWND> icons;
  ASSERT_TRUE(test::WaitUntil([&] { return (icons = CompanionIcons()).size() == 1; }, kReactionBound));
  EXPECT_TRUE(IsWindowVisible(icons.front()));
  EXPECT_TRUE(IsWindowVisible(GetAncestor(icons.front(), GA_ROOT)));
  const std::string tip = TrayTip(icons.front());
  EXPECT_TRUE(tip.find("%\r\n\r\nArbeitspeicher: ") != std::string::npos) << tip;
  EXPECT_TRUE(tip.find("%\r\nAusgelagert: ") != std::string::npos) << tip;
  EXPECT_EQ(tip.back(), '%') << tip;

  // A second start ends at once and adds no icon.
  EXPECT_EQ(StartProgram("dornat.exe").WaitForExit(kStartBound), 0u);
  EXPECT_EQ(CompanionIcons().size(), 1u);

  ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 4, 0));  // "Beenden"
  EXPECT_EQ(companion->WaitForExit(kReactionBound), 0u);
  EXPECT_TRUE(test::WaitUntil([] { return CompanionIcons().empty(); }, kReactionBound));
}

TEST_F(Companion, WithRemainZeroAndNoMainProgramItEndsAtOnceWithoutAnIcon) {
  WriteRemain(0);
  OwnedProcess& companion = StartProgram("dornat.exe");
  EXPECT_EQ(companion.WaitForExit(kStartBound), 0u);
  EXPECT_EQ(test::FindWindowOf(companion.pid(), "VelkorSystray", {}, false), nullptr);
}

TEST_F(Companion, SwitchingRemainToZeroEndsItWithinItsStayCheck) {
  WriteRemain(1);
  OwnedProcess* companion = nullptr;
  ASSERT_NE(StartCompanion(&companion), nullptr);
  WriteRemain(0);
  // The stay check comes every 10 s.
  EXPECT_EQ(companion->WaitForExit(10s + kReactionBound), 0u);
}

TEST_F(Companion, ShowingTheMainProgramStartsItOnceAndExitEndsBothUnsaved) {
  HWND window = StartCompanion();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 12, 0));  // "Velkor anzeigen"
  const uint32_t velkor = WaitForProcessNamed("velkor.exe");
  ASSERT_NE(velkor, 0u);
  ASSERT_NE(WaitForMainWindow(velkor), nullptr);
  // A double-click on the icon while it runs only brings it forward.
  ASSERT_TRUE(PostMessageA(window, kTrayMessage, 0, WM_LBUTTONDBLCLK));
  EXPECT_TRUE(test::WaitUntil(
      [] { return test::FileExists(SignalFilePath()) || test::ProcessIdsNamed("velkor.exe").size() > 1; },
      kReactionBound));
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        return !test::FileExists(SignalFilePath()) &&
               test::ProcessIdsNamed("velkor.exe") == std::vector<uint32_t>{velkor};
      },
      kReactionBound));

  ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 4, 0));  // "Beenden"
  EXPECT_TRUE(Ends(velkor, kReactionBound));
  EXPECT_TRUE(test::WaitUntil([] { return test::ProcessIdsNamed("dornat.exe").empty(); }, kReactionBound));
  EXPECT_FALSE(test::FileExists(folder_.File("velkor.ini")));
}

// AltGr + Entf through the system's input. A key pressed once stays
// "pressed since the last call" until someone asks for that key: an Entf
// long released must not join a later AltGr.
TEST_F(Companion, HotKeyStartsTheMainProgramOnlyWhileBothKeysAreDown) {
  WriteRemain(1);
  HWND window = StartCompanion();
  ASSERT_NE(window, nullptr);
  {
    test::HeldKeys tap({VK_DELETE});  // pressed and released at once
  }
  // Each message the companion takes is followed by a pass of its loop: it
  // has looked at the keys with Entf up.
  for (int round = 0; round < 3; ++round) {
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
  }
  const auto mainProgramRuns = [] { return !test::ProcessIdsNamed("velkor.exe").empty(); };
  {
    // Five passes of 200 ms; Wine answers a key read within 50 ms of the
    // last from a cache, so passes of its own pace, not forced ones.
    test::HeldKeys altGr({VK_RMENU});
    EXPECT_FALSE(test::WaitUntil(mainProgramRuns, 1s)) << "started by an Entf released before";
  }
  test::HeldKeys both({VK_RMENU, VK_DELETE});
  EXPECT_TRUE(test::WaitUntil(mainProgramRuns, kStartBound));
}

TEST_F(Companion, ExitOfACompanionTheMainProgramStartedEndsOnlyItself) {
  OwnedProcess& velkor = StartProgram("velkor.exe");
  ASSERT_NE(WaitForMainWindow(velkor.pid()), nullptr);
  const uint32_t companion = WaitForProcessNamed("dornat.exe");
  ASSERT_NE(companion, 0u);
  HWND window = nullptr;
  ASSERT_TRUE(test::WaitUntil(
      [&] { return (window = test::FindWindowOf(companion, "VelkorSystray", {}, false)) != nullptr; }, kStartBound));
  ASSERT_TRUE(PostMessageA(window, WM_COMMAND, 4, 0));
  EXPECT_TRUE(Ends(companion, kReactionBound));
  // The main program notices and ends by itself, writing its settings.
  EXPECT_EQ(velkor.WaitForExit(kReactionBound), 0u);
  EXPECT_TRUE(test::FileExists(folder_.File("velkor.ini")));
}

// The main program and the companion it started, ended one after the other
// in every way and order: after each end and a taskbar re-creation the tray
// shows exactly one icon per running companion, and the settings file is
// whole.
enum class Way { kCommand, kClose, kKill };
struct Ending {
  const char* name;
  int remain;
  bool companionFirst;
  Way first;
  Way second;
};

class EndingBoth : public Companion, public ::testing::WithParamInterface<Ending> {
 protected:
  // What a taskbar that came back announces to every top-level window.
  static void RecreateTaskbar() {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 2000,
                        &result);
  }
  static bool Running(uint32_t pid) {
    win::UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
  }
  static void Kill(uint32_t pid) {
    win::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (process && TerminateProcess(process.get(), 999)) WaitForSingleObject(process.get(), 5000);
  }
  void End(bool companion, Way way) {
    const uint32_t pid = companion ? companion_ : main_;
    HWND window = companion ? tray_ : mainWindow_;
    if (way == Way::kKill) Kill(pid);
    if (way == Way::kClose) PostMessageA(window, WM_CLOSE, 0, 0);
    if (way == Way::kCommand) PostMessageA(window, WM_COMMAND, companion ? 4 : 12, 0);  // "Beenden" and "Schließen"
    EXPECT_TRUE(Ends(pid, kReactionBound)) << (companion ? "companion" : "main program");
  }
  // One icon while the companion runs, none after it.
  void ExpectIconsAfterTaskbarRecreation(const char* step) {
    const size_t wanted = Running(companion_) ? 1 : 0;
    RecreateTaskbar();
    EXPECT_TRUE(test::WaitUntil([&] { return CompanionIcons().size() == wanted; }, kReactionBound))
        << step << ": " << CompanionIcons().size() << " icons, " << wanted << " wanted";
  }

  uint32_t main_ = 0, companion_ = 0;
  HWND mainWindow_ = nullptr, tray_ = nullptr;
};

TEST_P(EndingBoth, LeavesNoStaleTrayIconAndAWholeSettingsFile) {
  const Ending& ending = GetParam();
  WriteRemain(ending.remain);
  std::string before;
  ASSERT_TRUE(test::ReadFileBytes(folder_.File("velkor.ini"), before));
  main_ = StartProgram("velkor.exe").pid();
  ASSERT_NE(mainWindow_ = WaitForMainWindow(main_), nullptr);
  ASSERT_NE(companion_ = WaitForProcessNamed("dornat.exe"), 0u);
  ASSERT_TRUE(test::WaitUntil(
      [&] { return (tray_ = test::FindWindowOf(companion_, "VelkorSystray", {}, false)) != nullptr; }, kStartBound));
  ASSERT_TRUE(test::WaitUntil([] { return CompanionIcons().size() == 1; }, kReactionBound));

  End(ending.companionFirst, ending.first);
  ExpectIconsAfterTaskbarRecreation("first end");
  // The main program follows a companion that went; the companion follows
  // a main program that closed while it may not remain.
  if (ending.companionFirst) {
    EXPECT_TRUE(Ends(main_, kReactionBound));
  } else if (ending.first != Way::kKill && ending.remain == 0) {
    EXPECT_TRUE(Ends(companion_, kReactionBound));
  }
  const bool other = ending.companionFirst ? Running(main_) : Running(companion_);
  if (other) {
    End(!ending.companionFirst, ending.second);
    ExpectIconsAfterTaskbarRecreation("second end");
  }
  EXPECT_FALSE(Running(main_));
  EXPECT_FALSE(Running(companion_));
  EXPECT_TRUE(CompanionIcons().empty());
  // Whole: the old file or a new one the reader takes with its last line.
  std::string after;
  ASSERT_TRUE(test::ReadFileBytes(folder_.File("velkor.ini"), after));
  EXPECT_TRUE(after == before ||
              (after.rfind("[", 0) == 0 && after.size() >= 2 && after.substr(after.size() - 2) == "\r\n"))
      << after;
}

constexpr Ending kEndings[] = {
    {"CompanionKilled", 1, true, Way::kKill, Way::kKill},
    {"CompanionEndedFromItsMenu", 1, true, Way::kCommand, Way::kCommand},
    {"CompanionClosed", 1, true, Way::kClose, Way::kClose},
    {"MainClosedCompanionStaysThenKilled", 1, false, Way::kClose, Way::kKill},
    {"MainEndedFromItsMenuCompanionStaysThenEnded", 1, false, Way::kCommand, Way::kCommand},
    {"MainKilledCompanionStaysThenClosed", 0, false, Way::kKill, Way::kClose},
    {"MainClosedTakesTheCompanion", 0, false, Way::kClose, Way::kKill},
    {"MainEndedFromItsMenuTakesTheCompanion", 0, false, Way::kCommand, Way::kKill},
};

std::string EndingName(const ::testing::TestParamInfo<Ending>& ending) { return ending.param.name; }

INSTANTIATE_TEST_SUITE_P(AnyOrder, EndingBoth, ::testing::ValuesIn(kEndings), EndingName);

}  // namespace
}  // namespace velkor
