#include "support/shell_link.h"

#include <shobjidl.h>

#include "win/com.h"

namespace velkor::test {

bool ReadLink(const std::string& path, LinkContent& out) {
  win::ComApartment apartment;
  win::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put())))
    return false;
  win::ComPtr<IPersistFile> file = link.As<IPersistFile>(IID_IPersistFile);
  const std::wstring wide(path.begin(), path.end());
  if (!file || FAILED(file->Load(wide.c_str(), STGM_READ))) return false;
  char text[MAX_PATH * 2] = {};
  link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
  out.target = text;
  link->GetArguments(text, sizeof text);
  out.arguments = text;
  link->GetWorkingDirectory(text, sizeof text);
  out.workingDirectory = text;
  link->GetDescription(text, sizeof text);
  out.description = text;
  link->GetIconLocation(text, sizeof text, &out.iconIndex);
  out.iconFile = text;
  link->GetShowCmd(&out.showCommand);
  link->GetHotkey(&out.hotKey);
  return true;
}

}  // namespace velkor::test
