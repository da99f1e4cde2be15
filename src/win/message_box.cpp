#include "win/message_box.h"

namespace velkor::win {
namespace {
MessageBoxHook& Hook() {
  static MessageBoxHook hook;
  return hook;
}
}  // namespace

int ShowMessageBox(HWND owner, const std::string& text, const std::string& title, UINT flags) {
  if (Hook()) return Hook()(owner, text, title, flags);
  return MessageBoxA(owner, text.c_str(), title.c_str(), flags);
}

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

}  // namespace velkor::win
