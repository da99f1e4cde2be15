// The "Überwachung" view: the three system samples, the processor meter, the
// scrolling processor and memory history graphs and the two memory tables.
// Every picture is drawn here on a Canvas; monitor_view_win.cpp only reads
// the system and shows the canvases in their image controls.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/dpi_scale.h"
#include "monitor/monitor_tick.h"
#include "procs/process_cpu.h"

namespace velkor {

inline constexpr Pixel kGraphBackground = MakePixel(0, 0, 0);
inline constexpr Pixel kGraphGrid = MakePixel(0, 96, 32);
inline constexpr int kGraphHeight = 100;
inline constexpr int kMeterWidth = 90;
inline constexpr int kMeterHeight = 100;

// part ÷ total × 100 rounded half up; 0 when there is no total, and never
// above 100 (an "available" figure above its total counts as nothing used).
int PercentOf(uint64_t part, uint64_t total);
// The memory and page-file loads of `status`, with the processor load given.
MonitorSamples ComputeSamples(int cpuLoad, const MemoryStatus& status);

// The colour of a graph curve at height y: green near the bottom (0 %),
// yellow in the middle, red from y = 31 up.
Pixel GradientColour(int y);
// A line from (x1, y1) to (x2, y2), each pixel coloured by its y (taken back
// to 96-DPI rows for a graph drawn at `dpi`, so a load has one colour at
// every scale). A flat line is drawn from left to right only (nothing when
// x2 < x1).
void DrawGradientLine(Canvas& canvas, int x1, int y1, int x2, int y2, int dpi = kDesignDpi);

// The 90 × 100 meter (scaled to `dpi`): bars 1 to 100 from the bottom up,
// bar i lit when i is below `load`, the others dimmed to a quarter.
void DrawProcessorMeter(Canvas& meter, int load, int dpi = kDesignDpi);

// The graphs are designed 100 pixels high at 96 DPI: the grid rows, the
// curves' rows and the height scale with the display; the time axis (one
// pixel a step, a segment every 10 steps, a grid line every 20) does not.
// The row of `percent` (clamped to 0..100): 0 % on y = 90, 100 % on y = 10 at 96 DPI.
int GraphCurveY(int percent, int dpi = kDesignDpi);

// A segment a graph drew: at step `step`, curve `curve` from `from` to `to`
// percent.
struct GraphSegment {
  int64_t step = 0;
  int curve = 0;
  int from = 0, to = 0;
};

// One scrolling history graph: its pixels, the steps since the last vertical
// grid line, and the previous value of each curve (-1 before the first).
struct HistoryGraph {
  Canvas canvas;
  int counter = 0;
  std::vector<int> previous;
  // The processor graph starts its very first segment at 0 %; the memory
  // graph leaves its first segments out.
  bool firstSegmentFromZero = false;
  int dpi = kDesignDpi;  // the display scale its rows are drawn at
  // The steps taken, and the segments still in sight, oldest first: what
  // the graph is drawn again from at another scale.
  int64_t steps = 0;
  std::deque<GraphSegment> segments;
};

// A black graph of that width with the full grid, `curves` curves.
HistoryGraph CreateHistoryGraph(int width, int curves, bool firstSegmentFromZero, int dpi = kDesignDpi);
// One step: scrolls one pixel to the left, and every 10 steps draws the
// curves' new segments to `current` (one value in percent per curve); every
// 20 steps a vertical grid line at the right edge.
void GraphStep(HistoryGraph& graph, std::span<const int> current);

// The rows a graph draws in, [top, bottom): the grid and every curve lie
// from the top grid row (100 %) down to the bottom one (0 %). The rows
// above and below stay background in every column, so a step changes only
// this band, and only the band needs moving and showing.
struct GraphRows {
  int top = 0, bottom = 0;
};
GraphRows GraphBand(const HistoryGraph& graph);
// New width, history kept right-aligned, the grid continued on the left.
void ResizeHistoryGraph(HistoryGraph& graph, int width);
// The graph drawn again at `width` and another display scale from the
// segments it keeps: what a graph drawn at that scale all along would show.
void RescaleHistoryGraph(HistoryGraph& graph, int width, int dpi);

// The texts of the two memory tables ("1.234 Byte", "(12%)").
struct MemoryTableTexts {
  std::string physicalTotal;
  std::string processes, processesPercent;
  std::string system, systemPercent;
  std::string physicalFree, physicalFreePercent;
  std::string pageFileTotal;
  std::string pageFileUsed, pageFileUsedPercent;
  std::string pageFileFree, pageFileFreePercent;
};
MemoryTableTexts FormatMemoryTables(const MemoryStatus& status, uint64_t workingSetSum);

}  // namespace velkor
