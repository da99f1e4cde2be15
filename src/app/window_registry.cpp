#include "app/window_registry.h"

#include <array>
#include <map>

#include "app/program_windows.h"

namespace velkor {

HWND MainWindow = nullptr;

namespace {

struct Registry {
  std::array<win::UniqueWindow, kWindowCount> windows;
  std::map<int, ControlEntry> controls;
  std::array<int, kWindowCount> dpi{96, 96, 96, 96, 96, 96, 96};
};
Registry built;

}  // namespace

void AdoptWindow(int number, win::UniqueWindow window) {
  if (number < 0 || number >= kWindowCount) return;
  if (number == kMainWindow) MainWindow = window.get();
  built.windows[static_cast<size_t>(number)] = std::move(window);
}

void AddControl(const ControlEntry& entry) { built.controls[entry.def->id] = entry; }

ControlEntry* FindControlEntry(int id) {
  auto found = built.controls.find(id);
  return found == built.controls.end() ? nullptr : &found->second;
}

const ControlSpec* SpecOfControl(HWND control) {
  if (!control) return nullptr;
  const ControlEntry* entry = FindControlEntry(GetDlgCtrlID(control));
  return entry && entry->handle == control ? entry->def : nullptr;
}

int ExactWindowNumber(HWND window) {
  for (int n = 0; n < kWindowCount; ++n)
    if (window && built.windows[static_cast<size_t>(n)].get() == window) return n;
  return -1;
}

int LayoutDpiOf(int number) {
  return (number >= 0 && number < kWindowCount) ? built.dpi[static_cast<size_t>(number)] : 96;
}

void SetLayoutDpi(int number, int dpi) {
  if (number >= 0 && number < kWindowCount) built.dpi[static_cast<size_t>(number)] = dpi > 0 ? dpi : 96;
}

void ForgetWindow(int number) {
  if (number <= kMainWindow || number >= kWindowCount) return;
  std::erase_if(built.controls, [number](const auto& entry) { return entry.second.def->window == number; });
  built.windows[static_cast<size_t>(number)].reset();
  built.dpi[static_cast<size_t>(number)] = 96;
}

void DestroyAllWindows() {
  // Windows 1 to 5 before window 0, which owns most of them; the owners let
  // a window that went with its owner be.
  for (size_t n = built.windows.size(); n-- > 0;) built.windows[n].reset();
  MainWindow = nullptr;
  built.controls.clear();
  built.dpi.fill(96);
}

Size ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

int WindowNumberOf(HWND window) {
  for (HWND w = window; w; w = GetParent(w)) {
    const int number = ExactWindowNumber(w);
    if (number >= 0) return number;
    if (!(GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD)) break;
  }
  return -1;
}

HWND BuiltWindow(int number) {
  return (number >= 0 && number < kWindowCount) ? built.windows[static_cast<size_t>(number)].get() : nullptr;
}

HWND WindowHandle(int number) {
  if (number > kMainWindow && number < kProcessInfoWindow && MainWindow && !BuiltWindow(number))
    BuildOtherWindow(number);
  return BuiltWindow(number);
}

HWND BuiltControl(int id) {
  const ControlEntry* entry = FindControlEntry(id);
  return entry ? entry->handle : nullptr;
}

HWND ControlHandle(int id) { return BuiltControl(id); }

}  // namespace velkor
