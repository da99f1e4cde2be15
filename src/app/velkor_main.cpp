// velkor.exe
#include <windows.h>

#include "app/event_loop.h"
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (!velkor::StartProgram()) ExitProcess(0);
  if (!velkor::BuildWindows()) velkor::ShutdownProgram();
  velkor::RunEventLoop();
}
