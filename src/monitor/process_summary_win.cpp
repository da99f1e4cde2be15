#include "monitor/process_summary_win.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "gfx/dpi_scale.h"
#include "monitor/static_picture_win.h"
#include "procs/file_version_info_win.h"
#include "procs/format.h"
#include "procs/process_library.h"
#include "procs/process_list_win.h"
#include "win/system_functions.h"
#include "win/source_location.h"

namespace velkor {

namespace {

constexpr uint32_t kCompanyNameBit = 0x80;

struct SummaryState {
  HWND box = nullptr;
  std::string userName;
  bool userNameRead = false;
  win::UniqueIcon icon;
  StaticPicture picture;
  int dpi = kDesignDpi;  // the box's: its monitor's, or the one it was moved to
};
SummaryState summary;

void SetText(int id, const std::string& text) {
  HWND control = GetDlgItem(summary.box, id);
  if (!control) return;
  std::array<char, 1024> current{};
  GetWindowTextA(control, current.data(), static_cast<int>(current.size()));
  if (text != current.data()) SetWindowTextA(control, text.c_str());
}

std::string ShownText(int id) {
  std::array<char, 1024> current{};
  GetWindowTextA(GetDlgItem(summary.box, id), current.data(), static_cast<int>(current.size()));
  return current.data();
}

const std::string& UserName() {
  if (!summary.userNameRead) {
    char name[257] = {};
    DWORD size = sizeof name;
    if (GetUserNameA(name, &size)) summary.userName = name;
    summary.userNameRead = true;
  }
  return summary.userName;
}

Desktop PrimaryDesktop() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  Desktop desktop;
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
    desktop = {static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight),
               static_cast<int>(mode.dmBitsPerPel), static_cast<int>(mode.dmDisplayFrequency)};
  } else {
    desktop = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0, 0};
  }
  return desktop;
}

// The icon's place is 32 units square at the box's DPI; the icon is taken
// in the system's large size for that DPI, so it is drawn, not stretched.
int IconSize() { return ScaleToDpi(32, summary.dpi); }
int LargeIconSize() { return win::SystemMetricAtDpi(SM_CXICON, summary.dpi); }

void ShowIcon(win::UniqueIcon icon) {
  summary.icon = std::move(icon);
  summary.picture.Show(GetDlgItem(summary.box, 141),
                       IconCanvas(summary.icon.get(), IconSize(), MakePixel(255, 255, 255)));
}

}  // namespace

void SetUpProcessSummary(HWND box) {
  DestroyProcessSummary();
  summary.box = box;
  summary.dpi = win::WindowDpi(box);
}

void ProcessSummaryDpiChanged(int dpi) {
  if (!summary.box || dpi == summary.dpi) return;
  summary.dpi = dpi;
  summary.icon.reset();  // taken again at the new size by the update
  UpdateProcessSummary();
}

int ProcessSummaryIconSize() {
  ICONINFO info{};
  if (!summary.icon || !GetIconInfo(summary.icon.get(), &info)) return 0;
  const win::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
  BITMAP bits{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
  return bits.bmWidth;
}

void UpdateProcessSummary() {
  VELKOR_PLACE(kProceduresUnit);
  HWND list = ProcessListHandle();
  if (!summary.box || !list) return;
  const int row = ProcessStoreRow(ListView_GetNextItem(list, -1, LVNI_SELECTED));
  const ProcessRows& rows = ProcessListRows();
  SummaryTexts texts;
  std::string path;
  if (const ProcessRowFacts* facts = row >= 0 ? rows.Facts(row) : nullptr) {
    path = facts->path;
    texts = SelectedProcessSummary(rows.CellText(row, kNameColumn), rows.CellText(row, kTitleColumn),
                                   path.empty() ? std::string() : FileVersionText(path, kCompanyNameBit, false),
                                   rows.CellText(row, kCpuColumn), ProcessWorkingSet(facts->pid));
  } else {
    texts = MachineSummary(rows.RowCount(), UserName(), GetTickCount64(), PrimaryDesktop());
  }
  const bool newSubject = texts.title != ShownText(142) || texts.line2 != ShownText(143) || !summary.icon;
  SetText(142, texts.title);
  SetText(143, texts.line2);
  SetText(144, texts.line3);
  SetText(145, texts.line4);
  if (!newSubject) return;
  if (row >= 0) {
    ShowIcon(ExecutableIcon(path, LargeIconSize()));
  } else {
    ShowIcon(win::UniqueIcon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "APPICON", IMAGE_ICON,
                                                           LargeIconSize(), LargeIconSize(), LR_DEFAULTCOLOR))));
  }
}

void DestroyProcessSummary() {
  summary.picture.Forget();
  summary.icon.reset();
  summary.box = nullptr;
}

}  // namespace velkor
