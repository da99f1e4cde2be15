// A small process the Win32 and end-to-end tests start and end themselves.
//   velkor_helper.exe            waits until it is ended
//   velkor_helper.exe exit N     ends at once with exit code N
//   velkor_helper.exe busy       keeps one processor busy until it is ended
#include <windows.h>

#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (std::strncmp(commandLine, "exit ", 5) == 0) return std::atoi(commandLine + 5);
  if (std::strncmp(commandLine, "busy", 4) == 0) {
    volatile unsigned long long spins = 0;
    for (;;) spins = spins + 1;
  }
  for (;;) Sleep(INFINITE);
}
