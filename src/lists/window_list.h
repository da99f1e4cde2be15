// The window list of the "Fenster" view: which top-level windows are listed,
// the texts of their rows, and what the window commands are. The Win32 side
// (window_list_win.h) gathers the facts and carries the commands out.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

inline constexpr int kWindowListColumns = 9;
inline constexpr int kWindowTitleColumn = 0;
inline constexpr int kWindowHandleColumn = 1;
inline constexpr int kWindowProcessColumn = 2;
inline constexpr int kWindowPidColumn = 3;

// The topmost bit of the extended window style.
inline constexpr uint32_t kTopmostStyleBit = 0x8;

// The three check boxes below the list and the screen the off-screen test
// measures against: the virtual screen, which holds every monitor, so that a
// window on a second monitor (left of or above the primary one too) counts
// as on the screen.
struct WindowFilter {
  bool showHidden = false;
  bool showSizeless = false;
  bool showOffScreen = false;
  int screenWidth = 0;
  int screenHeight = 0;
  int screenLeft = 0;
  int screenTop = 0;
};

// What the system says about one top-level window.
struct WindowFacts {
  uint64_t handle = 0;
  bool visible = false;  // the visible style
  bool cloaked = false;  // kept from the screen by the window manager all the same
  std::string title;
  int left = 0, top = 0, right = 0, bottom = 0;  // window rectangle, screen coordinates
  bool minimised = false;
  bool maximised = false;
  uint32_t exStyle = 0;
  uint32_t pid = 0;
  std::string processPath;  // "" when it cannot be determined
};

// The first test, made before anything else is asked: a hidden window is
// dropped unless hidden windows are wanted. A cloaked window counts as
// hidden, here and in its row.
bool SkippedAsHidden(bool visible, bool cloaked, const WindowFilter& filter);
// All tests in their order: visibility, title, size, off-screen. A
// minimised window is never dropped as off-screen (the system parks it far
// outside); an edge lying exactly on the screen border still counts as on it.
bool WindowListed(const WindowFacts& window, const WindowFilter& filter);
// The nine cells of a listed window's row.
std::array<std::string, kWindowListColumns> WindowRowCells(const WindowFacts& window);

// The threads that did not answer a question within its bound during one
// refresh: each is asked once, so a thread that stopped answering (the
// system gives up waiting on one only after about 5 s) costs one time-out,
// however many windows it owns.
class SilentThreads {
 public:
  [[nodiscard]] bool Ask(uint32_t thread) const;
  void NoteSilent(uint32_t thread);
  void Clear();

 private:
  std::vector<uint32_t> threads_;  // few: hung threads are rare
};

// The plain decimal conversion the commands read handles and process ids
// back with: leading blanks skipped, digits up to the first other character;
// empty, non-numeric or out-of-range text gives 0.
uint64_t ParseListNumber(std::string_view text);

// The commands of the window menu other than refresh, transparency and the
// jump to the process, by their identifiers.
inline constexpr int kTopmostCommand = 118;
inline constexpr int kToggleVisibleCommand = 119;
inline constexpr int kMinimiseCommand = 120;
inline constexpr int kMaximiseCommand = 121;
inline constexpr int kRestoreCommand = 122;
inline constexpr int kCloseWindowCommand = 123;
inline constexpr int kDestroyWindowCommand = 124;
enum class WindowCommand { kToggleTopmost, kToggleVisible, kMinimise, kMaximise, kRestore, kClose, kDestroy };
std::optional<WindowCommand> WindowCommandOf(int id);

// How "Zerstören" goes about a window: only the thread that made a window
// can destroy it; any other gets a close request, bounded, and never the
// end of its program (whose other windows, a taskbar among them, would go
// with it).
enum class DestroyWay { kDestroy, kCloseRequest };
DestroyWay DestroyWayFor(bool ownThread);
// The "Hinweis" when the window is still there after "Zerstören".
std::string WindowNotDestroyedMessage(std::string_view title);

}  // namespace velkor
