#include "tray/tray_figures.h"

#include <algorithm>
#include <cmath>

#include "settings/settings_file.h"

namespace velkor {

namespace {

constexpr double kFullBar = 14.0;
constexpr Pixel kWhite = MakePixel(255, 255, 255);
constexpr Pixel kBlack = MakePixel(0, 0, 0);

int RoundHalfUp(double value) {
  return static_cast<int>(std::floor(value + 0.5));
}

struct BarColumns {
  int fillLeft, fillRight, frameLeft, frameRight;
};
// Neighbouring frames share columns 7 and 11.
constexpr BarColumns kCpuBar{1, 6, 0, 7};
constexpr BarColumns kMemoryBar{8, 10, 7, 11};
constexpr BarColumns kPageFileBar{12, 14, 11, 15};

void DrawBar(Canvas& icon, const BarColumns& columns, double height) {
  height = std::clamp(height, 0.0, kFullBar);
  const int filled = RoundHalfUp(height);
  const int framed = RoundHalfUp(height + 2);
  icon.FillRect(columns.fillLeft, 15 - filled, columns.fillRight - columns.fillLeft + 1, filled, TrayBarColour(height));
  const int top = 16 - framed;
  const int frameWidth = columns.frameRight - columns.frameLeft + 1;
  icon.FillRect(columns.frameLeft, top, frameWidth, 1, kBlack);
  icon.FillRect(columns.frameLeft, 15, frameWidth, 1, kBlack);
  icon.FillRect(columns.frameLeft, top, 1, framed, kBlack);
  icon.FillRect(columns.frameRight, top, 1, framed, kBlack);
}

}  // namespace

double LoadShare(uint64_t used, uint64_t total) {
  if (total == 0) return 0.0;
  return static_cast<double>(std::min(used, total)) / static_cast<double>(total);
}

int LoadPercent(double share) {
  return RoundHalfUp(100.0 * share);
}

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

Canvas DrawTrayIcon(int cpuLoad, double memoryShare, double pageFileShare) {
  Canvas icon(kTrayIconSize, kTrayIconSize, kWhite);
  DrawBar(icon, kCpuBar, cpuLoad * 0.14);
  DrawBar(icon, kMemoryBar, memoryShare * kFullBar);
  DrawBar(icon, kPageFileBar, pageFileShare * kFullBar);
  return icon;
}

bool RemainForbidden(const std::optional<std::string>& settings) {
  if (!settings) return false;
  return SettingsFile(*settings).Integer(SettingsGroup::General, "PreferencesRemain", 0) == 0;
}

}  // namespace velkor
