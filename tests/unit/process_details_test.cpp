#include "procs/process_details.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

std::u16string Block(std::u16string_view text) { return std::u16string(text); }

TEST(ProcessDetails, EnvironmentBlockIsReadWithinItsBoundsAndSorted) {
  const std::u16string block = Block(std::u16string_view(u"b=2\0=C:=C:\\x\0A=1\0noequals\0\0tail=9\0", 34));
  const auto variables = ParseEnvironmentBlock(block);
  ASSERT_EQ(variables.size(), 3u);
  EXPECT_EQ(variables[0], (std::pair<std::string, std::string>{"=C:", "C:\\x"}));
  EXPECT_EQ(variables[1], (std::pair<std::string, std::string>{"A", "1"}));
  EXPECT_EQ(variables[2], (std::pair<std::string, std::string>{"b", "2"}));
  EXPECT_EQ(EnvironmentBlockLength(block), 27u);
  // Cut off mid-entry (the other process's memory ended): the whole entries
  // count, the broken one is dropped, nothing is read past the end.
  const std::u16string cut = Block(std::u16string_view(u"A=1\0B=\u00e4\u20ac\u4e2d", 8));
  EXPECT_EQ(EnvironmentBlockLength(cut), std::nullopt);
  ASSERT_EQ(ParseEnvironmentBlock(cut).size(), 1u);
  EXPECT_EQ(ParseEnvironmentBlock(Block(std::u16string_view(u"B=\u00e4\u20ac\u4e2d\0\0", 7)))[0].second, "\xE4\x80?");
  EXPECT_EQ(EnvironmentBlockLength(std::u16string_view(u"\0", 1)), 1u);
}

TEST(ProcessDetails, AddressesAndEndpointsAsTheyAreShown) {
  const std::vector<ModuleSpan> modules = {{0x10000, 0x1000, "a.dll"}, {0x7FF700000000, 0x20000, "b.exe"}};
  EXPECT_EQ(AddressInModule(0x10abc, modules), "a.dll+0xabc");
  EXPECT_EQ(AddressInModule(0x11000, modules), "0x0000000000011000");  // one past a.dll
  EXPECT_EQ(AddressInModule(0x7FF70001FFFF, modules), "b.exe+0x1ffff");
  EXPECT_EQ(AddressInModule(0, modules), "");
  EXPECT_EQ(EndpointText(false, {127, 0, 0, 1}, 8080), "127.0.0.1:8080");
  EXPECT_EQ(EndpointText(true, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 443), "[::1]:443");
  EXPECT_EQ(EndpointText(true, {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 2}, 0), "[fe80::1:0:0:2]:0");
  EXPECT_EQ(EndpointText(true, {}, 0), "[::]:0");
  EXPECT_EQ(TcpStateText(2), "ABHÖREN");
  EXPECT_EQ(TcpStateText(5), "HERGESTELLT");
  EXPECT_EQ(TcpStateText(8), "SCHLIESSEN_WARTEN");
  EXPECT_EQ(TcpStateText(11), "WARTEND");
  EXPECT_EQ(TcpStateText(13), "");
  EXPECT_EQ(ThreadStateText(5, 5), "Angehalten");
  EXPECT_EQ(ThreadStateText(5, 6), "Wartend");
  EXPECT_TRUE(ParentEnded(true, 200, 100));  // the PID now names a younger process
  EXPECT_FALSE(ParentEnded(true, 100, 200));
  EXPECT_TRUE(ParentEnded(false, 0, 200));
  EXPECT_EQ(CpuLoadPercent(0, 5'000'000, 0, 10'000'000, 2), 25.0);
  EXPECT_EQ(CpuLoadPercent(9, 5, 0, 10, 1), 0.0);  // a counter that went back
}

TEST(ProcessDetails, MergeKeepsRowsInPlaceAndWritesOnlyWhatChanged) {
  VectorDetailRows store;
  DetailPage page{{{{"1", "a"}}, {{"2", "b"}}, {{"3", "c"}}}, 1};
  EXPECT_EQ(MergeDetailRows(store, page, 2), 6);
  EXPECT_EQ(MergeDetailRows(store, page, 2), 0);
  // Row 2 goes, row 4 comes between 1 and 3, row 3's value changes.
  page.rows = {{{"1", "a"}}, {{"4", "d"}}, {{"3", "x"}}};
  EXPECT_EQ(MergeDetailRows(store, page, 2), 3);
  ASSERT_EQ(store.RowCount(), 3);
  EXPECT_EQ(store.CellText(1, 0), "4");
  EXPECT_EQ(store.CellText(2, 1), "x");
  // A page that changed its order, and two rows of one key.
  page.rows = {{{"3", "x"}}, {{"1", "a"}}, {{"1", "a"}}};
  MergeDetailRows(store, page, 2);
  ASSERT_EQ(store.RowCount(), 3);
  EXPECT_EQ(store.CellText(0, 0), "3");
  EXPECT_EQ(store.CellText(1, 0), "1");
  EXPECT_EQ(store.CellText(2, 0), "1");
  MergeDetailRows(store, DetailPage{}, 2);
  EXPECT_EQ(store.RowCount(), 0);
}

TEST(ProcessDetails, LoadGraphDrawsTheNewestSampleAtTheRight) {
  const Canvas graph = DrawLoadHistory({100.0, 50.0}, 24, 8, 96);
  EXPECT_EQ(graph.At(23, 0), MakePixel(0, 80, 0));  // 50 %: the top half shows the grid
  EXPECT_EQ(graph.At(23, 4), MakePixel(0, 255, 0));
  EXPECT_EQ(graph.At(22, 0), MakePixel(0, 255, 0));
  EXPECT_EQ(graph.At(21, 6), MakePixel(0, 80, 0));  // no sample: the grid
  EXPECT_EQ(graph.At(21, 7), MakePixel(0, 0, 0));
  EXPECT_EQ(DrawLoadHistory({}, 0, 5, 96).width, 0);
  EXPECT_EQ(ProcessWindowCaption("a.exe", 7, true), "Prozessinformationen - a.exe (7) - beendet");
}

}  // namespace
}  // namespace velkor
