// The "Netzwerk" view: the interface table as text (AdapterInfo), the rates
// and loads between two refreshes, the rows of the interface list, the
// details of one interface and the scrolling load graph. Everything here is
// portable; network_adapters_win.cpp reads the system's interface table into
// InterfaceEntry records and puts the results into the view's controls.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "monitor/monitor_view.h"

namespace velkor {

inline constexpr int kAdapterFieldCount = 22;
inline constexpr int kAdapterDetailCount = 14;

// One interface as the system reports it. The byte counters and the speed
// come from the 64-bit interface entry where the system has one
// (`wideCounters`); otherwise they are the interface table's 32-bit values,
// whose byte counters wrap after 4 GiB.
struct InterfaceEntry {
  std::string description;
  uint32_t index = 0;
  uint32_t type = 0;
  uint32_t mtu = 0;
  uint64_t speed = 0;  // bits per second
  std::vector<uint8_t> physicalAddress;
  uint32_t adminStatus = 0;
  uint32_t operStatus = 0;
  uint32_t lastChange = 0;
  uint64_t received = 0;  // bytes
  uint64_t sent = 0;
  bool wideCounters = false;
  uint32_t unicastReceived = 0;
  uint32_t unicastSent = 0;
  uint32_t nonUnicastReceived = 0;
  uint32_t nonUnicastSent = 0;
  uint32_t discardedReceived = 0;
  uint32_t discardedSent = 0;
  uint32_t errorsReceived = 0;
  uint32_t errorsSent = 0;
  uint32_t unknownProtocols = 0;
  uint32_t outputQueueLength = 0;
};

// The 22 text fields of one interface, and the table of all of them.
using AdapterRow = std::array<std::string, kAdapterFieldCount>;
using AdapterTable = std::vector<AdapterRow>;

// Each byte as uppercase hexadecimal without leading zeros, joined by "-":
// 00-0C-29-AB-01-FF gives "0-C-29-AB-1-FF".
std::string PhysicalAddressText(std::span<const uint8_t> address);
// "Ethernet", "Loopback", ...; "" for a type without a name.
std::string InterfaceTypeName(uint32_t type);
AdapterRow AdapterFields(const InterfaceEntry& entry);

// The colour of an interface's list row and graph curve: a fixed colour for
// rows 0 to 6, from the eighth row on one that depends only on the
// interface index.
Pixel InterfaceColour(int row, uint32_t interfaceIndex);

// What the view keeps between refreshes, indexed like the table rows (an
// interface added or removed shifts the rows after it, which gives those
// one refresh of meaningless rates).
struct NetworkTraffic {
  std::vector<uint64_t> previousReceived;
  std::vector<uint64_t> previousSent;
  std::vector<bool> previousWide;  // whether the previous counts were 64-bit
  std::vector<int> currentLoad;    // percent, set at each refresh
  std::vector<int> previousLoad;   // percent, the value last drawn in the graph
  uint64_t lastRefresh = 0;        // tick count in ms; 0 before the first refresh
  int largestLoad = 0;
};
// Resizes the per-interface arrays, keeping the values of the rows that remain.
void ResizeTraffic(NetworkTraffic& traffic, size_t count);

// Bytes per second between two readings of a byte counter `elapsedMs` apart;
// negative when no rate can be told (no time passed, or a counter that went
// backwards by more than a wrap of a 32-bit counter at the interface's speed
// could explain, or a 64-bit counter that went backwards at all).
double CounterRate(uint64_t previous, uint64_t current, bool wide, uint64_t elapsedMs, uint64_t speed);
// max(receive, send) ÷ (speed ÷ 8) × 100, rounded half up, within 0..100;
// 0 for an interface without a speed.
int InterfaceLoad(double receiveRate, double sendRate, uint64_t speed);
// "1.2 KB/s"-style cells: the rate rounded to whole bytes; "" for exactly 0.
std::string RateText(double bytesPerSecond);
std::string MaximumRateText(uint64_t speed);

struct NetworkListRow {
  std::array<std::string, 5> cells;  // "Netzwerkadapter", "Typ", "<-", "->", "Maximal"
  Pixel colour = 0;
};

// One refresh of the list: the rows for `entries` at tick `now`, with rates
// from the counts of the previous refresh; updates the traffic state (the
// loads, the largest load, the counts and the time).
std::vector<NetworkListRow> RefreshNetworkRows(NetworkTraffic& traffic, std::span<const InterfaceEntry> entries,
                                               uint64_t now);

// The details panel: heading and the fourteen values of one table row.
struct AdapterDetails {
  std::string heading = "Netzwerkadapter wählen...";
  std::array<std::string, kAdapterDetailCount> values;
};
AdapterDetails DetailsOf(const AdapterRow& row);

// The load graph: a history graph without curves of its own; the interface
// curves are drawn in their colours every 10 steps.
HistoryGraph CreateNetworkGraph(int width, int dpi = kDesignDpi);
// One step: scroll, and on the 10th and 20th step one segment per interface
// from its previous to its current load (which becomes the previous one).
void DrawNetworkGraphStep(HistoryGraph& graph, NetworkTraffic& traffic, std::span<const Pixel> colours);

}  // namespace velkor
