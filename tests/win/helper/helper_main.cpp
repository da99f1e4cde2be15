// A small process the Win32 and end-to-end tests start and end themselves.
//   velkor_helper.exe            waits until it is ended
//   velkor_helper.exe exit N     ends at once with exit code N
#include <windows.h>

#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (std::strncmp(commandLine, "exit ", 5) == 0) return std::atoi(commandLine + 5);
  for (;;) Sleep(INFINITE);
}
