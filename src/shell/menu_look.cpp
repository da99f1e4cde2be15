#include "shell/menu_look.h"

#include <algorithm>

#include "gfx/contrast.h"

namespace velkor {

MenuPlaces MenuPlacesAt(int dpi) {
  MenuPlaces places;
  places.stripWidth = ScaleToDpi(kMenuStripWidth, dpi);
  places.captionX = ScaleToDpi(kMenuCaptionX, dpi);
  places.titleCaptionX = ScaleToDpi(kMenuTitleCaptionX, dpi);
  places.captionY = ScaleToDpi(kMenuCaptionY, dpi);
  places.line = ScaleToDpi(1, dpi);
  return places;
}

MenuItemSize MeasureMenuItem(bool separator, bool title, int captionWidth, int dpi, int captionHeight) {
  if (separator) return {0, ScaleToDpi(7, dpi)};
  const MenuPlaces places = MenuPlacesAt(dpi);
  // The caption is drawn from captionY down: the item holds all of it.
  const int height = std::max(ScaleToDpi(20, dpi), places.captionY + captionHeight);
  return {title ? captionWidth : captionWidth + ScaleToDpi(32, dpi), height};
}

MenuDrawPlan PlanMenuItem(bool separator, bool highlighted, bool greyed, int id) {
  if (separator) return {MenuLook::kSeparator, -2};
  if (greyed) return {MenuLook::kDisabled, highlighted ? -2 : kNoStatusChange};
  if (highlighted) return {MenuLook::kHighlighted, id};
  return {MenuLook::kNormal, kNoStatusChange};
}

Canvas DrawMenuItem(int width, int height, MenuLook look, bool title, const Canvas* icon, int dpi) {
  const MenuPlaces places = MenuPlacesAt(dpi);
  const ContrastColours* contrast = HighContrast();
  Canvas item(width, height, contrast ? contrast->window : kMenuWhite);
  if (look == MenuLook::kHighlighted) {
    item.Fill(contrast ? contrast->highlightText : kMenuHighlightFrame);
    item.FillRect(places.line, places.line, width - 2 * places.line, height - 2 * places.line,
                  contrast ? contrast->highlight : kMenuHighlightColour);
  } else if (!title && !contrast) {
    item.FillRect(0, 0, places.stripWidth, height, kMenuStripColour);
  }
  if (look == MenuLook::kSeparator) {
    item.FillRect(places.captionX, (height - places.line + 1) / 2, width - places.captionX, places.line,
                  contrast ? contrast->text : kMenuSeparatorColour);
  }
  if (icon && !title && look != MenuLook::kSeparator)
    DrawOver(item, *icon, CentredOffset(places.stripWidth, icon->width), CentredOffset(height, icon->height));
  return item;
}

namespace {

bool IsLetterOrDigit(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= 0xC0 && byte != 0xD7 && byte != 0xF7);
}

}  // namespace

char UpperLetter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7))
    return static_cast<char>(byte - 0x20);
  return c;
}

int ChooseMnemonic(std::string_view text, std::string& taken) {
  const auto free = [&](size_t at) {
    return IsLetterOrDigit(text[at]) && taken.find(UpperLetter(text[at])) == std::string::npos;
  };
  const auto take = [&](size_t at) {
    taken += UpperLetter(text[at]);
    return static_cast<int>(at);
  };
  for (size_t at = 0; at < text.size(); ++at) {
    const bool wordStart = at == 0 || !IsLetterOrDigit(text[at - 1]);
    if (wordStart && free(at)) return take(at);
  }
  for (size_t at = 0; at < text.size(); ++at)
    if (free(at)) return take(at);
  return -1;
}

Pixel MenuCaptionColour(MenuLook look) {
  if (const ContrastColours* contrast = HighContrast()) {
    if (look == MenuLook::kDisabled) return contrast->grey;
    return look == MenuLook::kHighlighted ? contrast->highlightText : contrast->text;
  }
  return look == MenuLook::kDisabled ? kMenuGreyCaptionColour : kMenuCaptionColour;
}

}  // namespace velkor
