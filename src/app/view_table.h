// The six views of the main window as one table, in tab order: what each
// shows, what it refreshes, what it builds late and what runs while it shows.
// ShowView, the periodic procedure, the deferred start and the status bar ask
// this table instead of knowing the views by number.
#pragma once

#include <cstdint>
#include <span>

#include "app/control_ids.h"
#include "app/layout.h"

namespace velkor {

struct ViewSpec {
  int panel = 0;
  int list = 0;                      // its list, 0 for none
  const char* tabPicture = nullptr;  // the tab strip while the view shows
  const char* countWord = nullptr;   // the status bar's "<word>: <rows>"; null: no figures at all
  // Refreshes the view's list: on every list interval while the view shows,
  // and when it is shown with a refresh if `refreshedWhenShown`.
  void (*refresh)() = nullptr;
  bool refreshedWhenShown = false;
  // The process list is refreshed on its interval while this view shows
  // (the memory tables come from that refresh), as it is while its own view
  // or the diagram window shows.
  bool followsProcesses = false;
  // The status bar shows the selected process's strip, which moves on with
  // every process refresh.
  bool stripInStatusBar = false;
  // Each monitor sample is drawn into the view.
  bool drawsSamples = false;
  // The view's graphs step on the graph interval while it shows; while they
  // run (always when `graphsRunning` is null) the loop waits no longer.
  void (*graphStep)() = nullptr;
  bool (*graphsRunning)() = nullptr;
  // Its controls (all but the panel) are built at its first show, or in the
  // idle time after the first paint, whichever comes first.
  bool builtLate = false;
  // Its list is filled in the idle time after the first paint, or when first
  // needed before.
  bool listFilledLate = false;
  // What the view needs once its controls exist (attached lists, sort marks,
  // memory tables), placed for the main window's client size.
  void (*setUp)(Size mainClient) = nullptr;
};

std::span<const ViewSpec> ViewTable();
// The row of `view`; null outside 0..kViewCount-1.
const ViewSpec* ViewOf(int view);
// The view whose list is `list`, or -1.
int ViewOfList(int list);

// Shows exactly one view panel (its late controls built first) and its tab
// picture; with `refresh` the view's list is refreshed at once.
void ShowView(int view, bool refresh);
// The row of CurrentView (an empty row outside the table).
const ViewSpec& ShownView();
// Whether the shown view has graphs running, so the loop passes often.
bool ShownViewAnimates();

// The process list's last refresh listed processes with this working-set
// sum: the memory tables show it, now and once their view is built.
void ProcessesRefreshed(uint64_t workingSetSum);

}  // namespace velkor
