// The tooltip controls of the program windows: one per window, made with its
// first tool.
#pragma once

#include <windows.h>

#include <string>

namespace velkor {

// Gives `control` of top-level `window` the tooltip `text`.
void AddTooltip(HWND window, HWND control, const std::string& text);
// The text of `control`'s tooltip; "" for none.
std::string TooltipTextOf(HWND control);
// Destroys every tooltip control (before the windows they belong to).
void DestroyTooltips();

}  // namespace velkor
