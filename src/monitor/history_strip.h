// The CPU history strips of the process list: one small scrolling picture of
// a process's CPU load per row, shown by the status bar of the "Prozesse"
// view beside its counters. The pictures are kept here by number; a row
// carries its picture's number (ProcessRows::HistoryImageOf, 0: none).
#pragma once

#include <cstdint>
#include <optional>

#include "gfx/canvas.h"
#include "procs/process_list.h"

namespace velkor {

// The pictures are kept in 96-DPI units: 18 high, and a column per unit of
// the status bar from x = 334 to its right edge, 2 below its top. On a screen
// of another scale the picture is drawn at that place and size scaled, so a
// move to another monitor keeps every strip's history.
inline constexpr int kHistoryImageHeight = 18;
inline constexpr int kHistoryImageLeft = 334;
inline constexpr int kHistoryImageTop = 2;
inline constexpr int kHistoryStep = 2;  // columns per process-list refresh

// The width of the strips for a main window client width in pixels at `dpi`
// (never below one step).
int HistoryImageWidthFor(int clientWidth, int dpi = 96);
// Draws a picture into the status bar's canvas at `dpi`: from the scaled
// left edge to the bar's right edge, the scaled height, nearest pixel.
void DrawHistoryImageInBar(Canvas& bar, const Canvas& image, int dpi);

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
void DestroyHistoryImage(int image);
// Every row's picture made anew at `width`, its history kept at the right
// edge; the rows get the new numbers.
void ResizeHistoryImages(ProcessRows& rows, int width);
// Switching the strips off frees every picture and gives each row 0;
// switching them on gives each row without one a fresh picture.
void SwitchHistoryImages(ProcessRows& rows, bool enabled);
// Destroys every picture (shutdown, tests).
void DestroyAllHistoryImages();

// The picture of that number, drawn, or nothing.
std::optional<Canvas> HistoryImage(int image);
int HistoryImageCount();
// Grows with every change of any picture: whoever shows one can tell
// whether it must draw again.
uint64_t HistoryImagesRevision();

}  // namespace velkor
