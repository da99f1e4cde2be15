#include "shell/instance_win.h"

#include <windows.h>

#include "procs/process_library.h"

namespace velkor {

bool ProgramRunsInOwnSession(bool (*isProgramName)(std::string_view processName)) {
  // Without a session of our own to compare with, every process counts.
  DWORD ownSession = 0;
  const bool sessionKnown = ProcessIdToSessionId(GetCurrentProcessId(), &ownSession) != 0;
  ExamineProcesses();
  while (NextProcess()) {
    if (!isProgramName(ProcessName())) continue;
    if (!sessionKnown) return true;
    // A process whose session cannot be read is not counted as ours.
    DWORD session = 0;
    if (ProcessIdToSessionId(ProcessID(), &session) && session == ownSession) return true;
  }
  return false;
}

}  // namespace velkor
