// The summary panel of the "Prozesse" view on Windows.
#pragma once

#include <windows.h>

#include "monitor/process_summary.h"

namespace velkor {

// The panel's box (control 140, holding 141..145).
void SetUpProcessSummary(HWND box);
// Refreshes the panel from the process list (after a changing refresh and
// when the selection changes); writes only the texts that changed.
void UpdateProcessSummary();
// The box was moved to a monitor of another scale: its icon is taken and
// drawn again at `dpi`.
void ProcessSummaryDpiChanged(int dpi);
// The width of the icon the panel shows (0 for none).
int ProcessSummaryIconSize();
// Frees the panel's picture and icon (tests, shutdown).
void DestroyProcessSummary();

}  // namespace velkor
