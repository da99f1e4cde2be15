#include "app/keyboard.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "app/command_ids.h"
#include "app/event_queue.h"
#include "app/layout.h"
#include "app/menus.h"
#include "app/program_windows.h"
#include "app/startup.h"
#include "app/view_table.h"
#include "app/window_registry.h"
#include "gfx/dpi_scale.h"
#include "win/source_location.h"
#include "win/unique_handle.h"

namespace velkor {

namespace {

bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

bool IsPushButton(HWND control) {
  const ControlSpec* def = SpecOfControl(control);
  return def && (def->kind == ControlKind::kButton || def->kind == ControlKind::kDefaultButton);
}

// The system hides focus rectangles and underlined letters in a window
// activated by the mouse until the keyboard is used in it (the dialog
// manager does this only in dialogs it owns): a key that moves the focus
// shows the focus mark, Alt the underlined letters.
void ShowKeyboardCues(HWND root, const MSG& message) {
  WORD cue = 0;
  if (message.message == WM_KEYDOWN &&
      (message.wParam == VK_TAB || (message.wParam >= VK_LEFT && message.wParam <= VK_DOWN)))
    cue = UISF_HIDEFOCUS;
  else if (message.message == WM_SYSKEYDOWN && message.wParam == VK_MENU)
    cue = UISF_HIDEACCEL;
  if (cue && (SendMessageA(root, WM_QUERYUISTATE, 0, 0) & cue))
    SendMessageA(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, cue), 0);
}

// The thick frame of the button Enter presses moves to the focused push
// button and back to the window's default button, as in the system's dialogs.
void ShowWhichButtonEnterPresses(HWND root) {
  const int pressed = LOWORD(DefaultButtonAnswer(root));
  const int number = ExactWindowNumber(root);
  for (const ControlSpec& def : ControlTable()) {
    if (def.window != number || (def.kind != ControlKind::kButton && def.kind != ControlKind::kDefaultButton)) continue;
    HWND button = BuiltControl(def.id);
    const bool thick = def.id == pressed;
    if (button && ((GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) != thick)
      SendMessageA(button, BM_SETSTYLE, thick ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

bool IsDialogWindow(int number) { return number >= kRunWindow && number <= kInformationWindow; }

// The control of each program window that had the focus when the window
// was last deactivated.
std::array<HWND, kWindowCount> focusAtDeactivation{};

// The shown view's tab in the strip's pixels: the tab edges are the
// picture's, drawn at the scale the pictures come in.
RECT ShownTabRect(HWND strip) {
  RECT client{};
  GetClientRect(strip, &client);
  const int imageDpi = ImageDpi(ImageScaleForDpi(LayoutDpiOf(kMainWindow)));
  const auto edges = TabRightEdges();
  const auto view = static_cast<size_t>(CurrentView < 0 ? 0 : CurrentView);
  if (view >= edges.size()) return client;
  const int left = view == 0 ? 0 : ScaleToDpi(edges[view - 1], imageDpi) + 1;
  return {left + 1, client.top + 2, ScaleToDpi(edges[view], imageDpi) - 1, client.bottom - 2};
}

// A focus mark around the whole control, drawn over what it painted.
LRESULT PaintWithFocusMark(HWND control, WPARAM wParam, LPARAM lParam, bool whole) {
  const LRESULT painted = DefSubclassProc(control, WM_PAINT, wParam, lParam);
  if (GetFocus() == control && !(SendMessageA(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    const win::WindowDc dc(control);
    RECT mark{};
    if (whole)
      GetClientRect(control, &mark);
    else
      mark = ShownTabRect(control);
    DrawFocusRect(dc.get(), &mark);
  }
  return painted;
}

LRESULT CALLBACK TabStripProc(HWND strip, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
  VELKOR_PLACE(kProceduresUnit);
  switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (wParam == VK_LEFT || wParam == VK_RIGHT) {
        const int command = wParam == VK_RIGHT ? kNextViewCommand : kPreviousViewCommand;
        QueueLoopEvent({kEventMenu, command, kTypeLeftClick, kMainWindow});
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: InvalidateRect(strip, nullptr, FALSE); break;
    case WM_PAINT: return PaintWithFocusMark(strip, wParam, lParam, false);
    case WM_NCDESTROY: RemoveWindowSubclass(strip, TabStripProc, id); break;
    default: break;
  }
  return DefSubclassProc(strip, message, wParam, lParam);
}

LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
  VELKOR_PLACE(kProceduresUnit);
  switch (message) {
    case WM_GETDLGCODE: {
      // Enter opens the link rather than pressing the default button.
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_SPACE) {
        QueueLoopEvent({kEventControl, GetDlgCtrlID(link), kTypeLeftClick, WindowNumberOf(link)});
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: InvalidateRect(link, nullptr, TRUE); break;
    case WM_PAINT: return PaintWithFocusMark(link, wParam, lParam, true);
    case WM_NCDESTROY: RemoveWindowSubclass(link, LinkProc, id); break;
    default: break;
  }
  return DefSubclassProc(link, message, wParam, lParam);
}

}  // namespace

bool FocusedControlKeepsKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE)) return false;
  if (message.wParam == VK_RETURN && IsPushButton(GetFocus())) return true;
  // The focus is the combo box or the edit field inside it.
  for (HWND w = GetFocus(); w && (GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD); w = GetParent(w)) {
    char name[32] = {};
    GetClassNameA(w, name, sizeof name);
    if (lstrcmpiA(name, "ComboBox") == 0) return SendMessageA(w, CB_GETDROPPEDSTATE, 0, 0) != 0;
  }
  return false;
}

bool HandleDialogKeys(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !message.hwnd) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  const int number = ExactWindowNumber(root);
  if (number < 0) return false;
  ShowKeyboardCues(root, message);
  if (number == kMainWindow) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU))
      return false;
    return IsDialogMessageA(root, &message) != FALSE;
  }
  if (!IsDialogWindow(number)) return false;
  // The dialog manager answers Escape, and Enter where there is no default
  // button, with identifiers that are menu items here (IDCANCEL, IDOK): the
  // Escape shortcuts close the windows, and such an Enter stays with the
  // control.
  if (message.wParam == VK_ESCAPE) return false;
  if (message.wParam == VK_RETURN && message.message == WM_KEYDOWN && !FocusedControlKeepsKey(message) &&
      !DefaultButtonAnswer(root))
    return false;
  const bool taken = IsDialogMessageA(root, &message) != FALSE;
  if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && IsWindow(root)) ShowWhichButtonEnterPresses(root);
  return taken;
}

LRESULT DefaultButtonAnswer(HWND window) {
  HWND focus = GetFocus();
  if (focus && IsChild(window, focus) && IsPushButton(focus)) return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
  const int number = ExactWindowNumber(window);
  for (const ControlSpec& def : ControlTable()) {
    if (def.window != number || def.kind != ControlKind::kDefaultButton) continue;
    if (HWND button = BuiltControl(def.id); button && IsWindowVisible(button)) return MAKELRESULT(def.id, DC_HASDEFID);
  }
  return 0;
}

void GiveLinkKeys(HWND link) {
  if (link) SetWindowSubclass(link, LinkProc, 0, 0);
}

void GiveTabStripKeys(HWND strip) {
  if (strip) SetWindowSubclass(strip, TabStripProc, 0, 0);
}

void KeepFocusInShownView(int view) {
  HWND focus = GetFocus();
  if (!focus || !MainWindow || (focus != MainWindow && (!IsChild(MainWindow, focus) || IsWindowVisible(focus)))) return;
  const ViewSpec* shown = ViewOf(view);
  HWND list = shown && shown->list ? ControlHandle(shown->list) : nullptr;
  SetFocus(list && IsWindowVisible(list) ? list : ControlHandle(kTabStrip));
}

void FocusFirstControlIfHidden(HWND window) {
  HWND focus = GetFocus();
  if (!window || !focus || (focus != window && (!IsChild(window, focus) || IsWindowVisible(focus)))) return;
  if (HWND first = GetNextDlgTabItem(window, nullptr, FALSE)) SetFocus(first);
}

bool GiveFocusBackOnActivate(HWND window, WPARAM wParam) {
  const int number = ExactWindowNumber(window);
  if (number < 0 || number >= kWindowCount) return false;
  HWND& kept = focusAtDeactivation[static_cast<size_t>(number)];
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    kept = focus && IsChild(window, focus) ? focus : nullptr;
    return false;
  }
  if (HIWORD(wParam)) return false;  // activated while minimized: the system keeps the focus off it
  if (kept && IsChild(window, kept) && IsWindowVisible(kept) && IsWindowEnabled(kept)) {
    SetFocus(kept);
    return true;
  }
  if (number == kMainWindow) {
    SetFocus(window);
    KeepFocusInShownView(CurrentView);
    return true;
  }
  if (!IsDialogWindow(number)) return false;
  HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
  if (!first) return false;
  SetFocus(first);
  return true;
}

std::optional<int> PrepareFocusedRowMenu() {
  HWND list = GetFocus();
  const ControlSpec* def = SpecOfControl(list);
  if (!def || def->kind != ControlKind::kList || def->window != kMainWindow) return std::nullopt;
  int row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
  if (row < 0) row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  if (!(ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED)) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  ListView_EnsureVisible(list, row, FALSE);
  RECT bounds{};
  ListView_GetItemRect(list, row, &bounds, LVIR_LABEL);
  RECT client{};
  GetClientRect(list, &client);
  POINT place{std::max(bounds.left, client.left), bounds.bottom};
  ClientToScreen(list, &place);
  SetMenuPlace(place);
  return def->id;
}

}  // namespace velkor
