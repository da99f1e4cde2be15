// The "Netzwerk" view on Windows: reads the system's interface table, fills
// the interface list, the load label and the details panel, and shows the
// load graph. The main program hands over the view's controls once they
// exist and calls the procedures below; nothing here knows the main window.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "lists/network_adapters.h"

namespace velkor {

struct NetworkControls {
  HWND list = nullptr;                             // the interface list
  HWND graph = nullptr;                            // the image control of the load graph
  HWND load = nullptr;                             // the figure beside "Netzwerk-Auslastung:"
  HWND heading = nullptr;                          // the details panel's heading
  std::array<HWND, kAdapterDetailCount> values{};  // the fourteen values of the details panel
  HWND picture = nullptr;                          // the adapter picture beside the heading
};

// Takes the view's controls; the graph starts `graphWidth` pixels wide.
void AttachNetworkView(const NetworkControls& controls, int graphWidth);
// After a move to a monitor of `dpi`: the rows' icon and the adapter
// picture taken again at that scale (the graph follows its resize).
void NetworkViewDpiChanged(int dpi);
// Forgets the controls and frees the view's pictures, icons and library.
void DestroyNetworkView();

// Reads the interface table into AdapterInfo; the number of interfaces, or 0
// when the table could not be read (AdapterInfo then keeps its rows).
int ReadNetworkAdapters();
// The interface table of the last successful read.
const AdapterTable& AdapterInfo();
// Rebuilds the list with rates since the last refresh; keeps the selection
// by index and the scroll position; ends with ShowAdapterDetails.
void RefreshNetworkList();
// Fills the details panel from the selected row.
void ShowAdapterDetails();
// One step of the load graph, shown at once.
void DrawNetworkGraphStep();
// The graph at a new width, its history kept at the right edge.
void ResizeNetworkGraph(int width);
// The rows' text colours (custom drawing of the interface list): the answer
// when the notification was the list's.
std::optional<LRESULT> NetworkListNotify(const NMHDR* header);

}  // namespace velkor
