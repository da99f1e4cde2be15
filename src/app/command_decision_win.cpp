#include "app/command_decision_win.h"

#include <commctrl.h>

#include "app/control_ids.h"
#include "app/startup.h"
#include "app/program_windows.h"
#include "procs/process_list.h"

namespace velkor {

namespace {

PowerPolicy menuPowerPolicy;

// A list not built yet has no selection.
bool HasSelection(int list) {
  HWND control = BuiltControl(list);
  return control && ListView_GetSelectedCount(control) > 0;
}

}  // namespace

CommandContext CommandContextNow() {
  CommandContext context;
  context.view = CurrentView;
  context.processSelected = HasSelection(kProcessList);
  context.driverSelected = HasSelection(kDriverList);
  context.processorCount = ProcessorCount();
  context.power = menuPowerPolicy;
  return context;
}

void RememberPowerPolicy(const PowerPolicy& policy) { menuPowerPolicy = policy; }

void ApplyCommandStates(HMENU menu, const CommandContext& context) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    const auto position = static_cast<UINT>(i);
    if (HMENU submenu = GetSubMenu(menu, i)) {
      ApplyCommandStates(submenu, context);
      continue;
    }
    const CommandState state = DecideCommandState(static_cast<int>(GetMenuItemID(menu, i)), context);
    EnableMenuItem(menu, position, MF_BYPOSITION | (state.enabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(menu, position, MF_BYPOSITION | (state.checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

}  // namespace velkor
