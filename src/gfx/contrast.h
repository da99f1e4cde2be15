// The system's high-contrast mode: while it is on, everything the program
// draws itself takes the colours the user chose for the system, so that
// every text keeps the contrast the user needs.
#pragma once

#include <optional>

#include "gfx/canvas.h"

namespace velkor {

struct ContrastColours {
  Pixel window = MakePixel(0, 0, 0);  // backgrounds of boxes, lists and menus
  Pixel text = MakePixel(255, 255, 255);
  Pixel highlight = MakePixel(0, 0, 255);  // the highlighted menu item, a lit button
  Pixel highlightText = MakePixel(255, 255, 255);
  Pixel grey = MakePixel(0, 255, 0);  // greyed captions
  Pixel face = MakePixel(0, 0, 0);    // panels, toolbar and status bar
  Pixel faceText = MakePixel(255, 255, 255);
  friend bool operator==(const ContrastColours&, const ContrastColours&) = default;
};

// The colours while the mode is on; null while it is off.
const ContrastColours* HighContrast();
// Set by whoever reads the system (FollowHighContrast); nothing for off.
void SetHighContrast(std::optional<ContrastColours> colours);

}  // namespace velkor
