#include "gfx/contrast_win.h"

#include <windows.h>

#include <utility>

#include "gfx/contrast.h"

namespace velkor {

namespace {

HighContrastHook hook;

bool SystemHighContrast() {
  HIGHCONTRASTA mode{};
  mode.cbSize = sizeof mode;
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof mode, &mode, 0) && (mode.dwFlags & HCF_HIGHCONTRASTON);
}

Pixel SystemColour(int index) {
  const COLORREF c = GetSysColor(index);
  return MakePixel(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

void SetHighContrastHook(HighContrastHook h) { hook = std::move(h); }

bool FollowHighContrast() {
  const bool on = hook ? hook() : SystemHighContrast();
  std::optional<ContrastColours> colours;
  if (on) {
    colours = ContrastColours{SystemColour(COLOR_WINDOW),    SystemColour(COLOR_WINDOWTEXT),
                              SystemColour(COLOR_HIGHLIGHT), SystemColour(COLOR_HIGHLIGHTTEXT),
                              SystemColour(COLOR_GRAYTEXT),  SystemColour(COLOR_BTNFACE),
                              SystemColour(COLOR_BTNTEXT)};
  }
  const ContrastColours* before = HighContrast();
  if ((before == nullptr) == !colours && (!before || *before == *colours)) return false;
  SetHighContrast(colours);
  return true;
}

}  // namespace velkor
