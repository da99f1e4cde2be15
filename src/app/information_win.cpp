#include "app/information_win.h"

// The system header comes first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string>

#include "app/effects_win.h"
#include "app/information.h"
#include "app/keyboard.h"
#include "app/window_registry.h"
#include "app/program_windows.h"
#include "win/source_location.h"

namespace velkor {
namespace {

int shownPage = kAboutPage;

// The fades keep the program answering: what arrives meanwhile is handled,
// and the commands it brings wait in the loop's queue until the fade is over.
void PumpWindowMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void ShowPage(int page) {
  const int other = page == kAboutPage ? kDisclaimerPage : kAboutPage;
  ShowWindow(ControlHandle(other), SW_HIDE);
  ShowWindow(ControlHandle(page), SW_SHOW);
  shownPage = page;
}

void Place(HWND window, const Rect& r) {
  SetWindowPos(window, nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void OpenInformationWindow() {
  VELKOR_PLACE(kProceduresUnit);
  HWND window = WindowHandle(kInformationWindow);
  if (!window || !MainWindow) return;
  ShowPage(kAboutPage);
  RECT main{};
  GetWindowRect(MainWindow, &main);
  RECT client{};
  GetClientRect(MainWindow, &client);
  Place(window,
        InformationPlacement(main.left, main.top, {client.right, client.bottom}, LayoutDpiOf(kInformationWindow)));
  FadeWindowIn(window, MainWindow, PumpWindowMessages);
}

void CloseInformationWindow() {
  VELKOR_PLACE(kProceduresUnit);
  HWND window = WindowHandle(kInformationWindow);
  if (!window || !IsWindowVisible(window)) return;
  FadeWindowOut(window, MainWindow, PumpWindowMessages);
  EnableWindow(MainWindow, TRUE);
  ShowWindow(window, SW_HIDE);
}

void ShowInformationPage(int page) {
  VELKOR_PLACE(kProceduresUnit);
  HWND window = WindowHandle(kInformationWindow);
  if (!window || !IsWindowVisible(window) || page == shownPage) return;
  FadeWindowOut(window, MainWindow, PumpWindowMessages);
  RECT r{};
  GetWindowRect(window, &r);
  Place(window,
        PlacementForPage({r.left, r.top, r.right - r.left, r.bottom - r.top}, page, LayoutDpiOf(kInformationWindow)));
  ShowPage(page);
  FocusFirstControlIfHidden(window);
  FadeWindowIn(window, MainWindow, PumpWindowMessages);
}

void OpenInformationLink(int id) {
  VELKOR_PLACE(kProceduresUnit);
  const std::string target(LinkTarget(id));
  if (target.empty()) return;
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = WindowHandle(kInformationWindow);
  info.lpFile = target.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExA(&info);
}

}  // namespace velkor
