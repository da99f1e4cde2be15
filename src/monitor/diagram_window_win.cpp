#include "monitor/diagram_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "monitor/static_picture_win.h"
#include "procs/file_version_info_win.h"
#include "procs/process_cpu_win.h"
#include "procs/format.h"
#include "procs/list_icons_win.h"
#include "procs/process_list_win.h"
#include "win/accessible.h"
#include "win/system_functions.h"
#include "win/source_location.h"

namespace velkor {

namespace {

constexpr int kPieImage = 239;
constexpr int kMeasureList = 240;
constexpr int kInfoBox = 241;
constexpr int kInfoIcon = 242;
constexpr int kInfoLines[] = {243, 244, 245, 246};
constexpr uint32_t kCompanyNameBit = 0x80;
constexpr int kInfoPictureSize = 32;

// What the rows showed at the last drawing: the hit test and the info panel
// work on the same rows as the picture.
struct ShownRow {
  std::string name;
  std::string path;
};

struct DiagramState {
  HWND window = nullptr;
  int dpi = kDesignDpi;  // what the window is laid out at
  win::UniqueImageList measureIcons;
  StaticPicture pie;
  StaticPicture infoPicture;
  int lastMeasure = 0;
  PieMeasure drawnMeasure = PieMeasure::kCpu;
  std::vector<PieRow> rows;
  std::vector<ShownRow> shown;
  std::vector<PieSlice> slices;
  // The info panel's picture: what it shows (-1 default, -2 priority, else
  // the pid whose icon it is), and that icon.
  int64_t pictureOf = 0;
  win::UniqueIcon icon;
  std::string company;
};
DiagramState diagram;

HWND Control(int id) {
  if (!diagram.window) return nullptr;
  if (id >= 242) return GetDlgItem(GetDlgItem(diagram.window, kInfoBox), id);
  return GetDlgItem(diagram.window, id);
}

PieMeasure SelectedMeasure() {
  const auto index = SendMessageA(Control(kMeasureList), CB_GETCURSEL, 0, 0);
  return (index >= 0 && index < kPieMeasureCount) ? static_cast<PieMeasure>(index) : PieMeasure::kCpu;
}

int InfoPictureSize() { return ScaleToDpi(kInfoPictureSize, diagram.dpi); }

// The picture drawn for the window's scale, centred on white in the panel's
// picture place.
Canvas PictureOnWhite(const char* name) {
  const int size = InfoPictureSize();
  Canvas canvas(size, size, MakePixel(255, 255, 255));
  if (const Canvas* picture = CachedPictureForDpi(name, diagram.dpi))
    DrawOver(canvas, *picture, CentredOffset(size, picture->width), CentredOffset(size, picture->height));
  return canvas;
}

// The executable's icon in the drawing nearest the panel's picture size.
win::UniqueIcon IconForPanel(const std::string& path) { return ExecutableIcon(path, InfoPictureSize()); }

void ShowInfoPicture(int64_t what, const std::string& path = {}) {
  if (what == diagram.pictureOf) return;
  diagram.pictureOf = what;
  Canvas canvas;
  if (what == -1 || what == -2) {
    diagram.icon.reset();
    canvas = PictureOnWhite(what == -1 ? images::kDiagramDefault : images::kDiagramPriority);
  } else {
    diagram.icon = IconForPanel(path);
    canvas = IconCanvas(diagram.icon.get(), InfoPictureSize(), MakePixel(255, 255, 255));
  }
  diagram.infoPicture.Show(Control(kInfoIcon), canvas);
}

// The measure list's icons at the small-icon size of the window's DPI, each
// the picture drawn for that scale centred in it.
void SetMeasureIcons() {
  HWND list = Control(kMeasureList);
  if (!list) return;
  static constexpr const char* kIcons[] = {images::kMeasureCpu,       images::kMeasurePriority,
                                           images::kMeasureMemory,    images::kMeasureVirtualMemory,
                                           images::kMeasurePagedPool, images::kMeasureNonpagedPool};
  const int size = std::max(win::SystemMetricAtDpi(SM_CXSMICON, diagram.dpi), 1);
  decltype(diagram.measureIcons) icons(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, kPieMeasureCount, 0));
  for (const char* name : kIcons) {
    // A missing picture leaves an empty place, so the items keep their icons.
    win::UniqueIcon icon = SmallPictureIcon(name, diagram.dpi, size);
    if (!icon) icon = CanvasToIcon(Canvas(size, size, MakePixel(0, 0, 0, 0)));
    if (icons) ImageList_ReplaceIcon(icons.get(), -1, icon.get());
  }
  // The list lets go of the old image list before it is freed.
  SendMessageA(list, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(icons.get()));
  diagram.measureIcons = std::move(icons);
}

void SetInfoTexts(const PieInfoTexts& texts) {
  const std::array<const std::string*, 4> lines = {&texts.title, &texts.subtitle, &texts.first, &texts.second};
  for (size_t i = 0; i < lines.size(); ++i) {
    HWND control = Control(kInfoLines[i]);
    if (!control) continue;
    std::array<char, 512> current{};
    GetWindowTextA(control, current.data(), static_cast<int>(current.size()));
    if (*lines[i] != current.data()) SetWindowTextA(control, lines[i]->c_str());
  }
}

void ReadRows() {
  diagram.rows.clear();
  diagram.shown.clear();
  const ProcessRows& rows = ProcessListRows();
  for (int row = 0; row < rows.RowCount(); ++row) {
    const ProcessRowFacts* facts = rows.Facts(row);
    if (!facts) continue;
    PieRow pie = PieRowOf(*facts);
    pie.cpuText = rows.CellText(row, kCpuColumn);
    const ProcessRowLook look = ProcessRowLookAt(row);
    if (look.hasBackground)
      pie.background = Rgb{GetRValue(look.background), GetGValue(look.background), GetBValue(look.background)};
    diagram.rows.push_back(std::move(pie));
    diagram.shown.push_back({rows.CellText(row, kNameColumn), facts->path});
  }
}

// The mouse in window coordinates.
POINT MouseInWindow() {
  POINT mouse{};
  GetCursorPos(&mouse);
  ScreenToClient(diagram.window, &mouse);
  return mouse;
}

}  // namespace

void SetUpDiagramWindow(HWND window, int dpi) {
  DestroyDiagramWindow();
  diagram.window = window;
  diagram.dpi = dpi;
  HWND list = Control(kMeasureList);
  if (!list) return;
  static constexpr const char* kNames[] = {"CPU-Last (%)",        "Priorität",          "Speicherauslastung",
                                           "Virtueller Speicher", "Pool (ausgelagert)", "Pool (nicht ausgelagert)"};
  for (int i = 0; i < kPieMeasureCount; ++i) {
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = i;
    item.pszText = const_cast<char*>(kNames[i]);
    item.iImage = i;
    item.iSelectedImage = i;
    SendMessageA(list, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  SetMeasureIcons();
  SendMessageA(list, CB_SETCURSEL, 0, 0);
  diagram.lastMeasure = 0;
  ShowInfoPicture(-1);
}

void DiagramWindowDpiChanged(int dpi) {
  if (!diagram.window || dpi == diagram.dpi) return;
  diagram.dpi = dpi;
  SetMeasureIcons();
  // The panel's picture again at the new size, the pie at the new scale.
  const int64_t shown = diagram.pictureOf;
  diagram.pictureOf = 0;
  diagram.infoPicture.Forget();
  ShowInfoPicture(shown == -2 ? -2 : -1);
  if (DiagramWindowVisible()) {
    DrawProcessPie();
    ShowPieInfo();
  }
}

int DiagramMeasureIconSize() {
  int width = 0, height = 0;
  return diagram.measureIcons && ImageList_GetIconSize(diagram.measureIcons.get(), &width, &height) ? width : 0;
}

bool DiagramWindowVisible() { return diagram.window && IsWindowVisible(diagram.window); }

void DrawProcessPie() {
  VELKOR_PLACE(kProceduresUnit);
  if (!diagram.window) return;
  ReadRows();
  diagram.drawnMeasure = SelectedMeasure();
  const MemoryStatus memory = ReadMemoryStatus();
  PieTotals totals;
  totals.physicalKb = static_cast<double>(memory.totalPhysical / 1024);
  // The commit limit: what the page-file figures of the rows are part of.
  totals.virtualKb = static_cast<double>(memory.totalPageFile / 1024);
  diagram.slices = PieSlices(diagram.drawnMeasure, diagram.rows, totals);
  const int dpi = diagram.dpi;
  const Canvas canvas =
      DrawPie(diagram.drawnMeasure, diagram.rows, diagram.slices, CachedPictureForDpi(images::kPieOverlay, dpi), dpi);
  diagram.pie.Show(Control(kPieImage), canvas);
}

void ShowPieInfo() {
  VELKOR_PLACE(kProceduresUnit);
  if (!diagram.window) return;
  const POINT mouse = MouseInWindow();
  const bool active = GetActiveWindow() == diagram.window;
  const std::optional<double> angle = active ? PieAngleAt(mouse.x, mouse.y, diagram.dpi) : std::nullopt;
  const std::optional<size_t> slice = angle ? PieSliceAt(diagram.slices, *angle, false) : std::nullopt;
  if (!slice) {
    ShowInfoPicture(-1);
    SetInfoTexts({});
    return;
  }
  const PieSlice& hit = diagram.slices[*slice];
  if (diagram.drawnMeasure == PieMeasure::kPriority) {
    ShowInfoPicture(-2);
    SetInfoTexts(PriorityPieInfo(hit, diagram.rows));
    return;
  }
  const auto index = static_cast<size_t>(hit.index);
  if (index >= diagram.rows.size()) return;
  const PieRow& row = diagram.rows[index];
  const ShownRow& shown = diagram.shown[index];
  if (diagram.pictureOf != static_cast<int64_t>(row.pid)) {
    // Icon and company are read once per process under the mouse.
    diagram.company = shown.path.empty() ? std::string() : FileVersionText(shown.path, kCompanyNameBit, false);
    ShowInfoPicture(row.pid, shown.path);
  }
  SetInfoTexts(ProcessPieInfo(diagram.drawnMeasure, row, shown.name, diagram.company));
}

void ToggleDiagramWindow() {
  VELKOR_PLACE(kProceduresUnit);
  if (!diagram.window) return;
  if (IsWindowVisible(diagram.window)) {
    ShowWindow(diagram.window, SW_HIDE);
    return;
  }
  DrawProcessPie();
  ShowPieInfo();
  ShowWindow(diagram.window, SW_SHOW);
  SetForegroundWindow(diagram.window);
  SetActiveWindow(diagram.window);
}

std::optional<uint32_t> PieProcessUnderMouse() {
  VELKOR_PLACE(kProceduresUnit);
  if (!diagram.window || diagram.drawnMeasure == PieMeasure::kPriority) return std::nullopt;
  const POINT mouse = MouseInWindow();
  const std::optional<double> angle = PieAngleAt(mouse.x, mouse.y, diagram.dpi);
  const std::optional<size_t> slice = angle ? PieSliceAt(diagram.slices, *angle, true) : std::nullopt;
  if (!slice) return std::nullopt;
  const auto index = static_cast<size_t>(diagram.slices[*slice].index);
  if (index >= diagram.rows.size()) return std::nullopt;
  return diagram.rows[index].pid;
}

void CheckPieMeasure() {
  VELKOR_PLACE(kProceduresUnit);
  if (!diagram.window) return;
  const int measure = static_cast<int>(SelectedMeasure());
  if (measure == diagram.lastMeasure) return;
  diagram.lastMeasure = measure;
  DrawProcessPie();
  ShowPieInfo();
  win::AnnounceValueChange(Control(kPieImage));  // readers give the pie its measure as value
}

PieInfoTexts ShownPieInfo() {
  PieInfoTexts texts;
  std::array<std::string*, 4> lines = {&texts.title, &texts.subtitle, &texts.first, &texts.second};
  for (size_t i = 0; i < lines.size(); ++i) {
    std::array<char, 512> current{};
    GetWindowTextA(Control(kInfoLines[i]), current.data(), static_cast<int>(current.size()));
    *lines[i] = current.data();
  }
  return texts;
}

void DestroyDiagramWindow() {
  if (HWND list = Control(kMeasureList)) SendMessageA(list, CBEM_SETIMAGELIST, 0, 0);
  diagram.pie.Forget();
  diagram.infoPicture.Forget();
  diagram.measureIcons.reset();
  diagram.icon.reset();
  diagram.rows.clear();
  diagram.shown.clear();
  diagram.slices.clear();
  diagram.pictureOf = 0;
  diagram.lastMeasure = 0;
  diagram.window = nullptr;
  diagram.dpi = kDesignDpi;
}

}  // namespace velkor
