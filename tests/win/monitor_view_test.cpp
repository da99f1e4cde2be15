// The "Überwachung" view in the real windows: labels, tables, the pictures in
// the image controls, and no GDI objects spent per graph step or rebuild.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "app/program_windows.h"
#include "gfx/bitmap.h"
#include "procs/process_cpu_win.h"
#include "procs/process_library.h"
#include "monitor/monitor_view_win.h"
#include "settings/preferences.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

using test::Pump;

std::string TextOf(int id) {
  char text[128] = {};
  GetWindowTextA(ControlHandle(id), text, sizeof text);
  return text;
}

int ClientWidth() {
  RECT r{};
  GetClientRect(MainWindow, &r);
  return r.right;
}

// The picture a static image control shows, read straight from its DIB section.
struct ShownPicture {
  HBITMAP handle = nullptr;
  int width = 0;
  int height = 0;
  const uint32_t* bits = nullptr;
  [[nodiscard]] uint32_t Rgb(int x, int y) const { return bits[y * width + x] & 0xFFFFFFu; }
  [[nodiscard]] std::vector<uint32_t> Copy() const {
    return {bits, bits + static_cast<size_t>(width) * static_cast<size_t>(height)};
  }
};

ShownPicture PictureIn(int id) {
  ShownPicture picture;
  picture.handle = reinterpret_cast<HBITMAP>(SendMessageA(ControlHandle(id), STM_GETIMAGE, IMAGE_BITMAP, 0));
  DIBSECTION section{};
  if (!picture.handle || GetObjectA(picture.handle, sizeof section, &section) != sizeof section) return {};
  picture.width = section.dsBm.bmWidth;
  picture.height = std::abs(section.dsBm.bmHeight);
  picture.bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
  return picture;
}

// Widens the main window by `delta` pixels.
void Widen(int delta) {
  RECT outer{};
  GetWindowRect(MainWindow, &outer);
  SetWindowPos(MainWindow, nullptr, 0, 0, outer.right - outer.left + delta, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
}

class MonitorViewWindows : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    ShowView(5, false);
  }
};

// A sample reads the meter started at start-up and never starts it itself: a
// meter that could not start keeps the last figure (no restart, no alarm).
TEST(MonitorSample, NeverStartsTheMachineMeter) {
  EndCpuUsage();
  LastSample.cpuLoad = 42;
  for (int i = 0; i < 2; ++i) TakeMonitorSample(false);
  EXPECT_EQ(LastSample.cpuLoad, 42);
}

TEST_F(MonitorViewWindows, SamplesFillTheLabelsAndTheImagesShowTheCanvases) {
  for (int i = 0; i < 3; ++i) TakeMonitorSample(true);
  for (int value : {LastSample.cpuLoad, LastSample.memoryLoad, LastSample.pageFileLoad}) {
    EXPECT_GE(value, 0);
    EXPECT_LE(value, 100);
  }
  EXPECT_GT(LastSample.memoryLoad, 0);  // the test itself uses memory
  EXPECT_EQ(TextOf(197), std::to_string(LastSample.cpuLoad) + "%");
  EXPECT_EQ(TextOf(202), std::to_string(LastSample.memoryLoad) + "%");
  EXPECT_EQ(TextOf(204), std::to_string(LastSample.pageFileLoad) + "%");

  const int client = ClientWidth();
  const ShownPicture meter = PictureIn(194);
  const ShownPicture processor = PictureIn(195);
  const ShownPicture memory = PictureIn(200);
  ASSERT_NE(meter.bits, nullptr);
  ASSERT_NE(processor.bits, nullptr);
  ASSERT_NE(memory.bits, nullptr);
  EXPECT_EQ(meter.width, 90);
  EXPECT_EQ(meter.height, 100);
  EXPECT_EQ(processor.width, client - 130);
  EXPECT_EQ(processor.height, 100);
  EXPECT_EQ(memory.width, client - 320);
  EXPECT_EQ(memory.height, 100);
  EXPECT_EQ(meter.Rgb(44, 50), 0u);  // the meter's column gap
  // The whole picture is visible inside the sunken edge.
  for (int id : {194, 195, 200}) {
    RECT inside{};
    GetClientRect(ControlHandle(id), &inside);
    EXPECT_EQ(inside.right, PictureIn(id).width) << id;
    EXPECT_EQ(inside.bottom, 100) << id;
  }

  // Steps go into the same bitmaps: the new right column shows only the grid.
  for (int i = 0; i < 5; ++i) StepMonitorGraphs();
  const ShownPicture stepped = PictureIn(195);
  EXPECT_EQ(stepped.handle, processor.handle);
  EXPECT_EQ(stepped.Rgb(stepped.width - 1, 30), 0x006020u);
  EXPECT_EQ(stepped.Rgb(stepped.width - 1, 40), 0u);
  EXPECT_EQ(stepped.Rgb(stepped.width - 6, 40), 0x006020u);  // the first vertical line, moved on
}

// Steps are painted straight onto the screen; whatever paints the control
// later (its own repaint or a print) shows the graph as stepped, the same
// picture a look at the control's image finds.
TEST_F(MonitorViewWindows, AControlPaintedAfterStepsShowsTheGraphAsStepped) {
  TakeMonitorSample(true);
  StepMonitorGraphs();
  const std::vector<uint32_t> first = PictureIn(195).Copy();
  ASSERT_FALSE(first.empty());
  const ShownPicture shown = PictureIn(195);
  for (int i = 0; i < 7; ++i) StepMonitorGraphs();

  win::UniqueBitmap target = CanvasToBitmap(Canvas(shown.width, shown.height, 0));
  win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  DIBSECTION section{};
  ASSERT_TRUE(target && dc && GetObjectA(target.get(), sizeof section, &section) == sizeof section);
  {
    win::SelectScope select(dc.get(), target.get());
    SendMessageA(ControlHandle(195), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  }
  GdiFlush();
  const void* bits = section.dsBm.bmBits;
  const auto* printed = static_cast<const uint32_t*>(bits);
  const std::vector<uint32_t> looked = PictureIn(195).Copy();
  ASSERT_EQ(looked.size(), first.size());
  EXPECT_NE(looked, first);
  for (size_t i = 0; i < looked.size(); ++i) ASSERT_EQ(printed[i] & 0xFFFFFFu, looked[i] & 0xFFFFFFu) << i;
  // Seven steps moved the first picture seven columns to the left.
  for (int y = 0; y < shown.height; ++y)
    for (int x = 0; x + 7 < shown.width; ++x)
      ASSERT_EQ(looked[static_cast<size_t>(y * shown.width + x)] & 0xFFFFFFu,
                first[static_cast<size_t>(y * shown.width + x + 7)] & 0xFFFFFFu)
          << x << "," << y;
}

TEST_F(MonitorViewWindows, ResizingRebuildsTheGraphsWithTheirHistoryAtTheRight) {
  TakeMonitorSample(true);
  for (int i = 0; i < 10; ++i) StepMonitorGraphs();
  const ShownPicture before = PictureIn(195);
  ASSERT_NE(before.bits, nullptr);
  const std::vector<uint32_t> old = before.Copy();

  Widen(60);
  DispatchEvent({kEventSize, 0, 0, kMainWindow});  // what the loop does with the size event
  const int client = ClientWidth();
  const ShownPicture processor = PictureIn(195);
  const ShownPicture memory = PictureIn(200);
  ASSERT_NE(processor.bits, nullptr);
  ASSERT_NE(memory.bits, nullptr);
  EXPECT_EQ(processor.width, client - 135);
  EXPECT_EQ(memory.width, client - 328);
  const int offset = processor.width - before.width;
  ASSERT_GT(offset, 0);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < before.width; ++x)
      ASSERT_EQ(processor.Rgb(x + offset, y), old[static_cast<size_t>(y * before.width + x)] & 0xFFFFFFu)
          << x << "," << y;
}

TEST_F(MonitorViewWindows, PauseHoldsItsGraphOnly) {
  TakeMonitorSample(true);
  StepMonitorGraphs();
  SendMessageA(ControlHandle(198), BM_SETCHECK, BST_CHECKED, 0);
  const std::vector<uint32_t> processor = PictureIn(195).Copy();
  const std::vector<uint32_t> memory = PictureIn(200).Copy();
  for (int i = 0; i < 25; ++i) StepMonitorGraphs();
  EXPECT_EQ(PictureIn(195).Copy(), processor);
  EXPECT_NE(PictureIn(200).Copy(), memory);

  SendMessageA(ControlHandle(198), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageA(ControlHandle(205), BM_SETCHECK, BST_CHECKED, 0);
  const std::vector<uint32_t> held = PictureIn(200).Copy();
  for (int i = 0; i < 25; ++i) StepMonitorGraphs();
  EXPECT_NE(PictureIn(195).Copy(), processor);
  EXPECT_EQ(PictureIn(200).Copy(), held);
}

TEST_F(MonitorViewWindows, MemoryTablesShowBytesAndPercentages) {
  UpdateMemoryTables(123456789);
  EXPECT_EQ(TextOf(213), "123.456.789 Byte");
  for (int id : {209, 216, 219, 223, 225, 228}) {
    const std::string text = TextOf(id);
    EXPECT_GT(text.size(), 5u) << id;
    EXPECT_EQ(text.substr(text.size() - 5), " Byte") << id;
  }
  for (int id : {214, 217, 220, 226, 229}) {
    const std::string text = TextOf(id);
    ASSERT_GE(text.size(), 4u) << id;
    EXPECT_EQ(text.front(), '(') << id;
    EXPECT_EQ(text.substr(text.size() - 2), "%)") << id;
  }
}

TEST_F(MonitorViewWindows, TheTickSamplesInEveryViewButStepsGraphsOnlyInItsOwn) {
  ShowView(0, false);
  LastSample = MonitorSamples{-1, -1, -1};
  ResetStampsForFirstPass();
  MonitorTick();
  EXPECT_GE(LastSample.memoryLoad, 0);
  EXPECT_GE(LastSample.cpuLoad, 0);
  EXPECT_EQ(TextOf(202), "");  // the view's own labels wait for the view
  bool shown = false;
  for (const StatusBarText& text : StatusBarTexts())
    shown = shown || text.text == "RAM: " + std::to_string(LastSample.memoryLoad) + "%";
  EXPECT_TRUE(shown) << "the status bar shows the new sample";
  EXPECT_EQ(PictureIn(195).handle, nullptr);

  ShowView(5, false);
  ResetStampsForFirstPass();
  MonitorTick();
  EXPECT_EQ(TextOf(202), std::to_string(LastSample.memoryLoad) + "%");
  EXPECT_NE(PictureIn(195).handle, nullptr);
}

// GetGuiResources counts nothing under Wine, so the handles themselves are
// checked too: steps keep the three bitmaps, rebuilds free the ones replaced.
TEST_F(MonitorViewWindows, StepsAndRebuildsSpendNoGdiObjects) {
  TakeMonitorSample(true);
  StepMonitorGraphs();
  RebuildGraphCanvases();
  const HBITMAP shown[] = {PictureIn(194).handle, PictureIn(195).handle, PictureIn(200).handle};
  const DWORD gdi = test::OwnGdiObjectCount();
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  for (int i = 0; i < 1000; ++i) {
    StepMonitorGraphs();
    if (i % 15 == 0) TakeMonitorSample(true);
  }
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
  EXPECT_EQ(PictureIn(194).handle, shown[0]);
  EXPECT_EQ(PictureIn(195).handle, shown[1]);
  EXPECT_EQ(PictureIn(200).handle, shown[2]);

  // One resize first: the window's own drawing surface grows once.
  Widen(30);
  RebuildGraphCanvases();
  StepMonitorGraphs();
  const DWORD gdiResized = test::OwnGdiObjectCount();
  std::vector<HBITMAP> replaced = {shown[1], shown[2], PictureIn(195).handle, PictureIn(200).handle};
  for (int i = 0; i < 100; ++i) {
    Widen(i % 2 ? -30 : 30);
    RebuildGraphCanvases();
    StepMonitorGraphs();
    const HBITMAP processor = PictureIn(195).handle, memory = PictureIn(200).handle;
    ASSERT_NE(processor, replaced[replaced.size() - 2]);
    ASSERT_NE(memory, replaced.back());
    replaced.push_back(processor);
    replaced.push_back(memory);
  }
  EXPECT_LE(test::OwnGdiObjectCount(), gdiResized);
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
  const HBITMAP current[] = {PictureIn(195).handle, PictureIn(200).handle};
  for (HBITMAP handle : replaced)
    if (handle != current[0] && handle != current[1]) {
      ASSERT_EQ(GetObjectType(handle), 0u);
    }
  // And the bitmaps go with the view.
  DestroyMonitorView();
  EXPECT_EQ(PictureIn(195).handle, nullptr);
  for (HBITMAP handle : {shown[0], current[0], current[1]}) EXPECT_EQ(GetObjectType(handle), 0u);
}

}  // namespace
}  // namespace velkor
