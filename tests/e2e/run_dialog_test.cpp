// The "Ausführen" dialog and the "Information" window of the real program,
// driven by the messages a click on their buttons and menu items sends.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "program_support.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

// A click on a button of another process, as the button reports it.
void ClickButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

RECT PlaceOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

class ProgramDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
    ASSERT_TRUE(test::ProcessIdsNamed("dornat.exe").empty()) << "a dornat.exe is already running";
    ASSERT_TRUE(run_.Start());
    main_ = run_.main();
  }

  test::ProgramRun run_;
  HWND main_ = nullptr;
};

TEST_F(ProgramDialogs, RunDialogStartsNotepadAndRemembersIt) {
  const std::vector<uint32_t> before = test::ProcessIdsNamed("notepad.exe");
  // Toolbar button 22.
  PostMessageA(main_, WM_COMMAND, MAKEWPARAM(22, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(main_, 22)));
  HWND dialog = nullptr;
  ASSERT_TRUE(
      test::WaitUntil([&] { return (dialog = test::FindWindowOf(run_.pid(), {}, "Ausf\xFChren")) != nullptr; }, 10s));
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowEnabled(main_); }, 10s));
  HWND box = GetDlgItem(dialog, 232);
  HWND ok = GetDlgItem(dialog, 235);
  EXPECT_FALSE(IsWindowEnabled(ok));
  // Typing: the box's edit reports the change to the box, the box to the dialog.
  SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("notepad.exe"), SMTO_ABORTIFHUNG, 5000, nullptr);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(232, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(box));
  ASSERT_TRUE(test::WaitUntil([&] { return IsWindowEnabled(ok) != FALSE; }, 10s));
  SendMessageTimeoutA(GetDlgItem(dialog, 234), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(" velkor.txt "),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  ClickButton(ok);
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(dialog) && IsWindowEnabled(main_); }, 10s));
  EXPECT_TRUE(test::WaitUntil([&] { return test::ProcessIdsNamed("notepad.exe").size() > before.size(); }, 10s));
  test::EndProcessesNamed("notepad.exe", before);
  DWORD_PTR entries = 0;
  SendMessageTimeoutA(box, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &entries);
  EXPECT_EQ(entries, 1u);
}

TEST_F(ProgramDialogs, InformationWindowSwitchesPagesAndReturnsWhereItStarted) {
  PostMessageA(main_, WM_COMMAND, 134, 0);  // "Hilfe" > "Information"
  HWND information = nullptr;
  ASSERT_TRUE(test::WaitUntil(
      [&] { return (information = test::FindWindowOf(run_.pid(), {}, "Information")) != nullptr; }, 10s));
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowEnabled(main_); }, 10s));
  const RECT start = PlaceOf(information);
  EXPECT_EQ(start.right - start.left, 280);
  HWND about = GetDlgItem(information, 300);
  HWND terms = GetDlgItem(information, 318);
  for (int round = 0; round < 3; ++round) {
    ClickButton(GetDlgItem(about, 317));
    ASSERT_TRUE(
        test::WaitUntil([&] { return IsWindowVisible(terms) && PlaceOf(information).left == start.left - 80; }, 10s));
    EXPECT_EQ(PlaceOf(information).right - PlaceOf(information).left, 420);
    ClickButton(GetDlgItem(terms, 323));
    ASSERT_TRUE(test::WaitUntil(
        [&] {
          const RECT now = PlaceOf(information);
          return IsWindowVisible(about) && EqualRect(&start, &now);
        },
        10s));
  }
  ClickButton(GetDlgItem(about, 316));
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(information) && IsWindowEnabled(main_); }, 10s));
}

}  // namespace
}  // namespace velkor
