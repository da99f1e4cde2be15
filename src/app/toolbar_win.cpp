#include "app/toolbar_win.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/command_decision_win.h"
#include "app/startup.h"
#include "app/toolbar.h"
#include "app/layout.h"
#include "app/layout_scale.h"
#include "app/window_registry.h"
#include "app/program_windows.h"
#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "win/source_location.h"

namespace velkor {

namespace {

struct ButtonPictures {
  const char* normal;
  const char* grey;  // null: the button is never disabled
};

std::optional<ButtonPictures> PicturesOf(int id) {
  switch (id) {
    case 19: return ButtonPictures{images::kToolbarTaskmgr, nullptr};
    case 20: return ButtonPictures{images::kToolbarPreferences, nullptr};
    case 21: return ButtonPictures{images::kToolbarDiagram, nullptr};
    case 22: return ButtonPictures{images::kToolbarRun, nullptr};
    case 23: return ButtonPictures{images::kToolbarEndProcess, images::kToolbarEndProcessGrey};
    case 24: return ButtonPictures{images::kToolbarWebSearch, images::kToolbarWebSearchGrey};
    case 25: return ButtonPictures{images::kToolbarInformation, images::kToolbarInformationGrey};
    default: return std::nullopt;
  }
}

const Canvas* GreyIcon(const char* name, int dpi) {
  return CachedPicture(ScaledImageName(name, ImageScaleForDpi(dpi)) + "@grey", [name, dpi] {
    const Canvas* icon = CachedPictureForDpi(name, dpi);
    return icon ? std::optional<Canvas>(GreyedIcon(*icon)) : std::nullopt;
  });
}

bool mouseActivity = false;

bool AnyGlowLit() {
  for (int id = 19; id <= 25; ++id)
    if (HoverLevel(id) > 0) return true;
  return false;
}

}  // namespace

int HoverLevel(int id) {
  HWND button = ControlHandle(id);
  return button ? static_cast<int>(GetWindowLongPtrA(button, GWLP_USERDATA)) : 0;
}

void SetHoverLevel(int id, int level) {
  if (HWND button = ControlHandle(id)) SetWindowLongPtrA(button, GWLP_USERDATA, std::clamp(level, 0, kHoverLevelMax));
}

bool PaintToolbarButton(const DRAWITEMSTRUCT* item) {
  VELKOR_PLACE(kProceduresUnit);
  const int id = static_cast<int>(item->CtlID);
  const std::optional<ButtonPictures> pictures = PicturesOf(id);
  if (!pictures || item->CtlType != ODT_BUTTON) return false;
  const bool enabled = IsWindowEnabled(item->hwndItem) != 0;
  const char* name = (!enabled && pictures->grey) ? pictures->grey : pictures->normal;
  // A button without a greyed picture of its own is greyed from its icon.
  const int dpi = LayoutDpiOf(kMainWindow);
  const Canvas* icon = (!enabled && !pictures->grey) ? GreyIcon(name, dpi) : CachedPictureForDpi(name, dpi);
  const Canvas face = DrawToolbarButton(HoverLevel(id), enabled, icon, dpi);
  PaintCanvas(item->hDC, face, item->rcItem.left, item->rcItem.top);
  return true;
}

void DrawToolbarButton(int id) {
  if (HWND button = ControlHandle(id)) RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void UpdateToolbarStates() {
  VELKOR_PLACE(kProceduresUnit);
  const CommandContext context = CommandContextNow();
  for (int id : {25, 24, 23}) {
    if (HWND button = ControlHandle(id)) EnableWindow(button, DecideCommandState(id, context).enabled ? TRUE : FALSE);
  }
  for (int id : {25, 24, 23}) DrawToolbarButton(id);
  // The other buttons change only when a feature is missing: redrawn then.
  for (int id = 19; id <= 22; ++id) {
    HWND button = ControlHandle(id);
    const bool enabled = DecideCommandState(id, context).enabled;
    if (!button || (IsWindowEnabled(button) != 0) == enabled) continue;
    EnableWindow(button, enabled ? TRUE : FALSE);
    DrawToolbarButton(id);
  }
}

void NoteMouseActivity() { mouseActivity = true; }

bool ToolbarAnimating() { return mouseActivity || AnyGlowLit(); }

void ToolbarHoverStep() {
  VELKOR_PLACE(kProceduresUnit);
  if (!MainWindow) return;
  if (!mouseActivity && !AnyGlowLit()) return;
  mouseActivity = false;
  POINT cursor{};
  GetCursorPos(&cursor);
  ScreenToClient(MainWindow, &cursor);
  const bool mainEnabled = IsWindowEnabled(MainWindow) != 0;
  const int dpi = LayoutDpiOf(kMainWindow);
  for (int id = 19; id <= 25; ++id) {
    const ControlSpec* entry = FindControlSpec(id);
    if (!entry || !ControlHandle(id)) continue;
    const ControlSpec scaled = ScaleControlSpec(*entry, dpi);
    const ControlSpec* def = &scaled;
    // The buttons never move: their rectangles come from the layout, which
    // spares the idle pass a window-manager query per button 40 times a second.
    const RECT r{def->x.base, def->y.base, def->x.base + def->w.base, def->y.base + def->h.base};
    const bool inside =
        mainEnabled && cursor.x > r.left && cursor.x < r.right && cursor.y > r.top && cursor.y < r.bottom;
    const int before = HoverLevel(id);
    const int after = NextHoverLevel(before, inside);
    if (after == before) continue;  // nothing would change on screen
    SetHoverLevel(id, after);
    DrawToolbarButton(id);
  }
}

}  // namespace velkor
