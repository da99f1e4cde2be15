#include "lists/network_adapters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "procs/format.h"
#include "win/source_location.h"

namespace velkor {

namespace {

constexpr Pixel kFixedColours[] = {
    MakePixel(255, 0, 0),   MakePixel(0, 170, 0),   MakePixel(0, 0, 255),     MakePixel(187, 0, 187),
    MakePixel(187, 187, 0), MakePixel(0, 187, 187), MakePixel(128, 128, 128),
};

// A small generator of our own, so the colour of an interface is the same
// on every machine and in every build: one SplitMix64 draw from the seed.
uint64_t RandomFromSeed(uint64_t seed) {
  uint64_t z = seed + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint64_t FieldNumber(const std::string& text) {
  return static_cast<uint64_t>(std::max<int64_t>(LeadingWholeNumber(text), 0));
}

std::string SizeText(uint64_t bytes, int decimals) {
  return FormatSize64(static_cast<int64_t>(std::min<uint64_t>(bytes, INT64_MAX)), decimals);
}

void DrawLine(Canvas& canvas, int x1, int y1, int x2, int y2, Pixel colour) {
  const int dx = x2 - x1, dy = y2 - y1;
  if (std::abs(dy) >= std::abs(dx)) {
    const int step = dy >= 0 ? 1 : -1;
    for (int y = y1;; y += step) {
      const int x = dy == 0 ? x1 : static_cast<int>(RoundHalfUpDouble(static_cast<double>(y - y1) / dy * dx + x1));
      canvas.Set(x, y, colour);
      if (y == y2) break;
    }
  } else {
    const int step = dx > 0 ? 1 : -1;
    for (int x = x1;; x += step) {
      canvas.Set(x, static_cast<int>(RoundHalfUpDouble(static_cast<double>(x - x1) / dx * dy + y1)), colour);
      if (x == x2) break;
    }
  }
}

}  // namespace

std::string PhysicalAddressText(std::span<const uint8_t> address) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < address.size(); ++i) {
    if (i > 0) text += '-';
    if (address[i] >= 0x10) text += kDigits[address[i] >> 4];
    text += kDigits[address[i] & 0x0F];
  }
  return text;
}

std::string InterfaceTypeName(uint32_t type) {
  switch (type) {
    case 1: return "Nicht feststellbar";
    case 6: return "Ethernet";
    case 9: return "Token Ring";
    case 23: return "PPP";
    case 24: return "Loopback";
    case 37: return "ATM";
    case 71: return "IEEE 802.11 (Kabellos)";
    case 131: return "Tunnel (verkapselt)";
    case 144: return "IEEE 1394 (Firewire)";
    default: return {};
  }
}

AdapterRow AdapterFields(const InterfaceEntry& e) {
  AdapterRow row;
  const auto number = [](uint64_t v) { return std::to_string(v); };
  row[0] = e.description;
  row[1] = number(e.index);
  row[2] = number(e.type);
  row[3] = number(e.mtu);
  row[4] = number(e.speed);
  row[5] = PhysicalAddressText(e.physicalAddress);
  row[6] = number(e.adminStatus);
  row[7] = number(e.operStatus);
  row[8] = number(e.lastChange);
  row[9] = number(e.received);
  row[10] = number(e.sent);
  row[11] = number(e.unicastReceived);
  row[12] = number(e.unicastSent);
  row[13] = number(e.nonUnicastReceived);
  row[14] = number(e.nonUnicastSent);
  row[15] = number(e.discardedReceived);
  row[16] = number(e.discardedSent);
  row[17] = number(e.errorsReceived);
  row[18] = number(e.errorsSent);
  row[19] = number(e.unknownProtocols);
  row[20] = number(e.outputQueueLength);
  const double total = static_cast<double>(e.received) + static_cast<double>(e.sent);
  row[21] = FormatDecimalDouble(e.speed == 0 ? 0.0 : total / (static_cast<double>(e.speed) * 8.0), 2);
  return row;
}

Pixel InterfaceColour(int row, uint32_t interfaceIndex) {
  if (row >= 0 && row < static_cast<int>(std::size(kFixedColours))) return kFixedColours[row];
  // A colour value as Windows writes one (red in the low byte); the added
  // 0x212121 keeps such colours off black.
  const uint64_t value = RandomFromSeed(interfaceIndex) % (0xDDDDDDull + 1) + 0x212121;
  return MakePixel(static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16));
}

void ResizeTraffic(NetworkTraffic& traffic, size_t count) {
  traffic.previousReceived.resize(count, 0);
  traffic.previousSent.resize(count, 0);
  traffic.previousWide.resize(count, false);
  traffic.currentLoad.resize(count, 0);
  traffic.previousLoad.resize(count, 0);
}

double CounterRate(uint64_t previous, uint64_t current, bool wide, uint64_t elapsedMs, uint64_t speed) {
  if (elapsedMs == 0) return -1;
  uint64_t delta = 0;
  if (current >= previous) {
    delta = current - previous;
  } else {
    if (wide) return -1;  // a 64-bit counter only goes back when it was reset
    delta = (current - previous) & 0xFFFFFFFFull;
    // A 32-bit counter that wrapped: believable only if the interface could
    // have carried that much in the time; otherwise it was reset.
    const double carried = static_cast<double>(speed) / 8.0 * static_cast<double>(elapsedMs) / 1000.0;
    if (static_cast<double>(delta) > carried) return -1;
  }
  return static_cast<double>(delta) / static_cast<double>(elapsedMs) * 1000.0;
}

int InterfaceLoad(double receiveRate, double sendRate, uint64_t speed) {
  const uint64_t maximum = speed / 8;
  if (maximum == 0) return 0;
  const double percent = std::max({receiveRate, sendRate, 0.0}) / static_cast<double>(maximum) * 100.0;
  return static_cast<int>(std::clamp<int64_t>(RoundHalfUpDouble(percent), 0, 100));
}

std::string RateText(double bytesPerSecond) {
  if (!(bytesPerSecond > 0)) return {};
  return FormatSize64(RoundHalfUpDouble(bytesPerSecond), 0) + "/s";
}

std::string MaximumRateText(uint64_t speed) { return SizeText(speed / 8, 0) + "/s "; }

std::vector<NetworkListRow> RefreshNetworkRows(NetworkTraffic& traffic, std::span<const InterfaceEntry> entries,
                                               uint64_t now) {
  VELKOR_PLACE(kNetworkUnit);
  if (traffic.lastRefresh == 0) traffic.lastRefresh = now;
  const uint64_t elapsed = now >= traffic.lastRefresh ? now - traffic.lastRefresh : 0;
  traffic.largestLoad = 0;
  ResizeTraffic(traffic, entries.size());
  std::vector<NetworkListRow> rows(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const InterfaceEntry& e = entries[i];
    const bool sampled = traffic.previousReceived[i] != 0 || traffic.previousSent[i] != 0;
    double receive = 0, send = 0;
    if (sampled) {
      // Counts of one kind can only be compared with counts of the same kind.
      const bool comparable = traffic.previousWide[i] == e.wideCounters;
      receive =
          comparable ? CounterRate(traffic.previousReceived[i], e.received, e.wideCounters, elapsed, e.speed) : -1;
      send = comparable ? CounterRate(traffic.previousSent[i], e.sent, e.wideCounters, elapsed, e.speed) : -1;
    }
    NetworkListRow& row = rows[i];
    row.cells = {e.description, InterfaceTypeName(e.type), RateText(receive), RateText(send), MaximumRateText(e.speed)};
    row.colour = InterfaceColour(static_cast<int>(i), e.index);
    if (sampled) {
      traffic.currentLoad[i] = InterfaceLoad(receive, send, e.speed);
      traffic.largestLoad = std::max(traffic.largestLoad, traffic.currentLoad[i]);
    }
    traffic.previousReceived[i] = e.received;
    traffic.previousSent[i] = e.sent;
    traffic.previousWide[i] = e.wideCounters;
  }
  traffic.lastRefresh = now;
  return rows;
}

AdapterDetails DetailsOf(const AdapterRow& row) {
  AdapterDetails details;
  details.heading = row[0] + ":";
  details.values[0] = FormatBitRate64(static_cast<int64_t>(std::min<uint64_t>(FieldNumber(row[4]), INT64_MAX))) + "/s";
  details.values[1] = row[3] + " Byte";
  details.values[2] = row[5];
  details.values[3] = SizeText(FieldNumber(row[9]), 2);
  details.values[4] = SizeText(FieldNumber(row[10]), 2);
  for (int k = 5; k < kAdapterDetailCount; ++k)
    details.values[static_cast<size_t>(k)] = row[static_cast<size_t>(k + 6)];
  return details;
}

HistoryGraph CreateNetworkGraph(int width, int dpi) { return CreateHistoryGraph(width, 0, false, dpi); }

void DrawNetworkGraphStep(HistoryGraph& graph, NetworkTraffic& traffic, std::span<const Pixel> colours) {
  VELKOR_PLACE(kNetworkUnit);
  if (graph.canvas.width <= 0) return;
  GraphStep(graph, {});  // scrolls, and draws the vertical grid line on the 20th step
  if (graph.counter != 10 && graph.counter != 0) return;
  const int right = graph.canvas.width - 1;
  const size_t count = std::min({colours.size(), traffic.currentLoad.size(), traffic.previousLoad.size()});
  for (size_t i = 0; i < count; ++i) {
    DrawLine(graph.canvas, right - 9, GraphCurveY(traffic.previousLoad[i], graph.dpi), right,
             GraphCurveY(traffic.currentLoad[i], graph.dpi), colours[i]);
    traffic.previousLoad[i] = traffic.currentLoad[i];
  }
}

}  // namespace velkor
