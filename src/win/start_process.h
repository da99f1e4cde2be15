// Starting another program detached from us: its thread handle is closed at
// once, its process handle comes back in an owner.
#pragma once

#include <windows.h>

#include <string>

#include "win/unique_handle.h"

namespace velkor::win {

struct StartedProcess {
  UniqueKernelHandle process;  // empty when the start failed
  DWORD id = 0;
};

// Starts `commandLine` as a double-click in the current folder would, without
// a window of ours or inherited handles.
StartedProcess StartProcess(std::string commandLine);

}  // namespace velkor::win
