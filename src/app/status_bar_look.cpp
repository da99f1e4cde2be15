#include "app/status_bar_look.h"

#include "gfx/dpi_scale.h"

namespace velkor {

namespace {

// Each separator is a light line and a darker, shorter one right of it.
void DrawSeparator(Canvas& bar, int x, int dpi) {
  const int line = ScaleToDpi(1, dpi);
  bar.FillRect(ScaleToDpi(x, dpi), ScaleToDpi(1, dpi), line, ScaleToDpi(20, dpi) - ScaleToDpi(1, dpi),
               MakePixel(184, 196, 224));
  bar.FillRect(ScaleToDpi(x + 1, dpi), ScaleToDpi(2, dpi), line, ScaleToDpi(19, dpi) - ScaleToDpi(2, dpi),
               MakePixel(157, 168, 191));
}

}  // namespace

bool StatusBarHasSeparators(int what, const char* countWord) { return what == kStatusFigures && countWord; }

Canvas DrawStatusBarBackground(const Canvas& strip, int width, bool separators, int dpi) {
  Canvas bar(width, ScaleToDpi(kStatusBarHeight, dpi), MakePixel(255, 255, 255));
  if (strip.width > 0 && strip.height > 0) {
    for (int y = 0; y < bar.height; ++y)
      for (int x = 0; x < bar.width; ++x)
        bar.Set(x, y, strip.At(x * strip.width / width, y * strip.height / bar.height) | 0xFF000000u);
  }
  if (separators)
    for (int x : {92, 172, 252, 332}) DrawSeparator(bar, x, dpi);
  return bar;
}

std::vector<StatusBarText> LayOutStatusBar(int what, const char* countWord, int rows, const MonitorSamples& sample,
                                           const std::string& helpText, int dpi) {
  std::vector<StatusBarText> texts = LayOutStatusBar(what, countWord, rows, sample, helpText);
  for (StatusBarText& text : texts) {
    text.x = ScaleToDpi(text.x, dpi);
    text.y = ScaleToDpi(text.y, dpi);
  }
  return texts;
}

std::vector<StatusBarText> LayOutStatusBar(int what, const char* countWord, int rows, const MonitorSamples& sample,
                                           const std::string& helpText) {
  std::vector<StatusBarText> texts;
  if (what == kStatusPlain) return texts;
  if (what != kStatusFigures) {
    if (!helpText.empty()) texts.push_back({7, 4, helpText});
    return texts;
  }
  if (!countWord) return texts;
  texts.push_back({7, 4, std::string(countWord) + ": " + std::to_string(rows)});
  texts.push_back({100, 4, "CPU: " + std::to_string(sample.cpuLoad) + "%"});
  texts.push_back({180, 4, "RAM: " + std::to_string(sample.memoryLoad) + "%"});
  texts.push_back({260, 4, "Swap: " + std::to_string(sample.pageFileLoad) + "%"});
  return texts;
}

}  // namespace velkor
