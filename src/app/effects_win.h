// The window effects on real windows: alpha of any top-level window, the
// fades of the program's own windows, the quick transparency gesture with
// window 5, and the magnet of the main window.
#pragma once

#include <windows.h>

#include "app/effects.h"

namespace velkor {

// Alpha 0..254 makes the window layered with that constant alpha; 255 makes
// it opaque and non-layered again. Another program's window that does not
// answer within a short bound is left alone: changing its style would make
// the system wait for it.
void SetWindowAlpha(HWND window, int alpha);
// Replaces the extended style by exactly WS_EX_LAYERED and sets the alpha
// (the program's own windows, for the fades).
void SetFadeAlpha(HWND window, int alpha);

// The 255 ms fades of window 4, with a black outline around its client
// area and `pumpEvents` run at every step. The fade in shows and activates
// the window and disables `mainWindow`, and ends fully opaque (the main
// window's extended style without WS_EX_LAYERED); the fade out leaves the
// window transparent for the caller to hide.
using PumpEvents = void (*)();
void FadeWindowIn(HWND window, HWND mainWindow, PumpEvents pumpEvents);
void FadeWindowOut(HWND window, HWND mainWindow, PumpEvents pumpEvents);

// Whether right Alt and right Ctrl are down now and the desktop window is
// not in front: what one pass of the gesture is given.
bool TransparencyKeysHeld();
// One pass of the quick transparency gesture; `keysHeld` as above.
void QuickTransparencyPass(bool keysHeld);
// Whether a gesture is running (the loop then passes every 25 ms).
bool TransparencyGestureActive();
// Destroys the scale picture (shutdown, tests).
void DestroyTransparencyScale();
// The gesture's state, for tests.
TransparencyGesture& CurrentTransparencyGesture();

// The magnet for a proposed position of the main window (its
// WM_WINDOWPOSCHANGING): not while it is minimised or maximised.
void SnapMainWindow(HWND mainWindow, WINDOWPOS& position);

}  // namespace velkor
