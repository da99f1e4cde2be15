// The "Fenster" view of the real program: after the start it lists the
// program's own main window, read from the list across the process border;
// "Zerstören" on that row ends the program as its close button does.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <string>

#include "program_support.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

// One cell of a list view in another process, through memory of that process.
std::string RemoteCell(HANDLE process, HWND list, int row, int column) {
  constexpr SIZE_T kText = 512;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kText, MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return "?";
  LVITEMA item{};
  item.iSubItem = column;
  item.cchTextMax = kText;
  item.pszText = static_cast<char*>(remote) + sizeof(LVITEMA);
  char text[kText] = {};
  if (WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
      SendMessageTimeoutA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                          SMTO_ABORTIFHUNG, 5000, nullptr))
    ReadProcessMemory(process, item.pszText, text, kText - 1, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return text;
}

// The row of `window` in the window list of `velkor`, -1 when none shows in 10 s.
int RowOfWindow(test::OwnedProcess& velkor, HWND list, HWND window) {
  const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(window));
  int found = -1;
  test::WaitUntil(
      [&] {
        const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < rows && found < 0; ++row)
          if (RemoteCell(velkor.handle(), list, row, 1) == handle) found = row;
        return found >= 0;
      },
      10s);
  return found;
}

// Shows the "Fenster" view of the program's main window; its list, or null.
HWND ShowWindowView(HWND window) {
  PostMessageA(window, WM_COMMAND, 14, 0);  // "Ansicht" > "Fenster"
  HWND list = GetDlgItem(GetDlgItem(window, 146), 147);
  if (list && !test::WaitUntil([&] { return IsWindowVisible(list) != FALSE; }, 10s)) return nullptr;
  return list;
}

// velkor.exe started with its "Fenster" view shown and the row of its own
// main window found.
class WindowView : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
    ASSERT_TRUE(test::ProcessIdsNamed("dornat.exe").empty()) << "a dornat.exe is already running";
    ASSERT_TRUE(run_.Start());
    window_ = run_.main();
    list_ = ShowWindowView(window_);
    ASSERT_NE(list_, nullptr);
    row_ = RowOfWindow(run_.process(), list_, window_);
    ASSERT_GE(row_, 0);
  }

  test::ProgramRun run_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  int row_ = -1;
};

TEST_F(WindowView, ListsTheProgramsOwnMainWindow) {
  test::OwnedProcess& velkor = run_.process();
  EXPECT_EQ(RemoteCell(velkor.handle(), list_, row_, 0), "Velkor");
  EXPECT_EQ(RemoteCell(velkor.handle(), list_, row_, 2), "velkor.exe");
  EXPECT_EQ(RemoteCell(velkor.handle(), list_, row_, 3), std::to_string(velkor.pid()));
  velkor.End();
}

// Destroyed, the main window would leave velkor.exe running without one,
// holding its single instance.
TEST_F(WindowView, DestroyingTheOwnMainWindowEndsTheProgram) {
  test::OwnedProcess& velkor = run_.process();
  HWND window = window_;
  HWND list = list_;
  const int row = row_;
  // The row selected as a click selects it, through memory of the program.
  void* remote = VirtualAllocEx(velkor.handle(), nullptr, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ASSERT_TRUE(WriteProcessMemory(velkor.handle(), remote, &item, sizeof item, nullptr));
  SendMessageTimeoutA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  VirtualFreeEx(velkor.handle(), remote, 0, MEM_RELEASE);

  PostMessageA(window, WM_COMMAND, 124, 0);  // "Zerstören"
  EXPECT_EQ(velkor.WaitForExit(10s), 0u);
  EXPECT_TRUE(test::FileExists(run_.folder().File("velkor.ini")));  // the one shutdown routine ran
}

}  // namespace
}  // namespace velkor
