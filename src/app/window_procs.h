// The window classes of the program windows and their containers, and the
// procedures that turn their messages into loop events.
#pragma once

#include <windows.h>

namespace velkor {

inline constexpr const char* kWindowClass = "VelkorWindow";
// The information window casts a drop shadow: a class of its own.
inline constexpr const char* kShadowWindowClass = "VelkorShadowWindow";
inline constexpr const char* kContainerClass = "VelkorPanel";

// Registers the three classes (once; a second build finds them there).
bool RegisterWindowClasses(HINSTANCE instance);

// A group frame draws only its frame and caption, and the container it lies
// in leaves the frame's place to it (containers clip their children): the
// frame paints its inside in the container's background itself. Made with
// WS_CLIPSIBLINGS and kept below the controls it frames, it never covers them.
void GiveGroupFrameItsBackground(HWND group);

}  // namespace velkor
