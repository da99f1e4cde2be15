// The filter of the lists: words that must all be found in a row. Portable,
// so the matching is the same in every list and tested natively.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// `text` in lower case, Windows-1252 letters too ("MÜLLER" -> "müller").
std::string FoldCase1252(std::string_view text);
// `text` folded so, appended to `to`.
void AppendFolded1252(std::string& to, std::string_view text);

class RowFilter {
 public:
  RowFilter() = default;
  // The words of `text`, separated by blanks and tabs.
  explicit RowFilter(std::string_view text);

  // No words: every row matches.
  [[nodiscard]] bool Empty() const { return words_.empty(); }
  // Whether every word is found, case-insensitively, in one cell or another
  // of those `shown` says are visible (a cell past its end counts as shown).
  [[nodiscard]] bool Matches(const std::vector<std::string>& cells, const std::vector<bool>& shown = {}) const;
  // The same over a row of `count` cells that `cellAt` hands out.
  template <typename CellAt>
  [[nodiscard]] bool MatchesCells(int count, CellAt cellAt, const std::vector<bool>& shown = {}) const {
    if (words_.empty()) return true;
    std::string folded;
    folded.reserve(256);
    for (int column = 0; column < count; ++column) {
      if (static_cast<size_t>(column) < shown.size() && !shown[static_cast<size_t>(column)]) continue;
      const std::string_view cell = cellAt(column);
      if (cell.empty()) continue;
      AppendFolded1252(folded, cell);
      folded += '\n';  // no word holds one, so none is found across two cells
    }
    return AllWordsIn(folded);
  }

 private:
  [[nodiscard]] bool AllWordsIn(std::string_view folded) const;
  std::vector<std::string> words_;  // folded
};

}  // namespace velkor
