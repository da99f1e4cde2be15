#include "tray/tray_figures.h"

#include <algorithm>
#include <cmath>

#include "settings/settings_file.h"

namespace velkor {

namespace {

constexpr double kFullBar = 14.0;
constexpr Pixel kWhite = MakePixel(255, 255, 255);
constexpr Pixel kBlack = MakePixel(0, 0, 0);

int RoundHalfUp(double value) { return static_cast<int>(std::floor(value + 0.5)); }

// Columns of the 16-pixel design; neighbouring frames share columns 7 and 11.
struct BarColumns {
  int frameLeft, frameRight;
};
constexpr BarColumns kCpuBar{0, 7};
constexpr BarColumns kMemoryBar{7, 11};
constexpr BarColumns kPageFileBar{11, 15};

// A frame column's first pixel: the design's 16 frame columns spread so the
// last frame line ends at the icon's right edge.
int FramePixel(int column, int size, int line) { return (2 * column * (size - line) + 15) / 30; }

void DrawBar(Canvas& icon, const BarColumns& columns, double height) {
  const int size = icon.width;
  const int line = std::max(1, (size + 8) / 16);
  height = std::clamp(height, 0.0, kFullBar);
  // At 16 pixels the inside is the design's 14: no division to blur halves.
  const int inside = size - 2 * line;
  const int filled = inside == kFullBar ? RoundHalfUp(height) : RoundHalfUp(height * inside / kFullBar);
  const int left = FramePixel(columns.frameLeft, size, line);
  const int right = FramePixel(columns.frameRight, size, line);
  const int bottom = size - line;  // the bottom frame line's first row
  const int top = bottom - filled - line;
  icon.FillRect(left + line, bottom - filled, right - left - line, filled, TrayBarColour(height));
  const int frameWidth = right + line - left;
  icon.FillRect(left, top, frameWidth, line, kBlack);
  icon.FillRect(left, bottom, frameWidth, line, kBlack);
  icon.FillRect(left, top, line, bottom + line - top, kBlack);
  icon.FillRect(right, top, line, bottom + line - top, kBlack);
}

}  // namespace

double LoadShare(uint64_t used, uint64_t total) {
  if (total == 0) return 0.0;
  return static_cast<double>(std::min(used, total)) / static_cast<double>(total);
}

int LoadPercent(double share) { return RoundHalfUp(100.0 * share); }

std::string TrayTooltip(int cpuLoad, int memoryPercent, int pageFilePercent) {
  std::string tip = "Prozessor: " + std::to_string(cpuLoad) +
                    "%\r\n\r\nArbeitspeicher: " + std::to_string(memoryPercent) +
                    "%\r\nAusgelagert: " + std::to_string(pageFilePercent) + "%";
  if (tip.size() > kTrayTipLength) tip.resize(kTrayTipLength);
  return tip;
}

Pixel TrayBarColour(double height) {
  auto channel = [](double value) { return static_cast<uint8_t>(std::clamp(RoundHalfUp(value), 0, 255)); };
  return MakePixel(channel(30 * height), channel(440 - 30 * height), 0);
}

Canvas DrawTrayIcon(int cpuLoad, double memoryShare, double pageFileShare, int size) {
  if (size < kTrayIconSize) size = kTrayIconSize;
  Canvas icon(size, size, kWhite);
  DrawBar(icon, kCpuBar, cpuLoad * 0.14);
  DrawBar(icon, kMemoryBar, memoryShare * kFullBar);
  DrawBar(icon, kPageFileBar, pageFileShare * kFullBar);
  return icon;
}

bool RemainForbidden(const std::optional<std::string>& settings) {
  if (!settings) return false;
  const SettingsFile file(*settings);
  // Bytes that are no settings file count as no file, as the main program reads them.
  return file.IsSettingsFile() && file.Integer(SettingsGroup::General, "PreferencesRemain", 0) == 0;
}

}  // namespace velkor
