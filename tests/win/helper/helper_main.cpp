// A small process the Win32 and end-to-end tests start and end themselves.
//   velkor_helper.exe              waits until it is ended
//   velkor_helper.exe exit N       ends at once with exit code N
//   velkor_helper.exe window TITLE shows a top-level window and answers its
//                                  messages; ends when the window is gone
//   velkor_helper.exe hung TITLE   shows a top-level window, then stops
//                                  answering messages
//   velkor_helper.exe cwd          writes its working folder into
//                                  "velkor_cwd.txt" there, then ends
//   velkor_helper.exe busy         keeps one processor busy until it is ended
//   velkor_helper.exe save PATH    replaces PATH again and again, as the
//                                  programs save their settings, with 200000
//                                  times 'a' and 250000 times 'b' in turn
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "win/replace_file.h"

namespace {

LRESULT CALLBACK HelperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND ShowHelperWindow(const char* title) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = HelperWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "VelkorHelperWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 120, 140, 320, 200, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (std::strncmp(commandLine, "exit ", 5) == 0) return std::atoi(commandLine + 5);
  if (std::strcmp(commandLine, "cwd") == 0) {
    char folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    HANDLE file = CreateFileA("velkor_cwd.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, folder, length, &written, nullptr);
    CloseHandle(file);
    return 0;
  }
  if (std::strncmp(commandLine, "window ", 7) == 0) {
    ShowHelperWindow(commandLine + 7);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    return 0;
  }
  if (std::strncmp(commandLine, "hung ", 5) == 0) {
    ShowHelperWindow(commandLine + 5);
    // Everything the creation queued is handled; from here on nothing is.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  if (std::strncmp(commandLine, "save ", 5) == 0) {
    const std::string contents[] = {std::string(200000, 'a'), std::string(250000, 'b')};
    for (unsigned round = 0;; ++round) velkor::win::WriteBesideThenReplace(commandLine + 5, contents[round % 2], 4);
  }
  if (std::strncmp(commandLine, "busy", 4) == 0) {
    volatile unsigned long long spins = 0;
    for (;;) spins = spins + 1;
  }
  for (;;) Sleep(INFINITE);
}
