// What the process-information window shows of one process, as text: the
// words for states, addresses inside modules, the environment block of
// another process read with its bounds, endpoint addresses, and the in-place
// merge of a page's fresh rows into its list.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gfx/canvas.h"

namespace velkor {

// Shown in place of a value the program's rights do not reach.
inline constexpr std::string_view kAccessDeniedText = "Zugriff verweigert";

// One row of a page: its cells, the first `keyColumns` of which name it.
struct DetailRow {
  std::vector<std::string> cells;
};

// A page's rows in the order shown; identity by the leading key cells.
struct DetailPage {
  std::vector<DetailRow> rows;
  int keyColumns = 1;
  bool denied = false;  // the whole list could not be read
};

// The words the German netstat shows for a TCP state (MIB_TCP_STATE 1..12);
// "" for anything else.
std::string_view TcpStateText(uint32_t state);
// A thread's scheduling state (KTHREAD_STATE); a waiting thread whose wait
// reason is "Suspended" (5) is "Angehalten".
std::string_view ThreadStateText(uint32_t state, uint32_t waitReason);
bool ThreadSuspended(uint32_t state, uint32_t waitReason);

// A loaded module's range in the address space of its process.
struct ModuleSpan {
  uint64_t base = 0;
  uint64_t size = 0;
  std::string name;
};
// "0x00007FF712340000".
std::string HexAddress(uint64_t address);
// "name.dll+0x1a2b" for an address inside a module of `modules`, else the
// bare address; 0 is "".
std::string AddressInModule(uint64_t address, const std::vector<ModuleSpan>& modules);

// UTF-16 text as Windows-1252; what 1252 lacks becomes '?'.
std::string Utf16ToWindows1252(std::u16string_view text);
// The variables of an environment block ("NAME=value\0...\0\0") as name and
// value, sorted by name without regard to case. Everything past the first
// empty entry is ignored; an entry without "=" after its first character is
// skipped (the block may end mid-entry: that entry is dropped). Entries
// starting with "=" (the per-drive folders) keep their leading "=" in the name.
std::vector<std::pair<std::string, std::string>> ParseEnvironmentBlock(std::u16string_view block);
// The length in characters of the block up to and including its closing
// empty entry, or nullopt when `block` holds no end.
std::optional<size_t> EnvironmentBlockLength(std::u16string_view block);

// "192.168.0.1:80", "[fe80::1]:443". An IPv4 address is in network byte order in the first four bytes.
std::string EndpointText(bool ipv6, const std::array<uint8_t, 16>& address, uint16_t port);

// Whether the parent named by a child's parent PID is gone: no process of
// that PID runs, or the one that does started after the child (the PID was
// reused). Times are file times.
bool ParentEnded(bool parentRunning, uint64_t parentCreated, uint64_t childCreated);

// "Prozessinformationen - NAME (PID)", with " - beendet" once it ended.
std::string ProcessWindowCaption(std::string_view name, uint32_t pid, bool ended);

// The CPU load of one process over one interval in percent of the whole
// machine, from its CPU time (100-ns units) and the wall time between.
double CpuLoadPercent(uint64_t cpuBefore, uint64_t cpuNow, uint64_t wallBefore, uint64_t wallNow, uint32_t processors);

// The load graph: one column per sample, the newest at the right, green up
// to the load over black, with a dark green line every quarter of the height
// and every 12 columns (at 96 DPI; `dpi` scales the grid).
Canvas DrawLoadHistory(const std::vector<double>& history, int width, int height, int dpi);

// The list a page is shown in, as the merge sees it.
class DetailRowStore {
 public:
  virtual ~DetailRowStore() = default;
  [[nodiscard]] virtual int RowCount() const = 0;
  [[nodiscard]] virtual std::string CellText(int row, int column) const = 0;
  virtual void SetCellText(int row, int column, const std::string& text) = 0;
  virtual void InsertRow(int row) = 0;
  virtual void DeleteRow(int row) = 0;
};

// Brings `store` to `page` in place: rows whose key vanished are deleted, new
// ones inserted where the page has them, and only cells whose text changed
// are written; a row that stays keeps its place in the store (and with it
// its selection). Returns the number of cells written.
int MergeDetailRows(DetailRowStore& store, const DetailPage& page, int columnCount);

class VectorDetailRows final : public DetailRowStore {
 public:
  [[nodiscard]] int RowCount() const override { return static_cast<int>(rows_.size()); }
  [[nodiscard]] std::string CellText(int row, int column) const override;
  void SetCellText(int row, int column, const std::string& text) override;
  void InsertRow(int row) override;
  void DeleteRow(int row) override;

 private:
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace velkor
