#include "app/window_pictures.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>

#include "app/anchoring.h"
#include "app/control_factory.h"
#include "app/event_queue.h"
#include "app/layout_scale.h"
#include "app/menus.h"
#include "app/program_windows.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "app/view_table.h"
#include "app/window_procs.h"
#include "app/window_registry.h"
#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "monitor/diagram_window_win.h"
#include "settings/preferences_window_win.h"
#include "settings/settings_file_win.h"
#include "shell/menu_draw.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {

// The icons given to the windows, by window and kind (ICON_SMALL/ICON_BIG):
// a new one replaces, and frees, the one it follows.
std::map<std::pair<int, WPARAM>, win::UniqueIcon> windowIcons;

// A picture for a static control. A static control of the version 6 common
// controls shows a private copy of a bitmap with any alpha, and hands that
// copy to whoever sets the next picture: a leak at every tab change. An opaque
// picture loses nothing without its alpha bytes and is shown as it is.
// Each picture is drawn for the DPI of the window it is shown in.
HBITMAP Picture(const char* name, int dpi) {
  const int scale = ImageScaleForDpi(dpi);
  const std::string key = scale == 100 ? std::string(name) : ScaledImageName(name, scale);
  return CachedBitmap(key, [name, dpi]() -> std::optional<Canvas> {
    const Canvas* picture = CachedPictureForDpi(name, dpi);
    std::optional<Canvas> canvas;
    if (picture) canvas = *picture;
    if (canvas && std::all_of(canvas->pixels.begin(), canvas->pixels.end(), [](Pixel p) { return (p >> 24) == 0xFF; }))
      for (Pixel& p : canvas->pixels) p &= 0x00FFFFFFu;
    return canvas;
  });
}

// A picture with transparent parts drawn over the panel colour: opaque, so
// the static control shows it as it is and keeps no private copy.
HBITMAP PictureOnPanel(const char* name, int dpi) {
  return CachedBitmap(ScaledImageName(name, ImageScaleForDpi(dpi)) + "@panel", [name, dpi]() -> std::optional<Canvas> {
    const Canvas* picture = CachedPictureForDpi(name, dpi);
    if (!picture) return std::nullopt;
    Canvas flat(picture->width, picture->height, MakePixel(kPanelColour.r, kPanelColour.g, kPanelColour.b));
    DrawOver(flat, *picture, 0, 0);
    for (Pixel& p : flat.pixels) p &= 0x00FFFFFFu;
    return flat;
  });
}

Size PictureSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {};
  return {info.bmWidth, std::abs(info.bmHeight)};
}

void SetPicture(int id, HBITMAP bitmap) {
  if (HWND control = BuiltControl(id))
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void GiveWindowIcon(int number, WPARAM kind, win::UniqueIcon icon) {
  HWND window = BuiltWindow(number);
  if (!window || !icon) return;
  SendMessageA(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon.get()));
  windowIcons[{number, kind}] = std::move(icon);
}

void SetWindowIcons(int number, const char* small, const char* big) {
  for (auto [name, kind] : {std::pair{small, ICON_SMALL}, std::pair{big, ICON_BIG}}) {
    if (const Canvas* canvas = CachedPictureForDpi(name, LayoutDpiOf(number)))
      GiveWindowIcon(number, static_cast<WPARAM>(kind), CanvasToIcon(*canvas));
  }
}

int DpiOfControl(int id) {
  const ControlSpec* def = FindControlSpec(id);
  return LayoutDpiOf(def ? def->window : kMainWindow);
}

}  // namespace

void SetIconsAtDpi(int number, bool always) {
  if (number == kMainWindow) {
    const int size = win::SystemMetricAtDpi(SM_CXSMICON, LayoutDpiOf(kMainWindow));
    if (size <= 0 || (!always && size == 16)) return;
    GiveWindowIcon(kMainWindow, ICON_SMALL,
                   win::UniqueIcon(static_cast<HICON>(
                       LoadImageA(GetModuleHandleA(nullptr), "APPICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR))));
  } else if (number == kDiagramWindow) {
    SetWindowIcons(kDiagramWindow, images::kWindowDiagram16, images::kWindowDiagram32);
  } else if (number == kPreferencesWindow) {
    SetWindowIcons(kPreferencesWindow, images::kWindowPreferences16, images::kWindowPreferences32);
  }
}

void SetOtherWindowPictures(int number) {
  const auto shown = [number](int id) {
    const ControlSpec* def = FindControlSpec(id);
    return def && def->window == number && BuiltControl(id);
  };
  for (int banner : kBanners)
    if (shown(banner)) SetPicture(banner, Picture(images::kBanner, DpiOfControl(banner)));
  if (shown(kPrefsSidebarId))
    SetPicture(kPrefsSidebarId, Picture(images::kPrefsSidebar, DpiOfControl(kPrefsSidebarId)));
  if (shown(kAboutLogoPicture))
    SetPicture(kAboutLogoPicture, PictureOnPanel(images::kAboutLogo, DpiOfControl(kAboutLogoPicture)));
  if (shown(kPrefsPageSelectorId))
    SetPicture(kPrefsPageSelectorId,
               Picture(PreferencesPage() == 0 ? images::kPrefsTabsGeneral : images::kPrefsTabsColumns,
                       DpiOfControl(kPrefsPageSelectorId)));
}

void SetWindowPictures() {
  const int dpi = LayoutDpiOf(kMainWindow);
  SetTabPicture(ViewOf(CurrentView) ? CurrentView : kProcessView);
  SetTabStripWidth(std::max(PictureSize(Picture(ViewTable()[0].tabPicture, dpi)).w, 1));
  SetPicture(kTabFiller, Picture(images::kTabsFiller, dpi));
  SetPicture(kStatusBar, Picture(images::kStatusbar, dpi));
  for (int number = kMainWindow + 1; number < kWindowCount; ++number) SetOtherWindowPictures(number);
}

void ChangeWindowDpi(int number, int dpi, const RECT& suggested) {
  VELKOR_PLACE(kProceduresUnit);
  HWND window = BuiltWindow(number);
  if (!window) return;
  const int old = LayoutDpiOf(number);
  SetLayoutDpi(number, dpi);
  const bool programSize = number == kMainWindow && WindowHasSizeSetByProgram(window);
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (programSize) NoteWindowSizeSetByProgram(window);
  if (dpi == old) return;
  RelayOutControlsAtDpi(number, ClientSize(MainWindow), old, dpi);
  SetWindowPictures();
  SetIconsAtDpi(number, true);
  if (number == kDiagramWindow) DiagramWindowDpiChanged(dpi);
  if (number == kMainWindow) {
    ApplyAnchoring();
    // Owner-drawn menu items keep the size measured at the old DPI until told.
    if (HMENU bar = MenuBarHandle()) RemeasureMenu(bar);
    for (int menu = 1; menu <= 5; ++menu) {
      if (HMENU popup = PopupMenuHandle(menu)) RemeasureMenu(popup);
    }
    QueueLoopEvent({kEventSize, 0, 0, kMainWindow});  // the graphs and strips follow the width
    UpdateStatusBar(kStatusFigures);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SetControlPicture(int id, const char* name) { SetPicture(id, Picture(name, DpiOfControl(id))); }

void SetTabPicture(int view) {
  if (const ViewSpec* row = ViewOf(view)) SetPicture(kTabStrip, Picture(row->tabPicture, LayoutDpiOf(kMainWindow)));
}

void DestroyWindowIcons() { windowIcons.clear(); }

}  // namespace velkor
