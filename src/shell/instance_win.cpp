#include "shell/instance_win.h"

#include <windows.h>
#include <tlhelp32.h>

#include "win/unique_handle.h"

namespace velkor {

bool ProgramRunsInOwnSession(bool (*isProgramName)(std::string_view processName)) {
  // Without a session of our own to compare with, every process counts.
  DWORD ownSession = 0;
  const bool sessionKnown = ProcessIdToSessionId(GetCurrentProcessId(), &ownSession) != 0;
  // The system's snapshot names every process without opening any: reading
  // each one's module list instead costs a cross-process read per process,
  // which with a few hundred processes takes seconds at every start.
  win::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    if (!isProgramName(entry.szExeFile)) continue;
    if (!sessionKnown) return true;
    // A process whose session cannot be read is not counted as ours.
    DWORD session = 0;
    if (ProcessIdToSessionId(entry.th32ProcessID, &session) && session == ownSession) return true;
  }
  return false;
}

}  // namespace velkor
