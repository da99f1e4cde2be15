#include "export/export_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "win/list_view.h"
#include "win/message_box.h"
#include "win/replace_file.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {

// "|" separates description and pattern in the filter text; the dialog wants
// NUL instead.
constexpr char kFilter[] = "Als Textdatei (*.txt)\0*.txt\0Als HTML-Seite (*.htm;*.html)\0*.htm;*.html\0";

std::string ColumnCaption(HWND list, int column) {
  char buffer[260] = {};
  LVCOLUMNA lv{};
  lv.mask = LVCF_TEXT;
  lv.pszText = buffer;
  lv.cchTextMax = sizeof buffer;
  if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&lv))) return {};
  return lv.pszText ? std::string(lv.pszText) : std::string();
}

}  // namespace

ExportTable ReadListTable(HWND list, const std::vector<int>& columns) {
  ExportTable table;
  for (int column : columns) table.captions.push_back(ColumnCaption(list, column));
  const auto rowCount = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  table.rows.reserve(static_cast<size_t>(std::max(rowCount, 0)));
  for (int row = 0; row < rowCount; ++row) {
    std::vector<std::string>& cells = table.rows.emplace_back();
    cells.reserve(columns.size());
    for (int column : columns) cells.push_back(win::ListViewCellText(list, row, column));
  }
  return table;
}

ExportDate ExportDateNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wDay, now.wMonth, now.wYear, now.wHour, now.wMinute};
}

bool ReplaceExportFile(const std::string& path, std::string_view bytes) {
  // Neither a folder nor a read-only file can be written over; not every
  // system refuses to move a file onto a read-only one, so ask first.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
    return false;
  return win::WriteBesideThenReplace(path, bytes);
}

void ExportList(HWND owner, HWND list, const std::string& title, const std::vector<int>& columns) {
  VELKOR_PLACE(kProceduresUnit);
  char name[MAX_PATH] = "Velkor";
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 2;
  dialog.lpstrFile = name;
  dialog.nMaxFile = sizeof name;
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&dialog) || name[0] == '\0') return;

  const ExportFormat format = dialog.nFilterIndex == 1 ? ExportFormat::kText : ExportFormat::kHtml;
  const std::string path = ExportFileName(name, format);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return;  // a folder cannot become the export
    const std::string question = path + " besteht bereits. \r\nMöchten Sie sie ersetzen?";
    if (win::ShowMessageBox(owner, question, "Velkor", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
  }

  const ExportTable table = ReadListTable(list, columns);
  const std::string date = FormatExportDate(ExportDateNow());
  ReplaceExportFile(path,
                    format == ExportFormat::kText ? FormatTextExport(table, date) : FormatHtmlExport(table, date));
}

}  // namespace velkor
