// How a command shows where it is offered (menu item, toolbar button), and
// the rule for the power and session commands that both programs offer.
#pragma once

namespace velkor {

struct CommandState {
  bool enabled = true;   // false: greyed item, disabled button
  bool checked = false;  // a check mark in front of the item
  bool visible = true;   // false: the item is not made at all
};

// In menu order; the items carry the identifiers firstId + command.
enum class PowerCommand { kPowerOff, kRestart, kStandby, kHibernate, kLogOff, kLock };
inline constexpr int kPowerCommandCount = 6;

// What "PowrProf.dll" allows; without the library everything is allowed.
struct PowerPolicy {
  bool shutdownAllowed = true;
  bool hibernateAllowed = true;
  bool suspendAllowed = true;
};

// Switching off, standby and hibernation follow the policy; restarting,
// logging off and locking are always offered.
CommandState PowerCommandState(PowerCommand command, const PowerPolicy& policy);

}  // namespace velkor
