// The main window and the loop that drives the program.
#pragma once

#include <windows.h>

namespace velkor {

// Window 0, "Velkor".
extern HWND MainWindow;

// Creates and shows the main window.
bool BuildWindows();
// Polls for events at most every 25 ms; never returns.
[[noreturn]] void RunEventLoop();

}  // namespace velkor
