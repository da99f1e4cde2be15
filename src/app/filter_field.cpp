#include "app/filter_field.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>

#include "app/control_ids.h"
#include "app/program_windows.h"
#include "app/startup.h"
#include "app/view_table.h"
#include "app/window_registry.h"
#include "procs/process_list_win.h"
#include "win/list_view.h"
#include "win/wide_text.h"

namespace velkor {

namespace {

std::array<std::string, kViewCount> texts;  // each view's filter

std::string FieldText(HWND field) {
  const int length = GetWindowTextLengthA(field);
  std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  text.resize(static_cast<size_t>(std::max(GetWindowTextA(field, text.data(), length + 1), 0)));
  return text;
}

void FilterList(int view, const std::string& text) {
  const ViewSpec* viewRow = ViewOf(view);
  if (!viewRow || !viewRow->list) return;
  if (viewRow->list == kProcessList)
    FilterProcessList(text);
  else
    win::SetListFilter(ControlHandle(viewRow->list), text);
}

// The list of the shown view gets the focus with its first shown row
// selected (Enter and Down) or as it was (Escape).
void FocusList(bool selectFirst) {
  HWND list = ControlHandle(ShownView().list);
  if (!list) return;
  SetFocus(list);
  if (!selectFirst || ListView_GetItemCount(list) == 0) return;
  win::SelectListRow(list, 0);
  ListView_EnsureVisible(list, 0, FALSE);
}

// Escape empties the field and leaves it; Enter and Down go to the list.
// Their characters are swallowed, so the field does not beep at them.
LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_KEYDOWN) {
    switch (wParam) {
      case VK_ESCAPE:
        SetWindowTextA(field, "");
        FocusList(false);
        return 0;
      case VK_RETURN:
      case VK_DOWN: FocusList(true); return 0;
      default: break;
    }
  }
  if (message == WM_CHAR && (wParam == '\r' || wParam == 0x1B)) return 0;
  // Escape and Enter stay the field's own where a dialog-style pump asks; Tab does not.
  if (message == WM_GETDLGCODE && lParam) {
    const auto* asked = reinterpret_cast<const MSG*>(lParam);
    if (asked->message == WM_KEYDOWN && (asked->wParam == VK_ESCAPE || asked->wParam == VK_RETURN))
      return DefSubclassProc(field, message, wParam, lParam) | DLGC_WANTMESSAGE;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(field, FieldProc, 0);
  return DefSubclassProc(field, message, wParam, lParam);
}

}  // namespace

void SetUpFilterField() {
  HWND field = ControlHandle(kFilterField);
  if (!field) return;
  // The hint is drawn while the field is empty, also while it has the focus.
  const std::wstring hint = win::WideText("Filtern (Strg+E)", CP_ACP);
  SendMessageW(field, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(hint.c_str()));
  SetWindowSubclass(field, FieldProc, 0, 0);
}

void ApplyFieldFilter() {
  HWND field = ControlHandle(kFilterField);
  const ViewSpec* view = ViewOf(CurrentView);
  if (!field || !view || !view->list) return;
  std::string text = FieldText(field);
  std::string& kept = texts[static_cast<size_t>(CurrentView)];
  if (text == kept) return;  // the field took the text of a view shown again
  kept = std::move(text);
  FilterList(CurrentView, kept);
}

void ShowViewFilter(int view) {
  HWND field = ControlHandle(kFilterField);
  const ViewSpec* viewRow = ViewOf(view);
  if (!field || !viewRow) return;
  const std::string& text = texts[static_cast<size_t>(view)];
  if (FieldText(field) != text) SetWindowTextA(field, text.c_str());
  EnableWindow(field, viewRow->list != 0);
}

void DestroyFilterField() {
  texts = {};
  win::ForgetListFilters();
}

void FocusFilter() {
  HWND field = ControlHandle(kFilterField);
  if (!field || !IsWindowEnabled(field)) return;
  // From "Diagramm" the main window comes to the front first.
  if (GetActiveWindow() != MainWindow) SetForegroundWindow(MainWindow);
  SetFocus(field);
  SendMessageA(field, EM_SETSEL, 0, -1);
}

ListRowCounts RowCountsOf(const ViewSpec& view) {
  HWND list = view.list ? ControlHandle(view.list) : nullptr;
  if (!list) return {};
  if (view.list == kProcessList) return {ProcessListShownCount(), ProcessListRows().RowCount()};
  return {ListView_GetItemCount(list), win::ListRowCountUnfiltered(list)};
}

}  // namespace velkor
