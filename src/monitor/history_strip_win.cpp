#include <windows.h>

#include <commctrl.h>

#include "gfx/bitmap.h"
#include "gfx/image_names.h"
#include "monitor/history_strip_win.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "win/source_location.h"

namespace velkor {

void PrepareHistoryImages(int clientWidth, int dpi) {
  if (std::optional<Canvas> strip = LoadPngResource(images::kStatusbar)) SetHistoryBackground(*strip);
  SetHistoryImageWidth(HistoryImageWidthFor(clientWidth, dpi));
}

void SetHistoryImagesEnabled(bool enabled) {
  VELKOR_PLACE(kProceduresUnit);
  SetCpuPerProcessPreference(enabled);
  SwitchHistoryImages(ProcessListRows(), enabled);
}

void ResizeProcessHistoryImages(int clientWidth, int dpi) {
  VELKOR_PLACE(kProceduresUnit);
  const int width = HistoryImageWidthFor(clientWidth, dpi);
  if (!Preferences.PreferencesCPUPerProcess) {
    SetHistoryImageWidth(width);
    return;
  }
  if (width == HistoryImageWidth()) return;
  ResizeHistoryImages(ProcessListRows(), width);
}

int SelectedHistoryImage() {
  HWND list = ProcessListHandle();
  if (!list || !Preferences.PreferencesCPUPerProcess) return 0;
  const int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  return row < 0 ? 0 : ProcessListRows().HistoryImageOf(ProcessStoreRow(row));
}

bool DrawSelectedHistoryImage(Canvas& bar, int dpi) {
  VELKOR_PLACE(kProceduresUnit);
  const std::optional<Canvas> image = HistoryImage(SelectedHistoryImage());
  if (!image) return false;
  DrawHistoryImageInBar(bar, *image, dpi);
  return true;
}

}  // namespace velkor
