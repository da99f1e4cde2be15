// The loop's view of what happened: control events (13100) with their type,
// menu and shortcut events (13101), and close (16), size (5) and mouse-move
// (512) messages of a program window. The window procedures queue them, the
// loop takes them in order.
#pragma once

namespace velkor {

inline constexpr int kEventNone = 0;
inline constexpr int kEventControl = 13100;
inline constexpr int kEventMenu = 13101;
inline constexpr int kEventClose = 16;
inline constexpr int kEventSize = 5;
inline constexpr int kEventMouseMove = 512;
inline constexpr int kTypeLeftClick = 0;
inline constexpr int kTypeRightClick = 1;
inline constexpr int kTypeDoubleClick = 2;
inline constexpr int kTypeChange = 768;

struct LoopEvent {
  int code = kEventNone;
  int id = 0;
  int type = 0;
  int window = 0;
};
void QueueLoopEvent(const LoopEvent& event);
bool TakeLoopEvent(LoopEvent& event);
// Drops whatever is queued (the windows that queued it are gone).
void ClearLoopEvents();

}  // namespace velkor
