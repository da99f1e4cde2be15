// Text the system hands over in UTF-16, in the program's code page or in
// UTF-8, and back.
#pragma once

#include <string>
#include <string_view>

namespace velkor::win {

// `text` in the ANSI code page; characters it lacks become the system's
// default character. "" for empty text or a failed conversion.
std::string NarrowText(std::wstring_view text);

// Paths the system hands over and takes back keep every character in UTF-8,
// whatever the code page; "" for empty text or a failed conversion.
std::string Utf8Text(std::wstring_view text);
// `text` of code page `codePage` (CP_UTF8 for the paths above) in UTF-16.
std::wstring WideText(std::string_view text, unsigned codePage);

}  // namespace velkor::win
