// libFuzzer target for the export writers: any captions and cells (window
// titles and paths can hold every byte) give a text file whose lines keep the
// table's shape and an HTML page whose cells carry no markup of their own.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "export/export_format.h"

namespace {

// The text between "&#" and ";" decoded back; the markup characters must not
// appear raw in an escaped cell.
std::string Unescaped(std::string_view escaped) {
  std::string out;
  for (size_t i = 0; i < escaped.size(); ++i) {
    const char c = escaped[i];
    if (c == '<' || c == '>' || c == '"' || c == '\'') std::abort();
    if (c != '&') {
      out += c;
      continue;
    }
    const size_t end = escaped.find(';', i);
    if (escaped.substr(i, 2) != "&#" || end == std::string_view::npos) std::abort();
    out += static_cast<char>(std::stoi(std::string(escaped.substr(i + 2, end - i - 2))));
    i = end;
  }
  return out;
}

size_t CountOf(std::string_view text, char c) {
  size_t count = 0;
  for (const char x : text) count += x == c;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  velkor::ExportTable table;
  const size_t columns = input.ConsumeIntegralInRange<size_t>(0, 14);
  for (size_t c = 0; c < columns; ++c) table.captions.push_back(input.ConsumeRandomLengthString(24));
  const size_t rows = input.ConsumeIntegralInRange<size_t>(0, 40);
  for (size_t r = 0; r < rows && input.remaining_bytes() > 0; ++r) {
    auto& row = table.rows.emplace_back();
    // Rows may be shorter or longer than the captions.
    const size_t cells = input.ConsumeIntegralInRange<size_t>(0, columns + 1);
    for (size_t c = 0; c < cells; ++c) row.push_back(input.ConsumeRandomLengthString(300));
  }
  const std::string date = velkor::FormatExportDate({input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>(),
                                                     input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>(),
                                                     input.ConsumeIntegral<int>()});

  // Text: a head of three lines, the caption line and a blank line, then one
  // line per row with exactly one tab per column.
  const std::string text = velkor::FormatTextExport(table, date);
  if (CountOf(text, '\n') != 5 + table.rows.size() || CountOf(text, '\r') != CountOf(text, '\n')) std::abort();
  const size_t body = text.find("\r\n\r\n", text.find("\r\n\r\n") + 4) + 4;
  size_t lines = 0;
  for (size_t at = body; at < text.size(); ++lines) {
    const size_t end = text.find("\r\n", at);
    const std::string_view line(text.data() + at, end - at);
    if (CountOf(line, '\t') != columns || (columns > 0 && line.back() != '\t')) std::abort();
    at = end + 2;
  }
  if (lines != table.rows.size()) std::abort();

  // HTML: every non-empty cell comes back byte for byte from its escaped form.
  const std::string html = velkor::FormatHtmlExport(table, date);
  if (html.rfind("</TABLE></BODY></HTML>") != html.size() - 22) std::abort();
  for (const auto& row : table.rows)
    for (size_t c = 0; c < row.size() && c < columns; ++c)
      if (!row[c].empty() && Unescaped(velkor::EscapeHtmlCell(row[c])) != row[c]) std::abort();

  // The exported columns of any list and any shown flags: column 0 first,
  // then ascending, all inside the list.
  if (const auto target = velkor::ExportTargetFor(input.ConsumeIntegralInRange<int>(0, 5))) {
    std::vector<int32_t> shown(input.ConsumeIntegralInRange<size_t>(0, 20));
    for (int32_t& flag : shown) flag = input.ConsumeIntegral<int32_t>();
    const std::vector<int> exported = velkor::ExportedColumns(*target, shown);
    if (exported.empty() || exported.front() != 0 || exported.back() >= target->columnCount) std::abort();
    for (size_t i = 1; i < exported.size(); ++i)
      if (exported[i] <= exported[i - 1]) std::abort();
  }
  (void)velkor::ExportFileName(input.ConsumeRandomLengthString(64), velkor::ExportFormat::kHtml);
  return 0;
}
