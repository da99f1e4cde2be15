#include "procs/process_details.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace velkor {

std::string_view TcpStateText(uint32_t state) {
  static constexpr std::string_view kStates[] = {"",
                                                 "GESCHLOSSEN",
                                                 "ABHÖREN",
                                                 "SYN_GESENDET",
                                                 "SYN_EMPFANGEN",
                                                 "HERGESTELLT",
                                                 "FIN_WARTEN_1",
                                                 "FIN_WARTEN_2",
                                                 "SCHLIESSEN_WARTEN",
                                                 "SCHLIESSEND",
                                                 "LETZTES_ACK",
                                                 "WARTEND",
                                                 "TCB_LÖSCHEN"};
  return state < std::size(kStates) ? kStates[state] : std::string_view{};
}

bool ThreadSuspended(uint32_t state, uint32_t waitReason) {
  constexpr uint32_t kWaiting = 5, kSuspendedReason = 5;
  return state == kWaiting && waitReason == kSuspendedReason;
}

std::string_view ThreadStateText(uint32_t state, uint32_t waitReason) {
  if (ThreadSuspended(state, waitReason)) return "Angehalten";
  static constexpr std::string_view kStates[] = {"Initialisiert", "Bereit",  "Läuft",    "Standby",
                                                 "Beendet",       "Wartend", "Übergang", "Verzögert bereit"};
  return state < std::size(kStates) ? kStates[state] : std::string_view{"Unbekannt"};
}

std::string HexAddress(uint64_t address) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(address));
  return text;
}

std::string AddressInModule(uint64_t address, const std::vector<ModuleSpan>& modules) {
  if (address == 0) return {};
  for (const ModuleSpan& module : modules) {
    if (address < module.base || address - module.base >= module.size) continue;
    char offset[24];
    std::snprintf(offset, sizeof offset, "+0x%llx", static_cast<unsigned long long>(address - module.base));
    return module.name + offset;
  }
  return HexAddress(address);
}

std::string Utf16ToWindows1252(std::u16string_view text) {
  // The characters 1252 places at 0x80..0x9F; 0 marks a byte it leaves unused.
  static constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                         0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    const auto* found = std::find(std::begin(kHigh), std::end(kHigh), c);
    out += (c != 0 && found != std::end(kHigh)) ? static_cast<char>(0x80 + (found - std::begin(kHigh))) : '?';
  }
  return out;
}

std::optional<size_t> EnvironmentBlockLength(std::u16string_view block) {
  // An empty block is one NUL; otherwise entries end at the first "\0\0".
  if (!block.empty() && block[0] == u'\0') return 1;
  const size_t end = block.find(std::u16string_view(u"\0\0", 2));
  if (end == std::u16string_view::npos) return std::nullopt;
  return end + 2;
}

std::vector<std::pair<std::string, std::string>> ParseEnvironmentBlock(std::u16string_view block) {
  std::vector<std::pair<std::string, std::string>> variables;
  size_t at = 0;
  while (at < block.size()) {
    const size_t end = block.find(u'\0', at);
    if (end == std::u16string_view::npos) break;  // cut off: not a whole entry
    const std::u16string_view entry = block.substr(at, end - at);
    if (entry.empty()) break;
    // "=C:=C:\folder": the name's own leading "=" is no separator.
    const size_t equals = entry.find(u'=', 1);
    if (equals != std::u16string_view::npos)
      variables.emplace_back(Utf16ToWindows1252(entry.substr(0, equals)), Utf16ToWindows1252(entry.substr(equals + 1)));
    at = end + 1;
  }
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; };
  std::stable_sort(variables.begin(), variables.end(), [&](const auto& a, const auto& b) {
    return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(), b.first.end(),
                                        [&](char x, char y) { return lower(x) < lower(y); });
  });
  return variables;
}

std::string EndpointText(bool ipv6, const std::array<uint8_t, 16>& address, uint16_t port) {
  std::string host;
  char part[8];
  if (!ipv6) {
    for (int i = 0; i < 4; ++i) host += (i ? "." : "") + std::to_string(address[static_cast<size_t>(i)]);
  } else {
    uint16_t groups[8];
    for (int i = 0; i < 8; ++i)
      groups[i] =
          static_cast<uint16_t>(address[static_cast<size_t>(2 * i)] << 8 | address[static_cast<size_t>(2 * i + 1)]);
    // The longest run of two or more zero groups becomes "::".
    int bestStart = -1, bestLength = 0;
    for (int i = 0; i < 8;) {
      int j = i;
      while (j < 8 && groups[j] == 0) ++j;
      if (j - i > bestLength && j - i >= 2) bestStart = i, bestLength = j - i;
      i = j == i ? i + 1 : j;
    }
    for (int i = 0; i < 8; ++i) {
      if (i == bestStart) {
        host += "::";
        i += bestLength - 1;
        continue;
      }
      if (!host.empty() && host.back() != ':') host += ':';
      std::snprintf(part, sizeof part, "%x", groups[i]);
      host += part;
    }
    host = "[" + host + "]";
  }
  return host + ":" + std::to_string(port);
}

bool ParentEnded(bool parentRunning, uint64_t parentCreated, uint64_t childCreated) {
  return !parentRunning || parentCreated > childCreated;
}

std::string ProcessWindowCaption(std::string_view name, uint32_t pid, bool ended) {
  std::string caption = "Prozessinformationen - " + std::string(name) + " (" + std::to_string(pid) + ")";
  if (ended) caption += " - beendet";
  return caption;
}

double CpuLoadPercent(uint64_t cpuBefore, uint64_t cpuNow, uint64_t wallBefore, uint64_t wallNow, uint32_t processors) {
  if (wallNow <= wallBefore || cpuNow < cpuBefore) return 0.0;
  const double load = 100.0 * static_cast<double>(cpuNow - cpuBefore) /
                      (static_cast<double>(wallNow - wallBefore) * std::max<uint32_t>(processors, 1));
  return std::clamp(load, 0.0, 100.0);
}

Canvas DrawLoadHistory(const std::vector<double>& history, int width, int height, int dpi) {
  Canvas canvas(std::max(width, 0), std::max(height, 0), MakePixel(0, 0, 0));
  if (canvas.width == 0 || canvas.height == 0) return canvas;
  const Pixel grid = MakePixel(0, 80, 0), load = MakePixel(0, 255, 0);
  const int step = std::max(1, 12 * std::max(dpi, 1) / 96);
  for (int q = 1; q < 4; ++q) canvas.FillRect(0, canvas.height * q / 4, canvas.width, 1, grid);
  for (int x = canvas.width - 1; x >= 0; x -= step) canvas.FillRect(x, 0, 1, canvas.height, grid);
  const int columns = std::min<int>(canvas.width, static_cast<int>(history.size()));
  for (int i = 0; i < columns; ++i) {
    const double value = std::clamp(history[history.size() - 1 - static_cast<size_t>(i)], 0.0, 100.0);
    const int bar = static_cast<int>(value * canvas.height / 100.0 + 0.5);
    canvas.FillRect(canvas.width - 1 - i, canvas.height - bar, 1, bar, load);
  }
  return canvas;
}

namespace {

std::string KeyOf(const std::vector<std::string>& cells, int keyColumns) {
  std::string key;
  for (int c = 0; c < keyColumns && c < static_cast<int>(cells.size()); ++c)
    key += cells[static_cast<size_t>(c)] + '\x1f';
  return key;
}

std::string StoreKey(const DetailRowStore& store, int row, int keyColumns) {
  std::string key;
  for (int c = 0; c < keyColumns; ++c) key += store.CellText(row, c) + '\x1f';
  return key;
}

}  // namespace

int MergeDetailRows(DetailRowStore& store, const DetailPage& page, int columnCount) {
  const int keys = std::max(page.keyColumns, 1);
  std::set<std::string> wanted;
  for (const DetailRow& row : page.rows) wanted.insert(KeyOf(row.cells, keys));
  for (int row = store.RowCount() - 1; row >= 0; --row)
    if (!wanted.count(StoreKey(store, row, keys))) store.DeleteRow(row);
  // What is left is in the store; a page row found further down (the page
  // changed its order) is taken out and inserted at its new place.
  int written = 0;
  int at = 0;
  for (const DetailRow& row : page.rows) {
    const std::string key = KeyOf(row.cells, keys);
    if (at >= store.RowCount() || StoreKey(store, at, keys) != key) {
      for (int later = at + 1; later < store.RowCount(); ++later)
        if (StoreKey(store, later, keys) == key) {
          store.DeleteRow(later);
          break;
        }
      store.InsertRow(at);
    }
    for (int c = 0; c < columnCount; ++c) {
      const std::string text =
          c < static_cast<int>(row.cells.size()) ? row.cells[static_cast<size_t>(c)] : std::string();
      if (store.CellText(at, c) != text) {
        store.SetCellText(at, c, text);
        ++written;
      }
    }
    ++at;
  }
  while (store.RowCount() > at) store.DeleteRow(store.RowCount() - 1);  // duplicate keys
  return written;
}

std::string VectorDetailRows::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0) return {};
  const auto& cells = rows_[static_cast<size_t>(row)];
  return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : std::string();
}

void VectorDetailRows::SetCellText(int row, int column, const std::string& text) {
  if (row < 0 || row >= RowCount() || column < 0) return;
  auto& cells = rows_[static_cast<size_t>(row)];
  if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
  cells[static_cast<size_t>(column)] = text;
}

void VectorDetailRows::InsertRow(int row) {
  rows_.insert(rows_.begin() + std::clamp(row, 0, RowCount()), std::vector<std::string>{});
}

void VectorDetailRows::DeleteRow(int row) {
  if (row >= 0 && row < RowCount()) rows_.erase(rows_.begin() + row);
}

}  // namespace velkor
