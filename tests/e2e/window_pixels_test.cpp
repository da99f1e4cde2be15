// What the windows of the real velkor.exe show, read back from the screen:
// wherever no control lies, a window, view panel, page, box or group frame
// shows its own background, and every label and check box on it can be read
// there; on each view and page, after the pages changed and scrolled, at 96
// and 144 DPI.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/layout.h"
#include "gfx/dpi_scale.h"
#include "program_support.h"
#include "support/wine_support.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

constexpr auto kReactionBound = 10s;

uint32_t Colour(Rgb c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

// The screen under a window, 0xRRGGBB per pixel.
struct Shot {
  RECT area{};
  std::vector<uint32_t> pixels;
  [[nodiscard]] uint32_t At(int x, int y) const {
    return pixels[static_cast<size_t>(y - area.top) * static_cast<size_t>(area.right - area.left) +
                  static_cast<size_t>(x - area.left)];
  }
};

Shot TakeShot(HWND window) {
  Shot shot;
  GetWindowRect(window, &shot.area);
  const int w = shot.area.right - shot.area.left, h = shot.area.bottom - shot.area.top;
  win::WindowDc screen(nullptr);
  win::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  win::UniqueBitmap dib(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || !bits) return shot;
  {
    win::SelectScope select(memory.get(), dib.get());
    BitBlt(memory.get(), 0, 0, w, h, screen.get(), shot.area.left, shot.area.top, SRCCOPY);
  }
  GdiFlush();
  const auto* first = static_cast<const uint32_t*>(bits);
  shot.pixels.assign(first, first + static_cast<size_t>(w) * static_cast<size_t>(h));
  for (uint32_t& p : shot.pixels) p &= 0xFFFFFFu;
  return shot;
}

// With VELKOR_E2E_SHOTS naming a folder, each picture checked is kept there
// as a bitmap file named after the state it shows (for the documentation).
void KeepShot(const Shot& shot, const std::string& name) {
  const char* folder = std::getenv("VELKOR_E2E_SHOTS");
  if (!folder || shot.pixels.empty()) return;
  const int w = shot.area.right - shot.area.left, h = shot.area.bottom - shot.area.top;
  BITMAPINFOHEADER info{sizeof info, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD bytes = static_cast<DWORD>(shot.pixels.size() * 4);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof file + sizeof info + bytes), 0, 0,
                        static_cast<DWORD>(sizeof file + sizeof info)};
  std::string data(reinterpret_cast<const char*>(&file), sizeof file);
  data.append(reinterpret_cast<const char*>(&info), sizeof info);
  data.append(reinterpret_cast<const char*>(shot.pixels.data()), bytes);
  test::WriteFileBytes(std::string(folder) + "\\" + name + ".bmp", data);
}

RECT ScreenClient(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT ScreenRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

std::vector<HWND> VisibleChildren(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child)) children.push_back(child);
  return children;
}

// The pixels of `inside` not covered by any of `covers`, within the shot.
class Area {
 public:
  Area(const Shot& shot, RECT inside) : shot_(shot) {
    RECT clipped{};
    IntersectRect(&clipped, &inside, &shot.area);
    rect_ = clipped;
    free_.assign(static_cast<size_t>(std::max(0L, rect_.right - rect_.left) * std::max(0L, rect_.bottom - rect_.top)),
                 1);
  }
  void Remove(RECT cover) {
    RECT r{};
    if (!IntersectRect(&r, &cover, &rect_)) return;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) free_[Index(x, y)] = 0;
  }
  // The free pixels, and of them those in `colour`.
  struct Count {
    int total = 0, matching = 0;
    POINT firstOther{-1, -1};
    uint32_t other = 0;
  };
  [[nodiscard]] Count CountColour(uint32_t colour) const {
    Count count;
    for (int y = rect_.top; y < rect_.bottom; ++y)
      for (int x = rect_.left; x < rect_.right; ++x) {
        if (!free_[Index(x, y)]) continue;
        ++count.total;
        if (shot_.At(x, y) == colour) {
          ++count.matching;
        } else if (count.firstOther.x < 0) {
          count.firstOther = {x, y};
          count.other = shot_.At(x, y);
        }
      }
    return count;
  }

 private:
  [[nodiscard]] size_t Index(int x, int y) const {
    return static_cast<size_t>(y - rect_.top) * static_cast<size_t>(rect_.right - rect_.left) +
           static_cast<size_t>(x - rect_.left);
  }
  const Shot& shot_;
  RECT rect_{};
  std::vector<uint8_t> free_;
};

// A group frame paints no more than its frame and caption: what lies below
// it is meant to show through.
bool GroupFrame(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "Button") == 0 && (GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// What of `window` can be seen: inside every container up to the top-level
// window, and under no window above it at any of those levels.
Area VisiblePart(const Shot& shot, HWND window, RECT rect) {
  for (HWND up = GetParent(window); up; up = GetParent(up)) {
    const RECT client = ScreenClient(up);
    IntersectRect(&rect, &rect, &client);
  }
  Area area(shot, rect);
  for (HWND level = window; level && GetParent(level); level = GetParent(level))
    for (HWND above = GetWindow(level, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV))
      if (IsWindowVisible(above) && !GroupFrame(above)) area.Remove(ScreenRect(above));
  return area;
}

std::string Describe(const Area::Count& count) {
  std::ostringstream text;
  text << count.matching << " of " << count.total << " pixels; first other at " << count.firstOther.x << ","
       << count.firstOther.y << " is 0x" << std::hex << count.other;
  return text.str();
}

// Checks one top-level window of the program as the screen shows it: true
// when every area showed what it should; `failures` collects what did not.
class WindowCheck {
 public:
  WindowCheck(HWND window, int number, int dpi) : window_(window), number_(number), dpi_(dpi) {}

  bool Run(std::string& failures, const std::string& name) {
    shot_ = TakeShot(window_);
    KeepShot(shot_, name);
    failures.clear();
    if (shot_.pixels.empty()) {
      failures = "no picture of the screen";
      return false;
    }
    const uint32_t background = Colour(number_ == kMainWindow ? kWhiteColour : kPanelColour);
    CheckContainer(window_, background, failures);
    return failures.empty();
  }

 private:
  const ControlSpec* SpecOf(HWND control) const {
    const ControlSpec* def = FindControlSpec(GetDlgCtrlID(control));
    return def && def->window == number_ ? def : nullptr;
  }
  static bool Container(const ControlSpec* def) {
    return def && (def->kind == ControlKind::kPanel || def->kind == ControlKind::kBox ||
                   def->kind == ControlKind::kScrollArea);
  }
  static uint32_t BackgroundOf(const ControlSpec& def) {
    const bool white = def.kind == ControlKind::kBox || def.kind == ControlKind::kScrollArea || (def.flags & kWhite);
    return Colour(white ? kWhiteColour : kPanelColour);
  }
  // Controls drawn on their container's background: their caption in it.
  static bool OnBackground(const ControlSpec* def) {
    return def && (def->kind == ControlKind::kLabel || def->kind == ControlKind::kLabelRight ||
                   def->kind == ControlKind::kLink || def->kind == ControlKind::kCheckBox);
  }
  std::string Name(HWND control) const {
    const ControlSpec* def = SpecOf(control);
    return def ? std::to_string(def->id) + " \"" + std::string(def->text) + "\"" : "window";
  }

  void CheckContainer(HWND container, uint32_t background, std::string& failures) {
    Area free = VisiblePart(shot_, container, ScreenClient(container));
    const std::vector<HWND> children = VisibleChildren(container);
    for (HWND child : children) free.Remove(ScreenRect(child));
    Expect(free.CountColour(background), 1.0, "the background of " + Name(container), failures);
    for (HWND child : children) {
      const ControlSpec* def = SpecOf(child);
      if (Container(def)) {
        CheckContainer(child, BackgroundOf(*def), failures);
      } else if (def && def->kind == ControlKind::kGroup) {
        CheckGroupInside(child, children, background, failures);
      } else if (OnBackground(def)) {
        CheckCaption(child, background, failures);
      }
    }
  }

  // Inside its frame a group shows its container's background wherever the
  // controls it frames leave room.
  void CheckGroupInside(HWND group, const std::vector<HWND>& siblings, uint32_t background, std::string& failures) {
    RECT inside = ScreenRect(group);
    inside.left += ScaleToDpi(4, dpi_);
    inside.right -= ScaleToDpi(4, dpi_);
    inside.top += ScaleToDpi(16, dpi_);
    inside.bottom -= ScaleToDpi(4, dpi_);
    Area free = VisiblePart(shot_, group, inside);
    for (HWND sibling : siblings)
      if (sibling != group) free.Remove(ScreenRect(sibling));
    Expect(free.CountColour(background), 1.0, "the inside of group " + Name(group), failures);
  }

  // Mostly the background around the text, and the text itself.
  void CheckCaption(HWND control, uint32_t background, std::string& failures) {
    const Area shown = VisiblePart(shot_, control, ScreenRect(control));
    const Area::Count count = shown.CountColour(background);
    Expect(count, 0.5, "the background of " + Name(control), failures);
    char text[256] = {};
    GetWindowTextA(control, text, sizeof text);
    if (text[0] && count.total > 0 && count.matching == count.total) failures += Name(control) + " shows no text\n";
  }

  static void Expect(const Area::Count& count, double share, const std::string& what, std::string& failures) {
    if (count.total == 0 || count.matching >= share * count.total) return;
    failures += what + ": " + Describe(count) + "\n";
  }

  HWND window_;
  int number_;
  int dpi_;
  Shot shot_;
};

class WindowPixels : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { test::ReadDevicePixels(); }

  // Window `number` painted as it is now, checked until it shows right or
  // the bound passes (a picture reaches the screen a moment after its paint).
  void ExpectShownRight(HWND window, int number, const std::string& state, const std::string& shotName = {}) {
    SCOPED_TRACE(state);
    // No tooltip of a control under the mouse over the picture.
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    WindowCheck check(window, number, GetParam());
    std::string failures;
    const std::string name = (shotName.empty() ? state : shotName) + "_" + std::to_string(GetParam());
    EXPECT_TRUE(test::WaitUntil([&] { return check.Run(failures, name); }, 3s)) << failures;
  }
  HWND Open(int command, const char* title) {
    HWND window = nullptr;
    EXPECT_TRUE(test::WaitUntil([&] { return IsWindowEnabled(run_.main()) != FALSE; }, kReactionBound));
    PostMessageA(run_.main(), WM_COMMAND, static_cast<WPARAM>(command), 0);
    EXPECT_TRUE(test::WaitUntil([&] { return (window = test::FindWindowOf(run_.pid(), {}, title)) != nullptr; },
                                kReactionBound))
        << title;
    if (window) SetForegroundWindow(window);
    return window;
  }
  void Close(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(window); }, kReactionBound));
  }

  test::ProgramRun run_;
};

// Clicks at `point` (screen) until `done` holds, within the reaction bound.
template <typename Condition>
bool ClickUntil(POINT point, Condition done) {
  return test::WaitUntil(
      [&] {
        if (done()) return true;
        test::ClickAtScreen(point.x, point.y);
        return test::WaitUntil(done, 1s);
      },
      kReactionBound);
}

TEST_P(WindowPixels, EveryViewAndPageShowsItsBackgroundAndItsCaptions) {
  const int dpi = GetParam();
  test::PrefixDpi prefix(dpi);
  ASSERT_TRUE(run_.Start());
  HWND main = run_.main();
  // The controls of the views built in the idle time after the start too.
  ASSERT_TRUE(
      test::WaitUntil([&] { return test::Descendant(main, 161) && test::Descendant(main, 200); }, kReactionBound));
  SetForegroundWindow(main);
  constexpr int kPanels[] = {138, 146, 151, 153, 155, 192};
  for (int view = 0; view < 6; ++view) {
    PostMessageA(main, WM_COMMAND, static_cast<WPARAM>(13 + view), 0);
    HWND panel = test::Descendant(main, kPanels[view]);
    ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }, kReactionBound)) << view;
    ExpectShownRight(main, kMainWindow, "view " + std::to_string(view));
  }
  // "Netzwerk" with its first interface chosen by a click: the details filled in.
  PostMessageA(main, WM_COMMAND, 17, 0);
  HWND adapters = test::Descendant(main, 161), heading = test::Descendant(main, 163);
  ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(adapters) != FALSE; }, kReactionBound));
  const RECT header = ScreenRect(GetWindow(adapters, GW_CHILD));
  ASSERT_TRUE(ClickUntil({header.left + ScaleToDpi(40, dpi), header.bottom + ScaleToDpi(8, dpi)},
                         [&] { return test::WindowTextOf(heading) != "Netzwerkadapter w\xE4hlen..."; }));
  ExpectShownRight(main, kMainWindow, "Netzwerk with an interface", "network");

  HWND run = Open(22, "Ausf\xFChren");
  ASSERT_NE(run, nullptr);
  ExpectShownRight(run, kRunWindow, "Ausf\xFChren");
  Close(run);
  HWND diagram = Open(21, "Diagramm");
  ASSERT_NE(diagram, nullptr);
  ExpectShownRight(diagram, kDiagramWindow, "Diagramm");
  Close(diagram);

  HWND prefs = Open(20, "Einstellungen");
  ASSERT_NE(prefs, nullptr);
  HWND general = test::Descendant(prefs, 250), columns = test::Descendant(prefs, 276);
  HWND area = test::Descendant(prefs, 251), first = test::Descendant(prefs, 252);
  const auto pageShown = [](HWND shown, HWND hidden) {
    return [=] { return IsWindowVisible(shown) && !IsWindowVisible(hidden); };
  };
  const auto inClient = [prefs](int x, int y) {
    POINT point{x, y};
    ClientToScreen(prefs, &point);
    return point;
  };
  ExpectShownRight(prefs, kPreferencesWindow, "Allgemein", "preferences_general");
  ASSERT_TRUE(ClickUntil(inClient(ScaleToDpi(250, dpi), ScaleToDpi(35, dpi)), pageShown(columns, general)));
  ExpectShownRight(prefs, kPreferencesWindow, "Spalten", "preferences_columns");
  ASSERT_TRUE(ClickUntil(inClient(ScaleToDpi(120, dpi), ScaleToDpi(35, dpi)), pageShown(general, columns)));
  ExpectShownRight(prefs, kPreferencesWindow, "Allgemein again");
  // The scroll bar's arrows move the page by one step each way.
  const RECT bar = ScreenRect(area);
  const int arrowWidth = GetSystemMetrics(SM_CXVSCROLL), arrowHeight = GetSystemMetrics(SM_CYVSCROLL);
  const int top = test::RectInParent(first).y;
  ASSERT_TRUE(ClickUntil({bar.right - arrowWidth / 2, bar.bottom - arrowHeight / 2},
                         [&] { return test::RectInParent(first).y < top; }));
  ExpectShownRight(prefs, kPreferencesWindow, "Allgemein scrolled down");
  ASSERT_TRUE(ClickUntil({bar.right - arrowWidth / 2, bar.top + arrowHeight / 2},
                         [&] { return test::RectInParent(first).y == top; }));
  ExpectShownRight(prefs, kPreferencesWindow, "Allgemein scrolled back");
  Close(prefs);

  HWND about = Open(134, "Information");
  ASSERT_NE(about, nullptr);
  ExpectShownRight(about, kInformationWindow, "Information");
  PostMessageA(test::Descendant(about, 317), BM_CLICK, 0, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(test::Descendant(about, 318)) != FALSE; }, kReactionBound));
  ExpectShownRight(about, kInformationWindow, "Disclaimer");
  PostMessageA(test::Descendant(about, 322), BM_CLICK, 0, 0);
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(about); }, kReactionBound));
}

INSTANTIATE_TEST_SUITE_P(Scales, WindowPixels, ::testing::Values(96, 144));

}  // namespace
}  // namespace velkor
