// velkor.exe on a screen of 144 and 192 DPI. Wine keeps one DPI per prefix
// (LogPixels of the desktop settings), read by every process when it starts:
// each case sets it for the programs it starts and puts the old value back,
// and the end-to-end tests run one at a time, so the others keep theirs.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>

#include "app/layout_scale.h"
#include "app/status_bar_look.h"
#include "app/view_table.h"
#include "gfx/dpi_scale.h"
#include "program_support.h"
#include "settings/settings_file.h"
#include "support/wine_support.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

using test::ClientOf;

using test::RectInParent;

using test::Descendant;

using namespace std::chrono_literals;

constexpr auto kReactionBound = 10s;
using test::PrefixDpi;
using test::ReadDevicePixels;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, 0, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

// Width of `text` in Tahoma at `points` for `dpi`, as the program draws it.
int TextWidth(const std::string& text, int points, int dpi, bool bold = false) {
  win::UniqueFont font(CreateFontA(-MulDiv(points, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                                   DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
  win::WindowDc screen(nullptr);
  win::SelectScope select(screen.get(), font.get());
  SIZE extent{};
  GetTextExtentPoint32A(screen.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  return extent.cx;
}

// Pictures whose drawing code sizes their controls (with a sunken edge
// around some): their places are the table's, their sizes the drawings'.
bool DrawnCanvas(int id) {
  for (int canvas : {157, 158, 194, 195, 200})
    if (id == canvas) return true;
  return false;
}

class DisplayScale : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { ReadDevicePixels(); }
};

// Every control of the main window where the table scaled by dpi / 96 puts
// it (within one pixel), whole captions in the columns and the status bar,
// and the pictures drawn for the scale.
TEST_P(DisplayScale, MainWindowIsTheTableScaled) {
  const int dpi = GetParam();
  PrefixDpi prefix(dpi);
  test::ProgramRun run;
  ASSERT_TRUE(run.Start());
  HWND main = run.main();
  // The controls of the views built in the idle time after the start too.
  ASSERT_TRUE(test::WaitUntil([&] { return Descendant(main, 161) && Descendant(main, 200); }, kReactionBound));
  const Size client = ClientOf(main);
  const ScaledLayout layout = ScaleLayout(dpi);
  int compared = 0;
  for (const ControlSpec& def : layout.controls) {
    if (def.window != kMainWindow) continue;
    HWND control = Descendant(main, def.id);
    if (!control) continue;
    Rect want{def.x.Resolve(client.w, client.h), def.y.Resolve(client.w, client.h), def.w.Resolve(client.w, client.h),
              def.h.Resolve(client.w, client.h)};
    const Rect got = RectInParent(control);
    ++compared;
    // A value starts after its captions at the latest and keeps its right edge.
    if (def.flags & kAfterCaption) {
      EXPECT_GE(got.x, want.x - 1) << def.id;
      want.w -= got.x - want.x;
      want.x = got.x;
    }
    EXPECT_NEAR(got.x, want.x, 1) << def.id;
    EXPECT_NEAR(got.y, want.y, 1) << def.id;
    // Labels and check boxes grow to their captions; everything else has
    // the table's size.
    const bool label = def.kind == ControlKind::kLabel || def.kind == ControlKind::kLabelRight ||
                       def.kind == ControlKind::kLink || def.kind == ControlKind::kCheckBox;
    if (DrawnCanvas(def.id)) {  // drawn at the scale: at least the table's scaled height
      EXPECT_GE(got.h, want.h - 1) << def.id;
      continue;
    }
    if (label) {
      EXPECT_GE(got.w, want.w - 1) << def.id;
    } else {
      EXPECT_NEAR(got.w, want.w, 1) << def.id;
      EXPECT_NEAR(got.h, want.h, 1) << def.id;
    }
  }
  // Among them the pictures (tab strip, banner), which size their controls:
  // the ones drawn for the scale are shown.
  EXPECT_GT(compared, 100);
  // The meter and graphs of "Überwachung" are drawn at the scale once shown.
  PostMessageA(main, WM_COMMAND, 18, 0);
  for (int id : {194, 195, 200}) {
    EXPECT_TRUE(test::WaitUntil([&] { return RectInParent(Descendant(main, id)).h >= ScaleToDpi(100, dpi); }, 10s))
        << id << " is " << RectInParent(Descendant(main, id)).h << " high";
  }

  // Every shown column's caption that fits its width at 96 DPI fits it here
  // (a header keeps 6 units of margin on each side).
  auto fits = [](std::string_view caption, int width, int atDpi) {
    return TextWidth(std::string(caption), 8, atDpi) + ScaleToDpi(12, atDpi) <= width;
  };
  for (int list : {139, 147, 152, 154, 161}) {
    HWND view = Descendant(main, list);
    ASSERT_NE(view, nullptr) << list;
    int column = 0;
    for (const ColumnSpec& c : ColumnTable()) {
      if (c.list != list) continue;
      const int width = static_cast<int>(Send(view, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column++)));
      if (width == 0 || !fits(c.header, c.width, 96)) continue;  // hidden, or cut by the table itself
      EXPECT_TRUE(fits(c.header, width, dpi)) << c.header;
    }
  }

  // The status bar's figures end before the separator of their field, with
  // three-digit counts and full loads.
  MonitorSamples full;
  full.cpuLoad = full.memoryLoad = full.pageFileLoad = 100;
  constexpr int kSeparators[] = {92, 172, 252, 332};
  for (const ViewSpec& view : ViewTable()) {
    const auto texts = LayOutStatusBar(kStatusFigures, view.countWord, 999, full, "", dpi);
    for (size_t k = 0; k < texts.size(); ++k)
      EXPECT_LE(texts[k].x + TextWidth(texts[k].text, 8, dpi), ScaleToDpi(kSeparators[k], dpi)) << texts[k].text;
  }
}

// The room `text` needs at `points` for `dpi` within `width` pixels,
// broken at words as a control breaks it.
SIZE TextBlock(const std::string& text, int points, bool bold, bool underline, int dpi, int width) {
  win::UniqueFont font(CreateFontA(-MulDiv(points, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, underline, 0,
                                   DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
  win::WindowDc screen(nullptr);
  win::SelectScope select(screen.get(), font.get());
  RECT needed{0, 0, width, 0};
  DrawTextA(screen.get(), text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return {needed.right, needed.bottom};
}

// What of a control's width its caption may use: a check box's box and a
// button's or frame's edges take the rest.
std::optional<int> CaptionRoom(ControlKind kind, int width, int dpi) {
  switch (kind) {
    case ControlKind::kLabel:
    case ControlKind::kLabelRight:
    case ControlKind::kLink: return width;
    case ControlKind::kCheckBox: return width - ScaleToDpi(17, dpi);
    case ControlKind::kButton:
    case ControlKind::kDefaultButton: return width - ScaleToDpi(8, dpi);
    case ControlKind::kGroup: return width - ScaleToDpi(20, dpi);
    default: return std::nullopt;
  }
}

// Windows 1 to 5 opened as a user opens them (the transparency scale shows
// only while its keys are held, so it is measured hidden): each control
// where the table scaled by dpi / 96 puts it, within one pixel, and no
// caption cut or broken onto a line the control has no room for.
TEST_P(DisplayScale, OtherWindowsAreTheTableScaled) {
  const int dpi = GetParam();
  PrefixDpi prefix(dpi);
  test::ProgramRun run;
  ASSERT_TRUE(run.Start());
  HWND main = run.main();
  const ScaledLayout layout = ScaleLayout(dpi);
  struct Opening {
    int number;
    const char* title;
    int command;      // 0: never opened
    int closeButton;  // 0: closed by its window's close message
  };
  constexpr Opening kOpenings[] = {{kRunWindow, "Ausf\xFChren", 22, 0},
                                   {kDiagramWindow, "Diagramm", 21, 0},
                                   {kPreferencesWindow, "Einstellungen", 20, 0},
                                   {kInformationWindow, "Information", 134, 316},
                                   {kScaleWindow, "ZovuZevuvuv", 0, 0}};
  for (const Opening& opening : kOpenings) {
    SCOPED_TRACE(opening.title);
    // Built at its first use, or in the idle time after the start.
    HWND window = nullptr;
    ASSERT_TRUE(test::WaitUntil(
        [&] { return (window = test::FindWindowOf(run.pid(), {}, opening.title, false)) != nullptr; }, kReactionBound));
    if (opening.command) {
      ASSERT_TRUE(test::WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, kReactionBound));
      PostMessageA(main, WM_COMMAND, static_cast<WPARAM>(opening.command), 0);
      ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, kReactionBound));
    }
    const WindowSpec& table = layout.windows[static_cast<size_t>(opening.number)];
    const Size client = ClientOf(window);
    EXPECT_NEAR(client.w, table.clientWidth, 1);
    // Twice 520 and a title bar are more than the test screen's height: the
    // system keeps the window to the screen.
    RECT outer{};
    GetWindowRect(window, &outer);
    if (outer.bottom - outer.top < GetSystemMetrics(SM_CYSCREEN)) {
      EXPECT_NEAR(client.h, table.clientHeight, 1);
    }
    for (const ControlSpec& def : layout.controls) {
      if (def.window != opening.number) continue;
      HWND control = Descendant(window, def.id);
      ASSERT_NE(control, nullptr) << def.id;
      Rect want{def.x.base, def.y.base, def.w.base, def.h.base};
      Rect got = RectInParent(control);
      if (def.kind == ControlKind::kSpinEdit) {  // the field and its arrows share the place
        const Rect arrows = RectInParent(FindWindowExA(GetParent(control), nullptr, UPDOWN_CLASSA, nullptr));
        EXPECT_NEAR(arrows.w, ScaleToDpi(16, dpi), 1);
        got.w += arrows.w;
      }
      // A value starts after its captions at the latest and keeps its right edge.
      if (def.flags & kAfterCaption) {
        EXPECT_GE(got.x, want.x - 1) << def.id;
        want.w -= got.x - want.x;
        want.x = got.x;
      }
      EXPECT_NEAR(got.x, want.x, 1) << def.id;
      EXPECT_NEAR(got.y, want.y, 1) << def.id;
      const std::optional<int> room = CaptionRoom(def.kind, got.w, dpi);
      const bool label = def.kind == ControlKind::kLabel || def.kind == ControlKind::kLabelRight ||
                         def.kind == ControlKind::kLink || def.kind == ControlKind::kCheckBox;
      const bool combo = def.kind == ControlKind::kComboEdit || def.kind == ControlKind::kComboImages;
      if (label) {
        EXPECT_GE(got.w, want.w - 1) << def.id;  // labels grow to their captions
      } else {
        EXPECT_NEAR(got.w, want.w, 1) << def.id;
      }
      if (!label && !combo) {
        EXPECT_NEAR(got.h, want.h, 1) << def.id;  // a combo box sizes its own field
      }
      if (!room || def.text.empty()) continue;
      const bool big = (def.flags & kBigFont) != 0;
      const SIZE needed = TextBlock(std::string(def.text), big ? 14 : 8, big || (def.flags & kBold),
                                    big || def.kind == ControlKind::kLink, dpi, *room);
      EXPECT_LE(needed.cx, *room) << def.text;
      EXPECT_LE(needed.cy, got.h) << def.text;
    }
    if (!opening.command) continue;
    if (opening.closeButton) {
      PostMessageA(Descendant(window, opening.closeButton), BM_CLICK, 0, 0);
    } else {
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(window); }, kReactionBound));
  }
}

// Where the caption of `def` lies in its control's rectangle `r` (parent
// coordinates) at `dpi`: a label's from its left edge (a right-aligned one's
// up to its right edge), on one line unless it has room for more, as the
// control draws it; a check box's right of its box, centred in height; a
// button's centred; a group's in its top edge. Nothing for a control without one.
std::optional<RECT> CaptionRect(const ControlSpec& def, const RECT& r, int dpi) {
  if (def.text.empty()) return std::nullopt;
  const std::string text(def.text);
  const bool big = (def.flags & kBigFont) != 0, bold = big || (def.flags & kBold);
  const bool underline = big || def.kind == ControlKind::kLink;
  const int points = big ? 14 : 8;
  const int width = r.right - r.left, height = r.bottom - r.top;
  const SIZE line = TextBlock("Xg", points, bold, underline, dpi, 1000);
  const bool oneLine = text.find('\n') == std::string::npos && height < 2 * line.cy;
  const SIZE size = TextBlock(text, points, bold, underline, dpi, oneLine ? 100000 : width);
  switch (def.kind) {
    case ControlKind::kLabel:
    case ControlKind::kLink: return RECT{r.left, r.top, r.left + size.cx, r.top + size.cy};
    case ControlKind::kLabelRight: return RECT{r.right - size.cx, r.top, r.right, r.top + size.cy};
    case ControlKind::kCheckBox: {
      const int left = r.left + ScaleToDpi(17, dpi), top = r.top + (height - size.cy) / 2;
      return RECT{left, top, left + size.cx, top + size.cy};
    }
    case ControlKind::kButton:
    case ControlKind::kDefaultButton: {
      const int left = r.left + (width - size.cx) / 2, top = r.top + (height - size.cy) / 2;
      return RECT{left, top, left + size.cx, top + size.cy};
    }
    case ControlKind::kGroup: {
      const int left = r.left + ScaleToDpi(7, dpi);
      return RECT{left, r.top, left + size.cx, r.top + size.cy};
    }
    default: return std::nullopt;
  }
}

// What of its rectangle a control leaves to its caption: a button's and a
// group's edges take their share.
RECT CaptionSpace(const ControlSpec& def, RECT r, int dpi) {
  if (def.kind == ControlKind::kButton || def.kind == ControlKind::kDefaultButton)
    InflateRect(&r, -ScaleToDpi(4, dpi), 0);
  if (def.kind == ControlKind::kGroup) r.right -= ScaleToDpi(7, dpi);
  return r;
}

// The room a container gives its controls: a scroll area its whole inner
// height, a window the client size of the table. Where the screen is smaller
// than the window, the window is cut to the screen, not by the layout: a
// container that grows with the window gets back what the window lacks.
RECT ContainerRoom(HWND container, const ControlSpec* containerSpec, const ScaledLayout& layout, HWND window,
                   int number) {
  RECT room{};
  GetClientRect(container, &room);
  const WindowSpec& designed = layout.windows[static_cast<size_t>(number)];
  RECT client{};
  GetClientRect(window, &client);
  const LONG lackingWidth = std::max<LONG>(0, designed.clientWidth - client.right);
  const LONG lackingHeight = std::max<LONG>(0, designed.clientHeight - client.bottom);
  if (!containerSpec) {
    room.right = std::max<LONG>(room.right, designed.clientWidth);
    room.bottom = std::max<LONG>(room.bottom, designed.clientHeight);
  } else if (containerSpec->kind == ControlKind::kScrollArea) {
    room.bottom = std::max<LONG>(room.bottom, containerSpec->limit);
  } else {
    const auto stretches = [&](uint8_t both) { return (containerSpec->anchors & both) == both; };
    if (stretches(kLeft | kRight)) room.right += lackingWidth;
    if (stretches(kTop | kBottom)) room.bottom += lackingHeight;
  }
  return room;
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + ".." + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// Every caption of every window at the window's font and DPI, the main
// window at its first size with every view built: whole inside its control
// and its container, and clear of every other control beside it (a group
// frame around it aside).
TEST_P(DisplayScale, NoCaptionIsCutOrRunsIntoAnotherControl) {
  const int dpi = GetParam();
  PrefixDpi prefix(dpi);
  test::ProgramRun run;
  ASSERT_TRUE(run.Start());
  HWND main = run.main();
  ASSERT_TRUE(test::WaitUntil([&] { return Descendant(main, 161) && Descendant(main, 200); }, kReactionBound));
  HWND windows[kWindowCount] = {main};
  for (const WindowSpec& designed : WindowTable()) {
    // The process-information window exists only while it shows a process.
    if (designed.number == kMainWindow || designed.number == kProcessInfoWindow) continue;
    HWND& window = windows[designed.number];
    ASSERT_TRUE(test::WaitUntil(
        [&] { return (window = test::FindWindowOf(run.pid(), {}, std::string(designed.title), false)) != nullptr; },
        kReactionBound))
        << designed.title;
  }
  const auto placed = [&](const ControlSpec& def) -> std::optional<RECT> {
    if (!windows[def.window]) return std::nullopt;
    HWND control = Descendant(windows[def.window], def.id);
    if (!control) return std::nullopt;
    const Rect r = RectInParent(control);
    return RECT{r.x, r.y, r.x + r.w, r.y + r.h};
  };
  const ScaledLayout layout = ScaleLayout(dpi);
  int measured = 0;
  for (const ControlSpec& def : ControlTable()) {
    const std::optional<RECT> own = placed(def);
    if (!own) continue;
    const std::optional<RECT> caption = CaptionRect(def, *own, dpi);
    if (!caption) continue;
    ++measured;
    SCOPED_TRACE(std::to_string(def.id) + " \"" + std::string(def.text) + "\" at " + Text(*caption));
    EXPECT_TRUE(Contains(CaptionSpace(def, *own, dpi), *caption)) << "cut by its own control, " << Text(*own);
    HWND parent = GetParent(Descendant(windows[def.window], def.id));
    const RECT room =
        ContainerRoom(parent, def.parent ? layout.Find(def.parent) : nullptr, layout, windows[def.window], def.window);
    EXPECT_TRUE(Contains(room, *caption)) << "cut by its container, " << Text(room);
    for (const ControlSpec& other : ControlTable()) {
      if (other.id == def.id || other.window != def.window || other.parent != def.parent) continue;
      const std::optional<RECT> beside = placed(other);
      RECT overlap{};
      if (!beside || !IntersectRect(&overlap, &*caption, &*beside)) continue;
      if (other.kind == ControlKind::kGroup && Contains(*beside, *own)) continue;
      ADD_FAILURE() << "runs into " << other.id << " at " << Text(*beside);
    }
  }
  EXPECT_GT(measured, 80);
}

// A window saved at this DPI reopens at the same size in device pixels, and
// at its 96-DPI size on a 96-DPI screen: velkor.ini holds 96-DPI units.
TEST_P(DisplayScale, GeometryRoundTrip) {
  const int dpi = GetParam();
  PrefixDpi prefix(dpi);
  test::ProgramRun run;
  ASSERT_TRUE(run.Start());
  RECT outer{};
  GetWindowRect(run.main(), &outer);
  // A size no 96-DPI size scales to exactly, within the screen at every scale.
  SetWindowPos(run.main(), nullptr, 0, 0, outer.right - outer.left - 7, outer.bottom - outer.top - 5,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Size saved{};
  ASSERT_TRUE(test::WaitUntil([&] { return (saved = ClientOf(run.main())).w > 0; }, kReactionBound));
  ASSERT_TRUE(PostMessageA(run.main(), WM_CLOSE, 0, 0));
  ASSERT_EQ(run.process().WaitForExit(kReactionBound), 0u);
  std::string ini;
  ASSERT_TRUE(test::ReadFileBytes(run.folder().File("velkor.ini"), ini));
  const SettingsFile file(ini);
  const int width = file.Integer(SettingsGroup::Window, "Width", 0);
  EXPECT_NEAR(width, ScaleFromDpi(saved.w, dpi), 1);

  test::ProgramRun again;
  ASSERT_TRUE(test::WriteFileBytes(again.folder().File("velkor.ini"), ini));
  ASSERT_TRUE(again.Start());
  const Size reopened = ClientOf(again.main());
  EXPECT_NEAR(reopened.w, saved.w, 1);
  EXPECT_NEAR(reopened.h, saved.h, 1);
  again.End();

  prefix.Set(96);
  test::ProgramRun at96;
  ASSERT_TRUE(test::WriteFileBytes(at96.folder().File("velkor.ini"), ini));
  ASSERT_TRUE(at96.Start());
  EXPECT_EQ(ClientOf(at96.main()).w, width);
}

// A size stored at 96 DPI that is too large for the screen at this scale
// opens fitted to the monitor's work area, and closing without a resize
// stores the size the file had, not the fitted one.
TEST_P(DisplayScale, StoredSizeIsFittedToTheScreenAndKept) {
  const int dpi = GetParam();
  PrefixDpi prefix(dpi);
  test::ProgramRun run;
  SetPreferenceDefaults();
  SetDefaultColumnWidths();
  ASSERT_TRUE(test::WriteFileBytes(run.folder().File("velkor.ini"),
                                   FormatSettingsFile(CurrentSettings(WindowGeometry{100, 50, 1000, 700}, {}))));
  ASSERT_TRUE(run.Start());
  RECT outer{};
  ASSERT_TRUE(GetWindowRect(run.main(), &outer));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(run.main(), MONITOR_DEFAULTTONEAREST), &monitor));
  EXPECT_GE(outer.left, monitor.rcWork.left);
  EXPECT_GE(outer.top, monitor.rcWork.top);
  EXPECT_LE(outer.right, monitor.rcWork.right);
  EXPECT_LE(outer.bottom, monitor.rcWork.bottom);
  if (dpi == 96) {
    EXPECT_EQ(ClientOf(run.main()).w, 1000);
  }

  ASSERT_TRUE(PostMessageA(run.main(), WM_CLOSE, 0, 0));
  ASSERT_EQ(run.process().WaitForExit(kReactionBound), 0u);
  std::string ini;
  ASSERT_TRUE(test::ReadFileBytes(run.folder().File("velkor.ini"), ini));
  const SettingsFile file(ini);
  EXPECT_EQ(file.Integer(SettingsGroup::Window, "Width", 0), 1000);
  EXPECT_EQ(file.Integer(SettingsGroup::Window, "Height", 0), 700);
}

INSTANTIATE_TEST_SUITE_P(Scales, DisplayScale, ::testing::Values(96, 144, 192));

}  // namespace
}  // namespace velkor
