// A service for the tests: runs until it is asked to stop, and its stop
// handler takes 20 s to answer that request, as a service that tidies up
// at length does. The test that registers it removes it again.
#include <windows.h>

namespace {

constexpr DWORD kStopAnswerMilliseconds = 20000;

SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopRequested = nullptr;
SERVICE_STATUS status{SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, NO_ERROR, 0, 0, 0};

void Report(DWORD state) {
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Control(DWORD code, DWORD, void*, void*) {
  if (code != SERVICE_CONTROL_STOP) return code == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
  Sleep(kStopAnswerMilliseconds);
  Report(SERVICE_STOP_PENDING);
  SetEvent(stopRequested);
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char**) {
  statusHandle = RegisterServiceCtrlHandlerExA("VelkorSlowStop", Control, nullptr);
  if (!statusHandle) return;
  Report(SERVICE_RUNNING);
  WaitForSingleObject(stopRequested, INFINITE);
  Report(SERVICE_STOPPED);
}

}  // namespace

int main() {
  stopRequested = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  char name[] = "VelkorSlowStop";
  SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
