// The owner-drawn look of every menu item, as data and pixels: sizes,
// colours and the picture behind a caption.
#pragma once

#include <string>
#include <string_view>

#include "gfx/canvas.h"
#include "gfx/dpi_scale.h"

namespace velkor {

inline constexpr Pixel kMenuWhite = MakePixel(255, 255, 255);
inline constexpr Pixel kMenuStripColour = MakePixel(221, 221, 204);
inline constexpr Pixel kMenuSeparatorColour = MakePixel(187, 187, 170);
inline constexpr Pixel kMenuHighlightColour = MakePixel(170, 204, 255);
inline constexpr Pixel kMenuHighlightFrame = MakePixel(102, 153, 255);
inline constexpr Pixel kMenuCaptionColour = MakePixel(0, 0, 0);
inline constexpr Pixel kMenuGreyCaptionColour = MakePixel(128, 128, 128);

inline constexpr int kMenuStripWidth = 24;
inline constexpr int kMenuCaptionX = 30;
inline constexpr int kMenuTitleCaptionX = 6;
inline constexpr int kMenuCaptionY = 3;

// The places of an item at a DPI: the strip, the caption's left edge (of a
// menu item and of a menu bar title), its top, and the frame and separator
// lines' thickness, all the 96-DPI ones scaled.
struct MenuPlaces {
  int stripWidth = kMenuStripWidth;
  int captionX = kMenuCaptionX;
  int titleCaptionX = kMenuTitleCaptionX;
  int captionY = kMenuCaptionY;
  int line = 1;
};
MenuPlaces MenuPlacesAt(int dpi);

struct MenuItemSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const MenuItemSize&, const MenuItemSize&) = default;
};
// A separator is 0 x 7, a menu bar title as wide as its caption, any other
// item its caption plus 32 wide; items are 20 high. At another DPI the
// spaces scale; `captionWidth` and `captionHeight` are the caption's extent
// in the font for that DPI, and an item always holds its caption below the
// caption's top, so no font cuts its text.
MenuItemSize MeasureMenuItem(bool separator, bool title, int captionWidth, int dpi = kDesignDpi, int captionHeight = 0);

enum class MenuLook { kNormal, kDisabled, kHighlighted, kSeparator };

// How an item is drawn and what the status bar shows meanwhile: the item's
// identifier for its help line (0: an empty one), -2 to clear it, or
// kNoStatusChange.
inline constexpr int kNoStatusChange = -1000;
struct MenuDrawPlan {
  MenuLook look = MenuLook::kNormal;
  int status = kNoStatusChange;
};
MenuDrawPlan PlanMenuItem(bool separator, bool highlighted, bool greyed, int id);

// The picture of an item of that size: background, the left strip (not for
// menu bar titles), the highlight frame or the separator line, and the icon
// (or the check-mark picture) centred in the strip, at the places for `dpi`.
Canvas DrawMenuItem(int width, int height, MenuLook look, bool title, const Canvas* icon, int dpi = kDesignDpi);
Pixel MenuCaptionColour(MenuLook look);

// The letter an item is chosen by from the keyboard, as its place in the
// item's text, or -1: the first letter of the first word that no item
// before it in its menu took, else of a later word, else any letter or digit
// of it not taken. `taken` holds the upper-case letters of the items before
// and gets this item's. The texts stay as they are; the letter is only
// underlined.
int ChooseMnemonic(std::string_view text, std::string& taken);
// A Windows-1252 letter in upper case (other characters unchanged).
char UpperLetter(char c);

}  // namespace velkor
