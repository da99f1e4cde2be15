#include "export/export_format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace velkor {

namespace {

constexpr std::array<ExportTarget, 4> kTargets = {{
    {kExportProcessesCommand, "Prozessliste exportieren", 139, 14, true},
    {kExportWindowsCommand, "Fensterliste exportieren", 147, 9, false},
    {kExportServicesCommand, "Dienstliste exportieren", 152, 4, false},
    {kExportDriversCommand, "Treiberliste exportieren", 154, 2, false},
}};

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                    });
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The longest prefix of `text` that a C text-to-double conversion reads as a
// decimal number, and whether its value is not 0. Hexadecimal, "inf" and
// "nan" are not decimal numbers: a title such as "Info" stays text.
bool LeadingNumberIsNonZero(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t start = i;
  bool digits = false;
  while (i < text.size() && IsDigit(text[i])) ++i, digits = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, digits = true;
  }
  if (!digits) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Too large is a number; too small reads as 0.
    const std::string_view exponent = text.substr(start, i - start);
    return exponent.find("e-") == std::string_view::npos && exponent.find("E-") == std::string_view::npos;
  }
  return error == std::errc{} && value != 0;
}

std::string Padded(std::string_view text, size_t width, bool right) {
  std::string cell;
  cell.reserve(std::max(width, text.size()));
  if (right && text.size() < width) cell.append(width - text.size(), ' ');
  cell.append(text);
  if (!right && text.size() < width) cell.append(width - text.size(), ' ');
  return cell;
}

std::string_view CellOf(const std::vector<std::string>& row, size_t column) {
  return column < row.size() ? std::string_view(row[column]) : std::string_view();
}

// A text for one line of the text export. Window titles may hold tabs and
// line breaks, which would split a row into columns and lines of their own:
// every control character becomes a space.
std::string OnOneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return line;
}

}  // namespace

std::optional<ExportTarget> ExportTargetFor(int menuId) {
  for (const ExportTarget& target : kTargets)
    if (target.menuId == menuId) return target;
  return std::nullopt;
}

std::vector<int> ExportedColumns(const ExportTarget& target, std::span<const int32_t> shown) {
  std::vector<int> columns;
  for (int column = 0; column < target.columnCount; ++column) {
    const auto flag = static_cast<size_t>(column - 1);
    if (column == 0 || !target.followsShown || (flag < shown.size() && shown[flag] != 0)) columns.push_back(column);
  }
  return columns;
}

std::string FormatExportDate(const ExportDate& date) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d - %02d:%02d Uhr", date.day, date.month, date.year, date.hour,
                date.minute);
  return text;
}

std::string ExportFileName(std::string name, ExportFormat format) {
  if (format == ExportFormat::kText) {
    if (!EndsWithNoCase(name, ".txt")) name += ".txt";
  } else if (!EndsWithNoCase(name, ".htm") && !EndsWithNoCase(name, ".html")) {
    name += ".htm";
  }
  return name;
}

bool AlignsRight(std::string_view cell) {
  return cell.find("KB") != std::string_view::npos || LeadingNumberIsNonZero(cell);
}

std::string EscapeHtmlCell(std::string_view cell) {
  // Replacing "&" first and then each other byte, as separate passes, gives
  // the same bytes as this single pass: no reference contains a byte that a
  // later pass replaces.
  std::string escaped;
  escaped.reserve(cell.size());
  for (const char c : cell) {
    const auto code = static_cast<unsigned char>(c);
    const bool replaced = code == '&' || code == '!' || code == '"' || code == '$' || code == '%' || code == '\'' ||
                          code == '<' || code == '>' || code >= 123;
    if (replaced) {
      escaped += "&#";
      escaped += std::to_string(code);
      escaped += ';';
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string FormatTextExport(const ExportTable& table, std::string_view date) {
  const size_t columns = table.captions.size();
  std::vector<std::string> captions;
  for (const std::string& caption : table.captions) captions.push_back(OnOneLine(caption));
  std::vector<std::vector<std::string>> rows;
  for (const auto& row : table.rows) {
    auto& line = rows.emplace_back();
    for (size_t c = 0; c < columns; ++c) line.push_back(OnOneLine(CellOf(row, c)));
  }
  std::vector<size_t> widths(columns, 0);
  for (size_t c = 0; c < columns; ++c) {
    if (!captions[c].empty()) widths[c] = captions[c].size() + 1;  // room for the colon
    for (const auto& row : rows) widths[c] = std::max(widths[c], row[c].size());
  }

  std::string out = "Velkor\r\nHTML Export (";
  out += date;
  out += ")\r\n\r\n";
  for (size_t c = 0; c < columns; ++c) {
    // An empty caption over empty cells has width 0: its colon is cut off.
    out += Padded((captions[c] + ":").substr(0, widths[c]), widths[c], false);
    out += '\t';
  }
  out += "\r\n\r\n";
  for (const auto& row : rows) {
    for (size_t c = 0; c < columns; ++c) {
      const std::string& cell = row[c];
      out += Padded(cell, widths[c], AlignsRight(cell));
      out += '\t';
    }
    out += "\r\n";
  }
  return out;
}

std::string FormatHtmlExport(const ExportTable& table, std::string_view date) {
  std::string out =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
      "<HTML>\r\n"
      "<HEAD>\r\n"
      "\t<META HTTP-EQUIV=\"CONTENT-TYPE\" CONTENT=\"text/html; charset=windows-1252\">\r\n"
      "\t<TITLE>Velkor HTML Export</TITLE>\r\n"
      "\t<META NAME=\"GENERATOR\" CONTENT=\"Velkor\">\r\n"
      "</HEAD>\r\n"
      "<BODY LANG=\"de-DE\">\r\n"
      "<P ALIGN=CENTER><FONT SIZE=5 STYLE=\"font-size: 20pt\"><I><B>Velkor</B></I></FONT></P>"
      "<P ALIGN=CENTER><FONT SIZE=3>HTML Export (";
  out += date;
  out +=
      ")</FONT></P>\r\n"
      "<TABLE WIDTH=\"100%\" BORDER=1 CELLPADDING=4 CELLSPACING=0>\r\n"
      "<TR STYLE=\"background: #99bbff\" VALIGN=TOP>\r\n";
  for (const std::string& caption : table.captions)
    out += caption.empty() ? "<TD><P>&nbsp;</P></TD>\r\n" : "<TD><P>" + caption + ":</P></TD>\r\n";
  out += "</TR>\r\n";
  bool white = true;
  for (const auto& row : table.rows) {
    out += white ? "<TR STYLE=\"background: #FFFFFF\" VALIGN=TOP>\r\n"
                 : "<TR STYLE=\"background: #DDDDDD\" VALIGN=TOP>\r\n";
    for (size_t c = 0; c < table.captions.size(); ++c) {
      const std::string_view cell = CellOf(row, c);
      out += cell.empty() ? "<TD><P>&nbsp;</P></TD>\r\n" : "<TD><P>" + EscapeHtmlCell(cell) + "</P></TD>\r\n";
    }
    out += "</TR>\r\n";
    white = !white;
  }
  out += "</TABLE></BODY></HTML>";
  return out;
}

}  // namespace velkor
