// Text the system hands over in UTF-16, in the program's code page.
#pragma once

#include <string>
#include <string_view>

namespace velkor::win {

// `text` in the ANSI code page; characters it lacks become the system's
// default character. "" for empty text or a failed conversion.
std::string NarrowText(std::wstring_view text);

}  // namespace velkor::win
