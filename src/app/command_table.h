// The command table of velkor.exe: one row per command, range of commands or
// control event, holding everything the program says and does about it: its
// identifier, menu text, help line (the status bar while its menu item or
// button is highlighted), toolbar pictures and tooltip, shortcut, the event
// types it accepts, its handler and the rule for its state. The menus, the
// toolbar, the shortcuts, the status bar, the dispatch and
// DecideCommandState all read it; the rows stand in app/command_rows.h.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/command_ids.h"
#include "app/control_ids.h"
#include "app/event_queue.h"
#include "app/layout.h"
#include "app/shortcuts.h"
#include "gfx/image_names.h"
#include "settings/preferences_window.h"

namespace velkor {

// The event types a row reacts to.
enum EventTypes : unsigned {
  kAnyType = ~0u,
  kLeftClickOnly = 1u << 0,
  kRightClickOnly = 1u << 1,
  kChangeOnly = 1u << 2,
  kDoubleClickOnly = 1u << 3,
};
bool AcceptsType(unsigned types, int type);

// What DecideCommandState makes of a row.
enum class StateRule : uint8_t {
  kEnabled,
  kNeverEnabled,             // the separators
  kProcessSelected,          // enabled over a selected process in "Prozesse"
  kProcessOrDriverSelected,  // ... or a selected driver in "Treiber"
  kPower,                    // as the power policy allows
  kCurrentView,              // checked for the view shown
  kWindowTopmost,            // checked while the selected window stays in front
  kOneProcessorEach,         // offered for each processor of the machine
};

// What "{}" in the texts of a range's element stands for.
enum class RangeLabel : uint8_t {
  kNone,
  kOrdinal,       // 1 for the first element
  kTens,          // 10 for the first element, then 20 ...
  kPriorityName,  // the name of the priority class, from the highest down
  kUserName,      // the session's user
};

constexpr unsigned InWindow(int number) { return 1u << static_cast<unsigned>(number); }

struct Shortcut {
  unsigned windows = 0;  // InWindow() of each window it acts in
  bool control = false;
  int key = 0;         // virtual-key code
  bool shift = false;  // only with Shift; a key without it acts with or without Shift
};

inline constexpr int kAnyView = -1;

struct CommandRow {
  int first = 0;
  int last = 0;         // 0: `first` alone
  int view = kAnyView;  // a row of one view: its texts, and its handler there
  unsigned types = kAnyType;
  std::string_view menu = {};
  // A range's elements each take their own line of it where it has several.
  std::string_view help = {};
  std::string_view tooltip = {};
  const char* menuPicture = nullptr;
  const char* buttonPicture = nullptr;
  const char* greyPicture = nullptr;  // null: greyed from the button picture
  Shortcut shortcut = {};
  StateRule state = StateRule::kEnabled;
  RangeLabel label = RangeLabel::kNone;

  [[nodiscard]] constexpr int Last() const { return last ? last : first; }
  [[nodiscard]] constexpr bool Holds(int id) const { return id >= first && id <= Last(); }
  [[nodiscard]] constexpr bool InView(int shown) const { return view == kAnyView || view == shown; }
};

inline constexpr CommandRow kCommandTable[] = {
#define VELKOR_COMMAND(handler, ...) CommandRow __VA_ARGS__,
#include "app/command_rows.h"
#undef VELKOR_COMMAND
};

// The first row holding `id` (the state rule is the same in every view), or
// null.
const CommandRow* FindCommandRow(int id);
// The first row holding `id` that acts in `view`, or null.
const CommandRow* FindCommandRowInView(int id, int view);

// The tooltip of a button that keeps one tooltip in every view ("" for any
// other); constexpr so that the layout table takes it.
constexpr std::string_view CommandTooltip(int id) {
  for (const CommandRow& row : kCommandTable)
    if (row.Holds(id) && row.view == kAnyView) return row.tooltip;
  return {};
}

// The menu text of `id` in `view`, "{}" filled in ("" without one).
std::string CommandMenuText(int id, int view);
// The help line of `id` in `view` ("" without one); `userName` fills in the
// log-off item's.
std::string CommandHelpLine(int id, int view, std::string_view userName);

}  // namespace velkor
