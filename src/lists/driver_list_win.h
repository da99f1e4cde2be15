// The "Treiber" view: fills the driver list from the process library's
// driver snapshot and carries out the commands of its context menu. The
// list handle comes from the caller.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace velkor {

// One loaded driver as the system names it.
struct DriverNames {
  std::string baseName;
  std::string fileName;  // as reported, before normalisation
};
// Where the list's drivers come from: the process library's snapshot, or,
// for tests (Wine loads no drivers), names handed in; an empty source
// restores the process library.
using DriverSource = std::function<std::vector<DriverNames>()>;
void SetDriverSource(DriverSource source);

// Clears and refills `list` ("Treibername", "Pfad") from a fresh snapshot,
// keeping its sort, selected index and scroll position. Drivers without a
// base name are left out.
void RefreshDriverList(HWND list);
// A click on a header of the driver list: sorts by that column as text.
void SortDriverList(HWND list, int column);

// Command 24 in the "Treiber" view: searches the web for the file part of
// the selected row's "Pfad" with the configured search address.
void SearchDriverOnline(HWND list);
// Command 132: opens the folder of the selected row's "Pfad"; a path
// without a folder part gets the "Hinweis" message, owned by the list's
// top-level window.
void OpenDriverFolder(HWND list);

}  // namespace velkor
