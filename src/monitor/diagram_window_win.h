// The "Diagramm" window on Windows: the measure list, the pie of the
// process list's rows and the info panel under the mouse.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "monitor/process_pie.h"

namespace velkor {

// Window 2, laid out at `dpi`: fills the measure list (240) with its icons
// and shows the default picture in the info panel.
void SetUpDiagramWindow(HWND window, int dpi);
// The window laid out again at `dpi`: the measure icons at its small-icon
// size, the panel's picture and the pie at its scale.
void DiagramWindowDpiChanged(int dpi);
// The measure icons' size in pixels (tests).
int DiagramMeasureIconSize();
// Redraws the pie for the selected measure from the process list.
void DrawProcessPie();
// Updates the info panel for the mouse position.
void ShowPieInfo();
// Command 21: hides a visible window, else draws, shows and activates it.
void ToggleDiagramWindow();
// The process of the slice under the mouse, for a double click on the pie;
// nothing off the pie, between slices or by priority.
std::optional<uint32_t> PieProcessUnderMouse();
// Redraws when the selected measure differs from the last one seen.
void CheckPieMeasure();
bool DiagramWindowVisible();
// The texts of the info panel as shown (tests).
PieInfoTexts ShownPieInfo();
// Frees the measure icons, the shown pictures and the panel's icon.
void DestroyDiagramWindow();

}  // namespace velkor
