// The small icons of the lists, at the scale of the list that shows them:
// image lists of the system's small-icon size at the list's DPI, file icons
// taken at that size, and pictures of the program at their nearest drawing,
// centred in the icon and never stretched.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "win/unique_handle.h"

namespace velkor {

// The system's small-icon size (SM_CXSMICON) at `dpi`, and where `list` is shown.
int SmallIconSizeAtDpi(int dpi);
int SmallIconSizeOf(HWND list);
// An image list of that size, to be given to the list, which then owns it.
HIMAGELIST CreateSmallImageList(HWND list, int initialCount, int growCount);
HIMAGELIST CreateSmallImageListAtDpi(int dpi, int initialCount, int growCount);
// Icon `index` of an executable or library in the small size `size` (0:
// the system's).
win::UniqueIcon ExtractSmallIcon(const char* file, int index, int size);
// The DPI whose small icons are `size` pixels (16 at 96 DPI).
int SmallIconDpi(int size);
// The picture resource `name` for `dpi` as a `size` x `size` icon.
win::UniqueIcon SmallPictureIcon(const char* name, int dpi, int size);
// A list header's two sort arrows laid over the button face (a header item
// shows no alpha), in the drawing for `dpi`.
struct SortArrows {
  win::UniqueBitmap up, down;
  int dpi = 0;
};
// Draws them for `dpi` unless they already are.
void DrawSortArrowsFor(SortArrows& arrows, int dpi);

}  // namespace velkor
