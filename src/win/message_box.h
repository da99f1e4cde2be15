// Every message box of the programs goes through ShowMessageBox, so tests can
// answer them instead of a person.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace velkor::win {

using MessageBoxHook = std::function<int(HWND owner, const std::string& text, const std::string& title, UINT flags)>;

int ShowMessageBox(HWND owner, const std::string& text, const std::string& title, UINT flags);
// Installs a replacement for MessageBoxA (an empty hook restores it).
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace velkor::win
