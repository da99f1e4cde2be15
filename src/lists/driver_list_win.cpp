#include "lists/driver_list_win.h"

#include <commctrl.h>

#include <optional>

#include "gfx/image_names.h"
#include "lists/driver_list.h"
#include "lists/service_list_win.h"
#include "procs/path_text.h"
#include "procs/process_commands.h"
#include "procs/process_commands_win.h"
#include "procs/process_library.h"
#include "settings/preferences.h"
#include "win/list_view.h"
#include "win/message_box.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/windows_folder.h"
#include "win/source_location.h"

namespace velkor {
namespace {

constexpr int kPathColumn = 1;

DriverSource driverSource;

std::vector<DriverNames> LoadedDrivers() {
  std::vector<DriverNames> drivers;
  ExamineDrivers();
  while (NextDriver()) drivers.push_back({DriverBaseName(), DriverFileName()});
  return drivers;
}

std::optional<std::string> SelectedPath(HWND list) {
  const int row = list ? win::SelectedListRow(list) : -1;
  if (row < 0) return std::nullopt;
  return win::ListViewCellText(list, row, kPathColumn);
}

}  // namespace

void SetDriverSource(DriverSource source) { driverSource = std::move(source); }

void RefreshDriverList(HWND list) {
  VELKOR_PLACE(kProceduresUnit);
  if (!list) return;
  GiveListIcon(list, images::kListDriver);
  const std::vector<DriverNames> drivers = driverSource ? driverSource() : LoadedDrivers();
  win::ListRefill refill(list);
  for (const DriverNames& driver : drivers)
    if (!driver.baseName.empty())
      refill.AddRow({driver.baseName, NormaliseDriverPath(driver.fileName, win::WindowsFolder())}, 0);
}

void SortDriverList(HWND list, int column) {
  VELKOR_PLACE(kProceduresUnit);
  SortClickedList(list, column);
}

void SearchDriverOnline(HWND list) {
  VELKOR_PLACE(kProceduresUnit);
  const std::optional<std::string> path = SelectedPath(list);
  if (!path) return;
  if (std::optional<std::string> address = SearchAddress(Preferences.PreferencesSearchString, FileNameOf(*path)))
    OpenWithShell(*address);
}

void OpenDriverFolder(HWND list) {
  VELKOR_PLACE(kProceduresUnit);
  const std::optional<std::string> path = SelectedPath(list);
  if (!path) return;
  if (std::optional<std::string> folder = FolderToOpen(*path))
    OpenWithShell(*folder);
  else
    win::ShowMessageBox(GetAncestor(list, GA_ROOT), DriverFolderFailedMessage(*path), "Hinweis",
                        MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace velkor
