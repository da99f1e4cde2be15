// The monitoring view's pictures, pixel by pixel, and its figures.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "monitor/monitor_view.h"

namespace velkor {
namespace {

constexpr Pixel kBlack = MakePixel(0, 0, 0);

Pixel Rgb(int r, int g, int b) {
  return MakePixel(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
}

// Steps with the same values each time.
void Steps(HistoryGraph& graph, int count, std::vector<int> values) {
  for (int i = 0; i < count; ++i) GraphStep(graph, values);
}

TEST(ProcessorMeter, NothingIsLitAtNoLoad) {
  Canvas meter;
  DrawProcessorMeter(meter, 0);
  ASSERT_EQ(meter.width, 90);
  ASSERT_EQ(meter.height, 100);
  // Row 89 shows bar 3 (2.5 × 3 = 7.5 rounds to the even 8), row 12 bar 99,
  // row 11 bar 100: all dimmed to a quarter.
  EXPECT_EQ(meter.At(10, 89), Rgb(2, 63, 0));
  EXPECT_EQ(meter.At(79, 89), Rgb(2, 63, 0));
  EXPECT_EQ(meter.At(20, 12), Rgb(62, 0, 0));
  EXPECT_EQ(meter.At(20, 11), Rgb(62, 0, 0));
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 90; ++x) {
      const Pixel p = meter.At(x, y);
      ASSERT_LE(PixelRed(p), 63) << x << "," << y;
      ASSERT_LE(PixelGreen(p), 63) << x << "," << y;
    }
}

TEST(ProcessorMeter, FullLoadLightsEveryBarButTheLast) {
  Canvas meter;
  DrawProcessorMeter(meter, 100);
  EXPECT_EQ(meter.At(10, 89), Rgb(8, 255, 0));
  EXPECT_EQ(meter.At(20, 12), Rgb(248, 0, 0));  // bar 99, 2.5 × 99 = 247.5 -> 248
  EXPECT_EQ(meter.At(20, 11), Rgb(62, 0, 0));   // bar 100 stays dim
  // The black splits: the column gap, the lines every 4 rows, the margins.
  for (int y = 10; y < 90; ++y) {
    EXPECT_EQ(meter.At(44, y), kBlack);
    EXPECT_EQ(meter.At(45, y), kBlack);
  }
  for (int y = 10; y <= 90; y += 4) EXPECT_EQ(meter.At(60, y), kBlack) << y;
  EXPECT_EQ(meter.At(9, 50), kBlack);
  EXPECT_EQ(meter.At(80, 50), kBlack);
  EXPECT_EQ(meter.At(20, 9), kBlack);
  EXPECT_EQ(meter.At(20, 91), kBlack);
}

TEST(ProcessorMeter, LitUpToButNotIncludingTheLoad) {
  Canvas meter;
  DrawProcessorMeter(meter, 50);
  EXPECT_EQ(meter.At(20, 52), Rgb(122, 210, 0));  // bar 49, lit (122.5 -> 122)
  EXPECT_EQ(meter.At(20, 51), Rgb(31, 51, 0));    // bar 50, dim
  // Out-of-range loads behave like the nearest valid one.
  Canvas low, zero;
  DrawProcessorMeter(low, -5);
  DrawProcessorMeter(zero, 0);
  EXPECT_EQ(low.pixels, zero.pixels);
}

TEST(GradientLine, ColoursFollowTheHeight) {
  EXPECT_EQ(GradientColour(90), Rgb(30, 255, 0));  // 0 %
  EXPECT_EQ(GradientColour(10), Rgb(255, 0, 0));   // 100 %
  EXPECT_EQ(GradientColour(62), Rgb(254, 246, 0));
  EXPECT_EQ(GradientColour(31), Rgb(255, 0, 0));
  EXPECT_EQ(GradientColour(200), Rgb(0, 255, 0));

  Canvas canvas(20, 100);
  DrawGradientLine(canvas, 0, 90, 9, 90);
  DrawGradientLine(canvas, 10, 10, 19, 10);
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(canvas.At(x, 90), Rgb(30, 255, 0)) << x;
    EXPECT_EQ(canvas.At(x + 10, 10), Rgb(255, 0, 0)) << x;
  }
}

TEST(GradientLine, SteepLinesStepAlongYAndFlatOnesOnlyRightwards) {
  Canvas canvas(10, 100);
  DrawGradientLine(canvas, 0, 90, 9, 10);  // steep, upwards
  int drawn = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 10; ++x)
      if (canvas.At(x, y) != kBlack) {
        ++drawn;
        EXPECT_EQ(canvas.At(x, y), GradientColour(y));
      }
  EXPECT_EQ(drawn, 81);                             // one pixel per row from 90 up to 10
  EXPECT_EQ(canvas.At(5, 50), GradientColour(50));  // 4.5 rounds up
  EXPECT_EQ(canvas.At(0, 90), GradientColour(90));
  EXPECT_EQ(canvas.At(9, 10), GradientColour(10));

  Canvas flat(10, 100);
  DrawGradientLine(flat, 9, 50, 0, 52);  // right to left: nothing
  DrawGradientLine(flat, 3, 40, 3, 40);  // one point
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(flat.At(x, y), (x == 3 && y == 40) ? GradientColour(40) : kBlack) << x << "," << y;
}

TEST(HistoryGraph, StartsWithTheFullGrid) {
  const HistoryGraph graph = CreateHistoryGraph(45, 1, true);
  ASSERT_EQ(graph.canvas.width, 45);
  ASSERT_EQ(graph.canvas.height, 100);
  for (int x = 0; x < 45; ++x) {
    const bool vertical = x == 44 || x == 24 || x == 4;
    EXPECT_EQ(graph.canvas.At(x, 40), vertical ? kGraphGrid : kBlack) << x;
    EXPECT_EQ(graph.canvas.At(x, 30), kGraphGrid) << x;
    EXPECT_EQ(graph.canvas.At(x, 9), kBlack) << x;
    EXPECT_EQ(graph.canvas.At(x, 90), kGraphGrid) << x;
  }
  EXPECT_EQ(graph.canvas.At(44, 10), kGraphGrid);
  EXPECT_EQ(graph.canvas.At(44, 89), kGraphGrid);
}

TEST(HistoryGraph, ScrollsOnePixelPerStepAndDrawsASegmentEveryTenSteps) {
  HistoryGraph graph = CreateHistoryGraph(40, 1, true);
  Steps(graph, 1, {50});
  EXPECT_EQ(graph.counter, 1);
  EXPECT_EQ(graph.canvas.At(39, 40), kBlack);  // the new column: only the grid
  EXPECT_EQ(graph.canvas.At(39, 50), kGraphGrid);
  EXPECT_EQ(graph.canvas.At(38, 40), kGraphGrid);  // the old right edge line
  EXPECT_EQ(graph.canvas.At(18, 40), kGraphGrid);

  Steps(graph, 9, {50});
  // The very first segment of the processor graph rises from 0 %.
  EXPECT_EQ(graph.canvas.At(30, 90), GradientColour(90));
  EXPECT_EQ(graph.canvas.At(39, 50), GradientColour(50));
  EXPECT_EQ(graph.canvas.At(29, 40), kGraphGrid);
  EXPECT_EQ(graph.previous[0], 50);

  Steps(graph, 10, {75});
  EXPECT_EQ(graph.counter, 0);
  // A vertical line at the right edge, under the new segment 50 % -> 75 %.
  EXPECT_EQ(graph.canvas.At(39, 40), kGraphGrid);
  EXPECT_EQ(graph.canvas.At(39, 30), GradientColour(30));
  EXPECT_EQ(graph.canvas.At(30, 50), GradientColour(50));
  // The first segment moved ten pixels on.
  EXPECT_EQ(graph.canvas.At(20, 90), GradientColour(90));
  EXPECT_EQ(graph.canvas.At(29, 50), GradientColour(50));
}

TEST(HistoryGraph, MemoryGraphLeavesItsFirstSegmentsOutAndDrawsTwoCurves) {
  HistoryGraph graph = CreateHistoryGraph(40, 2, false);
  Steps(graph, 10, {50, 20});
  // No previous values yet: no curve at all, only the grid.
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 40; ++x) {
      const Pixel p = graph.canvas.At(x, y);
      ASSERT_TRUE(p == kBlack || p == kGraphGrid) << x << "," << y;
    }
  EXPECT_EQ(graph.previous, (std::vector<int>{50, 20}));
  Steps(graph, 10, {60, 20});
  EXPECT_EQ(graph.canvas.At(30, 50), GradientColour(50));
  EXPECT_EQ(graph.canvas.At(39, 42), GradientColour(42));
  for (int x = 30; x < 40; ++x) EXPECT_EQ(graph.canvas.At(x, 74), GradientColour(74)) << x;
}

TEST(HistoryGraph, ResizingKeepsTheNewestHistoryAtTheRightEdge) {
  HistoryGraph graph = CreateHistoryGraph(40, 1, true);
  Steps(graph, 10, {80});
  ASSERT_EQ(graph.counter, 10);
  const Canvas old = graph.canvas;

  ResizeHistoryGraph(graph, 60);
  ASSERT_EQ(graph.canvas.width, 60);
  ASSERT_EQ(graph.canvas.height, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(graph.canvas.At(x + 20, y), old.At(x, y)) << x << "," << y;
  // The new space on the left: an empty grid whose vertical lines continue
  // the ones in the history (every 20 pixels; the curve lies right of 50).
  for (int x = 0; x < 50; ++x) {
    const bool vertical = x == 9 || x == 29 || x == 49;
    EXPECT_EQ(graph.canvas.At(x, 40), vertical ? kGraphGrid : kBlack) << x;
    if (x < 20) {
      EXPECT_EQ(graph.canvas.At(x, 70), kGraphGrid) << x;
    }
  }
  // Stepping on keeps the same rhythm: the next line comes after 10 steps.
  Steps(graph, 10, {80});
  EXPECT_EQ(graph.canvas.At(59, 40), kGraphGrid);
  EXPECT_EQ(graph.canvas.At(39, 40), kGraphGrid);
  EXPECT_EQ(graph.canvas.At(19, 40), kGraphGrid);

  const Canvas wide = graph.canvas;
  ResizeHistoryGraph(graph, 25);
  ASSERT_EQ(graph.canvas.width, 25);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 25; ++x) ASSERT_EQ(graph.canvas.At(x, y), wide.At(x + 35, y)) << x << "," << y;

  ResizeHistoryGraph(graph, -10);  // a window shrunk below the graph's margin
  EXPECT_EQ(graph.canvas.width, 1);
  Steps(graph, 30, {10});  // and it still steps
  EXPECT_EQ(graph.canvas.width, 1);
}

// A graph moved to another scale shows its history there as a graph drawn at
// that scale all along would, and back at its first scale what it showed
// before; segments scrolled out are let go.
TEST(HistoryGraph, RescalingRedrawsTheHistoryAtTheNewHeight) {
  for (bool processor : {true, false}) {
    SCOPED_TRACE(processor);
    const int curves = processor ? 1 : 2;
    HistoryGraph moved = CreateHistoryGraph(57, curves, processor);
    HistoryGraph there = CreateHistoryGraph(57, curves, processor, 144);
    for (int step = 0; step < 137; ++step) {  // loads that rise and fall, ending between grid lines
      const std::vector<int> values{(step * 37) % 101, 100 - (step * 13) % 101};
      GraphStep(moved, values);
      GraphStep(there, values);
    }
    const Canvas before = moved.canvas;
    EXPECT_LE(moved.segments.size(), static_cast<size_t>(curves * 8));
    RescaleHistoryGraph(moved, 57, 144);
    EXPECT_EQ(moved.canvas.height, 150);
    EXPECT_TRUE(moved.canvas.pixels == there.canvas.pixels);
    RescaleHistoryGraph(moved, 57, 96);
    EXPECT_TRUE(moved.canvas.pixels == before.pixels);
    // And it steps on from there as if it had never moved.
    const std::vector<int> last{40, 60};
    Steps(moved, 15, last);
    Steps(there, 15, last);
    RescaleHistoryGraph(there, 57, 96);
    EXPECT_TRUE(moved.canvas.pixels == there.canvas.pixels);
  }
}

// At another display scale the rows of the design scale with one rule; a load
// keeps its colour; the time axis (a pixel a step) stays.
TEST(HistoryGraph, RowsHeightAndMeterScaleWithTheDisplay) {
  for (int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    HistoryGraph graph = CreateHistoryGraph(60, 1, true, dpi);
    ASSERT_EQ(graph.canvas.height, ScaleToDpi(100, dpi));
    for (int row : {10, 30, 50, 70, 90}) EXPECT_EQ(graph.canvas.At(0, ScaleToDpi(row, dpi)), kGraphGrid);
    EXPECT_EQ(GraphCurveY(0, dpi), ScaleToDpi(90, dpi));
    EXPECT_EQ(GraphCurveY(100, dpi), ScaleToDpi(10, dpi));
    EXPECT_EQ(GraphCurveY(150, dpi), GraphCurveY(100, dpi));
    // A flat 50 % line: its 10 new pixels at the 50 % row, in the 50 % colour.
    Steps(graph, 10, {50});
    Steps(graph, 10, {50});
    const int y = GraphCurveY(50, dpi);
    EXPECT_EQ(graph.canvas.At(59, y), GradientColour(GraphCurveY(50, 96)));
    EXPECT_EQ(graph.canvas.At(50, y), GradientColour(GraphCurveY(50, 96)));

    ResizeHistoryGraph(graph, 80);
    EXPECT_EQ(graph.canvas.height, ScaleToDpi(100, dpi));
    EXPECT_EQ(graph.canvas.At(79, y), GradientColour(GraphCurveY(50, 96)));

    Canvas meter;
    DrawProcessorMeter(meter, 100, dpi);
    EXPECT_EQ(meter.width, ScaleToDpi(90, dpi));
    EXPECT_EQ(meter.height, ScaleToDpi(100, dpi));
    EXPECT_EQ(meter.At(ScaleToDpi(44, dpi), ScaleToDpi(50, dpi)), kBlack);  // the gap between the columns
  }
}

// A step moves and shows only the band of rows the graph draws in; that is
// sound only if nothing is ever drawn outside it, at any scale and load,
// and if the band holds the grid's outer rows.
TEST(HistoryGraph, NothingIsDrawnOutsideTheBandAStepMoves) {
  for (int dpi : {96, 120, 144, 168, 192}) {
    for (const std::vector<int>& values :
         {std::vector<int>{0, 100}, std::vector<int>{100, 0}, std::vector<int>{37, 63}}) {
      HistoryGraph graph = CreateHistoryGraph(70, 2, true, dpi);
      Steps(graph, 25, {values[0], values[1]});
      Steps(graph, 20, {values[1], values[0]});
      const GraphRows band = GraphBand(graph);
      ASSERT_LT(band.top, band.bottom);
      for (int y = 0; y < graph.canvas.height; ++y) {
        if (y >= band.top && y < band.bottom) continue;
        for (int x = 0; x < graph.canvas.width; ++x)
          ASSERT_EQ(graph.canvas.At(x, y), kBlack) << "dpi " << dpi << " at " << x << "," << y;
      }
      EXPECT_EQ(graph.canvas.At(0, band.top), kGraphGrid) << dpi;
      EXPECT_EQ(graph.canvas.At(0, band.bottom - 1), kGraphGrid) << dpi;
    }
  }
}

TEST(Samples, RoundHalfUpAndNeverDivideByZero) {
  EXPECT_EQ(PercentOf(1, 8), 13);  // 12.5
  EXPECT_EQ(PercentOf(1, 3), 33);
  EXPECT_EQ(PercentOf(2, 3), 67);
  EXPECT_EQ(PercentOf(0, 0), 0);
  EXPECT_EQ(PercentOf(5, 0), 0);
  EXPECT_EQ(PercentOf(9, 4), 100);
  EXPECT_EQ(PercentOf(UINT64_MAX / 2, UINT64_MAX), 50);
  EXPECT_EQ(PercentOf(UINT64_MAX, UINT64_MAX), 100);

  MemoryStatus status;
  status.totalPhysical = 1000;
  status.availablePhysical = 875;  // 12.5 % in use
  status.totalPageFile = 16ull << 30;
  status.availablePageFile = 4ull << 30;
  const MonitorSamples samples = ComputeSamples(42, status);
  EXPECT_EQ(samples.cpuLoad, 42);
  EXPECT_EQ(samples.memoryLoad, 13);
  EXPECT_EQ(samples.pageFileLoad, 75);
  status.availablePhysical = 2000;  // more available than there is
  EXPECT_EQ(ComputeSamples(150, status).memoryLoad, 0);
  EXPECT_EQ(ComputeSamples(150, status).cpuLoad, 100);
  EXPECT_EQ(ComputeSamples(0, MemoryStatus{}).pageFileLoad, 0);
}

TEST(MemoryTables, BytesAndPercentages) {
  MemoryStatus status;
  status.totalPhysical = 1000000;
  status.availablePhysical = 250000;
  status.totalPageFile = 2000;
  status.availablePageFile = 1500;
  MemoryTableTexts t = FormatMemoryTables(status, 500000);
  EXPECT_EQ(t.physicalTotal, "1.000.000 Byte");
  EXPECT_EQ(t.processes, "500.000 Byte");
  EXPECT_EQ(t.processesPercent, "(50%)");
  EXPECT_EQ(t.system, "250.000 Byte");
  EXPECT_EQ(t.systemPercent, "(25%)");
  EXPECT_EQ(t.physicalFree, "250.000 Byte");
  EXPECT_EQ(t.physicalFreePercent, "(25%)");
  EXPECT_EQ(t.pageFileTotal, "2.000 Byte");
  EXPECT_EQ(t.pageFileUsed, "500 Byte");
  EXPECT_EQ(t.pageFileUsedPercent, "(25%)");
  EXPECT_EQ(t.pageFileFree, "1.500 Byte");
  EXPECT_EQ(t.pageFileFreePercent, "(75%)");

  // Working sets share pages, so their sum can pass what is in use.
  t = FormatMemoryTables(status, 900000);
  EXPECT_EQ(t.system, "0 Byte");
  EXPECT_EQ(t.systemPercent, "(0%)");
  t = FormatMemoryTables(MemoryStatus{}, 0);
  EXPECT_EQ(t.physicalTotal, "0 Byte");
  EXPECT_EQ(t.physicalFreePercent, "(0%)");
}

}  // namespace
}  // namespace velkor
