#include "win/list_view.h"

#include <commctrl.h>

#include <algorithm>

namespace velkor::win {

std::string ListViewCellText(HWND list, int row, int column) {
  char buffer[2048] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  const auto length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return std::string(buffer, static_cast<size_t>(std::clamp<LRESULT>(length, 0, sizeof buffer - 1)));
}

}  // namespace velkor::win
