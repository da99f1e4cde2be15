// The "Treiber" view. Wine loads no drivers, so the list is fed names
// through its source seam; the commands go through the program's dispatch.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/program_windows.h"
#include "lists/driver_list_win.h"
#include "procs/process_commands_win.h"
#include "settings/preferences.h"
#include "support/built_windows.h"
#include "win/list_view.h"
#include "win/message_box.h"

namespace velkor {
namespace {

class DriverView : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    list_ = ControlHandle(154);
    ASSERT_NE(list_, nullptr);
    win::SetMessageBoxHook([this](HWND, const std::string& text, const std::string& title, UINT flags) {
      boxes_.push_back(title + "|" + text + "|" + std::to_string(flags));
      return IDOK;
    });
    SetShellOpenHook([this](const std::string& target) { opened_.push_back(target); });
    SetDriverSource([this] { return drivers_; });
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    windows_ = folder;
  }
  void TearDown() override {
    SetDriverSource({});
    SetShellOpenHook({});
    win::SetMessageBoxHook({});
    BuiltWindows::TearDown();
  }
  std::string Cell(int row, int column) const { return win::ListViewCellText(list_, row, column); }
  int RowOf(const std::string& base) const {
    for (int row = 0; row < ListView_GetItemCount(list_); ++row)
      if (Cell(row, 0) == base) return row;
    return -1;
  }

  HWND list_ = nullptr;
  std::string windows_;
  std::vector<DriverNames> drivers_ = {{"ntfs.sys", "\\SystemRoot\\System32\\drivers\\ntfs.sys"},
                                       {"x.sys", "\\??\\C:\\Programme\\x.sys"},
                                       {"", "\\SystemRoot\\nameless.sys"},
                                       {"alone.sys", "alone.sys"},
                                       {"Beep.SYS", "\\windows\\system32\\drivers\\Beep.SYS"}};
  std::vector<std::string> boxes_;
  std::vector<std::string> opened_;
};

TEST_F(DriverView, WineListsNoDriversAndNoError) {
  SetDriverSource({});
  ShowView(3, true);
  EXPECT_EQ(ListView_GetItemCount(list_), 0);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(DriverView, RefreshShowsNormalisedPathsSortedAndKeepsTheSelection) {
  ShowView(3, true);
  ASSERT_EQ(ListView_GetItemCount(list_), 4);  // the driver without a base name is left out
  EXPECT_EQ(Cell(0, 0), "alone.sys");          // sorted by name, case-insensitive
  EXPECT_EQ(Cell(1, 0), "Beep.SYS");
  EXPECT_EQ(Cell(RowOf("ntfs.sys"), 1), windows_ + "\\System32\\drivers\\ntfs.sys");
  EXPECT_EQ(Cell(RowOf("x.sys"), 1), "C:\\Programme\\x.sys");
  EXPECT_EQ(Cell(RowOf("Beep.SYS"), 1), "\\windows\\system32\\drivers\\Beep.SYS");

  // A header click on "Pfad", then a refresh through the menu keeps sort and selected index.
  SortDriverList(list_, 1);
  EXPECT_EQ(Cell(0, 1), "\\windows\\system32\\drivers\\Beep.SYS");
  win::SelectListRow(list_, 1);
  drivers_.push_back({"aaa.sys", "C:\\aaa.sys"});
  DispatchEvent({kEventMenu, 131, 0, 0});
  EXPECT_EQ(ListView_GetItemCount(list_), 5);
  EXPECT_EQ(win::SelectedListRow(list_), 1);
  for (int row = 1; row < 5; ++row)  // still by "Pfad"
    EXPECT_NE(
        CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Cell(row - 1, 1).c_str(), -1, Cell(row, 1).c_str(), -1),
        CSTR_GREATER_THAN);
}

TEST_F(DriverView, SearchAndFolderCommandsActOnTheSelectedDriver) {
  ShowView(3, true);
  Preferences.PreferencesSearchString = "https://example.org/?q=[SEARCH]";
  win::SelectListRow(list_, RowOf("ntfs.sys"));
  DispatchEvent({kEventControl, 154, kTypeChange, 0});
  EXPECT_TRUE(IsWindowEnabled(ControlHandle(24)));  // the toolbar search follows the driver selection
  DispatchEvent({kEventMenu, 24, 0, 0});
  DispatchEvent({kEventMenu, 132, 0, 0});
  ASSERT_EQ(opened_.size(), 2u);
  EXPECT_EQ(opened_[0], "https://example.org/?q=ntfs.sys");
  EXPECT_EQ(opened_[1], windows_ + "\\System32\\drivers\\");

  win::SelectListRow(list_, RowOf("alone.sys"));
  DispatchEvent({kEventMenu, 132, 0, 0});
  EXPECT_EQ(opened_.size(), 2u);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "Hinweis|Das Verzeichnis von \"alone.sys\" konnte nicht ermittelt werden!|" +
                           std::to_string(MB_OK | MB_ICONEXCLAMATION));

  win::SelectListRow(list_, -1);
  DispatchEvent({kEventControl, 154, kTypeChange, 0});
  EXPECT_FALSE(IsWindowEnabled(ControlHandle(24)));
  DispatchEvent({kEventMenu, 24, 0, 0});
  DispatchEvent({kEventMenu, 132, 0, 0});
  EXPECT_EQ(opened_.size(), 2u);
}

}  // namespace
}  // namespace velkor
