#include "app/run_dialog_win.h"

// The system header comes first.
// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
// clang-format on

#include <algorithm>
#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/control_ids.h"
#include "app/run_dialog.h"
#include "app/program_windows.h"
#include "win/message_box.h"
#include "win/source_location.h"

namespace velkor {
namespace {

std::string TextOf(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
  return text;
}

std::vector<std::string> HistoryOf(HWND box) {
  std::vector<std::string> history;
  const auto count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const auto length = static_cast<int>(SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0));
    if (length < 0) continue;
    std::string entry(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(static_cast<size_t>(length));
    history.push_back(std::move(entry));
  }
  return history;
}

void CloseDialog() {
  EnableMainWindows(true);
  ShowWindow(WindowHandle(kRunWindow), SW_HIDE);
}

}  // namespace

void OpenRunDialog() {
  VELKOR_PLACE(kProceduresUnit);
  ShowWindow(WindowHandle(kRunWindow), SW_SHOW);
  EnableMainWindows(false);
  SetActiveWindow(WindowHandle(kRunWindow));
  SetFocus(ControlHandle(kRunCommandBox));
}

void RunCommandChanged() {
  VELKOR_PLACE(kProceduresUnit);
  EnableWindow(ControlHandle(kRunOkButton), CanRunCommand(TextOf(ControlHandle(kRunCommandBox))));
}

void StartRunCommand() {
  VELKOR_PLACE(kProceduresUnit);
  HWND box = ControlHandle(kRunCommandBox);
  const RunRequest request = PlanRun(TextOf(box), TextOf(ControlHandle(kRunParameterField)));
  if (request.command.empty()) {
    MessageBeep(0);
    SetFocus(box);
    return;
  }
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  // The failure is ours to report, once, in our words.
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = WindowHandle(kRunWindow);
  info.lpFile = request.file.c_str();
  info.lpParameters = request.parameters.empty() ? nullptr : request.parameters.c_str();
  info.lpDirectory = request.folder.empty() ? nullptr : request.folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&info)) {
    win::ShowMessageBox(WindowHandle(kRunWindow), RunFailureText(request.command), "Velkor", MB_OK | MB_ICONERROR);
    return;
  }
  if (BelongsInHistory(HistoryOf(box), request.command))
    SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(request.command.c_str()));
  CloseDialog();
}

void CancelRunDialog() {
  VELKOR_PLACE(kProceduresUnit);
  CloseDialog();
}

void BrowseForRunCommand() {
  VELKOR_PLACE(kProceduresUnit);
  static const std::string filter = FileDialogFilter(kRunBrowseFilter);
  HWND box = ControlHandle(kRunCommandBox);
  char path[MAX_PATH] = {};
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = WindowHandle(kRunWindow);
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrTitle = "Durchsuchen";
  // The working folder holds velkor.ini and must stay; a chosen shortcut is
  // itself the command, not what it points to.
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                 OFN_NODEREFERENCELINKS;
  if (GetOpenFileNameA(&dialog)) {
    SetWindowTextA(box, path);
    EnableWindow(ControlHandle(kRunOkButton), TRUE);
  }
  SetFocus(box);
}

}  // namespace velkor
