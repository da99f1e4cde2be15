#include "monitor/monitor_view.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gfx/contrast.h"
#include "procs/format.h"

namespace velkor {

namespace {

constexpr int kGridRows[] = {10, 30, 50, 70, 90};
constexpr int kGridTop = 10;
constexpr int kGridLength = 80;

uint8_t Clamp8(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// In the system's high contrast the graphs take its window colour, the grid
// its greyed-text colour and the curves and lit bars its text colour.
Pixel GraphBackground() { return HighContrast() ? HighContrast()->window : kGraphBackground; }
Pixel GraphGrid() { return HighContrast() ? HighContrast()->grey : kGraphGrid; }

void DrawVerticalGridLine(Canvas& canvas, int x, int dpi) {
  const int top = ScaleToDpi(kGridTop, dpi);
  canvas.FillRect(x, top, 1, ScaleToDpi(kGridTop + kGridLength, dpi) - top, GraphGrid());
}

void DrawGridRows(Canvas& canvas, int x, int width, int dpi) {
  for (int y : kGridRows) canvas.FillRect(x, ScaleToDpi(y, dpi), width, 1, GraphGrid());
}

// The grid of a graph whose last vertical line was drawn `counter` steps ago.
void DrawGrid(Canvas& canvas, int counter, int dpi) {
  DrawGridRows(canvas, 0, canvas.width, dpi);
  for (int x = canvas.width - 1 - counter; x >= 0; x -= 20) DrawVerticalGridLine(canvas, x, dpi);
}

// A segment ending `right`, ten columns wide.
void DrawSegment(HistoryGraph& graph, int right, int from, int to) {
  DrawGradientLine(graph.canvas, right - 9, GraphCurveY(from, graph.dpi), right, GraphCurveY(to, graph.dpi), graph.dpi);
}

void DrawSegments(HistoryGraph& graph, std::span<const int> current) {
  const int right = graph.canvas.width - 1;
  const size_t curves = std::min(graph.previous.size(), current.size());
  for (size_t c = 0; c < curves; ++c) {
    int& previous = graph.previous[c];
    const int value = std::clamp(current[c], 0, 100);
    if (previous >= 0 || graph.firstSegmentFromZero) {
      DrawSegment(graph, right, std::max(previous, 0), value);
      graph.segments.push_back({graph.steps, static_cast<int>(c), std::max(previous, 0), value});
    }
    previous = value;
  }
  // Segments scrolled out on the left are no longer needed.
  while (!graph.segments.empty() && graph.steps - graph.segments.front().step > right + 9) graph.segments.pop_front();
}

std::string Bytes(uint64_t value) {
  return GroupThousands(static_cast<int64_t>(std::min<uint64_t>(value, INT64_MAX))) + " Byte";
}
// Appended rather than "(" + text: g++ 12 at -O3 reports a false overlap
// (-Wrestrict) inside that concatenation.
std::string Percent(uint64_t part, uint64_t total) {
  std::string text = "(";
  text.append(std::to_string(PercentOf(part, total))).append("%)");
  return text;
}

}  // namespace

int PercentOf(uint64_t part, uint64_t total) {
  if (total == 0) return 0;
  part = std::min(part, total);
  // Integer arithmetic, exact: half up means + total / 2 before dividing.
  // Sizes beyond 2^56 bytes lose their lowest bits first, so part × 200
  // cannot overflow.
  while (total > UINT64_MAX / 200 - 1) {
    part >>= 1;
    total >>= 1;
  }
  return static_cast<int>((part * 200 + total) / (total * 2));
}

MonitorSamples ComputeSamples(int cpuLoad, const MemoryStatus& status) {
  MonitorSamples samples;
  samples.cpuLoad = std::clamp(cpuLoad, 0, 100);
  const auto used = [](uint64_t total, uint64_t available) { return total - std::min(available, total); };
  samples.memoryLoad = PercentOf(used(status.totalPhysical, status.availablePhysical), status.totalPhysical);
  samples.pageFileLoad = PercentOf(used(status.totalPageFile, status.availablePageFile), status.totalPageFile);
  return samples;
}

Pixel GradientColour(int y) { return MakePixel(Clamp8(750 - 8 * y), Clamp8(8 * y - 250), 0); }

int GraphCurveY(int percent, int dpi) {
  const int bottom = ScaleToDpi(90, dpi);
  return bottom - std::clamp(percent, 0, 100) * (bottom - ScaleToDpi(10, dpi)) / 100;
}

void DrawGradientLine(Canvas& canvas, int x1, int y1, int x2, int y2, int dpi) {
  const ContrastColours* contrast = HighContrast();
  const auto GradientColour = [dpi, contrast](int y) {
    return contrast ? contrast->text : velkor::GradientColour(ScaleFromDpi(y, dpi));
  };
  const int dx = x2 - x1, dy = y2 - y1;
  if (dx == 0 && dy == 0) {  // a single point
    canvas.Set(x1, y1, GradientColour(y1));
    return;
  }
  if (std::abs(dy) >= std::abs(dx)) {
    const int step = dy > 0 ? 1 : -1;
    for (int y = y1;; y += step) {
      const auto x = static_cast<int>(RoundHalfUpDouble(static_cast<double>(y - y1) / dy * dx + x1));
      canvas.Set(x, y, GradientColour(y));
      if (y == y2) break;
    }
  } else {
    for (int x = x1; x <= x2; ++x) {
      const auto y = static_cast<int>(RoundHalfUpDouble(static_cast<double>(x - x1) / dx * dy + y1));
      canvas.Set(x, y, GradientColour(y));
    }
  }
}

void DrawProcessorMeter(Canvas& meter, int load, int dpi) {
  const int width = ScaleToDpi(kMeterWidth, dpi), height = ScaleToDpi(kMeterHeight, dpi);
  if (meter.width != width || meter.height != height) meter = Canvas(width, height);
  meter.Fill(GraphBackground());
  // Rectangles of the 96-DPI design, scaled by their edges.
  const auto FillRect = [&meter, dpi](int x, int y, int w, int h, Pixel colour) {
    struct Box {
      int x, y, w, h;
    };
    const Box r = ScaleRectToDpi(Box{x, y, w, h}, dpi);
    meter.FillRect(r.x, r.y, r.w, r.h, colour);
  };
  for (int i = 1; i <= 100; ++i) {
    const int y = 90 - static_cast<int>(std::lround(0.8 * i));
    // 2.5 × i rounds halves to even (2.5 -> 2, 7.5 -> 8).
    int red = std::clamp(static_cast<int>(std::nearbyint(2.5 * i)), 0, 255);
    int green = std::clamp(455 - 5 * i, 0, 255);
    if (i >= load) {
      red /= 4;
      green /= 4;
    }
    const ContrastColours* contrast = HighContrast();
    const Pixel bar = !contrast   ? MakePixel(static_cast<uint8_t>(red), static_cast<uint8_t>(green), 0)
                      : i >= load ? contrast->grey
                                  : contrast->text;
    FillRect(10, y, 70, 2, bar);
  }
  // The gaps that split the bars into two columns of segments.
  FillRect(44, 10, 2, 80, GraphBackground());
  for (int y = 10; y <= 90; y += 4) FillRect(10, y, 70, 1, GraphBackground());
}

HistoryGraph CreateHistoryGraph(int width, int curves, bool firstSegmentFromZero, int dpi) {
  HistoryGraph graph;
  graph.dpi = dpi > 0 ? dpi : kDesignDpi;
  graph.canvas = Canvas(std::max(width, 1), ScaleToDpi(kGraphHeight, graph.dpi), GraphBackground());
  graph.previous.assign(static_cast<size_t>(std::max(curves, 0)), -1);
  graph.firstSegmentFromZero = firstSegmentFromZero;
  DrawGrid(graph.canvas, 0, graph.dpi);
  return graph;
}

GraphRows GraphBand(const HistoryGraph& graph) {
  const int height = graph.canvas.height;
  return {std::clamp(ScaleToDpi(kGridTop, graph.dpi), 0, height), std::clamp(ScaleToDpi(90, graph.dpi) + 1, 0, height)};
}

void GraphStep(HistoryGraph& graph, std::span<const int> current) {
  Canvas& canvas = graph.canvas;
  if (canvas.width <= 0) return;
  ++graph.counter;
  ++graph.steps;
  // Scroll the band's rows one pixel to the left in place (the rows outside
  // are background throughout); the new rightmost column shows only the
  // horizontal grid.
  const int right = canvas.width - 1;
  const GraphRows band = GraphBand(graph);
  for (int y = band.top; y < band.bottom; ++y) {
    Pixel* row = canvas.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(canvas.width);
    std::memmove(row, row + 1, static_cast<size_t>(right) * sizeof(Pixel));
    row[right] = GraphBackground();
  }
  DrawGridRows(canvas, right, 1, graph.dpi);
  if (graph.counter == 10) DrawSegments(graph, current);
  if (graph.counter >= 20) {
    DrawVerticalGridLine(canvas, right, graph.dpi);
    DrawSegments(graph, current);
    graph.counter = 0;
  }
}

void ResizeHistoryGraph(HistoryGraph& graph, int width) {
  width = std::max(width, 1);
  if (width == graph.canvas.width) return;
  const int height = ScaleToDpi(kGraphHeight, graph.dpi);
  Canvas fresh(width, height, GraphBackground());
  DrawGridRows(fresh, 0, width, graph.dpi);
  // Where the vertical lines of the history would continue.
  for (int k = 0; width - 1 - 20 * k >= 0; ++k)
    DrawVerticalGridLine(fresh, width - 1 - graph.counter - 20 * k, graph.dpi);
  const int offset = width - graph.canvas.width;
  const int from = std::max(0, -offset);
  const int count = std::min(graph.canvas.width - from, width);
  for (int y = 0; y < std::min(graph.canvas.height, height) && count > 0; ++y) {
    const Pixel* source = graph.canvas.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(graph.canvas.width);
    Pixel* target = fresh.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
    std::memcpy(target + std::max(offset, 0), source + from, static_cast<size_t>(count) * sizeof(Pixel));
  }
  graph.canvas = std::move(fresh);
}

void RescaleHistoryGraph(HistoryGraph& graph, int width, int dpi) {
  width = std::max(width, 1);
  graph.dpi = dpi > 0 ? dpi : kDesignDpi;
  // Drawn with a margin on the left that takes the parts scrolled out, so
  // every segment lies where it was drawn (a line's pixels round the same
  // way only at the same side of zero), then the margin is cut off.
  constexpr int kMargin = 20;
  const int height = ScaleToDpi(kGraphHeight, graph.dpi);
  graph.canvas = Canvas(width + kMargin, height, GraphBackground());
  DrawGrid(graph.canvas, graph.counter, graph.dpi);
  const int right = graph.canvas.width - 1;
  for (const GraphSegment& segment : graph.segments)
    DrawSegment(graph, right - static_cast<int>(graph.steps - segment.step), segment.from, segment.to);
  Canvas shown(width, height);
  for (int y = 0; y < height; ++y)
    std::memcpy(shown.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width),
                graph.canvas.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width + kMargin) + kMargin,
                static_cast<size_t>(width) * sizeof(Pixel));
  graph.canvas = std::move(shown);
}

MemoryTableTexts FormatMemoryTables(const MemoryStatus& status, uint64_t workingSetSum) {
  MemoryTableTexts t;
  const uint64_t total = status.totalPhysical;
  const uint64_t used = total - std::min(status.availablePhysical, total);
  // Shared pages count in every working set, so the sum can exceed what is
  // in use; the system's share then shows as nothing rather than wrapping.
  const uint64_t system = used - std::min(workingSetSum, used);
  t.physicalTotal = Bytes(total);
  t.processes = Bytes(workingSetSum);
  t.processesPercent = Percent(workingSetSum, total);
  t.system = Bytes(system);
  t.systemPercent = Percent(system, total);
  t.physicalFree = Bytes(total - used);
  t.physicalFreePercent = Percent(total - used, total);
  const uint64_t pageTotal = status.totalPageFile;
  const uint64_t pageUsed = pageTotal - std::min(status.availablePageFile, pageTotal);
  t.pageFileTotal = Bytes(pageTotal);
  t.pageFileUsed = Bytes(pageUsed);
  t.pageFileUsedPercent = Percent(pageUsed, pageTotal);
  t.pageFileFree = Bytes(pageTotal - pageUsed);
  t.pageFileFreePercent = Percent(pageTotal - pageUsed, pageTotal);
  return t;
}

}  // namespace velkor
