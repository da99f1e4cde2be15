#include "win/row_filter.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

TEST(RowFilter, EveryWordInSomeVisibleCellCaseFoldedIn1252) {
  const std::vector<std::string> row = {"M\xFCller.exe",
                                        "Bericht \x9A"
                                        "ablone",
                                        "1234", "C:\\Tools\\m.exe"};
  EXPECT_TRUE(RowFilter("").Matches(row));
  EXPECT_TRUE(RowFilter("  \t ").Empty());
  EXPECT_TRUE(RowFilter("M\xDCLLER").Matches(row));  // Ü finds ü
  EXPECT_TRUE(RowFilter("\x8A"
                        "ABLONE")
                  .Matches(row));                            // Š finds š
  EXPECT_TRUE(RowFilter("tools 23  bericht").Matches(row));  // each word in any cell
  EXPECT_FALSE(RowFilter("tools 99").Matches(row));          // all words must be found
  EXPECT_FALSE(RowFilter("exebericht").Matches(row));        // never across two cells
  // Hidden columns never count; a cell past the flags counts as shown.
  EXPECT_FALSE(RowFilter("1234").Matches(row, {true, true, false}));
  EXPECT_TRUE(RowFilter("tools").Matches(row, {true, true, false}));
  EXPECT_EQ(FoldCase1252("\xC0\xD7\xDE\x9F\xDF"), "\xE0\xD7\xFE\xFF\xDF");  // × and ß stay
}

}  // namespace
}  // namespace velkor
