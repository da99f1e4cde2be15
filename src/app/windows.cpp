#include "app/windows.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/effects_win.h"
#include "app/event_loop.h"
#include "app/information.h"
#include "app/menus.h"
#include "app/preferences_commands.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "app/toolbar_win.h"
#include "gfx/bitmap.h"
#include "gfx/image_names.h"
#include "lists/driver_list_win.h"
#include "lists/service_list_win.h"
#include "lists/window_list_win.h"
#include "lists/network_adapters_win.h"
#include "monitor/diagram_window_win.h"
#include "monitor/history_strip.h"
#include "monitor/monitor_view.h"
#include "monitor/monitor_view_win.h"
#include "monitor/process_summary_win.h"
#include "procs/process_list.h"
#include "procs/process_list_win.h"
#include "procs/process_commands_win.h"
#include "settings/preferences.h"
#include "settings/preferences_window_win.h"
#include "settings/settings_file_win.h"
#include "win/unique_handle.h"

namespace velkor {

HWND MainWindow = nullptr;

namespace {

constexpr const char* kWindowClass = "VelkorWindow";
constexpr const char* kContainerClass = "VelkorPanel";

struct ControlEntry {
  HWND handle = nullptr;
  const ControlSpec* def = nullptr;
  Rect created;        // in the parent's client area
  Size parentCreated;  // the parent's client size at creation
};

struct WindowState {
  std::array<HWND, kWindowCount> windows{};
  std::map<int, ControlEntry> controls;
  std::array<win::UniqueFont, 5> fonts;  // 0..3, and 4 for links
  win::UniqueBrush panelBrush;
  win::UniqueBrush whiteBrush;
  win::UniqueBrush lineBrush;
  std::map<std::string, win::UniqueBitmap> bitmaps;  // by resource name
  std::map<HWND, HWND> tooltips;                     // window -> its tooltip control
  std::vector<win::UniqueIcon> icons;
  Size mainClientAtCreation;
  std::deque<LoopEvent> events;
  bool callbackInstalled = false;
  int tabView = 0;
  int tabWidth = 400;
};
WindowState ui;

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }

HFONT Font(int number) { return ui.fonts[static_cast<size_t>(number)].get(); }

HBITMAP Picture(const char* name) {
  auto found = ui.bitmaps.find(name);
  if (found != ui.bitmaps.end()) return found->second.get();
  win::UniqueBitmap bitmap;
  if (auto canvas = LoadPngResource(name)) {
    // A static control of the version 6 common controls shows a private copy
    // of a bitmap with any alpha, and hands that copy to whoever sets the
    // next picture: a leak at every tab change. An opaque picture loses
    // nothing without its alpha bytes and is shown as it is.
    if (std::all_of(canvas->pixels.begin(), canvas->pixels.end(), [](Pixel p) { return (p >> 24) == 0xFF; }))
      for (Pixel& p : canvas->pixels) p &= 0x00FFFFFFu;
    bitmap = CanvasToBitmap(*canvas);
  }
  HBITMAP raw = bitmap.get();
  ui.bitmaps.emplace(name, std::move(bitmap));
  return raw;
}

// A picture with transparent parts drawn over the panel colour: opaque, so
// the static control shows it as it is and keeps no private copy.
HBITMAP PictureOnPanel(const char* name) {
  const std::string key = std::string(name) + "@panel";
  if (auto found = ui.bitmaps.find(key); found != ui.bitmaps.end()) return found->second.get();
  win::UniqueBitmap bitmap;
  if (auto canvas = LoadPngResource(name)) {
    Canvas flat(canvas->width, canvas->height, MakePixel(kPanelColour.r, kPanelColour.g, kPanelColour.b));
    DrawOver(flat, *canvas, 0, 0);
    for (Pixel& p : flat.pixels) p &= 0x00FFFFFFu;
    bitmap = CanvasToBitmap(flat);
  }
  HBITMAP raw = bitmap.get();
  ui.bitmaps.emplace(key, std::move(bitmap));
  return raw;
}

Size PictureSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {};
  return {info.bmWidth, std::abs(info.bmHeight)};
}

void SetPicture(int id, HBITMAP bitmap) {
  if (HWND control = ControlHandle(id)) SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

// The window or container that an event from `control` belongs to.
int NumberOf(HWND window) {
  for (int n = 0; n < kWindowCount; ++n)
    if (ui.windows[static_cast<size_t>(n)] == window) return n;
  return -1;
}

// Control notifications become loop events: the notification code decides
// the event type.
void QueueControlEvent(HWND from, int id, int type) {
  QueueLoopEvent({kEventControl, id, type, WindowNumberOf(from)});
}

bool HandleCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (lParam == 0) {  // menu item (0) or accelerator (1)
    QueueLoopEvent({kEventMenu, id, 0, WindowNumberOf(window)});
    return true;
  }
  char className[32] = {};
  GetClassNameA(reinterpret_cast<HWND>(lParam), className, sizeof className);
  const std::string kind = className;
  if (kind == "Button") {
    if (code == BN_CLICKED) QueueControlEvent(window, id, kTypeLeftClick);
    else if (code == BN_DOUBLECLICKED) QueueControlEvent(window, id, kTypeDoubleClick);
  } else if (kind == "Static") {
    if (code == STN_CLICKED) QueueControlEvent(window, id, kTypeLeftClick);
    else if (code == STN_DBLCLK) QueueControlEvent(window, id, kTypeDoubleClick);
  } else if (kind == "Edit") {
    if (code == EN_CHANGE) QueueControlEvent(window, id, kTypeChange);
  } else if (kind == "ComboBox" || kind == "ComboBoxEx32") {
    if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) QueueControlEvent(window, id, kTypeChange);
  }
  return true;
}

void HandleNotify(HWND window, const NMHDR* header) {
  const int id = static_cast<int>(header->idFrom);
  switch (header->code) {
    case NM_CLICK: QueueControlEvent(window, id, kTypeLeftClick); break;
    case NM_RCLICK: QueueControlEvent(window, id, kTypeRightClick); break;
    case NM_DBLCLK: QueueControlEvent(window, id, kTypeDoubleClick); break;
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) &&
          ((change->uOldState ^ change->uNewState) & (LVIS_SELECTED | LVIS_FOCUSED)))
        QueueControlEvent(window, id, kTypeChange);
      break;
    }
    default: break;
  }
}

HBRUSH BackgroundOf(HWND container) {
  const int id = GetDlgCtrlID(container);
  const ControlSpec* def = (GetWindowLongPtrA(container, GWL_STYLE) & WS_CHILD) ? FindControlSpec(id) : nullptr;
  if (def && (def->kind == ControlKind::kBox || def->kind == ControlKind::kScrollArea || (def->flags & kWhite)))
    return ui.whiteBrush.get();
  if (container == MainWindow) return ui.whiteBrush.get();
  return ui.panelBrush.get();
}

// Header clicks on the service and driver lists sort them as text.
bool SortListOnHeaderClick(const NMHDR* header) {
  if (header->code != static_cast<UINT>(LVN_COLUMNCLICK)) return false;
  const int column = reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem;
  if (header->hwndFrom == ControlHandle(152)) SortServiceList(header->hwndFrom, column);
  else if (header->hwndFrom == ControlHandle(154)) SortDriverList(header->hwndFrom, column);
  else return false;
  return true;
}

LRESULT CommonMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  if (std::optional<LRESULT> answer = HandleMenuMessage(window, message, wParam, lParam)) return *answer;
  switch (message) {
    case WM_COMMAND:
      HandleCommand(window, wParam, lParam);
      return 0;
    case WM_NOTIFY: {
      // The process list's row colours, header-click sorting and locked columns.
      LRESULT answer = 0;
      if (std::optional<LRESULT> listAnswer = ProcessListNotify(reinterpret_cast<const NMHDR*>(lParam)))
        return *listAnswer;
      if (SortListOnHeaderClick(reinterpret_cast<const NMHDR*>(lParam))) return 0;
      if (WindowListNotify(reinterpret_cast<const NMHDR*>(lParam), answer)) return answer;
      if (NetworkListNotify(reinterpret_cast<const NMHDR*>(lParam), answer)) return answer;
      HandleNotify(window, reinterpret_cast<const NMHDR*>(lParam));
      break;  // list views still want the default answer
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      HWND control = reinterpret_cast<HWND>(lParam);
      const ControlSpec* def = FindControlSpec(GetDlgCtrlID(control));
      if (def && def->kind == ControlKind::kSeparator) return reinterpret_cast<LRESULT>(ui.lineBrush.get());
      SetBkMode(dc, TRANSPARENT);
      if (def && (def->flags & kRedText)) SetTextColor(dc, RGB(255, 0, 0));
      if (def && def->kind == ControlKind::kLink) SetTextColor(dc, RGB(0, 0, 255));
      HBRUSH brush = BackgroundOf(window);
      LOGBRUSH info{};
      GetObjectA(brush, sizeof info, &info);
      SetBkColor(dc, info.lbColor);
      return reinterpret_cast<LRESULT>(brush);
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (PaintToolbarButton(item)) return TRUE;
      break;
    }
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundOf(window));
      return 1;
    }
    default: break;
  }
  handled = false;
  return 0;
}

// Scroll areas move their children by whole steps of 20 pixels.
void ScrollArea(HWND area, WPARAM wParam) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(area, SB_VERT, &info);
  int position = info.nPos;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: position -= 20; break;
    case SB_LINEDOWN: position += 20; break;
    case SB_PAGEUP: position -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: position += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = info.nMin; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: break;
  }
  position = std::clamp(position, info.nMin, std::max(info.nMin, info.nMax - static_cast<int>(info.nPage) + 1));
  if (position == info.nPos) return;
  SetScrollPos(area, SB_VERT, position, TRUE);
  ScrollWindowEx(area, 0, info.nPos - position, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  const LRESULT result = CommonMessages(window, message, wParam, lParam, handled);
  if (handled) return result;
  if (message == WM_VSCROLL) {
    ScrollArea(window, wParam);
    return 0;
  }
  if (message == WM_SETCURSOR) {
    // Links show the hand.
    const ControlSpec* def = FindControlSpec(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)));
    if (def && def->kind == ControlKind::kLink && reinterpret_cast<HWND>(wParam) != window) {
      SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
      return TRUE;
    }
  }
  if (message == WM_MOUSEWHEEL && (GetWindowLongPtrA(window, GWL_STYLE) & WS_VSCROLL)) {
    ScrollArea(window, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The class procedure of the program windows before the callback is installed
// and after it is removed again.
LRESULT CALLBACK BaseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  const LRESULT result = CommonMessages(window, message, wParam, lParam, handled);
  if (handled) return result;
  const int number = NumberOf(window);
  switch (message) {
    case WM_CLOSE:
      // What a close means is the loop's decision; no window is ever destroyed here.
      QueueLoopEvent({kEventClose, 0, 0, number});
      return 0;
    case WM_SIZE:
      if (number == kMainWindow && wParam != SIZE_MINIMIZED) {
        ApplyAnchoring();
        QueueLoopEvent({kEventSize, 0, 0, number});
      }
      break;
    case WM_MOUSEMOVE:
      if (number == kMainWindow) QueueLoopEvent({kEventMouseMove, 0, 0, number});
      break;
    case WM_GETMINMAXINFO:
      if (number == kMainWindow) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {kMinimumOuterWidth, kMinimumOuterHeight};
        return 0;
      }
      break;
    case WM_WINDOWPOSCHANGING:
      if (number == kMainWindow) {
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOSIZE)) {
          const Size raised = EnforceMinimumSize({position->cx, position->cy});
          position->cx = raised.w;
          position->cy = raised.h;
        }
        SnapMainWindow(window, *position);
      }
      break;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = BaseWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "APPICON");
  // Shared, like LoadIcon's: loaded once, owned by the system, so a second
  // build (whose classes exist already) creates no icon nobody frees.
  windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, "APPICON", IMAGE_ICON, 16, 16, LR_SHARED));
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  // The information window casts a drop shadow: a class of its own.
  windowClass.style = CS_DROPSHADOW;
  windowClass.lpszClassName = "VelkorShadowWindow";
  if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  WNDCLASSEXA containerClass{};
  containerClass.cbSize = sizeof containerClass;
  containerClass.lpfnWndProc = ContainerProc;
  containerClass.hInstance = instance;
  containerClass.hCursor = windowClass.hCursor;
  containerClass.lpszClassName = kContainerClass;
  return RegisterClassExA(&containerClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void CreateFonts() {
  win::WindowDc screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  auto make = [dpi](int points, bool bold, bool underline) {
    return win::UniqueFont(CreateFontA(-MulDiv(points, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                                       underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma"));
  };
  ui.fonts[0] = make(8, true, false);
  ui.fonts[1] = make(8, false, false);
  ui.fonts[2] = make(8, false, false);
  ui.fonts[3] = make(14, true, true);
  ui.fonts[4] = make(8, false, true);
}

void SetWindowIcons(int number, const char* small, const char* big) {
  HWND window = WindowHandle(number);
  if (!window) return;
  for (auto [name, kind] : {std::pair{small, ICON_SMALL}, std::pair{big, ICON_BIG}}) {
    auto canvas = LoadPngResource(name);
    if (!canvas) continue;
    win::UniqueIcon icon = CanvasToIcon(*canvas);
    SendMessageA(window, WM_SETICON, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(icon.get()));
    ui.icons.push_back(std::move(icon));
  }
}

HWND CreateTopLevel(const WindowSpec& def, HINSTANCE instance, int x, int y, int outerW, int outerH, DWORD style,
                    DWORD exStyle) {
  const char* className = def.dropShadow ? "VelkorShadowWindow" : kWindowClass;
  HWND owner = def.owned ? MainWindow : nullptr;
  return CreateWindowExA(exStyle, className, std::string(def.title).c_str(), style, x, y, outerW, outerH, owner,
                         nullptr, instance, nullptr);
}

std::vector<Rect> MonitorWorkAreas() {
  std::vector<Rect> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoA(monitor, &info)) {
          const RECT& r = info.rcWork;
          reinterpret_cast<std::vector<Rect>*>(data)->push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

HWND ParentOf(const ControlSpec& def) {
  if (def.parent == 0) return ui.windows[static_cast<size_t>(def.window)];
  return ControlHandle(def.parent);
}

Size ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

void AddTooltip(HWND window, HWND control, const std::string& text) {
  HWND& tip = ui.tooltips[window];
  if (!tip) {
    tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                          window, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 300);
  }
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
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

HWND CreateControl(const ControlSpec& def, Size mainClient, HINSTANCE instance) {
  HWND parent = ParentOf(def);
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
  HWND topLevel = ui.windows[static_cast<size_t>(def.window)];
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
  ControlEntry entry;
  entry.handle = control;
  entry.def = &def;
  entry.created = r;
  entry.parentCreated = ClientSize(parent);
  ui.controls[def.id] = entry;
  return control;
}

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

// The controls of the "Netzwerk" view, for the view's own code.
NetworkControls NetworkViewControls() {
  NetworkControls controls;
  controls.list = ControlHandle(161);
  controls.graph = ControlHandle(157);
  controls.load = ControlHandle(160);
  controls.heading = ControlHandle(163);
  controls.picture = ControlHandle(158);
  for (int k = 0; k < kAdapterDetailCount; ++k) controls.values[static_cast<size_t>(k)] = ControlHandle(165 + 2 * k);
  return controls;
}

}  // namespace

int WindowNumberOf(HWND window) {
  for (HWND w = window; w; w = GetParent(w)) {
    const int number = NumberOf(w);
    if (number >= 0) return number;
    if (!(GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD)) break;
  }
  return -1;
}

HWND WindowHandle(int number) {
  return (number >= 0 && number < kWindowCount) ? ui.windows[static_cast<size_t>(number)] : nullptr;
}

HWND ControlHandle(int id) {
  auto found = ui.controls.find(id);
  return found == ui.controls.end() ? nullptr : found->second.handle;
}

void QueueLoopEvent(const LoopEvent& event) { ui.events.push_back(event); }

bool TakeLoopEvent(LoopEvent& event) {
  if (ui.events.empty()) return false;
  event = ui.events.front();
  ui.events.pop_front();
  return true;
}

void ApplyAnchoring() {
  if (!MainWindow) return;
  // Parents first: the table lists every container before its children.
  for (const ControlSpec& def : ControlTable()) {
    if (def.window != kMainWindow || def.anchors == kAnchorNone) continue;
    auto found = ui.controls.find(def.id);
    if (found == ui.controls.end()) continue;
    PlaceControl(found->second, ClientSize(GetParent(found->second.handle)));
  }
  FitTabFiller();
}

void FitTabFiller() {
  HWND filler = ControlHandle(135);
  if (!filler || !MainWindow) return;
  const Size client = ClientSize(MainWindow);
  const int width = std::max(client.w - ui.tabWidth, 0);
  SetWindowPos(filler, nullptr, ui.tabWidth, 30, width, 25, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetToolbarTooltip(int id, const std::string& text) {
  HWND control = ControlHandle(id);
  auto tip = ui.tooltips.find(MainWindow);
  if (!control) return;
  if (tip == ui.tooltips.end() || !tip->second) {
    AddTooltip(MainWindow, control, text);
    return;
  }
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = MainWindow;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  SendMessageA(tip->second, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  AddTooltip(MainWindow, control, text);
}

void SetControlPicture(int id, const char* name) { SetPicture(id, Picture(name)); }

void SetTabPicture(int view) {
  static constexpr const char* kTabs[] = {images::kTabsProcesses, images::kTabsWindows, images::kTabsServices,
                                          images::kTabsDrivers,   images::kTabsNetwork, images::kTabsMonitoring};
  if (view < 0 || view > 5) return;
  ui.tabView = view;
  SetPicture(136, Picture(kTabs[view]));
}

LRESULT CALLBACK MainWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && window == MainWindow) UpdateStatusBar(kStatusFigures);
  return BaseWindowProc(window, message, wParam, lParam);
}

void InstallWindowCallback() {
  for (HWND window : ui.windows)
    if (window) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainWindowCallback));
  ui.callbackInstalled = true;
}

void RemoveWindowCallback() {
  if (!ui.callbackInstalled) return;
  for (HWND window : ui.windows)
    if (window) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BaseWindowProc));
  ui.callbackInstalled = false;
}

void DestroyWindows() {
  RemoveWindowCallback();
  DestroyMenus();
  DestroyMonitorView();  // takes its pictures back from the controls first
  DestroyNetworkView();
  DestroyDiagramWindow();
  DestroyProcessSummary();
  ProcessListCallbacks = ProcessListHooks{};
  FreeAllHistoryImages();
  for (size_t n = ui.windows.size(); n-- > 0;)
    if (ui.windows[n]) DestroyWindow(ui.windows[n]);  // children and tooltips go with them
  MainWindow = nullptr;
  DestroyProcessList();  // the processes it kept open, its arrows
  DestroyServiceList();
  DetachWindowList();
  FreeTransparencyScale();
  FreeStatusBar();
  SettingsHooks = PreferenceHooks{};
  DetachPreferencesWindow();
  ui = WindowState{};
}

bool BuildWindows() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterClasses(instance)) return false;

  // 1. Fonts and pictures.
  CreateFonts();
  ui.panelBrush.reset(CreateSolidBrush(ToColorRef(kPanelColour)));
  ui.whiteBrush.reset(CreateSolidBrush(ToColorRef(kWhiteColour)));
  ui.lineBrush.reset(CreateSolidBrush(RGB(160, 160, 160)));

  // 2.-3. Window 0 with its stored geometry: client size W x H, centred
  // unless both X and Y were stored.
  const WindowGeometry geometry = ReadWindowGeometry();
  const DWORD mainStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
  RECT outer{0, 0, geometry.width, geometry.height};
  AdjustWindowRect(&outer, mainStyle, FALSE);
  // The minimum size holds from the start, and a window whose title bar
  // would be out of reach (a damaged file, a monitor since unplugged) opens
  // centred instead.
  const Rect start = MainWindowStartRect(
      geometry.x, geometry.y, {outer.right - outer.left, outer.bottom - outer.top}, -outer.top,
      {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, MonitorWorkAreas());
  MainWindow = CreateTopLevel(WindowTable()[0], instance, start.x, start.y, start.w, start.h, mainStyle, 0);
  if (!MainWindow) return false;
  ui.windows[0] = MainWindow;
  ui.mainClientAtCreation = ClientSize(MainWindow);

  // The subsystems find their controls and owner through these; app does
  // what follows from their outcomes (memory tables, menus, refresh stamp).
  MonitorViewCallbacks.control = [](int id) { return ControlHandle(id); };
  MonitorViewCallbacks.mainWindow = [] { return MainWindow; };
  ProcessListCallbacks.list = [] { return ControlHandle(kProcessListId); };
  ProcessListCallbacks.refreshed = [](uint64_t workingSetSum) { UpdateMemoryTables(workingSetSum); };
  ProcessCommandCallbacks.list = [] { return ControlHandle(kProcessListId); };
  ProcessCommandCallbacks.owner = [] { return MainWindow; };
  ProcessCommandCallbacks.processMenu = [] { return PopupMenuHandle(2); };
  ProcessCommandCallbacks.showProcessMenu = [] { ShowPopupMenu(2); };
  ProcessCommandCallbacks.listRefreshed = [] { SetListStamp(); };

  // 5. Windows 1 to 5, centred over the main window (all but 5).
  RECT mainRect{};
  GetWindowRect(MainWindow, &mainRect);
  for (const WindowSpec& def : WindowTable()) {
    if (def.number == 0) continue;
    DWORD style = def.caption ? (WS_CAPTION | WS_SYSMENU) : WS_POPUP;
    style |= WS_CLIPCHILDREN;
    DWORD exStyle = def.topmost ? (WS_EX_TOPMOST | WS_EX_TOOLWINDOW) : 0;
    RECT r{0, 0, def.clientWidth, def.clientHeight};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    const int w = r.right - r.left, h = r.bottom - r.top;
    int wx = 0, wy = 0;
    if (def.owned) {
      wx = mainRect.left + (mainRect.right - mainRect.left - w) / 2;
      wy = mainRect.top + (mainRect.bottom - mainRect.top - h) / 2;
    }
    ui.windows[static_cast<size_t>(def.number)] = CreateTopLevel(def, instance, wx, wy, w, h, style, exStyle);
  }

  // 4.-5. Every control, containers before their children.
  for (const ControlSpec& def : ControlTable()) CreateControl(def, ui.mainClientAtCreation, instance);

  // The tab strip is as wide as its picture; the filler takes the rest.
  SetTabPicture(0);
  ui.tabWidth = std::max(PictureSize(Picture(images::kTabsProcesses)).w, 1);
  if (HWND tabs = ControlHandle(136)) {
    SetWindowPos(tabs, nullptr, 0, 30, ui.tabWidth, 25, SWP_NOZORDER | SWP_NOACTIVATE);
    ui.controls[136].created = {0, 30, ui.tabWidth, 25};
  }
  SetPicture(135, Picture(images::kTabsFiller));
  FitTabFiller();
  for (int banner : {230, 238, 247, 301, 319}) SetPicture(banner, Picture(images::kBanner));
  SetPicture(248, Picture(images::kPrefsSidebar));
  SetPicture(302, PictureOnPanel(images::kAboutLogo));
  SetWindowTextA(ControlHandle(321), std::string(DisclaimerText()).c_str());
  SetPicture(249, Picture(images::kPrefsTabsGeneral));
  SetPicture(137, Picture(images::kStatusbar));
  SetWindowIcons(kDiagramWindow, images::kWindowDiagram16, images::kWindowDiagram32);
  SetWindowIcons(kPreferencesWindow, images::kWindowPreferences16, images::kWindowPreferences32);

  // 6. The popup menus.
  BuildPopupMenus();

  // 7. The first fill of the lists. The strips, the diagram and the summary
  // panel hang off every refresh of the process list.
  PrepareHistoryImages(ClientSize(MainWindow).w);
  SetUpDiagramWindow(ui.windows[kDiagramWindow]);
  SetUpProcessSummary(ControlHandle(140));
  ProcessListCallbacks.history = {CreateHistoryImage, AdvanceHistoryImage, FreeHistoryImage};
  ProcessListCallbacks.listChanged = [] {
    if (DiagramWindowVisible()) {
      DrawProcessPie();
      ShowPieInfo();
    }
    UpdateProcessSummary();
  };
  RefreshProcessList();
  RefreshServiceList(ControlHandle(152));
  RefreshDriverList(ControlHandle(154));
  AttachWindowList({ControlHandle(147), ControlHandle(148), ControlHandle(149), ControlHandle(150)});
  RefreshWindowList();
  AttachNetworkView(NetworkViewControls(), ClientSize(MainWindow).w - 30);
  RefreshNetworkList();

  // 8. The settings: preferences, column flags and widths, topmost state.
  SettingsHooks.mainWindow = MainWindow;
  SettingsHooks.setColumnWidth = [](int column, int width) { ListView_SetColumnWidth(ControlHandle(139), column, width); };
  SettingsHooks.columnWidth = [](int column) { return ListView_GetColumnWidth(ControlHandle(139), column); };
  SettingsHooks.setTopmost = [](bool topmost) {
    SetWindowPos(MainWindow, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  WirePreferencesWindow();
  LoadPreferences(true);
  // The first fill made strips by the default; stored settings may not want them.
  if (!Preferences.PreferencesCPUPerProcess) SetHistoryImagesEnabled(false);
  // 9. The menu bar.
  BuildMenuBar();

  // 10. View 0 without a refresh.
  ShowView(0, false);
  // 11. Trim the working sets of the listed processes once.
  if (Preferences.PreferencesOptimize) OptimizeAllProcesses();
  // 12.-13. Header-click sorting, then the column visibility.
  SetUpProcessListSorting();
  SortServiceList(ControlHandle(152), 0);
  SortDriverList(ControlHandle(154), 0);
  ApplyColumnVisibility();
  // 14.-15. The callback, then the window appears. It has its minimum size
  // from its creation on, so it needs no minimise and restore to take it.
  InstallWindowCallback();
  ShowWindow(MainWindow, SW_SHOW);
  UpdateWindow(MainWindow);
  // 16. Once more, now that the main window itself is shown.
  RefreshWindowList();
  QuickTransparencyStep = QuickTransparencyPass;
  // 17. The first idle pass refreshes everything.
  ResetStampsForFirstPass();
  return true;
}

}  // namespace velkor
