#include "app/control_factory.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "app/accessibility.h"
#include "app/keyboard.h"
#include "app/layout_scale.h"
#include "app/tooltips.h"
#include "app/window_procs.h"
#include "app/window_registry.h"
#include "app/program_windows.h"
#include "gfx/dpi_scale.h"
#include "gfx/look_cache_win.h"
#include "win/unique_handle.h"

namespace velkor {

namespace {

// Fonts 0 (bold), 1 and 2, 3 (the big heading) and 4 (links): Tahoma, at
// their point sizes for the window's DPI.
HFONT Font(int number, int dpi) {
  switch (number) {
    case 0: return CachedFont(8, true, false, dpi);
    case 3: return CachedFont(14, true, true, dpi);
    case 4: return CachedFont(8, false, true, dpi);
    default: return CachedFont(8, false, false, dpi);
  }
}

// Links are underlined (font 4).
int FontNumberOf(const ControlSpec& def) {
  if (def.kind == ControlKind::kLink) return 4;
  return (def.flags & kBigFont) ? 3 : (def.flags & kBold) ? 0 : 1;
}

// One measuring DC like the screen for every caption: a screen DC taken and
// given back for each of them costs Wine a round trip every time.
HDC MeasuringDc() {
  static const win::UniqueMemoryDc measuring(CreateCompatibleDC(nullptr));
  return measuring.get();
}

// The room `text` takes in `def`'s font at `dpi`: on one line, or broken
// into lines of at most `width` pixels.
SIZE TextExtent(const ControlSpec& def, const std::string& text, bool oneLine, int width, int dpi) {
  HDC dc = MeasuringDc();
  if (!dc) return {};
  win::SelectScope font(dc, Font(FontNumberOf(def), dpi));
  RECT needed{0, 0, width, 0};
  DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_NOPREFIX | (oneLine ? DT_SINGLELINE : DT_WORDBREAK));
  return {needed.right, needed.bottom};
}

int LineHeight(const ControlSpec& def, int dpi) {
  HDC dc = MeasuringDc();
  if (!dc) return 0;
  win::SelectScope font(dc, Font(FontNumberOf(def), dpi));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  return metrics.tmHeight;
}

// A check box's caption starts right of its box.
int CheckBoxIndent(int dpi) { return ScaleToDpi(17, dpi); }

// A label gets the room its caption needs at its font: a one-line label is
// widened to its text (a right-aligned one keeps its right edge), a label of
// several lines grows downwards; a check box is widened to its box and
// caption. Nothing wraps or is cut.
void FitLabelToText(const ControlSpec& def, const std::string& text, Rect& r, int dpi) {
  const bool label =
      def.kind == ControlKind::kLabel || def.kind == ControlKind::kLabelRight || def.kind == ControlKind::kLink;
  if (text.empty()) return;
  if (def.kind == ControlKind::kCheckBox) {
    r.w = std::max(r.w, CheckBoxIndent(dpi) + static_cast<int>(TextExtent(def, text, true, 0, dpi).cx));
    return;
  }
  if (!label) return;
  const bool oneLine = text.find('\n') == std::string::npos && r.h < 2 * LineHeight(def, dpi);
  const SIZE needed = TextExtent(def, text, oneLine, r.w, dpi);
  if (oneLine && needed.cx > r.w) {
    if (def.kind == ControlKind::kLabelRight) r.x -= needed.cx - r.w;
    r.w = needed.cx;
  }
  r.h = std::max(r.h, static_cast<int>(needed.cy));
}

// The width a caption takes on one line, with a check box's box.
int CaptionWidth(const ControlSpec& def, int dpi) {
  const int text = static_cast<int>(TextExtent(def, std::string(def.text), true, 0, dpi).cx);
  return def.kind == ControlKind::kCheckBox ? CheckBoxIndent(dpi) + text : text;
}

// Where a control marked kAfterCaption may start at `dpi`: past the widest
// caption of the nearest caption column left of it in its row, a small gap
// after it. Measured once per control and DPI.
int AfterCaptionsAtDpi(const ControlSpec& value, int dpi) {
  static std::map<std::pair<int, int>, int> measured;
  if (const auto found = measured.find({value.id, dpi}); found != measured.end()) return found->second;
  const auto inColumn = [&value](const ControlSpec& c) {
    return (c.flags & kCaption) && c.window == value.window && c.parent == value.parent && c.x.base < value.x.base;
  };
  // The column is the nearest one with a caption in the value's row.
  const auto inRow = [&value](const ControlSpec& c) {
    return c.y.base < value.y.base + value.h.base && value.y.base < c.y.base + c.h.base;
  };
  int columnX = -1;
  for (const ControlSpec& c : ControlTable())
    if (inColumn(c) && inRow(c)) columnX = std::max(columnX, c.x.base);
  int start = 0;
  if (columnX >= 0) {
    int widest = 0;
    for (const ControlSpec& c : ControlTable())
      if (inColumn(c) && c.x.base == columnX) widest = std::max(widest, CaptionWidth(c, dpi));
    start = ScaleToDpi(columnX, dpi) + widest + ScaleToDpi(4, dpi);
  }
  measured[{value.id, dpi}] = start;
  return start;
}

// Where `def` goes at `dpi` for a main window client size of `mainClient`,
// labels fitted to their captions and values placed after theirs; `height`
// is the height a combo box is created with (its drop-down list included).
Rect PlaceAtDpi(const ControlSpec& def, Size mainClient, int dpi, int& height) {
  const ControlSpec scaled = ScaleControlSpec(def, dpi);
  const int w0 = mainClient.w, h0 = mainClient.h;
  Rect r{scaled.x.Resolve(w0, h0), scaled.y.Resolve(w0, h0), scaled.w.Resolve(w0, h0), scaled.h.Resolve(w0, h0)};
  if (def.flags & kAfterCaption) {
    const int start = AfterCaptionsAtDpi(def, dpi);
    if (start > r.x) {
      r.w = std::max(r.w - (start - r.x), 0);
      r.x = start;
    }
  }
  FitLabelToText(def, std::string(def.text), r, dpi);
  const bool combo = def.kind == ControlKind::kComboEdit || def.kind == ControlKind::kComboImages;
  height = combo ? scaled.limit : r.h;
  if (height < r.h && !combo) height = r.h;
  return r;
}

// The up-down control made beside a spin field: the sibling whose buddy it is.
HWND SpinOf(HWND field) {
  for (HWND w = GetWindow(GetParent(field), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    char name[32] = {};
    GetClassNameA(w, name, sizeof name);
    if (lstrcmpiA(name, UPDOWN_CLASSA) == 0 && reinterpret_cast<HWND>(SendMessageA(w, UDM_GETBUDDY, 0, 0)) == field)
      return w;
  }
  return nullptr;
}

// A spin field and its arrows share the table's rectangle. The system
// places the arrows at its 96-DPI sizes wherever they are; at another scale
// that placement is scaled: the room taken from the field, the arrows'
// width and their overlap with the field's edge.
void FitSpinArrows(HWND field, HWND spin, const Rect& r, int dpi) {
  if (!field || !spin || dpi == kDesignDpi) return;
  RECT placed{}, rest{};
  GetWindowRect(spin, &placed);
  GetWindowRect(field, &rest);
  const int taken = r.w - (rest.right - rest.left), overlap = rest.right - placed.left;
  MapWindowPoints(HWND_DESKTOP, GetParent(spin), reinterpret_cast<POINT*>(&placed), 2);
  const int fieldWidth = r.w - ScaleToDpi(taken, dpi);
  SetWindowPos(field, nullptr, 0, 0, fieldWidth, r.h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(spin, nullptr, r.x + fieldWidth - ScaleToDpi(overlap, dpi), placed.top,
               ScaleToDpi(placed.right - placed.left, dpi), placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A new control goes to the bottom of its siblings; the group frames among
// them go below it again, so they never cover what they frame.
void KeepGroupFramesBelow(const ControlSpec& made) {
  if (made.kind == ControlKind::kGroup) return;
  for (const ControlSpec& group : ControlTable()) {
    if (group.kind != ControlKind::kGroup || group.window != made.window || group.parent != made.parent) continue;
    if (HWND frame = BuiltControl(group.id))
      SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
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
  const int dpi = LayoutDpiOf(def.window);
  int height = 0;
  Rect r = PlaceAtDpi(def, mainClient, dpi, height);
  DWORD style = WS_CHILD | ((def.flags & kHidden) ? 0 : WS_VISIBLE) | ((def.flags & kDisabled) ? WS_DISABLED : 0);
  DWORD exStyle = 0;
  const char* className = "STATIC";
  std::string text(def.text);
  switch (def.kind) {
    // Tab and the arrows go through the controls inside a container.
    case ControlKind::kPanel:
      className = kContainerClass;
      style |= WS_CLIPCHILDREN;
      exStyle |= WS_EX_CONTROLPARENT;
      text.clear();
      break;
    case ControlKind::kBox:
      className = kContainerClass;
      style |= WS_CLIPCHILDREN | WS_BORDER;
      exStyle |= WS_EX_CONTROLPARENT;
      break;
    case ControlKind::kScrollArea:
      className = kContainerClass;
      style |= WS_CLIPCHILDREN | WS_VSCROLL;
      exStyle |= WS_EX_CONTROLPARENT;
      break;
    case ControlKind::kImage:
      style |= SS_BITMAP | SS_NOTIFY | ((def.flags & kStretch) ? SS_REALSIZECONTROL : 0) |
               ((def.flags & kTabStop) ? WS_TABSTOP : 0);
      // Between the scales pictures come in, a picture is centred in its
      // larger place instead of being stretched to it.
      if (!(def.flags & kStretch) && ImageDpi(ImageScaleForDpi(dpi)) != dpi) style |= SS_CENTERIMAGE;
      break;
    case ControlKind::kSunkenImage:
      style |= SS_BITMAP | SS_NOTIFY;
      exStyle |= WS_EX_STATICEDGE;
      break;
    case ControlKind::kList:
      className = WC_LISTVIEWA;
      style |= LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP | ((def.flags & kMultiSelect) ? 0 : LVS_SINGLESEL) |
               ((def.flags & kOwnerData) ? LVS_OWNERDATA : 0);
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
    case ControlKind::kLink:
      style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX | WS_CLIPSIBLINGS | (text.empty() ? 0 : WS_TABSTOP);
      break;
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
      break;
    case ControlKind::kComboImages:
      className = WC_COMBOBOXEXA;
      style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
      break;
    case ControlKind::kGroup:
      className = "BUTTON";
      style |= BS_GROUPBOX | WS_CLIPSIBLINGS;
      break;
    case ControlKind::kSeparator: break;  // a one-pixel static painted in the line colour
    case ControlKind::kMultiLineReadOnly:
      className = "EDIT";
      style |= ES_MULTILINE | ES_READONLY | WS_VSCROLL;
      break;
    case ControlKind::kTabs:
      className = WC_TABCONTROLA;
      style |= WS_CLIPSIBLINGS | WS_TABSTOP;
      break;
  }
  const bool tooltipOnly = def.kind == ControlKind::kToolbarButton;
  HWND control = CreateWindowExA(exStyle, className, tooltipOnly ? "" : text.c_str(), style, r.x, r.y, r.w, height,
                                 parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(def.id)), instance, nullptr);
  if (!control) return nullptr;
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(FontNumberOf(def), dpi)), FALSE);
  HWND topLevel = WindowHandle(def.window);
  if (tooltipOnly && !text.empty()) AddTooltip(topLevel, control, text);
  if (!def.tooltip.empty()) AddTooltip(topLevel, control, std::string(def.tooltip));
  if ((def.kind == ControlKind::kNumberEdit || def.kind == ControlKind::kEdit) && def.limit > 0)
    SendMessageA(control, EM_SETLIMITTEXT, static_cast<WPARAM>(def.limit), 0);
  if (def.kind == ControlKind::kGroup) GiveGroupFrameItsBackground(control);
  if (def.id == kTabStrip) GiveTabStripKeys(control);
  if (def.kind == ControlKind::kLink) GiveLinkKeys(control);
  KeepGroupFramesBelow(def);
  if (def.kind == ControlKind::kSpinEdit) {
    HWND spin =
        CreateWindowExA(0, UPDOWN_CLASSA, nullptr,
                        WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0,
                        0, 0, 0, parent, nullptr, instance, nullptr);
    SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control), 0);
    SendMessageA(spin, UDM_SETRANGE32, 0, def.limit);
    FitSpinArrows(control, spin, r, dpi);
  }
  if (def.kind == ControlKind::kScrollArea) {
    SCROLLINFO info{
        sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, ScaleToDpi(def.limit, dpi) - 1, static_cast<UINT>(r.h), 0, 0};
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
      lv.cx = ColumnWidthAtDpi(c.width, dpi);
      lv.pszText = header.data();
      SendMessageA(control, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column++), reinterpret_cast<LPARAM>(&lv));
    }
  }
  AddControl({control, &def, r, ClientSize(parent)});
  DescribeControl(def, control);
  return control;
}

}  // namespace velkor

namespace velkor {

void RelayOutControlsAtDpi(int number, Size mainClient, int oldDpi, int dpi) {
  for (const ControlSpec& def : ControlTable()) {
    if (def.window != number) continue;
    ControlEntry* entry = FindControlEntry(def.id);
    if (!entry || !entry->handle) continue;
    int height = 0;
    const Rect r = PlaceAtDpi(def, mainClient, dpi, height);
    SetWindowPos(entry->handle, nullptr, r.x, r.y, r.w, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(entry->handle, WM_SETFONT, reinterpret_cast<WPARAM>(Font(FontNumberOf(def), dpi)), TRUE);
    entry->created = r;
    entry->parentCreated = ClientSize(GetParent(entry->handle));
    if (def.kind == ControlKind::kImage && !(def.flags & kStretch)) {
      LONG_PTR style = GetWindowLongPtrA(entry->handle, GWL_STYLE) & ~LONG_PTR{SS_CENTERIMAGE};
      if (ImageDpi(ImageScaleForDpi(dpi)) != dpi) style |= SS_CENTERIMAGE;
      SetWindowLongPtrA(entry->handle, GWL_STYLE, style);
    }
    if (def.kind == ControlKind::kSpinEdit)
      if (HWND spin = SpinOf(entry->handle)) {
        SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(entry->handle), 0);
        FitSpinArrows(entry->handle, spin, r, dpi);
      }
    if (def.kind == ControlKind::kScrollArea) {
      SCROLLINFO info{
          sizeof info, SIF_RANGE | SIF_PAGE, 0, ScaleToDpi(def.limit, dpi) - 1, static_cast<UINT>(r.h), 0, 0};
      SetScrollInfo(entry->handle, SB_VERT, &info, TRUE);
    }
    // A column keeps the width it has (the user's), in the new DPI's pixels;
    // a hidden one stays hidden.
    if (def.kind == ControlKind::kList) {
      HWND header = ListView_GetHeader(entry->handle);
      const int count = header ? Header_GetItemCount(header) : 0;
      for (int column = 0; column < count; ++column) {
        const int width = ListView_GetColumnWidth(entry->handle, column);
        if (width > 0)
          ListView_SetColumnWidth(entry->handle, column, ColumnWidthAtDpi(StoredColumnWidth(width, oldDpi), dpi));
      }
    }
  }
}

}  // namespace velkor
