#include "support/save_dialog.h"

#include <dlgs.h>

#include "support/wine_support.h"

namespace velkor::test {

namespace {

constexpr UINT kAnswerBound = 5000;  // ms a dialog may take to react

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerBound,
                             result ? result : &ignored) != 0;
}

// The name field: a plain edit, or the edit inside the name combo box (of
// an extended combo box, which holds a combo box holding the edit).
HWND NameField(HWND dialog) {
  if (HWND edit = GetDlgItem(dialog, edt1)) return edit;
  HWND combo = GetDlgItem(dialog, cmb13);
  if (!combo) return nullptr;
  if (HWND inner = FindWindowExA(combo, nullptr, "ComboBox", nullptr)) combo = inner;
  return FindWindowExA(combo, nullptr, "Edit", nullptr);
}

}  // namespace

HWND WaitForDialog(uint32_t pid, const std::string& title, std::chrono::milliseconds timeout) {
  struct Search {
    uint32_t pid;
    const std::string* title;
    HWND found;
  } search{pid, &title, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
              auto* s = reinterpret_cast<Search*>(data);
              DWORD owner = 0;
              GetWindowThreadProcessId(window, &owner);
              char className[16] = {};
              char text[256] = {};
              GetClassNameA(window, className, sizeof className);
              GetWindowTextA(window, text, sizeof text);
              if (owner == s->pid && IsWindowVisible(window) && std::string(className) == "#32770" &&
                  *s->title == text) {
                s->found = window;
                return FALSE;
              }
              return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeout);
  return search.found;
}

bool SaveDialogAs(HWND dialog, int filterIndex, const std::string& name) {
  HWND filter = GetDlgItem(dialog, cmb1);
  HWND field = NameField(dialog);
  if (!filter || !field) return false;
  // A choice by the user sends the change and end-of-selection
  // notifications; setting the selection alone sends neither.
  if (!Send(filter, CB_SETCURSEL, static_cast<WPARAM>(filterIndex - 1), 0) ||
      !Send(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(filter)) ||
      !Send(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(filter)) ||
      !Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str())))
    return false;
  return PressDialogButton(dialog, IDOK);
}

std::string SaveDialogName(HWND dialog) {
  char text[MAX_PATH] = {};
  HWND field = NameField(dialog);
  if (!field || !Send(field, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text))) return {};
  return text;
}

bool PressDialogButton(HWND dialog, int id) {
  // Posted: the dialog may end at once, and its owner's answer comes later.
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))) != 0;
}

}  // namespace velkor::test
