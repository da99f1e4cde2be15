// The CPU history strips of the process list: one small scrolling picture of
// a process's CPU load per row, shown by the status bar of the "Prozesse"
// view beside its counters. The pictures are kept here by number;
// a row carries its picture's number in its hidden column 14 ("0": none).
#pragma once

#include <cstdint>
#include <optional>

#include "gfx/canvas.h"
#include "procs/row_store.h"

namespace velkor {

inline constexpr int kHistoryImageHeight = 18;
// The strips fill the status bar from x = 334 to its right edge, 2 below its top.
inline constexpr int kHistoryImageLeft = 334;
inline constexpr int kHistoryImageTop = 2;
inline constexpr int kHistoryStep = 2;  // pixels per process-list refresh

// The width of the strips for a main window client width (never below one step).
int HistoryImageWidthFor(int clientWidth);

// The status bar's 4 x 20 background strip that every picture shows behind
// its bars (rows 2..19 of it); without one the pictures stay white.
void SetHistoryBackground(const Canvas& strip);
// The width new pictures get; ResizeHistoryImages changes it too.
void SetHistoryImageWidth(int width);
int HistoryImageWidth();

// A new picture (background only) at the current width; its number, never 0.
int CreateHistoryImage();
// Scrolls the picture 2 pixels left and draws the new column: a bar of
// load x 18 / 100 pixels (rounded half up), green at the bottom turning red
// towards the top. Unknown numbers are ignored.
void AdvanceHistoryImage(int image, float load);
void FreeHistoryImage(int image);
// Every row's picture made anew at `width`, its history kept at the right
// edge; the rows get the new numbers.
void ResizeHistoryImages(RowStore& rows, int column, int width);
// Switching the strips off frees every picture and writes "0" into each
// row's column; switching them on gives each row without one a fresh picture.
void SwitchHistoryImages(RowStore& rows, int column, bool enabled);
// Frees every picture (shutdown, tests).
void FreeAllHistoryImages();

// The picture of that number, drawn, or nothing.
std::optional<Canvas> HistoryImage(int image);
int HistoryImageCount();
// Grows with every change of any picture: whoever shows one can tell
// whether it must draw again.
uint64_t HistoryImagesRevision();

// --- Win32 side (history_strip_win.cpp) ---

// Loads the background strip and sets the width for the main window's
// client width; before the first process-list refresh.
void PrepareHistoryImages(int clientWidth);

// Switches the strips of the process list on or off and sets
// PreferencesCPUPerProcess to match (the preferences window calls it); the
// status bar follows at its next update.
void SetHistoryImagesEnabled(bool enabled);
// After a size change of the main window; nothing while the strips are off.
void ResizeProcessHistoryImages(int clientWidth);
// Draws the picture of the selected process row into `bar` (the status
// bar's canvas) at (334, 2); false when there is none to draw.
bool DrawSelectedHistoryImage(Canvas& bar);
// The number of the selected row's picture, 0 for none.
int SelectedHistoryImage();

}  // namespace velkor
