// The "Netzwerk" view's arithmetic and pictures: interface fields, rates
// between refreshes, loads, row colours, details and the load graph.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "lists/network_adapters.h"

namespace velkor {
namespace {

InterfaceEntry Entry(uint32_t index, uint64_t received, uint64_t sent, uint64_t speed = 100'000'000) {
  InterfaceEntry e;
  e.description = "eth" + std::to_string(index);
  e.index = index;
  e.type = 6;
  e.mtu = 1500;
  e.speed = speed;
  e.received = received;
  e.sent = sent;
  e.wideCounters = true;
  return e;
}

TEST(NetworkFields, FieldsAndDetailsOfAnInterface) {
  InterfaceEntry e = Entry(2, 5'000'000'000, 1000);
  e.physicalAddress = {0x00, 0x0C, 0x29, 0xAB, 0x01, 0xFF};
  e.unicastReceived = 3'000'000'000u;  // beyond the signed range: still a count
  e.unknownProtocols = 19;
  const AdapterRow row = AdapterFields(e);
  EXPECT_EQ(row[5], "0-C-29-AB-1-FF");
  EXPECT_EQ(row[9], "5000000000");
  const AdapterDetails d = DetailsOf(row);
  const std::vector<std::string> expected = {"100 MBit/s", "1500 Byte", "0-C-29-AB-1-FF",
                                             "4768.37 MB", "1000 Byte", "3000000000",
                                             "0",          "0",         "0",
                                             "0",          "0",         "0",
                                             "0",          "19"};
  EXPECT_EQ(d.heading, "eth2:");
  EXPECT_EQ(std::vector<std::string>(d.values.begin(), d.values.end()), expected);
  EXPECT_EQ(AdapterDetails{}.heading, "Netzwerkadapter w\xE4hlen...");
  e.speed = 0;  // no division by zero
  EXPECT_EQ(AdapterFields(e)[21], "0.00");
  EXPECT_EQ(InterfaceTypeName(24), "Loopback");
  EXPECT_EQ(InterfaceTypeName(2), "");
}

TEST(NetworkRates, FirstRefreshEmptyThenOnlyNonZeroRates) {
  NetworkTraffic traffic;
  std::vector<InterfaceEntry> entries = {Entry(1, 1000, 1000), Entry(2, 0, 0)};
  auto rows = RefreshNetworkRows(traffic, entries, 10'000);
  EXPECT_EQ(rows[0].cells[2] + rows[0].cells[3] + rows[1].cells[2] + rows[1].cells[3], "");
  EXPECT_EQ(rows[0].cells[4], "12 MB/s ");
  // Received nothing, sent 5000 bytes in 2.5 s; the second row's first counts.
  entries[0].sent += 5000;
  entries[1] = Entry(2, 100, 0);
  rows = RefreshNetworkRows(traffic, entries, 12'500);
  EXPECT_EQ(rows[0].cells[2], "");
  EXPECT_EQ(rows[0].cells[3], "2 KB/s");
  EXPECT_EQ(rows[1].cells[2], "");
}

TEST(NetworkRates, WrapResetAndTime) {
  EXPECT_DOUBLE_EQ(CounterRate(0xFFFFF000u, 0x1000u, false, 1000, 100'000'000), 8192.0);
  // Backwards by more than a 10 Mbit/s link carries in 2.5 s: a reset.
  EXPECT_LT(CounterRate(3'000'000'000u, 1000, false, 2500, 10'000'000), 0);
  EXPECT_LT(CounterRate(5000, 4000, true, 1000, 1'000'000'000), 0);
  EXPECT_LT(CounterRate(1, 2, true, 0, 1'000'000'000), 0);
  // A change between 64-bit and 32-bit counts gives no rate for that refresh.
  NetworkTraffic traffic;
  std::vector<InterfaceEntry> entries = {Entry(1, 1000, 1000)};
  RefreshNetworkRows(traffic, entries, 1000);
  entries[0].wideCounters = false;
  entries[0].received += 500;
  EXPECT_EQ(RefreshNetworkRows(traffic, entries, 2000)[0].cells[2], "");
}

TEST(NetworkRates, TenGigabitLinkAndLoads) {
  NetworkTraffic traffic;
  std::vector<InterfaceEntry> entries = {Entry(3, 1, 1, 10'000'000'000)};
  EXPECT_EQ(RefreshNetworkRows(traffic, entries, 1000)[0].cells[4], "1192 MB/s ");
  entries[0].received += 1'562'500'000;  // 625 MB/s for 2.5 s: half the link
  EXPECT_EQ(RefreshNetworkRows(traffic, entries, 3500)[0].cells[2], "596 MB/s");
  EXPECT_EQ(traffic.largestLoad, 50);
  EXPECT_EQ(DetailsOf(AdapterFields(entries[0])).values[0], "10000 MBit/s");
  // Rounded half up, clamped, 0 without a maximum rate (speed below 8 bit/s).
  EXPECT_EQ(InterfaceLoad(5, 0, 8000), 1);
  EXPECT_EQ(InterfaceLoad(0, 4.9, 8000), 0);
  EXPECT_EQ(InterfaceLoad(2000, 0, 8000), 100);
  EXPECT_EQ(InterfaceLoad(1e9, 0, 7), 0);
}

TEST(NetworkColours, FixedTableThenStableByInterfaceIndex) {
  EXPECT_EQ(InterfaceColour(0, 99), MakePixel(255, 0, 0));
  EXPECT_EQ(InterfaceColour(6, 99), MakePixel(128, 128, 128));
  NetworkTraffic traffic;
  std::vector<InterfaceEntry> entries;
  for (uint32_t i = 0; i < 9; ++i) entries.push_back(Entry(40 + i, 0, 0));
  const Pixel eighth = RefreshNetworkRows(traffic, entries, 1000)[7].colour;
  EXPECT_EQ(RefreshNetworkRows(traffic, entries, 2000)[7].colour, eighth);
  EXPECT_EQ(InterfaceColour(12, 47), eighth);  // wherever the interface stands
  EXPECT_NE(InterfaceColour(7, 48), eighth);
}

TEST(NetworkGraph, ScrollsAndDrawsEachCurveEveryTenSteps) {
  const Pixel red = MakePixel(255, 0, 0), green = MakePixel(0, 170, 0), grid = MakePixel(0, 96, 32);
  const Pixel black = MakePixel(0, 0, 0);
  HistoryGraph graph = CreateNetworkGraph(40);
  NetworkTraffic traffic;
  ResizeTraffic(traffic, 2);
  traffic.previousLoad = {0, 50};
  traffic.currentLoad = {0, 100};
  const std::vector<Pixel> colours = {red, green};
  const auto steps = [&](int n) {
    for (int i = 0; i < n; ++i) DrawNetworkGraphStep(graph, traffic, colours);
  };
  steps(9);
  EXPECT_EQ(graph.canvas.At(39, 40), black);
  EXPECT_EQ(graph.canvas.At(30, 20), grid);  // the vertical lines moved nine pixels on
  steps(1);
  for (auto [x, y, colour] : {std::tuple{30, 90, red}, {39, 90, red}, {30, 50, green}, {39, 10, green}})
    EXPECT_EQ(graph.canvas.At(x, y), colour) << x << "," << y;
  EXPECT_EQ(traffic.previousLoad, (std::vector<int>{0, 100}));
  steps(1);
  EXPECT_EQ(graph.canvas.At(38, 10), green);
  EXPECT_EQ(graph.canvas.At(39, 10), grid);
  steps(9);
  EXPECT_EQ(graph.counter, 0);
  EXPECT_EQ(graph.canvas.At(39, 40), grid);  // the 20th step's vertical line
  EXPECT_EQ(graph.canvas.At(39, 90), red);   // the curves over it
  EXPECT_EQ(graph.canvas.At(35, 10), green);
}

}  // namespace
}  // namespace velkor
