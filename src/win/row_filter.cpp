#include "win/row_filter.h"

#include <algorithm>

namespace velkor {

namespace {

char FoldChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  // Windows-1252: À..Þ to à..þ except the multiplication sign; Š, Œ, Ž and Ÿ
  // sit apart from their small letters.
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  switch (u) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return c;
  }
}

}  // namespace

std::string FoldCase1252(std::string_view text) {
  std::string folded;
  AppendFolded1252(folded, text);
  return folded;
}

void AppendFolded1252(std::string& to, std::string_view text) {
  const size_t at = to.size();
  to.append(text);
  for (size_t i = at; i < to.size(); ++i) to[i] = FoldChar(to[i]);
}

RowFilter::RowFilter(std::string_view text) {
  size_t at = 0;
  while (at < text.size()) {
    const size_t start = text.find_first_not_of(" \t", at);
    if (start == std::string_view::npos) break;
    const size_t end = std::min(text.find_first_of(" \t", start), text.size());
    words_.push_back(FoldCase1252(text.substr(start, end - start)));
    at = end;
  }
}

bool RowFilter::Matches(const std::vector<std::string>& cells, const std::vector<bool>& shown) const {
  return MatchesCells(
      static_cast<int>(cells.size()),
      [&cells](int column) -> std::string_view { return cells[static_cast<size_t>(column)]; }, shown);
}

bool RowFilter::AllWordsIn(std::string_view folded) const {
  for (const std::string& word : words_)
    if (folded.find(word) == std::string_view::npos) return false;
  return true;
}

}  // namespace velkor
