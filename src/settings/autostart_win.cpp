#include "settings/autostart_win.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "win/com.h"
#include "win/source_location.h"

namespace velkor {

namespace {

// The link path for IPersistFile::Save, from the ANSI code page.
constexpr int kMaxLinkPathLength = 1000;

std::wstring WideLinkPath(const std::string& path) {
  if (path.empty() || path.size() > static_cast<size_t>(kMaxLinkPathLength)) return {};
  std::wstring wide(path.size() + 1, L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  if (length <= 0) return {};
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

}  // namespace

bool CreateShortcut(const ShortcutProperties& request) {
  const ShortcutProperties shortcut = ResolveShortcut(request);
  win::ComApartment apartment;
  win::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put()))) return false;
  link->SetPath(shortcut.target.c_str());
  link->SetArguments(shortcut.arguments.c_str());
  link->SetWorkingDirectory(shortcut.workingDirectory.c_str());
  link->SetDescription(shortcut.description.c_str());
  link->SetShowCmd(shortcut.showCommand);
  link->SetHotkey(shortcut.hotKey);
  link->SetIconLocation(shortcut.iconFile.c_str(), shortcut.iconIndex);
  win::ComPtr<IPersistFile> file = link.As<IPersistFile>(IID_IPersistFile);
  if (!file) return false;
  // A path too long to convert is not cut short: that would save elsewhere.
  const std::wstring path = WideLinkPath(shortcut.linkFile);
  if (!path.empty()) file->Save(path.c_str(), TRUE);
  return true;
}

std::string StartupFolder() {
  win::CoTaskMemory<ITEMIDLIST> items;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_STARTUP, items.put())) || !items.get()) return {};
  char path[MAX_PATH] = {};
  if (!SHGetPathFromIDListA(items.get(), path)) return {};
  std::string folder = path;
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

std::string ProgramPath() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return std::string(path.data(), length);
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

std::string AutostartLinkPath() { return StartupFolder() + kAutostartLinkName; }

// Without a Startup folder the link would land in (or be deleted from) the
// root of the current drive: nothing is done then.
void WriteAutostartShortcut() {
  VELKOR_PLACE(kProceduresUnit);
  const std::string folder = StartupFolder();
  if (!folder.empty()) CreateShortcut(AutostartShortcut(ProgramPath(), folder));
}

void RemoveAutostartShortcut() {
  VELKOR_PLACE(kProceduresUnit);
  const std::string folder = StartupFolder();
  if (!folder.empty()) DeleteFileA((folder + kAutostartLinkName).c_str());
}

}  // namespace velkor
