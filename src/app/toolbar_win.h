// The toolbar buttons 19..25 of window 0: their pictures, hover fading and
// enabled states.
#pragma once

#include <windows.h>

namespace velkor {

// Redraws button `id` at once with its hover level and enabled state.
void DrawToolbarButton(int id);
// WM_DRAWITEM of a toolbar button; false for any other owner-drawn control.
bool PaintToolbarButton(const DRAWITEMSTRUCT* item);
// Buttons 23..25 by view and selection: all three for a selected process in
// "Prozesse", 24 for a selected driver in "Treiber", none otherwise.
void UpdateToolbarStates();
// One pass of the hover fading (the idle pass of the loop). The mouse
// position is only asked for while a glow is lit or after a mouse message
// reached one of our windows: a cursor elsewhere cannot light a button.
void ToolbarHoverStep();
// The loop saw a mouse message for one of the program's windows.
void NoteMouseActivity();
// True while a glow is lit or mouse activity waits for the next hover pass:
// the hover fading needs every 25 ms pass.
bool ToolbarAnimating();
// A button's hover level 0..200, kept as the button's window data.
int HoverLevel(int id);
void SetHoverLevel(int id, int level);

}  // namespace velkor
