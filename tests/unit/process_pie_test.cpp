// The diagram's pie: slices by measure, pixels, hit test and info texts.
#include "monitor/process_pie.h"

#include <gtest/gtest.h>

#include <cmath>

#include "procs/format.h"
#include "settings/preferences.h"

namespace velkor {
namespace {

PieRow Row(uint32_t pid, const std::string& cpu, double memoryKb = 0, std::optional<Rgb> background = {}) {
  PieRow row;
  row.pid = pid;
  row.cpuText = cpu;
  row.cpuLoad = ParseDecimal(cpu);
  row.memoryKb = memoryKb;
  row.virtualKb = memoryKb / 2;
  row.pagedKb = 10;
  row.background = background;
  return row;
}

bool InsideDisc(int x, int y, double radius) { return std::hypot(x - 120, y - 120) < radius; }

class Pie : public ::testing::Test {
 protected:
  void SetUp() override { SetPreferenceDefaults(); }
};

TEST_F(Pie, IdleProcessesLeaveTheDiscWhiteApartFromTheOverlay) {
  const std::vector<PieRow> rows = {Row(4, "0.0%"), Row(8, ""), Row(12, "0.0%")};
  const std::vector<PieSlice> slices = PieSlices(PieMeasure::kCpu, rows, {});
  EXPECT_TRUE(slices.empty());
  const Canvas bare = DrawPie(PieMeasure::kCpu, rows, slices, nullptr);
  for (int y = 0; y < kPieSize; ++y) {
    for (int x = 0; x < kPieSize; ++x) {
      if (InsideDisc(x, y, 118)) {
        ASSERT_EQ(bare.At(x, y), MakePixel(255, 255, 255)) << x << "," << y;
      }
    }
  }
  Canvas overlay(kPieSize, kPieSize, MakePixel(0, 0, 255, 128));
  Canvas expected = DrawPie(PieMeasure::kCpu, {}, {}, nullptr);
  DrawOver(expected, overlay, 0, 0);
  EXPECT_EQ(DrawPie(PieMeasure::kCpu, rows, slices, &overlay).pixels, expected.pixels);
}

TEST_F(Pie, SlicesFollowTheMeasure) {
  const std::vector<PieRow> rows = {Row(4, "50.0%", 1024), Row(8, "0.0%", 3072), Row(12, "25.0%", 0)};
  const auto cpu = PieSlices(PieMeasure::kCpu, rows, {});
  ASSERT_EQ(cpu.size(), 2u);
  EXPECT_EQ(cpu[0].index, 0);
  EXPECT_DOUBLE_EQ(cpu[0].sweep, 180);
  EXPECT_EQ(cpu[1].index, 2);
  EXPECT_DOUBLE_EQ(cpu[1].sweep, 90);
  const auto memory = PieSlices(PieMeasure::kMemory, rows, {8192, 0});
  ASSERT_EQ(memory.size(), 2u);
  EXPECT_DOUBLE_EQ(memory[1].sweep, 135);
  EXPECT_TRUE(PieSlices(PieMeasure::kVirtualMemory, rows, {8192, 0}).empty());  // no total
  const auto pool = PieSlices(PieMeasure::kPagedPool, rows, {});
  ASSERT_EQ(pool.size(), 3u);
  EXPECT_DOUBLE_EQ(pool[2].sweep, 120);
  EXPECT_TRUE(PieSlices(PieMeasure::kNonPagedPool, rows, {}).empty());  // sum 0
  const std::vector<PieRow> classes = {Row(1, "", 0, Rgb{255, 192, 192}), Row(2, ""), Row(3, "", 0, Rgb{170, 255, 170}),
                                       Row(4, "", 0, Rgb{255, 255, 255})};
  const auto priority = PieSlices(PieMeasure::kPriority, classes, {});
  ASSERT_EQ(priority.size(), 3u);  // idle, normal (a row without colour counts), high
  EXPECT_EQ(priority[1].index, 2);
  EXPECT_EQ(priority[1].count, 2);
  EXPECT_DOUBLE_EQ(priority[1].sweep, 180);
}

TEST_F(Pie, ProcessesKeepTheirColourFromOneDrawingToTheNext) {
  const std::vector<PieRow> rows = {Row(404, "50.0%"), Row(808, "25.0%")};
  const auto slices = PieSlices(PieMeasure::kCpu, rows, {});
  const Canvas first = DrawPie(PieMeasure::kCpu, rows, slices, nullptr);
  EXPECT_EQ(DrawPie(PieMeasure::kCpu, rows, slices, nullptr).pixels, first.pixels);
  EXPECT_EQ(ProcessSliceColour(404), ProcessSliceColour(404));
  EXPECT_NE(ProcessSliceColour(404), ProcessSliceColour(808));
  // 50 % from the top clockwise: the right half; then 25 %: the lower left.
  EXPECT_EQ(first.At(200, 120), ProcessSliceColour(404));
  EXPECT_EQ(first.At(60, 180), ProcessSliceColour(808));
  EXPECT_EQ(first.At(60, 60), MakePixel(255, 255, 255));
  EXPECT_EQ(first.At(120, 60), MakePixel(0, 0, 0));   // border at the top
  EXPECT_EQ(first.At(120, 180), MakePixel(0, 0, 0));  // border between the two
  EXPECT_EQ(first.At(0, 120), MakePixel(0, 0, 0));    // rim
}

// At another display scale the pie, its borders, rim and hit test grow
// together: the same places, scaled, give the same colours and angles.
TEST_F(Pie, PieAndHitTestScaleWithTheDisplay) {
  const std::vector<PieRow> rows = {Row(404, "50.0%"), Row(808, "25.0%")};
  const auto slices = PieSlices(PieMeasure::kCpu, rows, {});
  for (int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    const auto at = [dpi](int v) { return ScaleToDpi(v, dpi); };
    const Canvas pie = DrawPie(PieMeasure::kCpu, rows, slices, nullptr, dpi);
    ASSERT_EQ(pie.width, at(240));
    ASSERT_EQ(pie.height, at(240));
    EXPECT_EQ(pie.At(at(200), at(120)), ProcessSliceColour(404));
    EXPECT_EQ(pie.At(at(60), at(180)), ProcessSliceColour(808));
    EXPECT_EQ(pie.At(at(60), at(60)), MakePixel(255, 255, 255));
    EXPECT_EQ(pie.At(at(120), at(60)), MakePixel(0, 0, 0));  // border at the top
    EXPECT_EQ(pie.At(0, at(120)), MakePixel(0, 0, 0));       // rim
    EXPECT_EQ(PieAngleAt(at(270), at(150), dpi), 0.0);
    EXPECT_EQ(PieAngleAt(at(150), at(30), dpi), -90.0);
    EXPECT_FALSE(PieAngleAt(at(270) + 1, at(150), dpi));
  }
}

TEST_F(Pie, HitTestCountsTheRimAndFindsTheSlice) {
  EXPECT_EQ(PieAngleAt(270, 150), 0.0);   // distance 1.0, on the right
  EXPECT_EQ(PieAngleAt(150, 30), -90.0);  // distance 1.0, at the top
  EXPECT_EQ(PieAngleAt(150, 150), 90.0);
  EXPECT_EQ(PieAngleAt(30, 150), 180.0);
  EXPECT_FALSE(PieAngleAt(271, 150));
  EXPECT_FALSE(PieAngleAt(236, 236));
  const std::vector<PieSlice> slices = {{0, 90, 1}, {1, 180, 1}, {2, 45.6, 1}};
  EXPECT_EQ(PieSliceAt(slices, -90, false), 0u);
  EXPECT_EQ(PieSliceAt(slices, 0, false), 1u);  // accumulated 90 does not exceed 90
  EXPECT_EQ(PieSliceAt(slices, 225.4, true), 2u);
  EXPECT_EQ(PieSliceAt(slices, 225.5, false), 2u);
  EXPECT_FALSE(PieSliceAt(slices, 225.5, true));  // 316 does not exceed 226 + 90
  EXPECT_FALSE(PieSliceAt(slices, 260, false));
}

TEST_F(Pie, InfoTexts) {
  const PieRow row = Row(7, "3.5%", 2048);
  EXPECT_EQ(ProcessPieInfo(PieMeasure::kCpu, row, "Editor", "Firma"),
            (PieInfoTexts{"Editor", "Firma", "CPU: 3.5%", "Speicher: 2.00 MB"}));
  EXPECT_EQ(ProcessPieInfo(PieMeasure::kVirtualMemory, row, "", "").second, "Virtueller Speicher: 1024.00 KB");
  EXPECT_EQ(ProcessPieInfo(PieMeasure::kPagedPool, row, "", "").second, "Ausgelagerter Pool: 10.00 KB");
  EXPECT_EQ(ProcessPieInfo(PieMeasure::kNonPagedPool, row, "", "").second, "Nicht ausgelagerter Pool: 0 Byte");
  const std::vector<PieRow> rows = {Row(1, "1.5%", 1024), Row(2, "2.0%", 1024), Row(3, "9.0%", 0, Rgb{255, 144, 144})};
  EXPECT_EQ(PriorityPieInfo({2, 240, 2}, rows),
            (PieInfoTexts{"Normale Priorität", "2 Prozesse", "CPU: 3.5%", "Speicher: 2.00 MB"}));
  EXPECT_EQ(PriorityPieInfo({5, 120, 1}, rows).subtitle, "1 Prozess");
  EXPECT_EQ(PriorityPieInfo({5, 120, 1}, rows).title, "Echtzeit Priorität");
}

}  // namespace
}  // namespace velkor
