// What screen readers read of the controls the program draws itself: the
// toolbar by its tooltips, pictures by the caption beside them with their
// figure as value, the tab strips by their tabs, the status bar by its
// fields. Standard controls (buttons, check boxes, lists) keep the system's
// reading of their own texts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/layout.h"
#include "app/status_bar.h"

namespace velkor {

// A picture control read by its neighbours: its name is the text of
// `caption` (0: its window's title), its value the text of `figure` (0:
// none), followed by ", " + `caption2` + " " + `figure2` where it shows a
// second figure.
struct PictureReading {
  int picture;
  int caption;
  int figure;
  int caption2 = 0;
  int figure2 = 0;
};
std::span<const PictureReading> PictureReadings();

// Gives a control just made from its layout row what readers are told of
// it, and watches the labels whose text is another control's name or value.
void DescribeControl(const ControlSpec& def, HWND control);

// The view shown changed: its tab is the selected (and, while the strip has
// the focus, the focused) one; the toolbar's tooltips may have changed.
void AnnounceViewShown(int view);
// The status bar's fields changed from `before` to what it shows now.
void AnnounceStatusBarFields(const std::vector<StatusBarText>& before);

}  // namespace velkor
