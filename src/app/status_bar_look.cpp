#include "app/status_bar_look.h"

#include "gfx/contrast.h"
#include "gfx/dpi_scale.h"

namespace velkor {

namespace {

// Each separator is a light line and a darker, shorter one right of it.
// In the system's high-contrast colours both are in its text colour.
void DrawSeparator(Canvas& bar, int x, int dpi) {
  const ContrastColours* contrast = HighContrast();
  const int line = ScaleToDpi(1, dpi);
  bar.FillRect(ScaleToDpi(x, dpi), ScaleToDpi(1, dpi), line, ScaleToDpi(20, dpi) - ScaleToDpi(1, dpi),
               contrast ? contrast->faceText : MakePixel(184, 196, 224));
  bar.FillRect(ScaleToDpi(x + 1, dpi), ScaleToDpi(2, dpi), line, ScaleToDpi(19, dpi) - ScaleToDpi(2, dpi),
               contrast ? contrast->faceText : MakePixel(157, 168, 191));
}

}  // namespace

bool StatusBarHasSeparators(int what, const char* countWord) { return what == kStatusFigures && countWord; }

Canvas DrawStatusBarBackground(const Canvas& strip, int width, bool separators, int dpi, int shift) {
  const ContrastColours* contrast = HighContrast();
  Canvas bar(width, ScaleToDpi(kStatusBarHeight, dpi), contrast ? contrast->face : MakePixel(255, 255, 255));
  if (strip.width > 0 && strip.height > 0 && !contrast) {
    for (int y = 0; y < bar.height; ++y)
      for (int x = 0; x < bar.width; ++x)
        bar.Set(x, y, strip.At(x * strip.width / width, y * strip.height / bar.height) | 0xFF000000u);
  }
  if (separators)
    for (int x : {92, 172, 252, 332}) DrawSeparator(bar, x + shift, dpi);
  return bar;
}

std::vector<StatusBarText> LayOutStatusBar(int what, const char* countWord, ListRows rows, const MonitorSamples& sample,
                                           const std::string& helpText, int dpi) {
  std::vector<StatusBarText> texts = LayOutStatusBar(what, countWord, rows, sample, helpText);
  for (StatusBarText& text : texts) {
    text.x = ScaleToDpi(text.x, dpi);
    text.y = ScaleToDpi(text.y, dpi);
  }
  return texts;
}

std::vector<StatusBarText> LayOutStatusBar(int what, const char* countWord, ListRows rows, const MonitorSamples& sample,
                                           const std::string& helpText) {
  std::vector<StatusBarText> texts;
  if (what == kStatusPlain) return texts;
  if (what != kStatusFigures) {
    if (!helpText.empty()) texts.push_back({7, 4, helpText});
    return texts;
  }
  if (!countWord) return texts;
  std::string count = std::string(countWord) + ": " + std::to_string(rows.shown);
  if (rows.shown != rows.all) count += " von " + std::to_string(rows.all);
  const int shift = StatusBarShift(rows);
  texts.push_back({7, 4, std::move(count)});
  texts.push_back({100 + shift, 4, "CPU: " + std::to_string(sample.cpuLoad) + "%"});
  texts.push_back({180 + shift, 4, "RAM: " + std::to_string(sample.memoryLoad) + "%"});
  texts.push_back({260 + shift, 4, "Swap: " + std::to_string(sample.pageFileLoad) + "%"});
  return texts;
}

}  // namespace velkor
