// Commands whose features the program does not have yet. They look and act
// alike everywhere: greyed in every menu, their toolbar buttons disabled, and
// their shortcuts and any event carrying them do nothing. A feature that
// lands takes its identifiers out of the list in commands_built.cpp.
#pragma once

#include <span>

namespace velkor {

// False for the identifier of a command whose feature is not built yet.
bool IsCommandBuilt(int id);
// Those identifiers, in ascending order.
std::span<const int> CommandsNotBuilt();

}  // namespace velkor
