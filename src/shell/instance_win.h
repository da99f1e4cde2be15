// How one program looks for the other in the list of running processes.
#pragma once

#include <string_view>

namespace velkor {

// Whether a process of exactly that name (letter case included) runs in this
// program's own log-on session; the same programs of other users on the
// machine are theirs, not ours. Uses the process library's snapshot.
bool ProgramRunsInOwnSession(bool (*isProgramName)(std::string_view processName));

}  // namespace velkor
