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
//   velkor_helper.exe serve        listens on a TCP port of 127.0.0.1, runs
//                                  three more threads and loads version.dll;
//                                  writes the port into "velkor_port.txt"
//                                  there, then waits until it is ended
//   velkor_helper.exe crowd T M    runs T threads in all and loads copies of
//                                  one module ("velkor_module_N.dll" there)
//                                  until it has M modules; then writes
//                                  "velkor_crowd.txt" there and waits until
//                                  it is ended
//   velkor_helper.exe save PATH    replaces PATH again and again, as the
//                                  programs save their settings, with 200000
//                                  times 'a' and 250000 times 'b' in turn
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

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
  if (std::strcmp(commandLine, "serve") == 0) {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 1) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
      return 1;
    for (int n = 0; n < 3; ++n)
      CloseHandle(CreateThread(
          nullptr, 0,
          [](void*) -> DWORD {
            Sleep(INFINITE);
            return 0;
          },
          nullptr, 0, nullptr));
    if (!LoadLibraryA("version.dll")) return 1;
    const std::string port = std::to_string(ntohs(address.sin_port));
    HANDLE file = CreateFileA("velkor_port.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, port.data(), static_cast<DWORD>(port.size()), &written, nullptr);
    CloseHandle(file);
  }
  if (std::strncmp(commandLine, "crowd ", 6) == 0) {
    char* rest = nullptr;
    const long threads = std::strtol(commandLine + 6, &rest, 10), modules = std::strtol(rest, nullptr, 10);
    for (long n = 1; n < threads; ++n)
      CloseHandle(CreateThread(
          nullptr, 0,
          [](void*) -> DWORD {
            Sleep(INFINITE);
            return 0;
          },
          nullptr, 0, nullptr));
    const auto loaded = [] {
      HMODULE handles[1024];
      DWORD needed = 0;
      return EnumProcessModules(GetCurrentProcess(), handles, sizeof handles, &needed) ? needed / sizeof(HMODULE) : 0;
    };
    for (int copy = 0; loaded() < static_cast<DWORD>(modules); ++copy)
      if (!LoadLibraryA(("velkor_module_" + std::to_string(copy) + ".dll").c_str())) return 1;
    HANDLE file = CreateFileA("velkor_crowd.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(file);
  }
  if (std::strncmp(commandLine, "busy", 4) == 0) {
    volatile unsigned long long spins = 0;
    for (;;) spins = spins + 1;
  }
  for (;;) Sleep(INFINITE);
}
