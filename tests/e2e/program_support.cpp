#include "program_support.h"

#include <algorithm>

#include "app/startup.h"

namespace velkor::test {

using namespace std::chrono_literals;

HWND FindWindowOf(uint32_t pid, const std::string& className, const std::string& title, bool visibleOnly) {
  struct Search {
    uint32_t pid;
    const std::string& className;
    const std::string& title;
    bool visibleOnly;
    HWND found;
  } search{pid, className, title, visibleOnly, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->pid || (s->visibleOnly && !IsWindowVisible(window))) return TRUE;
        char name[64] = {}, text[64] = {};
        GetClassNameA(window, name, sizeof name);
        GetWindowTextA(window, text, sizeof text);
        if ((!s->className.empty() && s->className != name) || (!s->title.empty() && s->title != text)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {
constexpr const char* kDesktopKey = "Control Panel\\Desktop";
}  // namespace

PrefixDpi::PrefixDpi(int dpi) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr))
    return;
  key_.reset(key);
  DWORD value = 0, size = sizeof value, type = 0;
  if (!RegQueryValueExA(key, "LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) && type == REG_DWORD)
    old_ = value;
  Set(dpi);
}

PrefixDpi::~PrefixDpi() {
  if (!key_) return;
  if (old_)
    Set(static_cast<int>(*old_));
  else
    RegDeleteValueA(key_.get(), "LogPixels");
}

void PrefixDpi::Set(int dpi) {
  const DWORD value = static_cast<DWORD>(dpi);
  RegSetValueExA(key_.get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void ClickAtScreen(int x, int y) {
  SetCursorPos(x, y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
}

void ReadDevicePixels() {
  using SetContext = HANDLE(WINAPI*)(HANDLE);
  if (auto set = reinterpret_cast<SetContext>(
          reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext"))))
    set(reinterpret_cast<HANDLE>(-4));  // per monitor, version 2
}

HWND FindMainWindow(uint32_t pid) { return FindWindowOf(pid, "VelkorWindow", "Velkor"); }

std::string WindowTextOf(HWND window) {
  char text[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                           &copied))
    return {};
  return std::string(text, std::min<size_t>(copied, sizeof text - 1));
}

void EndProcessesNamed(const std::string& name, const std::vector<uint32_t>& spared) {
  for (uint32_t pid : ProcessIdsNamed(name)) {
    if (std::find(spared.begin(), spared.end(), pid) != spared.end()) continue;
    win::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (process && TerminateProcess(process.get(), 999)) WaitForSingleObject(process.get(), 5000);
  }
}

bool ProgramRun::Start(const std::string& exe) {
  if (!job_) job_.reset(CreateJobObjectA(nullptr, nullptr));
  process_ = test::Start(ProgramFolder() + "\\" + exe, {}, folder_.path(), job_.get());
  return WaitUntil([&] { return (main_ = FindMainWindow(process_.pid())) != nullptr; }, 20s);
}

void ProgramRun::End() {
  if (job_ && TerminateJobObject(job_.get(), 999)) {
    WaitUntil(
        [&] {
          JOBOBJECT_BASIC_ACCOUNTING_INFORMATION counts{};
          return !QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &counts, sizeof counts,
                                            nullptr) ||
                 counts.ActiveProcesses == 0;
        },
        5s);
  }
  process_.End();
  EndProcessesNamed("dornat.exe");
}

void ProgramsTest::SetUp() {
  // Programs of an earlier, failed run would change what these tests see.
  ASSERT_TRUE(ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
  ASSERT_TRUE(ProcessIdsNamed("dornat.exe").empty()) << "a dornat.exe is already running";
  DeleteFileA(SignalFilePath().c_str());
}

void ProgramsTest::TearDown() {
  for (OwnedProcess& p : started_) p.End();
  for (const char* name : {"dornat.exe", "velkor.exe"}) EndProcessesNamed(name);
  DeleteFileA(SignalFilePath().c_str());
}

OwnedProcess& ProgramsTest::StartProgram(const char* exe) {
  started_.push_back(test::Start(ProgramFolder() + "\\" + exe, {}, folder_.path()));
  return started_.back();
}

uint32_t ProgramsTest::WaitForProcessNamed(const char* name) {
  uint32_t pid = 0;
  WaitUntil(
      [&] {
        const std::vector<uint32_t> ids = ProcessIdsNamed(name);
        pid = ids.empty() ? 0 : ids.front();
        return pid != 0;
      },
      20s);
  return pid;
}

}  // namespace velkor::test
