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

}  // namespace velkor
