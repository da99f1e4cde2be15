// The program windows and their controls, made from the layout table.
#pragma once

#include <windows.h>

#include "app/layout.h"

namespace velkor {

// Window `def` at the given outer rectangle; an owned one is owned by window 0.
HWND CreateTopLevel(const WindowSpec& def, HINSTANCE instance, int x, int y, int outerW, int outerH, DWORD style,
                    DWORD exStyle);
// Control `def` in its parent (made before it), placed for the main window's
// client size at creation, with its font, tooltip, limits and columns; kept
// in the registry. Null when its parent is missing or creation failed.
// Sizes, fonts, column widths and limits are those of the DPI the control's
// window is laid out at (LayoutDpiOf).
HWND CreateControl(const ControlSpec& def, Size mainClient, HINSTANCE instance);
// Puts every control of window `number` where the layout wants it at `dpi`
// for the main window's client size `mainClient`, with its fonts at that DPI;
// the column widths go from `oldDpi` to `dpi`. The controls keep their
// contents, selection and scroll position.
void RelayOutControlsAtDpi(int number, Size mainClient, int oldDpi, int dpi);

}  // namespace velkor
