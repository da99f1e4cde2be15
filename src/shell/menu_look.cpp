#include "shell/menu_look.h"

#include <algorithm>

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
  Canvas item(width, height, kMenuWhite);
  if (look == MenuLook::kHighlighted) {
    item.Fill(kMenuHighlightFrame);
    item.FillRect(places.line, places.line, width - 2 * places.line, height - 2 * places.line, kMenuHighlightColour);
  } else if (!title) {
    item.FillRect(0, 0, places.stripWidth, height, kMenuStripColour);
  }
  if (look == MenuLook::kSeparator) {
    item.FillRect(places.captionX, (height - places.line + 1) / 2, width - places.captionX, places.line,
                  kMenuSeparatorColour);
  }
  if (icon && !title && look != MenuLook::kSeparator)
    DrawOver(item, *icon, CentredOffset(places.stripWidth, icon->width), CentredOffset(height, icon->height));
  return item;
}

Pixel MenuCaptionColour(MenuLook look) {
  return look == MenuLook::kDisabled ? kMenuGreyCaptionColour : kMenuCaptionColour;
}

}  // namespace velkor
