#include "app/control_factory.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/tooltips.h"
#include "app/window_procs.h"
#include "app/window_registry.h"
#include "app/windows.h"
#include "gfx/look_cache_win.h"
#include "win/unique_handle.h"

namespace velkor {

namespace {

// Fonts 0 (bold), 1 and 2, 3 (the big heading) and 4 (links): Tahoma.
HFONT Font(int number) {
  switch (number) {
    case 0: return CachedFont(8, true);
    case 3: return CachedFont(14, true, true);
    case 4: return CachedFont(8, false, true);
    default: return CachedFont(8);
  }
}

// Links are underlined (font 4).
int FontNumberOf(const ControlSpec& def) {
  if (def.kind == ControlKind::kLink) return 4;
  return (def.flags & kBigFont) ? 3 : (def.flags & kBold) ? 0 : 1;
}

// A label gets the room its caption needs at its font: a one-line label is
// widened to its text (a right-aligned one keeps its right edge), a label of
// several lines grows downwards; nothing wraps or is cut.
void FitLabelToText(const ControlSpec& def, const std::string& text, Rect& r) {
  const bool label = def.kind == ControlKind::kLabel || def.kind == ControlKind::kLabelRight ||
                     def.kind == ControlKind::kLink;
  if (!label || text.empty()) return;
  win::WindowDc screen(nullptr);
  if (!screen.get()) return;
  win::SelectScope font(screen.get(), Font(FontNumberOf(def)));
  TEXTMETRICA metrics{};
  GetTextMetricsA(screen.get(), &metrics);
  const int line = metrics.tmHeight;
  RECT needed{0, 0, r.w, 0};
  const bool oneLine = text.find('\n') == std::string::npos && r.h < 2 * line;
  DrawTextA(screen.get(), text.c_str(), -1, &needed, DT_CALCRECT | DT_NOPREFIX | (oneLine ? DT_SINGLELINE : DT_WORDBREAK));
  if (oneLine && needed.right > r.w) {
    if (def.kind == ControlKind::kLabelRight) r.x -= needed.right - r.w;
    r.w = needed.right;
  }
  r.h = std::max(r.h, static_cast<int>(needed.bottom));
}

}  // namespace

HWND CreateTopLevel(const WindowSpec& def, HINSTANCE instance, int x, int y, int outerW, int outerH, DWORD style,
                    DWORD exStyle) {
  const char* className = def.dropShadow ? kShadowWindowClass : kWindowClass;
  HWND owner = def.owned ? MainWindow : nullptr;
  return CreateWindowExA(exStyle, className, std::string(def.title).c_str(), style, x, y, outerW, outerH, owner,
                         nullptr, instance, nullptr);
}

HWND CreateControl(const ControlSpec& def, Size mainClient, HINSTANCE instance) {
  HWND parent = def.parent == 0 ? WindowHandle(def.window) : ControlHandle(def.parent);
  if (!parent) return nullptr;
  const int w0 = mainClient.w, h0 = mainClient.h;
  Rect r{def.x.Resolve(w0, h0), def.y.Resolve(w0, h0), def.w.Resolve(w0, h0), def.h.Resolve(w0, h0)};
  DWORD style = WS_CHILD | ((def.flags & kHidden) ? 0 : WS_VISIBLE) | ((def.flags & kDisabled) ? WS_DISABLED : 0);
  DWORD exStyle = 0;
  const char* className = "STATIC";
  std::string text(def.text);
  int height = r.h;
  switch (def.kind) {
    case ControlKind::kPanel:
      className = kContainerClass;
      style |= WS_CLIPCHILDREN;
      text.clear();
      break;
    case ControlKind::kBox:
      className = kContainerClass;
      style |= WS_CLIPCHILDREN | WS_BORDER;
      break;
    case ControlKind::kScrollArea:
      className = kContainerClass;
      style |= WS_CLIPCHILDREN | WS_VSCROLL;
      break;
    case ControlKind::kImage:
      style |= SS_BITMAP | SS_NOTIFY | ((def.flags & kStretch) ? SS_REALSIZECONTROL : 0);
      break;
    case ControlKind::kSunkenImage:
      style |= SS_BITMAP | SS_NOTIFY;
      exStyle |= WS_EX_STATICEDGE;
      break;
    case ControlKind::kList:
      className = WC_LISTVIEWA;
      style |= LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP | ((def.flags & kMultiSelect) ? 0 : LVS_SINGLESEL);
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kReadOnlyField:
      className = "EDIT";
      style |= ES_READONLY | ES_AUTOHSCROLL;
      break;
    // A label widened to its text may reach under the next one, which was
    // made later and lies below it: each leaves the other's area alone.
    case ControlKind::kLabel: style |= SS_LEFT | SS_NOPREFIX | WS_CLIPSIBLINGS; break;
    case ControlKind::kLabelRight: style |= SS_RIGHT | SS_NOPREFIX | WS_CLIPSIBLINGS; break;
    case ControlKind::kLink: style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX | WS_CLIPSIBLINGS; break;
    case ControlKind::kCheckBox:
      className = "BUTTON";
      style |= BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
    case ControlKind::kButton:
      className = "BUTTON";
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::kDefaultButton:
      className = "BUTTON";
      style |= BS_DEFPUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::kToolbarButton:
      className = "BUTTON";
      style |= BS_OWNERDRAW;
      break;
    case ControlKind::kEdit:
      className = "EDIT";
      style |= ES_AUTOHSCROLL | WS_TABSTOP;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kNumberEdit:
    case ControlKind::kSpinEdit:
      className = "EDIT";
      style |= ES_AUTOHSCROLL | ES_NUMBER | ES_RIGHT | WS_TABSTOP;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kComboEdit:
      className = "COMBOBOX";
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
      height = def.limit;
      break;
    case ControlKind::kComboImages:
      className = WC_COMBOBOXEXA;
      style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
      height = def.limit;
      break;
    case ControlKind::kGroup:
      className = "BUTTON";
      style |= BS_GROUPBOX;
      break;
    case ControlKind::kSeparator: break;  // a one-pixel static painted in the line colour
    case ControlKind::kMultiLineReadOnly:
      className = "EDIT";
      style |= ES_MULTILINE | ES_READONLY | WS_VSCROLL;
      break;
  }
  FitLabelToText(def, text, r);
  if (height < r.h && def.kind != ControlKind::kComboEdit && def.kind != ControlKind::kComboImages) height = r.h;
  const bool tooltipOnly = def.kind == ControlKind::kToolbarButton;
  HWND control = CreateWindowExA(exStyle, className, tooltipOnly ? "" : text.c_str(), style, r.x, r.y, r.w, height,
                                 parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(def.id)), instance, nullptr);
  if (!control) return nullptr;
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(FontNumberOf(def))), FALSE);
  HWND topLevel = WindowHandle(def.window);
  if (tooltipOnly && !text.empty()) AddTooltip(topLevel, control, text);
  if (!def.tooltip.empty()) AddTooltip(topLevel, control, std::string(def.tooltip));
  if ((def.kind == ControlKind::kNumberEdit || def.kind == ControlKind::kEdit) && def.limit > 0)
    SendMessageA(control, EM_SETLIMITTEXT, static_cast<WPARAM>(def.limit), 0);
  if (def.kind == ControlKind::kSpinEdit) {
    HWND spin = CreateWindowExA(0, UPDOWN_CLASSA, nullptr,
                                WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                0, 0, 0, 0, parent, nullptr, instance, nullptr);
    SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control), 0);
    SendMessageA(spin, UDM_SETRANGE32, 0, def.limit);
  }
  if (def.kind == ControlKind::kScrollArea) {
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, def.limit - 1, static_cast<UINT>(r.h), 0, 0};
    SetScrollInfo(control, SB_VERT, &info, FALSE);
  }
  if (def.kind == ControlKind::kList) {
    ListView_SetExtendedListViewStyle(control, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_DOUBLEBUFFER);
    int column = 0;
    for (const ColumnSpec& c : ColumnTable()) {
      if (c.list != def.id) continue;
      std::string header(c.header);
      LVCOLUMNA lv{};
      lv.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      lv.fmt = c.right ? LVCFMT_RIGHT : LVCFMT_LEFT;
      lv.cx = c.width;
      lv.pszText = header.data();
      SendMessageA(control, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column++), reinterpret_cast<LPARAM>(&lv));
    }
  }
  AddControl({control, &def, r, ClientSize(parent)});
  return control;
}

}  // namespace velkor
