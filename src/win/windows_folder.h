// The Windows folder, which the driver and process paths are written against.
#pragma once

#include <string>

namespace velkor::win {

// The Windows folder without a closing backslash ("C:\Windows"): the
// shell's answer, else the system's, so a path under it is still recognised
// where the shell cannot tell; "" only when neither can. Asked once, as it
// cannot move while the program runs.
const std::string& WindowsFolder();

}  // namespace velkor::win
