#include "shell/command_state.h"

namespace velkor {

CommandState PowerCommandState(PowerCommand command, const PowerPolicy& policy) {
  CommandState state;
  switch (command) {
    case PowerCommand::kPowerOff: state.enabled = policy.shutdownAllowed; break;
    case PowerCommand::kStandby: state.enabled = policy.suspendAllowed; break;
    case PowerCommand::kHibernate: state.enabled = policy.hibernateAllowed; break;
    case PowerCommand::kRestart:
    case PowerCommand::kLogOff:
    case PowerCommand::kLock: break;
  }
  return state;
}

}  // namespace velkor
