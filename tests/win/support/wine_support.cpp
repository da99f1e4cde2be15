#include "support/wine_support.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace velkor::test {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

bool OwnedProcess::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

DWORD OwnedProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  if (!process_) return STILL_ACTIVE;
  WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count()));
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

void OwnedProcess::End() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_.get(), 999);
    WaitForSingleObject(process_.get(), 5000);
  }
  process_.reset();
}

OwnedProcess Start(const std::string& exe, const std::string& arguments, const std::string& workingFolder, HANDLE job) {
  std::string commandLine = "\"" + exe + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, job ? CREATE_SUSPENDED : 0, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info))
    return {};
  win::UniqueKernelHandle thread(info.hThread);
  OwnedProcess started(win::UniqueKernelHandle(info.hProcess), info.dwProcessId);
  if (job && (!AssignProcessToJobObject(job, info.hProcess) || ResumeThread(thread.get()) == static_cast<DWORD>(-1)))
    return {};  // ended by its owner
  return started;
}

OwnedProcess StartHelper() { return Start(ProgramFolder() + "\\velkor_helper.exe"); }

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return condition();
    Sleep(10);
  }
}

std::vector<uint32_t> ProcessIdsNamed(const std::string& name) {
  std::vector<uint32_t> ids;
  win::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return ids;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  auto lower = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
  };
  const std::string wanted = lower(name);
  for (BOOL ok = Process32First(snapshot.get(), &entry); ok; ok = Process32Next(snapshot.get(), &entry)) {
    if (lower(entry.szExeFile) == wanted) ids.push_back(entry.th32ProcessID);
  }
  return ids;
}

uint32_t OwnHandleCount() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
  // Handle values are multiples of 4; a test process stays far below 8192 handles.
  for (uintptr_t value = 4; value < 0x8000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

uint32_t OwnGdiObjectCount() {
  if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); count > 0) return count;
  // Wine's table takes a handle's low word alone as its index.
  uint32_t count = 0;
  for (uintptr_t value = 1; value < 0x10000; ++value)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0) ++count;
  return count;
}

TempFolder::TempFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  static unsigned counter = 0;
  for (;;) {
    path_ =
        std::string(temp) + "velkor-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
  }
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") DeleteFileA((path_ + "\\" + name).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  win::UniqueFileHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  win::UniqueFileHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return false;
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  return ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  win::UniqueFindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!search) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search.get(), &found));
  return names;
}

namespace {

void SendKey(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  // The right-hand Alt and Ctrl and the Entf of the navigation block.
  const bool extended = key == VK_RMENU || key == VK_RCONTROL || key == VK_DELETE;
  input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (down ? 0 : KEYEVENTF_KEYUP);
  SendInput(1, &input, sizeof input);
}

}  // namespace

HeldKeys::HeldKeys(std::vector<WORD> keys) : keys_(std::move(keys)) {
  for (WORD key : keys_) SendKey(key, true);
}

void HeldKeys::Release() {
  for (auto key = keys_.rbegin(); key != keys_.rend(); ++key) SendKey(*key, false);
  keys_.clear();
}

HWND Descendant(HWND root, int id) {
  std::pair<int, HWND> search{id, nullptr};
  EnumChildWindows(
      root,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<std::pair<int, HWND>*>(data);
        if (GetDlgCtrlID(child) != s->first) return TRUE;
        s->second = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

Rect RectInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Size ClientOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

}  // namespace velkor::test
