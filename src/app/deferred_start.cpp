#include "app/deferred_start.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

#include "app/anchoring.h"
#include "app/control_factory.h"
#include "app/program_windows.h"
#include "app/view_table.h"
#include "app/window_registry.h"
#include "win/source_location.h"

namespace velkor {

namespace {

UINT_PTR completionTimer = 0;
std::vector<int> pendingLists;
std::array<bool, kViewCount> viewPending{};

void StopCompletingStart() {
  if (completionTimer) KillTimer(nullptr, completionTimer);
  completionTimer = 0;
}

// The container of view panel or window that `def` lies in at the top.
int TopContainerOf(const ControlSpec& def) {
  const ControlSpec* top = &def;
  while (top->parent)
    if (const ControlSpec* up = FindControlSpec(top->parent))
      top = up;
    else
      break;
  return top->id;
}

void FillList(int id) {
  VELKOR_PLACE(kProceduresUnit);
  const int view = ViewOfList(id);
  if (view < 0) return;
  BuildViewControls(view);
  if (const ViewSpec* row = ViewOf(view); row->refresh) row->refresh();
}

// One step of what the start left for later; false when nothing is left.
bool CompleteStartStep() {
  VELKOR_PLACE(kProceduresUnit);
  if (!MainWindow) return false;
  if (!pendingLists.empty()) {
    const int id = pendingLists.front();
    pendingLists.erase(pendingLists.begin());
    FillList(id);
    return true;
  }
  for (int view = 0; view < kViewCount; ++view) {
    if (!viewPending[static_cast<size_t>(view)]) continue;
    BuildViewControls(view);
    return true;
  }
  for (int number : {kPreferencesWindow, kDiagramWindow, kRunWindow, kInformationWindow, kScaleWindow}) {
    if (BuiltWindow(number)) continue;
    BuildOtherWindow(number);
    return true;
  }
  return false;
}

}  // namespace

void LeaveForLater() {
  pendingLists.clear();
  for (const ViewSpec& view : ViewTable()) {
    const auto number = static_cast<size_t>(&view - ViewTable().data());
    viewPending[number] = view.builtLate;
    if (view.listFilledLate) pendingLists.push_back(view.list);
  }
}

void ForgetWhatIsLeft() {
  StopCompletingStart();
  pendingLists.clear();
  viewPending.fill(false);
}

bool LeftForLater(const ControlSpec& def) {
  if (def.window != kMainWindow) return false;
  const int top = TopContainerOf(def);
  for (int view = 0; view < kViewCount; ++view)
    if (viewPending[static_cast<size_t>(view)] && ViewOf(view)->panel == top && top != def.id) return true;
  return false;
}

void BuildViewControls(int view) {
  VELKOR_PLACE(kProceduresUnit);
  if (view < 0 || view >= kViewCount || !viewPending[static_cast<size_t>(view)] || !MainWindow) return;
  viewPending[static_cast<size_t>(view)] = false;
  // Placed for the main window's present size, as its panel is.
  const Size mainClient = ClientSize(MainWindow);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const int panel = ViewOf(view)->panel;
  for (const ControlSpec& def : ControlTable())
    if (def.window == kMainWindow && def.id != panel && TopContainerOf(def) == panel)
      CreateControl(def, mainClient, instance);
  if (void (*setUp)(Size) = ViewOf(view)->setUp) setUp(mainClient);
  ApplyAnchoring();  // pictures that sized their controls go back to their places
}

void ForgetPendingList(int id) { std::erase(pendingLists, id); }

void FillListIfPending(int id) {
  if (std::find(pendingLists.begin(), pendingLists.end(), id) == pendingLists.end()) return;
  ForgetPendingList(id);
  FillList(id);
}

void CompleteStartWhenIdle() {
  StopCompletingStart();
  // A thread timer ticks only when nothing else waits in the queue: one
  // list or window a tick, so input and messages from other programs come
  // first.
  completionTimer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR, DWORD) {
    if (!CompleteStartStep()) StopCompletingStart();
  });
}

void CompleteStartNow() {
  while (CompleteStartStep()) {
  }
  StopCompletingStart();
}

}  // namespace velkor
