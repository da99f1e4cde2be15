#include "monitor/process_pie.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "procs/format.h"

namespace velkor {

namespace {

constexpr Pixel kBlack = MakePixel(0, 0, 0);

// Bresenham from the centre of the canvas to `length` pixels at `degrees`.
void DrawRay(Canvas& canvas, double degrees, int length, Pixel colour) {
  const double radians = degrees * std::numbers::pi / 180.0;
  const int centre = canvas.width / 2;
  int x0 = centre, y0 = centre;
  const int x1 = centre + static_cast<int>(std::lround(length * std::cos(radians)));
  const int y1 = centre + static_cast<int>(std::lround(length * std::sin(radians)));
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    canvas.Set(x0, y0, colour);
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

void DrawRim(Canvas& canvas, int radius) {
  const int centre = canvas.width / 2;
  int x = radius, y = 0, error = 1 - radius;
  while (x >= y) {
    for (auto [px, py] : {std::pair{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}})
      canvas.Set(centre + px, centre + py, kBlack);
    ++y;
    if (error < 0) {
      error += 2 * y + 1;
    } else {
      --x;
      error += 2 * (y - x) + 1;
    }
  }
}

Pixel ToPixel(Rgb c) { return MakePixel(c.r, c.g, c.b); }

// The value of a row for a per-process measure.
double RowValue(PieMeasure measure, const PieRow& row) {
  switch (measure) {
    case PieMeasure::kCpu: return row.cpuLoad;
    case PieMeasure::kMemory: return row.memoryKb;
    case PieMeasure::kVirtualMemory: return row.virtualKb;
    case PieMeasure::kPagedPool: return row.pagedKb;
    case PieMeasure::kNonPagedPool: return row.nonPagedKb;
    case PieMeasure::kPriority: break;
  }
  return 0;
}

}  // namespace

PieRow PieRowOf(const ProcessRowFacts& facts) {
  // Whole KB, truncated, as the cells show them.
  auto kb = [](uint64_t bytes) { return static_cast<double>(bytes / 1024); };
  PieRow row;
  row.pid = facts.pid;
  row.cpuLoad = facts.cpuLoad;
  row.memoryKb = kb(facts.workingSet);
  row.virtualKb = kb(facts.privateBytes);
  row.pagedKb = kb(facts.pagedPool);
  row.nonPagedKb = kb(facts.nonPagedPool);
  return row;
}

Pixel ProcessSliceColour(uint32_t pid) {
  std::minstd_rand generator(pid);
  return MakePixel(0, 0, 0) | (static_cast<Pixel>(generator()) % 0x1000000u);
}

Rgb PriorityClassColour(int index) {
  const PriorityColourTable& c = PriorityColours;
  const std::array<Rgb, 6> colours = {c.idle, c.belowNormal, c.normal, c.aboveNormal, c.high, c.realtime};
  return colours[static_cast<size_t>(std::clamp(index, 0, 5))];
}

int PriorityClassIndexOf(const std::optional<Rgb>& background) {
  if (!background) return 2;
  for (int index = 0; index < 6; ++index)
    if (PriorityClassColour(index) == *background) return index;
  return 2;
}

std::vector<PieSlice> PieSlices(PieMeasure measure, const std::vector<PieRow>& rows, const PieTotals& totals) {
  std::vector<PieSlice> slices;
  if (rows.empty()) return slices;
  if (measure == PieMeasure::kPriority) {
    std::array<int, 6> counts{};
    for (const PieRow& row : rows) ++counts[static_cast<size_t>(PriorityClassIndexOf(row.background))];
    for (int index = 0; index < 6; ++index)
      if (counts[static_cast<size_t>(index)] > 0)
        slices.push_back({index, counts[static_cast<size_t>(index)] * 360.0 / static_cast<double>(rows.size()),
                          counts[static_cast<size_t>(index)]});
    return slices;
  }
  double whole = 100.0 / 360.0;  // CPU: percent per degree
  if (measure == PieMeasure::kMemory) whole = totals.physicalKb / 360.0;
  if (measure == PieMeasure::kVirtualMemory) whole = totals.virtualKb / 360.0;
  if (measure == PieMeasure::kPagedPool || measure == PieMeasure::kNonPagedPool) {
    double sum = 0;
    for (const PieRow& row : rows) sum += RowValue(measure, row);
    whole = sum / 360.0;
  }
  if (!(whole > 0)) return slices;
  for (size_t i = 0; i < rows.size(); ++i) {
    const double value = RowValue(measure, rows[i]);
    if (value > 0) slices.push_back({static_cast<int>(i), value / whole, 1});
  }
  return slices;
}

Canvas DrawPie(PieMeasure measure, const std::vector<PieRow>& rows, const std::vector<PieSlice>& slices,
               const Canvas* overlay, int dpi) {
  const int radius = ScaleToDpi(kPieRadius, dpi);
  Canvas canvas(2 * radius, 2 * radius, MakePixel(255, 255, 255));
  const double step = rows.empty() ? 0 : 360.0 / static_cast<double>(rows.size());
  double start = -90;
  for (const PieSlice& slice : slices) {
    const double end = start + slice.sweep;
    Pixel colour = kBlack;
    if (measure == PieMeasure::kPriority) {
      colour = ToPixel(PriorityClassColour(slice.index));
    } else if (slice.index >= 0 && static_cast<size_t>(slice.index) < rows.size()) {
      colour = ProcessSliceColour(rows[static_cast<size_t>(slice.index)].pid);
    }
    const int64_t first = static_cast<int64_t>(std::floor(start * 10)) + 1;
    const int64_t last = static_cast<int64_t>(std::floor(end * 10));
    for (int64_t tenth = first; tenth <= last; ++tenth)
      DrawRay(canvas, static_cast<double>(tenth) / 10.0, 2 * radius, colour);
    if (measure == PieMeasure::kPriority) {
      const Rgb c = PriorityClassColour(slice.index);
      const Pixel darker =
          MakePixel(static_cast<uint8_t>(c.r * 0.8), static_cast<uint8_t>(c.g * 0.8), static_cast<uint8_t>(c.b * 0.8));
      for (int k = 0; k < slice.count; ++k) DrawRay(canvas, start + k * step, radius, darker);
    }
    start = end;
  }
  start = -90;
  for (const PieSlice& slice : slices) {
    DrawRay(canvas, start, radius, kBlack);
    start += slice.sweep;
    DrawRay(canvas, start, radius, kBlack);
  }
  DrawRim(canvas, radius);
  if (overlay) DrawOver(canvas, *overlay, 0, 0);
  return canvas;
}

std::optional<double> PieAngleAt(int x, int y, int dpi) {
  const int radius = ScaleToDpi(kPieRadius, dpi);
  const double nx = (x - (ScaleToDpi(kPieLeft, dpi) + radius)) / static_cast<double>(radius);
  const double ny = (y - (ScaleToDpi(kPieTop, dpi) + radius)) / static_cast<double>(radius);
  if (std::sqrt(nx * nx + ny * ny) > 1.0) return std::nullopt;
  if (nx == 0) return ny < 0 ? -90.0 : 90.0;
  double angle = std::atan(ny / nx) * 180.0 / std::numbers::pi;
  if (nx < 0) angle += 180;
  return angle;
}

std::optional<size_t> PieSliceAt(const std::vector<PieSlice>& slices, double angle, bool wholeDegrees) {
  const double target = wholeDegrees ? static_cast<double>(RoundHalfUpDouble(angle)) + 90 : angle + 90;
  double sum = 0;
  for (size_t i = 0; i < slices.size(); ++i) {
    sum += slices[i].sweep;
    if (wholeDegrees) sum = static_cast<double>(RoundHalfUpDouble(sum));
    if (sum > target) return i;
  }
  return std::nullopt;
}

PieInfoTexts ProcessPieInfo(PieMeasure measure, const PieRow& row, const std::string& name,
                            const std::string& company) {
  PieInfoTexts texts{name, company, "CPU: " + row.cpuText, {}};
  auto size = [](double kb) { return FormatSize64(static_cast<int64_t>(kb) * 1024, 2); };
  switch (measure) {
    case PieMeasure::kVirtualMemory: texts.second = "Virtueller Speicher: " + size(row.virtualKb); break;
    case PieMeasure::kPagedPool: texts.second = "Ausgelagerter Pool: " + size(row.pagedKb); break;
    case PieMeasure::kNonPagedPool: texts.second = "Nicht ausgelagerter Pool: " + size(row.nonPagedKb); break;
    default: texts.second = "Speicher: " + size(row.memoryKb); break;
  }
  return texts;
}

PieInfoTexts PriorityPieInfo(const PieSlice& slice, const std::vector<PieRow>& rows) {
  static constexpr const char* kNames[] = {"Niedrige Priorität", "Erniedrigte Priorität", "Normale Priorität",
                                           "Erhöhte Priorität",  "Hohe Priorität",        "Echtzeit Priorität"};
  double cpu = 0;
  double memoryKb = 0;
  int count = 0;
  for (const PieRow& row : rows) {
    if (PriorityClassIndexOf(row.background) != slice.index) continue;
    cpu += row.cpuLoad;
    memoryKb += row.memoryKb;
    ++count;
  }
  PieInfoTexts texts;
  texts.title = kNames[std::clamp(slice.index, 0, 5)];
  texts.subtitle = count == 1 ? "1 Prozess" : std::to_string(count) + " Prozesse";
  texts.first = "CPU: " + FormatDecimalDouble(cpu, 1) + "%";
  texts.second = "Speicher: " + FormatSize64(static_cast<int64_t>(memoryKb) * 1024, 2);
  return texts;
}

}  // namespace velkor
