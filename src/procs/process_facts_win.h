// What the process list shows of each process besides the snapshot's
// figures: whether it can be opened, its path, priority and start, and the
// facts of its executable (attributes, description, size, icon). Both are
// cached: per process while it runs, per path while the file stays the same.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "procs/process_list.h"
#include "procs/process_snapshot_win.h"
#include "win/unique_handle.h"

namespace velkor {

// Starts the caches afresh, with the icons going into `images` (the list's
// image list, owned by the list; none: no icons). Processes kept open are
// closed.
void ResetProcessFacts(HIMAGELIST images);
// A new image list at `dpi` holding every icon the list shows, taken again at
// that size and in the same places, so the rows' icon numbers stay; the
// facts use it from then on. Null when it could not be made whole (the old
// list then stays). The caller gives it to the list view.
win::UniqueImageList TakeProcessIconsAtDpi(int dpi);

// One fact record per snapshot entry, in the snapshot's order, with
// `timerMs` as the time of the CPU samples; the start dates only when
// `needDates`. A process that left the snapshot leaves the cache. A refresh
// in which a process did not change asks nothing of it.
std::vector<ProcessFacts> GatherProcessFacts(const std::vector<SnapshotEntry>& snapshot, bool needDates, DWORD timerMs);
// The same records with every process and file asked afresh (open, path,
// priority class, attributes, version text; no icons), as if each had just
// appeared: what the cached facts are held against.
std::vector<ProcessFacts> ReadProcessFactsDirectly(const std::vector<SnapshotEntry>& snapshot, bool needDates,
                                                   DWORD timerMs);

}  // namespace velkor
