#include "win/start_process.h"

namespace velkor::win {

StartedProcess StartProcess(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return {};
  UniqueKernelHandle thread(info.hThread);
  return {UniqueKernelHandle(info.hProcess), info.dwProcessId};
}

}  // namespace velkor::win
