#include "settings/autostart_win.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "win/com.h"
#include "win/source_location.h"
#include "win/wide_text.h"

namespace velkor {

namespace {

// The longest link path handed to IPersistFile::Save, in characters.
constexpr size_t kMaxLinkPathLength = 1000;

std::wstring WidePath(const std::string& path) { return win::WideText(path, CP_UTF8); }
// The shortcut's texts are the program's own, in its code page.
std::wstring WideProgramText(const std::string& text) { return win::WideText(text, 1252); }

}  // namespace

bool CreateShortcut(const ShortcutProperties& request) {
  const ShortcutProperties shortcut = ResolveShortcut(request);
  win::ComApartment apartment;
  win::ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put())))
    return false;
  link->SetPath(WidePath(shortcut.target).c_str());
  link->SetArguments(WideProgramText(shortcut.arguments).c_str());
  link->SetWorkingDirectory(WidePath(shortcut.workingDirectory).c_str());
  link->SetDescription(WideProgramText(shortcut.description).c_str());
  link->SetShowCmd(shortcut.showCommand);
  link->SetHotkey(shortcut.hotKey);
  link->SetIconLocation(WidePath(shortcut.iconFile).c_str(), shortcut.iconIndex);
  win::ComPtr<IPersistFile> file = link.As<IPersistFile>(IID_IPersistFile);
  if (!file) return false;
  // A path too long or not convertible is not cut short or mended: that
  // would save elsewhere.
  const std::wstring path = WidePath(shortcut.linkFile);
  if (!path.empty() && path.size() <= kMaxLinkPathLength) file->Save(path.c_str(), TRUE);
  return true;
}

std::string StartupFolder() {
  win::CoTaskMemory<ITEMIDLIST> items;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_STARTUP, items.put())) || !items.get()) return {};
  wchar_t path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(items.get(), path)) return {};
  std::wstring folder = path;
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  return win::Utf8Text(folder);
}

std::string ProgramPath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return win::Utf8Text(std::wstring_view(path.data(), length));
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
  if (folder.empty()) return;
  const std::wstring link = WidePath(folder + kAutostartLinkName);
  if (!link.empty()) DeleteFileW(link.c_str());
}

}  // namespace velkor
