// The "Überwachung" view on Windows: reads the memory status and the
// processor load, writes the labels and tables, and shows the canvases of
// monitor_view.cpp in their image controls.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "gfx/bitmap.h"
#include "gfx/dpi_scale.h"
#include "monitor/monitor_view.h"
#include "monitor/monitor_view_win.h"
#include "procs/process_cpu_win.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {

MonitorViewHooks hooks;

HWND Control(int id) { return hooks.control ? hooks.control(id) : nullptr; }
HWND Main() { return hooks.mainWindow ? hooks.mainWindow() : nullptr; }

constexpr int kMeterImage = 194;
constexpr int kProcessorImage = 195;
constexpr int kMemoryImage = 200;
constexpr int kProcessorPause = 198;
constexpr int kMemoryPause = 205;

// A canvas's picture in a static image control: one DIB section per control,
// created again only when the canvas changes its size, so stepping creates
// no GDI object at all. A graph step paints the canvas onto the screen and
// leaves the section behind; the control's section catches up only when
// the control paints itself or is asked for its picture, which a scrolling
// graph 20 times a second rarely is. That saves copying every pixel twice
// per step.
struct ShownImage {
  int id = 0;
  win::UniqueBitmap bitmap;
  PictureBlitter steps;            // the graph's steps go to the screen through it
  const Canvas* behind = nullptr;  // painted on screen, not yet in `bitmap`
  HWND watched = nullptr;          // the control whose painting catches up
  bool replaced = false;           // a picture was handed to `watched` since the last step
};

bool askingOurselves = false;  // our own look at the control's picture needs no catching up

void CatchUp(ShownImage& image) {
  if (image.behind && image.bitmap) CopyCanvasToBitmap(*image.behind, image.bitmap.get());
  image.behind = nullptr;
}

LRESULT CALLBACK CatchUpBeforePainting(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR image) {
  VELKOR_PLACE(kProceduresUnit);
  auto& shown = *reinterpret_cast<ShownImage*>(image);
  if (message == WM_PAINT || message == WM_PRINTCLIENT || message == WM_PRINT ||
      (message == STM_GETIMAGE && !askingOurselves))
    CatchUp(shown);
  if (message == STM_SETIMAGE) shown.replaced = true;
  return DefSubclassProc(control, message, wParam, lParam);
}

void StopWatching(ShownImage& image) {
  if (image.watched) RemoveWindowSubclass(image.watched, CatchUpBeforePainting, 0);
  image.watched = nullptr;
}

struct ViewState {
  HWND built = nullptr;  // control 195 when the canvases were made
  HistoryGraph processor;
  HistoryGraph memory;
  Canvas meter;
  ShownImage meterImage{kMeterImage, {}, {}, nullptr, nullptr, false};
  ShownImage processorImage{kProcessorImage, {}, {}, nullptr, nullptr, false};
  ShownImage memoryImage{kMemoryImage, {}, {}, nullptr, nullptr, false};
};
ViewState view;

// A 96-DPI distance at the main window's DPI.
int Scaled(int value) { return ScaleToDpi(value, win::WindowDpi(Main())); }

int MainClientWidth() {
  RECT client{};
  GetClientRect(Main(), &client);
  return client.right - client.left;
}

void Show(ShownImage& image, const Canvas& canvas) {
  HWND control = Control(image.id);
  if (!control) return;
  image.behind = nullptr;
  ShowCanvasInPicture(control, canvas, image.bitmap);
}

HBITMAP ImageOf(HWND control) {
  askingOurselves = true;
  const auto image = reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
  askingOurselves = false;
  return image;
}

// A graph after one step: painted onto the control at once, in one piece.
// Scrolling the shown picture and painting the newest columns through the
// control's repaint cost the program more (a scroll, an update region and a
// paint message 20 times a second for each graph) and sent as many pixels
// to the screen.
void ShowStep(ShownImage& image, const HistoryGraph& graph) {
  const Canvas& canvas = graph.canvas;
  HWND control = Control(image.id);
  if (!control) return;
  // Asked only after the control was handed a picture: while a step follows
  // a step, the control gets no message at all (each one through the
  // subclass costs a look at the window's properties).
  if (image.watched != control || image.replaced) {
    if (!image.bitmap || ImageOf(control) != image.bitmap.get()) {
      Show(image, canvas);
      return;
    }
    if (image.watched != control) {
      StopWatching(image);
      if (!SetWindowSubclass(control, CatchUpBeforePainting, 0, reinterpret_cast<DWORD_PTR>(&image))) {
        Show(image, canvas);
        return;
      }
      image.watched = control;
    }
    image.replaced = false;
  }
  // A section of another size (the canvas was made again) is shown anew.
  BITMAP shown{};
  if (GetObjectA(image.bitmap.get(), sizeof shown, &shown) != sizeof shown || shown.bmWidth != canvas.width ||
      std::abs(shown.bmHeight) != canvas.height) {
    Show(image, canvas);
    return;
  }
  // The step changed the band's rows only; the screen shows the rest.
  if (const GraphRows band = GraphBand(graph); !image.steps.Paint(control, canvas, band.top, band.bottom - band.top)) {
    Show(image, canvas);
    return;
  }
  image.behind = &canvas;
}

void Forget(ShownImage& image) {
  image.steps.Release();
  StopWatching(image);
  image.behind = nullptr;
  image.replaced = false;
  ReleaseStaticPicture(Control(image.id), image.bitmap);
}

// The canvases are made with the view's windows; a new set of windows (the
// tests build several) starts with new ones.
bool EnsureCanvases() {
  HWND anchor = Control(kProcessorImage);
  if (!anchor || !Main()) return false;
  if (anchor == view.built) return true;
  DestroyMonitorView();
  const int width = MainClientWidth();
  const int dpi = win::WindowDpi(Main());
  view.processor = CreateHistoryGraph(width - Scaled(130), 1, true, dpi);
  view.memory = CreateHistoryGraph(width - Scaled(320), 2, false, dpi);
  DrawProcessorMeter(view.meter, LastSample.cpuLoad, dpi);
  view.built = anchor;
  Show(view.meterImage, view.meter);
  Show(view.processorImage, view.processor.canvas);
  Show(view.memoryImage, view.memory.canvas);
  return true;
}

bool Checked(int id) { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Static controls repaint on every SetWindowText; unchanged texts are left.
void SetLabel(int id, const std::string& text) {
  HWND control = Control(id);
  if (!control) return;
  char current[64] = {};
  GetWindowTextA(control, current, sizeof current);
  if (text != current) SetWindowTextA(control, text.c_str());
}

std::string PercentText(int value) { return std::to_string(value) + "%"; }

}  // namespace

bool MonitorGraphsRunning() { return !Checked(kProcessorPause) || !Checked(kMemoryPause); }

void StepMonitorGraphs() {
  VELKOR_PLACE(kProceduresUnit);
  if (!EnsureCanvases()) return;
  if (!Checked(kProcessorPause)) {
    const int values[] = {LastSample.cpuLoad};
    GraphStep(view.processor, values);
    ShowStep(view.processorImage, view.processor);
  }
  if (!Checked(kMemoryPause)) {
    const int values[] = {LastSample.memoryLoad, LastSample.pageFileLoad};
    GraphStep(view.memory, values);
    ShowStep(view.memoryImage, view.memory);
  }
}

// The meter is started once, at start-up: its first reading here is the
// average since then. Starting it again would measure the moment since.
void TakeMonitorSample(bool showView) {
  VELKOR_PLACE(kProceduresUnit);
  const int cpu = SystemCpuUsage();
  // A failed query keeps the last processor figure rather than showing 0 %.
  LastSample = ComputeSamples(cpu >= 0 ? cpu : LastSample.cpuLoad, ReadMemoryStatus());
  if (!showView || !EnsureCanvases()) return;
  SetLabel(197, PercentText(LastSample.cpuLoad));
  SetLabel(202, PercentText(LastSample.memoryLoad));
  SetLabel(204, PercentText(LastSample.pageFileLoad));
  DrawProcessorMeter(view.meter, LastSample.cpuLoad, win::WindowDpi(Main()));
  Show(view.meterImage, view.meter);
}

void RebuildGraphCanvases() {
  VELKOR_PLACE(kProceduresUnit);
  if (!EnsureCanvases() || IsIconic(Main())) return;
  const int width = MainClientWidth();
  const int dpi = win::WindowDpi(Main());
  if (dpi != view.processor.dpi) {
    // Another display scale: the graphs drawn again at its height, with
    // the history they show.
    RescaleHistoryGraph(view.processor, width - Scaled(135), dpi);
    RescaleHistoryGraph(view.memory, width - Scaled(328), dpi);
    DrawProcessorMeter(view.meter, LastSample.cpuLoad, dpi);
    Show(view.meterImage, view.meter);
  }
  ResizeHistoryGraph(view.processor, width - Scaled(135));
  ResizeHistoryGraph(view.memory, width - Scaled(328));
  Show(view.processorImage, view.processor.canvas);
  Show(view.memoryImage, view.memory.canvas);
}

void UpdateMemoryTables(uint64_t workingSetSum) {
  VELKOR_PLACE(kProceduresUnit);
  const MemoryTableTexts t = FormatMemoryTables(ReadMemoryStatus(), workingSetSum);
  SetLabel(209, t.physicalTotal);
  SetLabel(213, t.processes);
  SetLabel(214, t.processesPercent);
  SetLabel(216, t.system);
  SetLabel(217, t.systemPercent);
  SetLabel(219, t.physicalFree);
  SetLabel(220, t.physicalFreePercent);
  SetLabel(223, t.pageFileTotal);
  SetLabel(225, t.pageFileUsed);
  SetLabel(226, t.pageFileUsedPercent);
  SetLabel(228, t.pageFileFree);
  SetLabel(229, t.pageFileFreePercent);
}

void DestroyMonitorView() {
  Forget(view.meterImage);
  Forget(view.processorImage);
  Forget(view.memoryImage);
  view.built = nullptr;
  view.processor = HistoryGraph{};
  view.memory = HistoryGraph{};
}

void SetMonitorViewHooks(MonitorViewHooks wanted) { hooks = std::move(wanted); }

}  // namespace velkor
