// The in-place list update, the redraw guard and the list text order, on a
// real list view control on screen.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "win/list_view.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

std::vector<BOOL> redrawSwitches;  // WM_SETREDRAW as the list received it
WNDPROC listProcedure = nullptr;

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETREDRAW) redrawSwitches.push_back(static_cast<BOOL>(wParam));
  return CallWindowProcA(listProcedure, window, message, wParam, lParam);
}

class ListUpdate : public testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    frame_.reset(CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                                 nullptr, nullptr));
    list_ = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 150, frame_.get(),
                            nullptr, nullptr, nullptr);
    ASSERT_NE(list_, nullptr);
    LVCOLUMNA header{};
    header.mask = LVCF_WIDTH;
    header.cx = 100;
    for (int column = 0; column < 2; ++column) ListView_InsertColumn(list_, column, &header);
    listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProcedure)));
    redrawSwitches.clear();
  }

  static std::vector<win::ListRow> Rows(int count) {
    std::vector<win::ListRow> rows;
    for (int i = 0; i < count; ++i) rows.push_back({{"r" + std::to_string(i), "x"}, -1, 0});
    return rows;
  }

  std::vector<std::string> Column(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < ListView_GetItemCount(list_); ++row)
      texts.push_back(win::ListViewCellText(list_, row, column));
    return texts;
  }

  win::UniqueWindow frame_;
  HWND list_ = nullptr;
};

TEST_F(ListUpdate, RowsChangedAddedAndRemovedKeepSelectionAndTopRow) {
  std::vector<win::ListRow> shown;
  win::UpdateListRows(list_, shown, Rows(30));
  win::SelectListRow(list_, 7);
  RECT row{};
  ASSERT_TRUE(ListView_GetItemRect(list_, 0, &row, LVIR_BOUNDS));
  ListView_Scroll(list_, 0, (row.bottom - row.top) * 5);
  const int top = ListView_GetTopIndex(list_);
  ASSERT_GT(top, 0);

  std::vector<win::ListRow> changed = Rows(30);
  changed[7].cells[1] = "y";
  changed[8].cells[0] = "neu";
  redrawSwitches.clear();
  win::UpdateListRows(list_, shown, changed);
  EXPECT_TRUE(redrawSwitches.empty()) << "cells changed in place need no frozen list";
  EXPECT_EQ(Column(1)[7], "y");
  EXPECT_EQ(Column(0)[8], "neu");

  for (int count : {34, 20}) {
    redrawSwitches.clear();
    win::UpdateListRows(list_, shown, Rows(count));
    EXPECT_EQ(redrawSwitches, (std::vector<BOOL>{FALSE, TRUE})) << count << " rows";
    EXPECT_EQ(Column(0).size(), static_cast<size_t>(count));
    EXPECT_EQ(Column(0).back(), "r" + std::to_string(count - 1));
    EXPECT_EQ(win::SelectedListRow(list_), 7);
    EXPECT_EQ(ListView_GetTopIndex(list_), top);
  }
}

TEST_F(ListUpdate, NestedGuardsRedrawOnceAtTheOuterEndAndLeaveHiddenListsHidden) {
  {
    win::RedrawGuard outer(list_);
    {
      win::RedrawGuard inner(list_);
      win::ListRefill refill(list_);
      refill.AddRow({"a"}, -1);
    }
    EXPECT_EQ(redrawSwitches, std::vector<BOOL>{FALSE});
  }
  EXPECT_EQ(redrawSwitches, (std::vector<BOOL>{FALSE, TRUE}));

  ShowWindow(list_, SW_HIDE);
  redrawSwitches.clear();
  { win::RedrawGuard hidden(list_); }
  EXPECT_TRUE(redrawSwitches.empty());
  EXPECT_FALSE(GetWindowLongPtrA(list_, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(ListUpdate, TextsSortInTheLocaleAndInByteOrderWhereItCannotCompare) {
  {
    win::ListRefill refill(list_);
    for (const char* text : {"Zebra", "Äpfel", "apfel", "Birne", "Apfel"}) refill.AddRow({text}, -1);
  }
  win::SortListRows(list_, {0, true});
  // Case alone makes no order (equal texts keep theirs); the umlaut sorts
  // beside its letter, not behind "Z" as its byte would.
  EXPECT_EQ(Column(0), (std::vector<std::string>{"apfel", "Apfel", "Äpfel", "Birne", "Zebra"}));

  constexpr LCID kUnknownLocale = 0x7F7F;
  const std::vector<std::string> texts = {"Zebra", "Äpfel", "apfel", "Apfel", ""};
  for (const std::string& a : texts)
    for (const std::string& b : texts)
      EXPECT_EQ(win::CompareInLocale(a, b, kUnknownLocale), a < b ? -1 : (a == b ? 0 : 1)) << a << " / " << b;
}

}  // namespace
}  // namespace velkor
