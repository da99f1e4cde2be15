// The history strips of the process list on Windows: the background from the
// program's pictures, the rows from the list view.
#pragma once

#include "gfx/canvas.h"
#include "monitor/history_strip.h"

namespace velkor {

// Loads the background strip and sets the width for the main window's
// client width at `dpi`; before the first process-list refresh.
void PrepareHistoryImages(int clientWidth, int dpi);

// Switches the strips of the process list on or off and sets
// PreferencesCPUPerProcess to match (the preferences window calls it); the
// status bar follows at its next update.
void SetHistoryImagesEnabled(bool enabled);
// After a size or scale change of the main window; nothing while the strips are off.
void ResizeProcessHistoryImages(int clientWidth, int dpi);
// Draws the picture of the selected process row into `bar` (the status
// bar's canvas at `dpi`) by DrawHistoryImageInBar; false when there is none.
bool DrawSelectedHistoryImage(Canvas& bar, int dpi);
// The number of the selected row's picture, 0 for none.
int SelectedHistoryImage();

}  // namespace velkor
