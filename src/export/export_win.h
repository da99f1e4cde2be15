// The export on Windows: the save dialog, the overwrite question, the texts of
// a report list view and the file. What the file holds is decided in
// export_format.h.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "export/export_format.h"

namespace velkor {

// Runs one export of report list view `list`: asks for a file (dialog
// `title`, owned by `owner`), asks before replacing a file, and writes the
// captions and every row of `columns`, in the order the list shows its rows.
// Cancelled, declined and failed exports leave everything as it was, silently.
void ExportList(HWND owner, HWND list, const std::string& title, const std::vector<int>& columns);

// The captions and cell texts of `columns` of `list`, rows in list order.
ExportTable ReadListTable(HWND list, const std::vector<int>& columns);
// The local date and time now.
ExportDate ExportDateNow();
// Writes `bytes` to a new file beside `path` and moves it in place of `path`
// only once every byte is written; on any failure `path` keeps what it held
// and the new file is removed. False when nothing was replaced.
bool ReplaceExportFile(const std::string& path, std::string_view bytes);

}  // namespace velkor
