#include "app/tooltips.h"

#include <commctrl.h>

#include <map>

#include "app/program_windows.h"
#include "gfx/dpi_scale.h"
#include "win/accessible.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"

namespace velkor {

namespace {

// A tooltip is a popup owned by its window and would go with it; its owner
// here lets it go first, and lets be one whose window went before.
std::map<HWND, win::UniqueWindow> tooltips;  // window -> its tooltip control
std::map<HWND, std::string> texts;           // control -> its tooltip's text

TOOLINFOA ToolOf(HWND window, HWND control) {
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  return tool;
}

}  // namespace

void AddTooltip(HWND window, HWND control, const std::string& text) {
  win::UniqueWindow& tip = tooltips[window];
  if (!tip) {
    tip.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                              0, window, nullptr, GetModuleHandleA(nullptr), nullptr));
    SendMessageA(tip.get(), TTM_SETMAXTIPWIDTH, 0, ScaleToDpi(300, win::WindowDpi(window)));
  }
  TOOLINFOA tool = ToolOf(window, control);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(tip.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  texts[control] = text;
}

void SetToolbarTooltip(int id, const std::string& text) {
  HWND control = ControlHandle(id);
  if (!control) return;
  const bool renamed = TooltipTextOf(control) != text;
  if (auto tip = tooltips.find(MainWindow); tip != tooltips.end() && tip->second) {
    TOOLINFOA tool = ToolOf(MainWindow, control);
    SendMessageA(tip->second.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  AddTooltip(MainWindow, control, text);
  // Readers name the button by its tooltip.
  if (renamed) win::AnnounceNameChange(control, CHILDID_SELF);
}

std::string TooltipTextOf(HWND control) {
  const auto found = texts.find(control);
  return found == texts.end() ? std::string() : found->second;
}

void DestroyTooltips() {
  tooltips.clear();
  texts.clear();
}

}  // namespace velkor
