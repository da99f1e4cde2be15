// The "Netzwerk" view in the real windows: the machine's interfaces, traffic
// made on the loopback interface, the details panel and the load graph.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/program_windows.h"
#include "lists/network_adapters_win.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/list_view.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

constexpr int kList = 161;

std::string TextOf(int id) {
  char text[256] = {};
  GetWindowTextA(ControlHandle(id), text, sizeof text);
  return text;
}

std::string Cell(int row, int column) { return win::ListViewCellText(ControlHandle(kList), row, column); }
int Rows() { return ListView_GetItemCount(ControlHandle(kList)); }

// The pixels of the graph's image control, read from its DIB section.
std::vector<uint32_t> GraphPixels(int& width) {
  auto* bitmap = reinterpret_cast<HBITMAP>(SendMessageA(ControlHandle(157), STM_GETIMAGE, IMAGE_BITMAP, 0));
  DIBSECTION section{};
  if (!bitmap || GetObjectA(bitmap, sizeof section, &section) != sizeof section) return {};
  width = section.dsBm.bmWidth;
  const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
  std::vector<uint32_t> pixels(bits, bits + static_cast<size_t>(width) * std::abs(section.dsBm.bmHeight));
  for (uint32_t& p : pixels) p &= 0xFFFFFFu;
  return pixels;
}

int ClientWidth() {
  RECT r{};
  GetClientRect(MainWindow, &r);
  return r.right;
}

// The periodic list refresh of the "Netzwerk" view, as the loop runs it.
void PeriodicRefresh() {
  ResetStampsForFirstPass();
  MonitorTick();
}

// Moves `bytes` bytes over a TCP connection to ourselves on 127.0.0.1.
bool MoveOverLoopback(int bytes) {
  WSADATA data{};
  if (WSAStartup(MAKEWORD(1, 1), &data) != 0) return false;
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP), client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  SOCKET server = INVALID_SOCKET;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  auto* name = reinterpret_cast<sockaddr*>(&address);
  bool moved = bind(listener, name, length) == 0 && listen(listener, 1) == 0 &&
               getsockname(listener, name, &length) == 0 && connect(client, name, length) == 0 &&
               (server = accept(listener, nullptr, nullptr)) != INVALID_SOCKET;
  std::vector<char> buffer(4096, 'x');
  for (int done = 0; moved && done < bytes; done += static_cast<int>(buffer.size())) {
    moved = send(client, buffer.data(), static_cast<int>(buffer.size()), 0) > 0;
    for (int got = 0, n = 0; moved && got < static_cast<int>(buffer.size()); got += n)
      moved = (n = recv(server, buffer.data(), static_cast<int>(buffer.size()) - got, 0)) > 0;
  }
  for (SOCKET s : {server, client, listener})
    if (s != INVALID_SOCKET) closesocket(s);
  WSACleanup();
  return moved;
}

class NetworkViewWindows : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    ShowView(4, false);
  }
  int LoopbackRow() {
    for (int row = 0; row < Rows(); ++row)
      if (Cell(row, 1) == "Loopback") return row;
    return -1;
  }
};

TEST_F(NetworkViewWindows, ListsTheMachinesInterfacesWithTheirTypeNames) {
  // Filled once at start, before the view was ever shown.
  const AdapterTable& table = AdapterInfo();
  ASSERT_GT(Rows(), 0);
  ASSERT_EQ(static_cast<size_t>(Rows()), table.size());
  for (int row = 0; row < Rows(); ++row) {
    const AdapterRow& fields = table[static_cast<size_t>(row)];
    EXPECT_EQ(Cell(row, 0), fields[0]);
    EXPECT_EQ(Cell(row, 1), InterfaceTypeName(static_cast<uint32_t>(std::stoul(fields[2]))));
    EXPECT_EQ(Cell(row, 2), "") << "no rates at the first refresh";
    EXPECT_EQ(Cell(row, 4).substr(Cell(row, 4).size() - 3), "/s ");
  }
  EXPECT_GE(LoopbackRow(), 0);
  EXPECT_EQ(TextOf(160), "0%");
  EXPECT_EQ(TextOf(163), "Netzwerkadapter w\xE4hlen...");
  EXPECT_EQ(TextOf(165), "");
}

TEST_F(NetworkViewWindows, LoopbackTrafficShowsAsRatesAndInTheDetails) {
  const int loopback = LoopbackRow();
  ASSERT_GE(loopback, 0);
  ListView_SetItemState(ControlHandle(kList), loopback, LVIS_SELECTED, LVIS_SELECTED);
  ShowAdapterDetails();
  EXPECT_EQ(TextOf(163), Cell(loopback, 0) + ":");
  const std::string before = TextOf(171);

  PeriodicRefresh();
  const ULONGLONG first = GetTickCount64();
  ASSERT_TRUE(MoveOverLoopback(256 * 1024));
  // Some time must pass for a rate.
  ASSERT_TRUE(test::WaitUntil([&] { return GetTickCount64() > first + 20; }, 2s));
  PeriodicRefresh();
  EXPECT_NE(Cell(loopback, 2), "");
  EXPECT_NE(Cell(loopback, 3), "");
  EXPECT_EQ(Cell(loopback, 2).substr(Cell(loopback, 2).size() - 2), "/s");
  // The selection survived both refreshes and the details follow.
  EXPECT_EQ(ListView_GetNextItem(ControlHandle(kList), -1, LVNI_SELECTED), loopback);
  EXPECT_EQ(TextOf(163), Cell(loopback, 0) + ":");
  EXPECT_NE(TextOf(171), before);
  EXPECT_EQ(TextOf(167).substr(TextOf(167).size() - 5), " Byte");
}

TEST_F(NetworkViewWindows, RefreshUpdatesRowsInPlaceAndConvergesAfterOutsideChanges) {
  HWND list = ControlHandle(kList);
  ASSERT_GT(Rows(), 0);
  const int rows = Rows();
  auto dataOf = [&](int row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return ListView_GetItem(list, &item) ? item.lParam : LPARAM{-1};
  };
  LVITEMA mark{};
  mark.mask = LVIF_PARAM;
  mark.lParam = 77;
  ListView_SetItem(list, &mark);
  PeriodicRefresh();
  EXPECT_EQ(dataOf(0), 77) << "the row was kept, not made again";

  auto matchesTable = [&] {
    const AdapterTable& table = AdapterInfo();
    if (static_cast<size_t>(Rows()) != table.size()) return false;
    for (int row = 0; row < Rows(); ++row)
      if (Cell(row, 0) != table[static_cast<size_t>(row)][0]) return false;
    return true;
  };
  // A row lost or a stray row added from outside: one refresh puts the list right.
  ListView_DeleteItem(list, rows - 1);
  PeriodicRefresh();
  EXPECT_TRUE(matchesTable());
  LVITEMA stray{};
  stray.mask = LVIF_TEXT;
  stray.iItem = rows;
  stray.pszText = const_cast<char*>("fremd");
  ListView_InsertItem(list, &stray);
  PeriodicRefresh();
  EXPECT_TRUE(matchesTable());
  EXPECT_EQ(Rows(), rows);
}

TEST_F(NetworkViewWindows, TheGraphScrollsAndFollowsTheWindowWidth) {
  int width = 0;
  const std::vector<uint32_t> start = GraphPixels(width);
  ASSERT_FALSE(start.empty());
  EXPECT_EQ(width, ClientWidth() - 30);
  PeriodicRefresh();  // a graph step too, in this view
  int after = 0;
  const std::vector<uint32_t> stepped = GraphPixels(after);
  ASSERT_EQ(after, width);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x + 1 < width; ++x)
      ASSERT_EQ(stepped[static_cast<size_t>(y * width + x)], start[static_cast<size_t>(y * width + x + 1)]) << x;

  RECT outer{};
  GetWindowRect(MainWindow, &outer);
  SetWindowPos(MainWindow, nullptr, 0, 0, outer.right - outer.left + 40, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  DispatchEvent({kEventSize, 0, 0, kMainWindow});
  int widened = 0;
  const std::vector<uint32_t> wide = GraphPixels(widened);
  EXPECT_EQ(widened, ClientWidth() - 35);
  EXPECT_GT(widened, width);
  for (int y = 0; y < 100; ++y)
    ASSERT_EQ(wide[static_cast<size_t>(y * widened + widened - 1)],
              stepped[static_cast<size_t>(y * width + width - 1)]);
}

TEST_F(NetworkViewWindows, RefreshesAndStepsLeaveNoHandlesBehind) {
  for (int i = 0; i < 20; ++i) {
    RefreshNetworkList();
    DrawNetworkGraphStep();
  }
  const uint32_t gdi = test::OwnGdiObjectCount();
  const uint32_t handles = test::OwnHandleCount();
  for (int i = 0; i < 300; ++i) {
    RefreshNetworkList();
    DrawNetworkGraphStep();
  }
  EXPECT_LE(test::OwnGdiObjectCount(), gdi);
  EXPECT_LE(test::OwnHandleCount(), handles);
}

}  // namespace
}  // namespace velkor
