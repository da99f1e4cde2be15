#include "app/toolbar_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/command_decision_win.h"
#include "app/command_table.h"
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

// A toolbar button's row: the one of the view shown, where it differs per view.
const CommandRow* ButtonRow(int id) {
  if (id < kFirstToolbarCommand || id > kLastToolbarCommand) return nullptr;
  const CommandRow* row = FindCommandRowInView(id, CurrentView);
  return row ? row : FindCommandRow(id);
}

const Canvas* GreyIcon(const char* name, int dpi) {
  return CachedPicture(ScaledImageName(name, ImageScaleForDpi(dpi)) + "@grey", [name, dpi] {
    const Canvas* icon = CachedPictureForDpi(name, dpi);
    return icon ? std::optional<Canvas>(GreyedIcon(*icon)) : std::nullopt;
  });
}

bool mouseActivity = false;

bool AnyGlowLit() {
  for (int id = kFirstToolbarCommand; id <= kLastToolbarCommand; ++id)
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
  const CommandRow* row = ButtonRow(id);
  if (!row || !row->buttonPicture || item->CtlType != ODT_BUTTON) return false;
  const bool enabled = IsWindowEnabled(item->hwndItem) != 0;
  const char* name = (!enabled && row->greyPicture) ? row->greyPicture : row->buttonPicture;
  // A button without a greyed picture of its own is greyed from its icon.
  const int dpi = LayoutDpiOf(kMainWindow);
  const Canvas* icon = (!enabled && !row->greyPicture) ? GreyIcon(name, dpi) : CachedPictureForDpi(name, dpi);
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
  // The buttons that follow the selection, redrawn every time.
  constexpr int kSelectionButtons[] = {kProcessInfoCommand, kSearchCommand, kKillCommand};
  for (int id : kSelectionButtons) {
    if (HWND button = ControlHandle(id)) EnableWindow(button, DecideCommandState(id, context).enabled ? TRUE : FALSE);
  }
  for (int id : kSelectionButtons) DrawToolbarButton(id);
  // The other buttons are redrawn only when their state changes.
  for (int id = kFirstToolbarCommand; id < kKillCommand; ++id) {
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
  for (int id = kFirstToolbarCommand; id <= kLastToolbarCommand; ++id) {
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
