// The preferences window of the real velkor.exe: cancelled edits saved at
// the end, the autostart shortcut, hidden columns and the search-engine menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <string>

#include "program_support.h"
#include "settings/autostart_win.h"
#include "support/shell_link.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

constexpr auto kReactionBound = 10s;

HWND Descendant(HWND root, int id) {
  std::pair<int, HWND> search{id, nullptr};
  EnumChildWindows(
      root,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<std::pair<int, HWND>*>(data);
        if (GetDlgCtrlID(child) != s->first) return TRUE;
        s->second = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

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
    prefs_ = test::FindWindowOf(run_.pid(), {}, "Einstellungen", false);
    ASSERT_NE(prefs_, nullptr);
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
  EXPECT_FALSE(test::FileExists(link_));
  EXPECT_EQ(PathColumnWidth(), pathWidth);
}

// A left click of the mouse at `x`, `y` in the client area of `window`.
void ClickAt(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  SetCursorPos(point.x, point.y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
}

TEST_F(PreferencesProgram, ThePageSelectorSplitsAt170AndTheSearchEngineMenuPutsLycosIntoTheField) {
  Start();
  Open();
  SetForegroundWindow(prefs_);
  ClickAt(prefs_, 250, 35);
  EXPECT_TRUE(
      test::WaitUntil([&] { return IsWindowVisible(Control(276)) && !IsWindowVisible(Control(250)); }, kReactionBound));
  ClickAt(prefs_, 165, 35);
  EXPECT_TRUE(
      test::WaitUntil([&] { return IsWindowVisible(Control(250)) && !IsWindowVisible(Control(276)); }, kReactionBound));
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

}  // namespace
}  // namespace velkor
