// The windows and controls as built: their owners, and how the rest of app
// finds them by number, identifier or handle.
#pragma once

#include <windows.h>

#include "app/layout.h"
#include "win/unique_handle.h"

namespace velkor {

// A control made from its layout entry, with what anchoring needs. The
// handle owns nothing: a control is destroyed with its top-level window.
struct ControlEntry {
  HWND handle = nullptr;
  const ControlSpec* def = nullptr;
  Rect created;        // in the parent's client area
  Size parentCreated;  // the parent's client size at creation
};

// Keeps window `number`; window 0 is also MainWindow.
void AdoptWindow(int number, win::UniqueWindow window);
void AddControl(const ControlEntry& entry);
ControlEntry* FindControlEntry(int id);
// The layout entry of a control made from the table, by its handle; null for
// any other window.
const ControlSpec* SpecOfControl(HWND control);
// The number of a program window itself (not of its children), or -1.
int ExactWindowNumber(HWND window);
// The DPI window `number` and its controls are laid out at (96 until set).
int LayoutDpiOf(int number);
void SetLayoutDpi(int number, int dpi);
// Destroys window `number` with its controls and forgets them.
void ForgetWindow(int number);
// Destroys every window with its controls and forgets them all.
void DestroyAllWindows();

Size ClientSize(HWND window);

}  // namespace velkor
