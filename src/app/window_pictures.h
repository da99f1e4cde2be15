// The pictures and icons of the program windows, each drawn for the DPI of
// the window it shows in, and what follows when a window's DPI changes.
#pragma once

#include <windows.h>

namespace velkor {

// The pictures every window shows from its creation on, drawn for its DPI.
// The tab strip is as wide as its picture; the filler takes the rest.
void SetWindowPictures();
// The same for window `number` (1 to 5) alone, if built.
void SetOtherWindowPictures(int number);
// The tab strip's picture for `view`.
void SetTabPicture(int view);
// Shows the picture resource `name` in image control `id`, if built.
void SetControlPicture(int id, const char* name);
// Window `number`'s own icons at its DPI. The main window's small icon is its
// class's (16 x 16) unless `always` or its DPI asks for another size.
void SetIconsAtDpi(int number, bool always);
void DestroyWindowIcons();
// Window `number` now shown at `dpi`: takes the suggested outer rectangle and
// lays out its controls, fonts and pictures again, keeping their contents.
void ChangeWindowDpi(int number, int dpi, const RECT& suggested);

}  // namespace velkor
