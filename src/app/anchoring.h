// Where the anchored controls of window 0 go when it changes its size.
#pragma once

namespace velkor {

// The tab strip is as wide as its picture: puts it there, and the filler right
// of it (the rest of the width).
void SetTabStripWidth(int width);

}  // namespace velkor
