// dornat.exe, the tray companion.
#include <windows.h>

#include "app/instance.h"
#include "procs/process_library.h"
#include "win/unique_handle.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  velkor::InitProcessLibrary();
  SetLastError(ERROR_SUCCESS);
  velkor::win::UniqueKernelHandle mutex(CreateMutexA(nullptr, FALSE, velkor::kCompanionMutexName));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  // A hidden window, so the companion can be asked to close like any program.
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (message == WM_CLOSE || message == WM_ENDSESSION) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
  };
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "VelkorSystray";
  RegisterClassExA(&windowClass);
  CreateWindowExA(0, windowClass.lpszClassName, "Velkor Systray", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                  nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  velkor::FreeProcessLibrary();
  return 0;
}
