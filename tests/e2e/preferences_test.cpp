// The preferences window of the real velkor.exe: cancelled edits saved at
// the end, the autostart shortcut, hidden columns and the search-engine menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <map>
#include <string>

#include "program_support.h"
#include "settings/autostart_win.h"
#include "settings/settings_file.h"
#include "support/shell_link.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using test::Descendant;

using namespace std::chrono_literals;

constexpr auto kReactionBound = 10s;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

class PreferencesProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
    link_ = AutostartLinkPath();
    DeleteFileA(link_.c_str());
  }
  void TearDown() override {
    run_.End();
    DeleteFileA(link_.c_str());
  }

  void Start() {
    ASSERT_TRUE(run_.Start());
    main_ = run_.main();
    // Built in the idle time after the start at the latest.
    ASSERT_TRUE(test::WaitUntil(
        [&] { return (prefs_ = test::FindWindowOf(run_.pid(), {}, "Einstellungen", false)) != nullptr; },
        kReactionBound));
  }
  void Open() {
    ASSERT_TRUE(PostMessageA(main_, WM_COMMAND, 20, 0));
    ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(prefs_) && !IsWindowEnabled(main_); }, kReactionBound));
  }
  HWND Control(int id) const { return Descendant(prefs_, id); }
  void Click(int id) { Send(Control(id), BM_CLICK); }
  bool Checked(int id) const { return Send(Control(id), BM_GETCHECK) == BST_CHECKED; }
  // "OK" or "Abbrechen", then the window is gone and the main window usable.
  void Close(int button) {
    Click(button);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(prefs_) && IsWindowEnabled(main_); }, kReactionBound));
  }
  int PathColumnWidth() const { return static_cast<int>(Send(Descendant(main_, 139), LVM_GETCOLUMNWIDTH, 13)); }

  test::ProgramRun run_;
  HWND main_ = nullptr;
  HWND prefs_ = nullptr;
  std::string link_;
};

TEST_F(PreferencesProgram, EditsCancelledWithoutReopeningAreSavedAtTheEnd) {
  Start();
  Open();
  Click(255);  // "Prozesse automatisch optimieren", on by default
  Send(Control(263), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  Close(292);
  ASSERT_TRUE(PostMessageA(main_, WM_CLOSE, 0, 0));
  ASSERT_EQ(run_.process().WaitForExit(kReactionBound), 0u);
  std::string saved;
  ASSERT_TRUE(test::ReadFileBytes(run_.folder().File("velkor.ini"), saved));
  EXPECT_NE(saved.find("PreferencesOptimize = 0\r\n"), std::string::npos);
  EXPECT_NE(saved.find("PreferencesRefresh1Spin = 0\r\n"), std::string::npos);
  EXPECT_NE(saved.find("PreferencesAutostart = 0\r\n"), std::string::npos);
}

TEST_F(PreferencesProgram, OkWritesTheShortcutAndHidesColumnsAtOnce) {
  ASSERT_GT(link_.size(), std::string("\\Velkor.lnk").size()) << "no Startup folder";
  Start();
  const int pathWidth = PathColumnWidth();
  ASSERT_GT(pathWidth, 0);
  Open();
  Click(252);
  EXPECT_TRUE(Checked(253));
  Click(290);  // "Pfad"
  Close(291);
  EXPECT_EQ(PathColumnWidth(), 0);
  ASSERT_TRUE(test::WaitUntil([&] { return test::FileExists(link_); }, kReactionBound));
  test::LinkContent link;
  ASSERT_TRUE(test::ReadLink(link_, link));
  EXPECT_EQ(link.target, test::ProgramFolder() + "\\dornat.exe");
  EXPECT_EQ(link.arguments, "-nocheck");
  EXPECT_EQ(link.workingDirectory, test::ProgramFolder());
  EXPECT_EQ(link.description, "Automatischer Start des Velkor SystemTray Icons.");

  Open();
  EXPECT_TRUE(Checked(252));
  EXPECT_FALSE(Checked(290));
  Click(252);
  Click(290);
  Close(291);
  // The shortcut goes with the save that "OK" starts, which may end after the window hid.
  EXPECT_TRUE(test::WaitUntil([&] { return !test::FileExists(link_); }, kReactionBound));
  EXPECT_EQ(PathColumnWidth(), pathWidth);
}

// A left click of the mouse at `x`, `y` in the client area of `window`.
void ClickAt(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  test::ClickAtScreen(point.x, point.y);
}

// Clicks at `x`, `y` until `done` holds, within the reaction bound: a click
// right after a window shows can reach the display before the window does.
// Clicking the page selector again where it was clicked changes nothing.
template <typename Condition>
bool ClickUntil(HWND window, int x, int y, Condition done) {
  return test::WaitUntil(
      [&] {
        if (done()) return true;
        ClickAt(window, x, y);
        return test::WaitUntil(done, 1s);
      },
      kReactionBound);
}

TEST_F(PreferencesProgram, ThePageSelectorSplitsAt170AndTheSearchEngineMenuPutsLycosIntoTheField) {
  Start();
  Open();
  SetForegroundWindow(prefs_);
  const auto pageShown = [&](int shown, int hidden) {
    return [=, this] { return IsWindowVisible(Control(shown)) && !IsWindowVisible(Control(hidden)); };
  };
  EXPECT_TRUE(ClickUntil(prefs_, 250, 35, pageShown(276, 250)));
  EXPECT_TRUE(ClickUntil(prefs_, 165, 35, pageShown(250, 276)));
  Click(274);
  // The menu opens at the mouse; the keyboard walks it to its fifth item.
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        HWND menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu);
      },
      kReactionBound));
  INPUT keys[12] = {};
  for (int i = 0; i < 6; ++i) {
    const WORD key = i < 5 ? VK_DOWN : VK_RETURN;
    keys[2 * i].type = keys[2 * i + 1].type = INPUT_KEYBOARD;
    keys[2 * i].ki.wVk = keys[2 * i + 1].ki.wVk = key;
    keys[2 * i + 1].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  ASSERT_EQ(SendInput(12, keys, sizeof(INPUT)), 12u);
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        return test::WindowTextOf(Control(273)) ==
               "https://search.lycos.com/cgi-bin/pursuit?query=%22[SEARCH]%22&cat=web";
      },
      kReactionBound));
  Close(292);
}

// Selects a row of a list view in another process, through memory of that process.
bool SelectRemoteRow(HANDLE process, HWND list, int row) {
  void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return false;
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  DWORD_PTR result = 0;
  const bool sent = WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
                    SendMessageTimeoutA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &result);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return sent && result;
}

TEST_F(PreferencesProgram, ValuesOutsideTheirRangesAreTakenAsTheNearestSaneOnesAndTheSearchOpensNoProgram) {
  const std::string program = test::ProgramFolder() + "\\velkor_helper.exe";
  const struct {
    SettingsGroup group;
    const char* key;
    const char* hostile;
    int32_t written;  // what the program writes back at the end
  } cases[] = {
      {SettingsGroup::General, "PreferencesExitCodeSpin", "99999999999", 14080},
      {SettingsGroup::General, "PreferencesRefresh1Spin", "123456", 99999},
      {SettingsGroup::General, "PreferencesRefresh2Spin", "-40", 0},
      {SettingsGroup::General, "PreferencesUseComma", "-3", 1},
      {SettingsGroup::General, "PreferencesReactivateExplorer", "1", 0},
      {SettingsGroup::Column, "PreferencesShow0", "2147483648", 1},
      {SettingsGroup::Column, "PreferencesShow12", "-0", 0},
      {SettingsGroup::ColumnWidth, "PreferencesColumnWidth1", "-100", 150},  // the start-up width
      {SettingsGroup::ColumnWidth, "PreferencesColumnWidth2", "99999", 32767},
  };
  std::map<SettingsGroup, std::string> groups{{SettingsGroup::General, "PreferencesSearchString = " + program + "\r\n"},
                                              {SettingsGroup::Window,
                                               "X = -999999\r\nY = 99999999999\r\n"
                                               "Width = -5\r\nHeight = 2147483648\r\n"}};
  for (const auto& c : cases) groups[c.group] += std::string(c.key) + " = " + c.hostile + "\r\n";
  std::string ini;
  for (const auto& [group, lines] : groups) ini += "[" + std::string(SettingsGroupName(group)) + "]\r\n" + lines;
  ASSERT_TRUE(test::WriteFileBytes(run_.folder().File("velkor.ini"), ini));
  Start();

  // The window opens where its title bar can be reached.
  RECT frame{};
  ASSERT_TRUE(GetWindowRect(main_, &frame));
  EXPECT_GE(frame.top, 0);
  EXPECT_LT(frame.top, GetSystemMetrics(SM_CYSCREEN) - 20);
  EXPECT_GT(frame.right, 40);
  EXPECT_LT(frame.left, GetSystemMetrics(SM_CXSCREEN) - 40);
  Open();
  EXPECT_EQ(test::WindowTextOf(Control(269)), "14080");
  EXPECT_EQ(test::WindowTextOf(Control(273)), program);
  Close(292);

  // "Nach diesem Prozess im Internet suchen" with a template naming a program.
  HWND list = Descendant(main_, 139);
  ASSERT_TRUE(test::WaitUntil([&] { return Send(list, LVM_GETITEMCOUNT) > 0; }, kReactionBound));
  ASSERT_TRUE(SelectRemoteRow(run_.process().handle(), list, 0));
  ASSERT_TRUE(PostMessageA(main_, WM_COMMAND, 24, 0));
  EXPECT_FALSE(test::WaitUntil([] { return !test::ProcessIdsNamed("velkor_helper.exe").empty(); }, 2s));
  test::EndProcessesNamed("velkor_helper.exe");

  ASSERT_TRUE(PostMessageA(main_, WM_CLOSE, 0, 0));
  ASSERT_EQ(run_.process().WaitForExit(kReactionBound), 0u);
  std::string saved;
  ASSERT_TRUE(test::ReadFileBytes(run_.folder().File("velkor.ini"), saved));
  const SettingsFile written(saved);
  for (const auto& c : cases) EXPECT_EQ(written.Integer(c.group, c.key, -12345), c.written) << c.key;
  EXPECT_EQ(written.Text(SettingsGroup::General, "PreferencesSearchString"), program);  // kept as the user's
  EXPECT_GE(written.Integer(SettingsGroup::Window, "Y", -1), 0);
  // The window opened fitted to the screen and was not resized: the size is stored as it was read.
  EXPECT_EQ(written.Integer(SettingsGroup::Window, "Height", -1), 32767);
}

}  // namespace
}  // namespace velkor
