// The "Information" window: its texts, link targets and where it stands.
// It opens centred over the main window with the about page (280 wide) and
// widens to 420 for the licence terms, moving 80 pixels left, and back.
#pragma once

#include <string_view>

#include "app/layout.h"

namespace velkor {

inline constexpr int kAboutPage = 300;
inline constexpr int kDisclaimerPage = 318;
inline constexpr int kInformationHeight = 290;
inline constexpr int kAboutWidth = 280;
inline constexpr int kDisclaimerWidth = 420;
inline constexpr int kPageSwitchShift = 80;

// The place of the window when it opens: centred over the main window's
// client size, relative to the main window's outer top-left corner; the
// window's own sizes and shifts are scaled to `dpi`.
Rect InformationPlacement(int mainLeft, int mainTop, Size mainClient, int dpi = 96);
// The place after switching to the licence terms (or back to the about page).
Rect PlacementForPage(const Rect& current, int page, int dpi = 96);

// What a link of the about page opens; empty for none (the "Internet:" link).
std::string_view LinkTarget(int id);

// The licence terms shown on the disclaimer page: German, then English.
std::string_view DisclaimerText();

}  // namespace velkor
