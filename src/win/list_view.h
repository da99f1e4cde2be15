// Small helpers over report list views.
#pragma once

#include <windows.h>

#include <string>

namespace velkor::win {

// The text of one cell (at most 2047 characters), "" for a cell that does not exist.
std::string ListViewCellText(HWND list, int row, int column);

}  // namespace velkor::win
