// The interface table from iphlpapi, and the "Netzwerk" view's controls.
#include "lists/network_adapters_win.h"

#include <commctrl.h>
// The socket definitions before the interface headers that build on them.
#include <winsock2.h>
#include <ws2ipdef.h>
// 64-bit interface entries (Vista and later) beside the interface table.
#include <iphlpapi.h>
#include <netioapi.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gfx/contrast.h"
#include "gfx/bitmap.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "procs/list_icons_win.h"
#include "win/list_view.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {

// GetIfEntry2 (Vista and later) gives 64-bit byte counters and speeds; the
// interface table alone wraps its byte counters after 4 GiB and cannot
// express links above about 4.3 Gbit/s. GetIfTable2 gives those rows of
// every interface in one call, where GetIfEntry2 asks for one each. All are
// looked up by name, so the program still starts where only the table exists.
using GetIfTableFunction = DWORD(WINAPI*)(PMIB_IFTABLE, PULONG, BOOL);
using GetIfEntry2Function = DWORD(WINAPI*)(PMIB_IF_ROW2);
using GetIfTable2Function = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
using FreeMibTableFunction = VOID(WINAPI*)(PVOID);

struct NetworkLibrary {
  bool loaded = false;
  win::UniqueModule module;
  GetIfTableFunction getIfTable = nullptr;
  GetIfEntry2Function getIfEntry2 = nullptr;
  GetIfTable2Function getIfTable2 = nullptr;
  FreeMibTableFunction freeMibTable = nullptr;
};

struct NetworkView {
  NetworkControls controls;
  HistoryGraph graph;
  win::UniqueBitmap shownGraph;  // the DIB section in the graph's control
  win::UniqueBitmap picture;     // the adapter picture of the details panel
  NetworkTraffic traffic;
  AdapterTable info = AdapterTable(1);  // one empty row until the first read
  std::vector<InterfaceEntry> entries;
  std::vector<Pixel> colours;       // of the rows in the list, by row
  std::vector<win::ListRow> shown;  // what the list's rows show
  std::vector<uint8_t> buffer;      // the last table; its size is kept for the next read
};

NetworkLibrary library;
NetworkView view;

bool LoadNetworkLibrary() {
  if (!library.loaded) {
    library.loaded = true;
    library.module.reset(LoadLibraryA("iphlpapi.dll"));
    library.getIfTable = win::BindFunction<GetIfTableFunction>(library.module.get(), "GetIfTable");
    library.getIfEntry2 = win::BindFunction<GetIfEntry2Function>(library.module.get(), "GetIfEntry2");
    library.getIfTable2 = win::BindFunction<GetIfTable2Function>(library.module.get(), "GetIfTable2");
    library.freeMibTable = win::BindFunction<FreeMibTableFunction>(library.module.get(), "FreeMibTable");
  }
  return library.getIfTable != nullptr;
}

// The wide rows of every interface, freed as the system wants; empty where
// GetIfTable2 is missing or fails.
struct WideRows {
  MIB_IF_TABLE2* table = nullptr;
  WideRows() {
    if (library.getIfTable2 && library.freeMibTable && library.getIfTable2(&table) != NO_ERROR) table = nullptr;
  }
  ~WideRows() {
    if (table) library.freeMibTable(table);
  }
  WideRows(const WideRows&) = delete;
  WideRows& operator=(const WideRows&) = delete;
  [[nodiscard]] const MIB_IF_ROW2* Find(NET_IFINDEX index) const {
    for (ULONG i = 0; table && i < table->NumEntries; ++i)
      if (table->Table[i].InterfaceIndex == index) return &table->Table[i];
    return nullptr;
  }
};

InterfaceEntry EntryOf(const MIB_IFROW& row, const WideRows& wideRows) {
  InterfaceEntry e;
  // The reported length may count a terminating zero, which would cut off
  // whatever a control shows after the description.
  const size_t length = std::min<size_t>(row.dwDescrLen, MAXLEN_IFDESCR);
  const auto* description = reinterpret_cast<const char*>(row.bDescr);
  e.description.assign(description, strnlen(description, length));
  e.index = row.dwIndex;
  e.type = row.dwType;
  e.mtu = row.dwMtu;
  e.speed = row.dwSpeed;
  e.physicalAddress.assign(row.bPhysAddr, row.bPhysAddr + std::min<DWORD>(row.dwPhysAddrLen, MAXLEN_PHYSADDR));
  e.adminStatus = row.dwAdminStatus;
  e.operStatus = static_cast<uint32_t>(row.dwOperStatus);
  e.lastChange = row.dwLastChange;
  e.received = row.dwInOctets;
  e.sent = row.dwOutOctets;
  e.unicastReceived = row.dwInUcastPkts;
  e.unicastSent = row.dwOutUcastPkts;
  e.nonUnicastReceived = row.dwInNUcastPkts;
  e.nonUnicastSent = row.dwOutNUcastPkts;
  e.discardedReceived = row.dwInDiscards;
  e.discardedSent = row.dwOutDiscards;
  e.errorsReceived = row.dwInErrors;
  e.errorsSent = row.dwOutErrors;
  e.unknownProtocols = row.dwInUnknownProtos;
  e.outputQueueLength = row.dwOutQLen;
  MIB_IF_ROW2 wide{};
  wide.InterfaceIndex = row.dwIndex;
  const MIB_IF_ROW2* listed = wideRows.Find(row.dwIndex);
  if (listed) wide = *listed;
  if (listed || (library.getIfEntry2 && library.getIfEntry2(&wide) == NO_ERROR)) {
    e.received = wide.InOctets;
    e.sent = wide.OutOctets;
    e.wideCounters = true;
    // An unknown speed is reported as all ones; the table's figure stays then.
    const ULONG64 speed = std::max(wide.ReceiveLinkSpeed == ~0ull ? 0 : wide.ReceiveLinkSpeed,
                                   wide.TransmitLinkSpeed == ~0ull ? 0 : wide.TransmitLinkSpeed);
    if (speed != 0) e.speed = speed;
  }
  return e;
}

void SetText(HWND control, const std::string& text) {
  if (!control) return;
  char current[512] = {};
  GetWindowTextA(control, current, sizeof current);
  if (text != current) SetWindowTextA(control, text.c_str());
}

// One DIB section in the control, made again only when the graph changes
// its size: a step copies pixels and creates no GDI object.
void ShowGraph() {
  HWND control = view.controls.graph;
  const Canvas& canvas = view.graph.canvas;
  if (!control || canvas.width <= 0) return;
  ShowCanvasInPicture(control, canvas, view.shownGraph);
}

// The rows as the list keeps them: the network picture on each, the colour
// drawn in custom draw.
std::vector<win::ListRow> ListRowsOf(const std::vector<NetworkListRow>& rows) {
  std::vector<win::ListRow> list;
  list.reserve(rows.size());
  for (const NetworkListRow& row : rows) list.push_back({{row.cells.begin(), row.cells.end()}, 0, row.colour});
  return list;
}

}  // namespace

namespace {

// The rows' icon at the small-icon size of `dpi`, in an image list of that
// size; the list owns it and frees it with itself.
void UseListIconAtDpi(HWND list, int dpi) {
  win::UniqueImageList images(CreateSmallImageListAtDpi(dpi, 1, 0));
  if (!images) return;
  if (win::UniqueIcon icon = SmallPictureIcon(images::kListNetwork, dpi, SmallIconSizeAtDpi(dpi)))
    ImageList_ReplaceIcon(images.get(), -1, icon.get());
  win::ReplaceListImages(list, std::move(images));
}

// The picture over the details box's white and without alpha bytes: a
// static control of the version 6 common controls would show (and leave
// to us) a private copy of a bitmap with alpha.
void ShowAdapterPictureAtDpi(HWND control, int dpi) {
  const Canvas* picture = control ? CachedPictureForDpi(images::kNetworkAdapter, dpi) : nullptr;
  if (!picture) return;
  Canvas opaque(picture->width, picture->height, MakePixel(255, 255, 255));
  DrawOver(opaque, *picture, 0, 0);
  for (Pixel& p : opaque.pixels) p &= 0x00FFFFFFu;
  SetStaticPicture(control, CanvasToBitmap(opaque), view.picture);
}

}  // namespace

void AttachNetworkView(const NetworkControls& controls, int graphWidth) {
  VELKOR_PLACE(kNetworkUnit);
  DestroyNetworkView();
  view.controls = controls;
  if (controls.list) UseListIconAtDpi(controls.list, win::WindowDpi(controls.list));
  if (controls.picture) ShowAdapterPictureAtDpi(controls.picture, win::WindowDpi(controls.picture));
  view.graph = CreateNetworkGraph(graphWidth, win::WindowDpi(controls.graph));
  ShowGraph();
}

void NetworkViewDpiChanged(int dpi) {
  if (!view.controls.list) return;
  UseListIconAtDpi(view.controls.list, dpi);
  ShowAdapterPictureAtDpi(view.controls.picture, dpi);
  InvalidateRect(view.controls.list, nullptr, TRUE);
}

void DestroyNetworkView() {
  VELKOR_PLACE(kNetworkUnit);
  // The controls get no picture that is about to be freed.
  ReleaseStaticPicture(view.controls.graph, view.shownGraph);
  ReleaseStaticPicture(view.controls.picture, view.picture);
  view = NetworkView{};
  library = NetworkLibrary{};
}

int ReadNetworkAdapters() {
  VELKOR_PLACE(kNetworkUnit);
  if (!LoadNetworkLibrary()) return 0;
  // Each reading of the table is costly, so the buffer of the last one is
  // tried first; a table that has grown is read again at its new size.
  ULONG size = 0;
  DWORD result = ERROR_INSUFFICIENT_BUFFER;
  for (int attempt = 0; attempt < 5 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    view.buffer.resize(std::max<size_t>({size, view.buffer.size(), sizeof(MIB_IFTABLE)}));
    size = static_cast<ULONG>(view.buffer.size());
    result = library.getIfTable(reinterpret_cast<MIB_IFTABLE*>(view.buffer.data()), &size, TRUE);
  }
  if (result != NO_ERROR) return 0;
  const auto* table = reinterpret_cast<const MIB_IFTABLE*>(view.buffer.data());
  const size_t fits = (view.buffer.size() - offsetof(MIB_IFTABLE, table)) / sizeof(MIB_IFROW);
  const size_t count = std::min<size_t>(table->dwNumEntries, fits);
  view.entries.clear();
  view.info.clear();
  const WideRows wideRows;
  for (size_t i = 0; i < count; ++i) {
    view.entries.push_back(EntryOf(table->table[i], wideRows));
    view.info.push_back(AdapterFields(view.entries.back()));
  }
  ResizeTraffic(view.traffic, count);
  return static_cast<int>(count);
}

const AdapterTable& AdapterInfo() { return view.info; }

void RefreshNetworkList() {
  VELKOR_PLACE(kNetworkUnit);
  HWND list = view.controls.list;
  if (!list) return;
  const int count = ReadNetworkAdapters();
  view.colours.clear();
  view.traffic.largestLoad = 0;
  // A table that could not be read empties the list; the counts and the time
  // of the last reading stay, so the next rates span the whole gap.
  std::vector<NetworkListRow> rows;
  if (count > 0) rows = RefreshNetworkRows(view.traffic, view.entries, GetTickCount64());
  win::UpdateListRows(list, view.shown, ListRowsOf(rows));
  for (const NetworkListRow& row : rows) view.colours.push_back(row.colour);
  SetText(view.controls.load, std::to_string(view.traffic.largestLoad) + "%");
  ShowAdapterDetails();
}

void ShowAdapterDetails() {
  VELKOR_PLACE(kNetworkUnit);
  HWND list = view.controls.list;
  if (!list) return;
  const int selected = win::UnfilteredListRow(list, ListView_GetNextItem(list, -1, LVNI_SELECTED));
  AdapterDetails details;
  if (selected >= 0 && static_cast<size_t>(selected) < view.info.size())
    details = DetailsOf(view.info[static_cast<size_t>(selected)]);
  SetText(view.controls.heading, details.heading);
  for (size_t k = 0; k < details.values.size(); ++k) SetText(view.controls.values[k], details.values[k]);
}

void DrawNetworkGraphStep() {
  VELKOR_PLACE(kNetworkUnit);
  if (!view.controls.graph) return;
  DrawNetworkGraphStep(view.graph, view.traffic, view.colours);
  ShowGraph();
}

void ResizeNetworkGraph(int width) {
  VELKOR_PLACE(kNetworkUnit);
  if (!view.controls.graph) return;
  // Another display scale: the graph starts again at its height.
  if (const int dpi = win::WindowDpi(view.controls.graph); dpi != view.graph.dpi)
    view.graph = CreateNetworkGraph(width, dpi);
  ResizeHistoryGraph(view.graph, width);
  ShowGraph();
}

std::optional<LRESULT> NetworkListNotify(const NMHDR* header) {
  VELKOR_PLACE(kNetworkUnit);
  if (!header || !view.controls.list || header->hwndFrom != view.controls.list ||
      header->code != static_cast<UINT>(NM_CUSTOMDRAW))
    return std::nullopt;
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header));
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  const int row = win::UnfilteredListRow(view.controls.list, static_cast<int>(draw->nmcd.dwItemSpec));
  // The system's high contrast keeps its own text colour on every row.
  if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && row >= 0 && static_cast<size_t>(row) < view.colours.size() &&
      !HighContrast()) {
    const Pixel colour = view.colours[static_cast<size_t>(row)];
    draw->clrText = RGB(PixelRed(colour), PixelGreen(colour), PixelBlue(colour));
    return CDRF_NEWFONT;
  }
  return CDRF_DODEFAULT;
}

}  // namespace velkor
