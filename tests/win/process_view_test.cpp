// The history strips, the summary panel and the diagram window in the real
// windows, against helper processes of the test's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <string>

#include "app/event_loop.h"
#include "app/status_bar.h"
#include "app/program_windows.h"
#include "monitor/diagram_window_win.h"
#include "monitor/history_strip_win.h"
#include "monitor/process_summary_win.h"
#include "procs/format.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "support/built_windows.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

using test::Pump;

std::string Text(HWND control) {
  char text[512] = {};
  GetWindowTextA(control, text, sizeof text);
  return text;
}

class ProcessView : public test::BuiltWindows {
 protected:
  void SetUp() override {
    busy_ = test::Start(test::ProgramFolder() + "\\velkor_helper.exe", "busy");
    idle_ = test::StartHelper();
    ASSERT_TRUE(busy_.valid() && idle_.valid());
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    list_ = ProcessListHandle();
    ASSERT_NE(list_, nullptr);
  }
  void TearDown() override {
    BuiltWindows::TearDown();
    SetPreferenceDefaults();
  }
  int RowOf(uint32_t pid) {
    ProcessRows& rows = ProcessListRows();
    for (int row = 0; row < rows.RowCount(); ++row)
      if (rows.CellText(row, kPidColumn) == std::to_string(pid)) return row;
    return -1;
  }
  std::optional<Canvas> ImageOf(uint32_t pid) {
    const int row = RowOf(pid);
    if (row < 0) return std::nullopt;
    return HistoryImage(static_cast<int>(LeadingWholeNumber(ProcessListRows().CellText(row, kHistoryImageColumn))));
  }
  // Columns with a bar in the picture's bottom row.
  static int Bars(const Canvas& image) {
    int bars = 0;
    for (int x = 0; x < image.width; ++x) bars += image.At(x, 17) == MakePixel(17, 238, 0);
    return bars;
  }
  void Select(int row) {
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
    if (row >= 0) ListView_SetItemState(list_, row, LVIS_SELECTED, LVIS_SELECTED);
    UpdateProcessSummary();
  }

  test::OwnedProcess busy_;
  test::OwnedProcess idle_;
  HWND list_ = nullptr;
};

TEST_F(ProcessView, BusyProcessGetsBarsWhileAnIdleOneStaysEmpty) {
  ASSERT_TRUE(
      test::WaitUntil([&] { return RefreshProcessList() >= 0 && ImageOf(busy_.pid()) && ImageOf(idle_.pid()); }, 10s));
  // A process still starting uses the processor for its own set-up, which its
  // strip rightly shows; it counts as idle once its processor time stands still.
  const auto cpuTime = [&] {
    FILETIME created{}, ended{}, kernel{}, user{};
    GetProcessTimes(idle_.handle(), &created, &ended, &kernel, &user);
    return (uint64_t{kernel.dwHighDateTime} << 32 | kernel.dwLowDateTime) +
           (uint64_t{user.dwHighDateTime} << 32 | user.dwLowDateTime);
  };
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        const uint64_t before = cpuTime();
        Sleep(100);
        return cpuTime() == before;
      },
      10s));
  RefreshProcessList();
  const int idleBars = Bars(*ImageOf(idle_.pid()));
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        Sleep(100);
        RefreshProcessList();
        return Bars(*ImageOf(busy_.pid())) >= 4;
      },
      20s));
  EXPECT_LE(Bars(*ImageOf(idle_.pid())), idleBars);
  EXPECT_EQ(HistoryImageCount(), ListView_GetItemCount(list_));

  // The status bar draws the selected row's strip at (334, 2).
  Select(RowOf(busy_.pid()));
  ShowWindow(MainWindow, SW_SHOW);
  UpdateStatusBar(kStatusFigures);
  auto bar = reinterpret_cast<HBITMAP>(SendMessageA(ControlHandle(137), STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(bar, nullptr);
  win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  RECT client{};
  GetClientRect(MainWindow, &client);
  {
    win::SelectScope select(dc.get(), bar);
    EXPECT_EQ(GetPixel(dc.get(), client.right - 1, 19), RGB(17, 238, 0));
  }

  // Off: every picture freed and every field "0"; on: fresh empty ones.
  SetHistoryImagesEnabled(false);
  EXPECT_EQ(HistoryImageCount(), 0);
  EXPECT_EQ(SelectedHistoryImage(), 0);
  EXPECT_EQ(ProcessListRows().CellText(RowOf(busy_.pid()), kHistoryImageColumn), "0");
  SetHistoryImagesEnabled(true);
  EXPECT_EQ(HistoryImageCount(), ListView_GetItemCount(list_));
  EXPECT_EQ(Bars(*ImageOf(busy_.pid())), 0);
}

TEST_F(ProcessView, SummaryPanelDescribesTheSelectionOrTheMachine) {
  HWND box = ControlHandle(140);
  Select(-1);
  EXPECT_EQ(Text(GetDlgItem(box, 142)), std::to_string(ListView_GetItemCount(list_)) + " Prozesse");
  EXPECT_EQ(Text(GetDlgItem(box, 143)).rfind("Username: ", 0), 0u);
  EXPECT_EQ(Text(GetDlgItem(box, 144)).rfind("Computer an seit ", 0), 0u);
  EXPECT_EQ(Text(GetDlgItem(box, 145)).rfind("Desktopauflösung: ", 0), 0u) << Text(GetDlgItem(box, 145));
  EXPECT_NE(SendMessageA(GetDlgItem(box, 141), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);

  const int row = RowOf(idle_.pid());
  ASSERT_GE(row, 0);
  Select(row);
  EXPECT_EQ(Text(GetDlgItem(box, 142)), ProcessListRows().CellText(row, kNameColumn));
  EXPECT_EQ(Text(GetDlgItem(box, 144)).rfind("CPU: ", 0), 0u);
  EXPECT_EQ(Text(GetDlgItem(box, 145)).rfind("Speicher: ", 0), 0u);
  EXPECT_NE(Text(GetDlgItem(box, 145)), "Speicher: 0 Byte");
}

TEST_F(ProcessView, DiagramShowsThePieAndTheProcessUnderTheMouse) {
  HWND diagram = WindowHandle(kDiagramWindow);
  HWND measures = GetDlgItem(diagram, 240);
  EXPECT_EQ(SendMessageA(measures, CB_GETCOUNT, 0, 0), 6);
  ToggleDiagramWindow();
  Pump();
  ASSERT_TRUE(DiagramWindowVisible());
  EXPECT_NE(SendMessageA(GetDlgItem(diagram, 239), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);

  // By priority every process lies in some class slice: the mouse on the
  // pie names one.
  SendMessageA(measures, CB_SETCURSEL, 1, 0);
  CheckPieMeasure();
  SetForegroundWindow(diagram);
  POINT point{150 + 60, 150 + 1};
  ClientToScreen(diagram, &point);
  SetCursorPos(point.x, point.y);
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        Pump();
        ShowPieInfo();
        return ShownPieInfo().title.find("Priorität") != std::string::npos;
      },
      10s))
      << ShownPieInfo().title;
  EXPECT_NE(ShownPieInfo().subtitle.find("Prozess"), std::string::npos);

  // Off the pie the panel empties.
  point = {5, 5};
  ClientToScreen(diagram, &point);
  SetCursorPos(point.x, point.y);
  ShowPieInfo();
  EXPECT_EQ(ShownPieInfo(), PieInfoTexts{});

  // Redrawing and the panel create nothing that stays.
  DrawProcessPie();
  Pump();
  const uint32_t gdi = test::OwnGdiObjectCount();
  for (int round = 0; round < 30; ++round) {
    SendMessageA(measures, CB_SETCURSEL, round % 6, 0);
    CheckPieMeasure();
    RefreshProcessList();
    Select(round % 2 ? RowOf(idle_.pid()) : -1);
  }
  Pump();
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);

  ToggleDiagramWindow();
  EXPECT_FALSE(DiagramWindowVisible());
}

// The pie's own notification of a double click, handled as the loop does.
TEST_F(ProcessView, DoubleClickOnASliceSelectsItsProcessFocusesTheListAndHidesTheWindow) {
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        Sleep(100);
        RefreshProcessList();
        const int row = RowOf(busy_.pid());
        return row >= 0 && ParseDecimal(ProcessListRows().CellText(row, kCpuColumn)) >= 10;
      },
      20s));
  HWND diagram = WindowHandle(kDiagramWindow);
  HWND pie = GetDlgItem(diagram, 239);
  ShowWindow(MainWindow, SW_SHOW);
  ToggleDiagramWindow();  // by CPU load
  Select(-1);
  auto doubleClickAt = [&](int degrees) {
    const double radians = degrees * 3.14159265358979 / 180;
    POINT point{150 + static_cast<LONG>(60 * std::cos(radians)), 150 + static_cast<LONG>(60 * std::sin(radians))};
    ClientToScreen(diagram, &point);
    SetCursorPos(point.x, point.y);
    ScreenToClient(pie, &point);
    SendMessageA(pie, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    LoopEvent event;
    while (TakeLoopEvent(event)) DispatchEvent(event);
  };
  // Somewhere around the disc lies the busy helper's slice.
  bool selected = false;
  for (int degrees = -88; degrees < 270 && !selected; degrees += 4) {
    ShowWindow(diagram, SW_SHOW);
    doubleClickAt(degrees);
    selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED) == RowOf(busy_.pid());
  }
  EXPECT_TRUE(selected);
  EXPECT_EQ(GetFocus(), list_);
  EXPECT_FALSE(DiagramWindowVisible());
  // By priority a double click does nothing.
  ShowWindow(diagram, SW_SHOW);
  SendMessageA(GetDlgItem(diagram, 240), CB_SETCURSEL, 1, 0);
  CheckPieMeasure();
  Select(-1);
  doubleClickAt(0);
  EXPECT_TRUE(DiagramWindowVisible());
  EXPECT_EQ(ListView_GetNextItem(list_, -1, LVNI_SELECTED), -1);
  ShowWindow(diagram, SW_HIDE);
}

}  // namespace
}  // namespace velkor
