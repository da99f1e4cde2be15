// The two export formats of a list: a column-aligned text file and an HTML
// page with one table. Everything here is bytes in, bytes out; the save
// dialog and the file live in export_win.h.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// What an export writes: the captions of the exported columns and, per row in
// list order, one cell text per exported column.
struct ExportTable {
  std::vector<std::string> captions;
  std::vector<std::vector<std::string>> rows;
};

struct ExportDate {
  int day = 1;
  int month = 1;
  int year = 2000;
  int hour = 0;
  int minute = 0;
};

enum class ExportFormat { kText, kHtml };

// The menu items of "Datei" that export the lists.
inline constexpr int kExportProcessesCommand = 1;
inline constexpr int kExportWindowsCommand = 2;
inline constexpr int kExportServicesCommand = 3;
inline constexpr int kExportDriversCommand = 4;

// One of the four lists that can be exported, by the menu item that exports it.
struct ExportTarget {
  int menuId;
  const char* title;  // the save dialog's title
  int listId;         // the list control
  int columnCount;    // its visible columns, 0..columnCount-1
  bool followsShown;  // columns 1.. only while shown (the process list)
};
std::optional<ExportTarget> ExportTargetFor(int menuId);
// The columns an export of `target` writes, in list order: all of them, or for
// the process list column 0 and every column n whose flag shown[n-1] is set.
std::vector<int> ExportedColumns(const ExportTarget& target, std::span<const int32_t> shown);

// "dd.mm.yyyy - hh:ii Uhr".
std::string FormatExportDate(const ExportDate& date);
// The name the export writes to: `name` with ".txt" (text) or ".htm" (HTML)
// appended unless it already ends in an extension of its format.
std::string ExportFileName(std::string name, ExportFormat format);

// Whether a text cell is padded on the left: its leading decimal number is
// not 0, or it holds a size ("KB").
bool AlignsRight(std::string_view cell);
// A cell for the HTML table: "&", the characters that could start markup or a
// script value, and every byte from 123 up become "&#code;".
std::string EscapeHtmlCell(std::string_view cell);

// The text export writes every control character of a caption or cell as a
// space, so that each row stays one line of tab-ended columns.
std::string FormatTextExport(const ExportTable& table, std::string_view date);
std::string FormatHtmlExport(const ExportTable& table, std::string_view date);

}  // namespace velkor
