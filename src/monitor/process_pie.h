// The "Diagramm" window: the listed processes as a pie by one of six
// measures, the hit test of the mouse and the texts of the info panel.
// Drawing and hit test are portable; diagram_window_win.cpp reads the rows
// from the process list and shows the result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/dpi_scale.h"
#include "procs/priority.h"
#include "procs/process_list.h"

namespace velkor {

inline constexpr int kPieSize = 240;
inline constexpr int kPieRadius = 120;
// Where the canvas's top-left corner lies in the window.
inline constexpr int kPieLeft = 30;
inline constexpr int kPieTop = 30;

// The measures, in the order of the drop-down list.
enum class PieMeasure { kCpu = 0, kPriority, kMemory, kVirtualMemory, kPagedPool, kNonPagedPool };
inline constexpr int kPieMeasureCount = 6;

// What the pie needs of one process row.
struct PieRow {
  uint32_t pid = 0;
  float cpuLoad = 0;    // percent as column 2 shows it
  std::string cpuText;  // column 2 itself, for the info panel
  double memoryKb = 0;  // columns 5..8, in KB as shown
  double virtualKb = 0;
  double pagedKb = 0;
  double nonPagedKb = 0;
  std::optional<Rgb> background;  // the row's priority colour; none counts as normal
};

// The numbers of a process-list row as the pie takes them (the row's
// background and its texts are not facts; the caller adds them).
PieRow PieRowOf(const ProcessRowFacts& facts);

// One slice in drawing order: a row of the list (per-process measures) or a
// priority class 0..5 = idle..realtime (measure "Priorität").
struct PieSlice {
  int index = 0;
  double sweep = 0;  // degrees
  int count = 0;     // processes of a class
};

struct PieTotals {
  double physicalKb = 0;
  double virtualKb = 0;
};

// The colour of a process's slice: the same for a pid every time.
Pixel ProcessSliceColour(uint32_t pid);
// Priority class 0..5 (idle..realtime) of a row colour; normal without one.
int PriorityClassIndexOf(const std::optional<Rgb>& background);
// The six class colours, idle first.
Rgb PriorityClassColour(int index);

// The slices of `rows` for `measure`, in drawing order; rows whose value
// is 0 get none.
std::vector<PieSlice> PieSlices(PieMeasure measure, const std::vector<PieRow>& rows, const PieTotals& totals);
// Draws the pie into a fresh 240 x 240 canvas: white disc, slices (one line
// from the centre per tenth of a degree), black borders, black rim and the
// overlay picture (if any) on top.
// At another `dpi` the pie's size scales with one rule (its rays stay one per
// tenth of a degree) and `overlay` is the picture drawn for that scale.
Canvas DrawPie(PieMeasure measure, const std::vector<PieRow>& rows, const std::vector<PieSlice>& slices,
               const Canvas* overlay, int dpi = kDesignDpi);

// The mouse at (x, y) of the window: its angle in degrees (-90 at the top,
// growing clockwise) when it lies on the disc (the rim included).
std::optional<double> PieAngleAt(int x, int y, int dpi = kDesignDpi);
// The slice under an angle: the first whose accumulated sweep exceeds
// angle + 90. `wholeDegrees` rounds the angle and each sum to whole degrees
// (the double click's test). An index into `slices`.
std::optional<size_t> PieSliceAt(const std::vector<PieSlice>& slices, double angle, bool wholeDegrees);

// The four texts of the info panel.
struct PieInfoTexts {
  std::string title;
  std::string subtitle;
  std::string first;
  std::string second;
  bool operator==(const PieInfoTexts&) const = default;
};
// For a process under the mouse: `name`, `company` as read from its file.
PieInfoTexts ProcessPieInfo(PieMeasure measure, const PieRow& row, const std::string& name, const std::string& company);
// For a priority class under the mouse: its processes among `rows`.
PieInfoTexts PriorityPieInfo(const PieSlice& slice, const std::vector<PieRow>& rows);

}  // namespace velkor
