// The titles of the desktop's main windows (visible, unowned, top-level,
// with a caption), by the process that owns each: what the process list
// shows for a process that has a window.
#pragma once

#include <windows.h>

#include <vector>

#include "procs/process_list.h"

namespace velkor {

// Reads the titles afresh, in the system's front-to-back order. A title is
// the caption the system keeps: no window is sent a message, so a hung
// program cannot hold up the reading. Blank captions are left out.
const std::vector<WindowTitle>& CollectWindowTitles();
// The titles the last collection read.
const std::vector<WindowTitle>& CollectedWindowTitles();
// Forgets the titles read (nothing collected, shutdown).
void ClearWindowTitles();

}  // namespace velkor
