#include "app/anchoring.h"

#include <algorithm>

#include "app/window_registry.h"
#include "app/program_windows.h"
#include "gfx/dpi_scale.h"

namespace velkor {

namespace {

int tabWidth = 400;

// The tab strip's and filler's top and height at the main window's DPI.
int StripTop() { return ScaleToDpi(30, LayoutDpiOf(kMainWindow)); }
int StripHeight() { return ScaleToDpi(55, LayoutDpiOf(kMainWindow)) - StripTop(); }

void PlaceControl(const ControlEntry& entry, Size parentNow) {
  const Rect r = AnchoredRect(entry.created, entry.def->anchors, entry.parentCreated, parentNow);
  RECT current{};
  GetWindowRect(entry.handle, &current);
  MapWindowPoints(HWND_DESKTOP, GetParent(entry.handle), reinterpret_cast<POINT*>(&current), 2);
  if (current.left == r.x && current.top == r.y && current.right - current.left == r.w &&
      current.bottom - current.top == r.h)
    return;
  SetWindowPos(entry.handle, nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void ApplyAnchoring() {
  if (!MainWindow) return;
  // Parents first: the table lists every container before its children.
  for (const ControlSpec& def : ControlTable()) {
    if (def.window != kMainWindow || def.anchors == kAnchorNone) continue;
    if (const ControlEntry* entry = FindControlEntry(def.id))
      PlaceControl(*entry, ClientSize(GetParent(entry->handle)));
  }
  FitTabFiller();
}

void FitTabFiller() {
  HWND filler = ControlHandle(kTabFiller);
  if (!filler || !MainWindow) return;
  const Size client = ClientSize(MainWindow);
  const int width = std::max(client.w - tabWidth, 0);
  SetWindowPos(filler, nullptr, tabWidth, StripTop(), width, StripHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetTabStripWidth(int width) {
  tabWidth = width;
  if (ControlEntry* tabs = FindControlEntry(kTabStrip)) {
    SetWindowPos(tabs->handle, nullptr, 0, StripTop(), tabWidth, StripHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    tabs->created = {0, StripTop(), tabWidth, StripHeight()};
  }
  FitTabFiller();
}

}  // namespace velkor
