// Talking to windows of other programs without waiting on them: a window
// whose thread does not answer must never stop ours.
#pragma once

#include <windows.h>

#include <optional>

namespace velkor::win {

// How long another program's window gets to answer before it counts as not
// answering.
inline constexpr UINT kAnswerMilliseconds = 200;

// Whether the window belongs to the calling thread (it is then called
// directly, and cannot keep us waiting).
bool OwnThreadWindow(HWND window);

// SendMessageTimeout with SMTO_ABORTIFHUNG: the answer, or none when the
// window did not answer within `milliseconds` (or does not exist).
std::optional<LRESULT> SendMessageBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT milliseconds = kAnswerMilliseconds);

// Whether the window's thread handles a harmless message within the bound;
// always true for our own thread's windows.
bool WindowAnswers(HWND window, UINT milliseconds = kAnswerMilliseconds);

}  // namespace velkor::win
