// velkor.ini as the real velkor.exe reads it at start and writes it when its
// window is closed: damaged files, stored column widths, and files beside it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "gfx/dpi_scale.h"
#include "program_support.h"
#include "settings/settings_file.h"
#include "support/wine_support.h"
#include "win/system_functions.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

constexpr auto kReactionBound = 10s;
constexpr int kProcessListId = 139;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

// The file a save of the start-up state writes, with `edit` applied.
template <typename Edit>
std::string DefaultsFile(Edit edit) {
  SetPreferenceDefaults();
  SetDefaultColumnWidths();
  SettingsSnapshot settings = CurrentSettings(WindowGeometry{}, {});
  edit(settings);
  return FormatSettingsFile(settings);
}

class SettingsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
  }

  std::string File(const std::string& name) const { return run_.folder().File(name); }
  void Start() {
    ASSERT_TRUE(run_.Start());
    ASSERT_TRUE(test::WaitUntil([&] { return (list_ = test::Descendant(run_.main(), kProcessListId)) != nullptr; },
                                kReactionBound));
  }
  int ColumnWidth(int column) const { return static_cast<int>(Send(list_, LVM_GETCOLUMNWIDTH, column)); }
  // The close button, as the user ends the program; the settings are then written.
  SettingsSnapshot CloseAndReadBack() {
    EXPECT_TRUE(PostMessageA(run_.main(), WM_CLOSE, 0, 0));
    EXPECT_EQ(run_.process().WaitForExit(kReactionBound), 0u);
    std::string saved;
    EXPECT_TRUE(test::ReadFileBytes(File("velkor.ini"), saved));
    return ReadSettingsSnapshot(SettingsFile(saved), true);
  }

  test::ProgramRun run_;
  HWND list_ = nullptr;
};

// Bytes without a group of the settings file start the program with its
// defaults; at the end they are kept beside the new file under the first
// free name, and the user's files beside it stay as they were.
TEST_F(SettingsProgram, AFileOfRandomBytesStartsWithTheDefaultsAndIsKeptBesideTheNewOne) {
  std::string damaged(3000, '\0');
  std::mt19937 random(30);
  for (char& c : damaged) c = static_cast<char>(random() % 90);  // no "[" (91) among them
  const std::vector<std::pair<std::string, std::string>> files = {
      {"velkor.ini.bak", "eine eigene Sicherung"}, {"~velkor.ini", "eine eigene Datei"}, {"velkor.ini", damaged}};
  for (const auto& [name, bytes] : files) ASSERT_TRUE(test::WriteFileBytes(File(name), bytes));
  Start();
  EXPECT_GT(ColumnWidth(1), 0);  // "Fenstertitel" is shown, as by default
  const SettingsSnapshot saved = CloseAndReadBack();
  const std::string defaults = DefaultsFile([&](SettingsSnapshot& s) { s.window = saved.window; });
  EXPECT_EQ(saved, ReadSettingsSnapshot(SettingsFile(defaults), true));
  for (const auto& [name, bytes] : files) {
    std::string now;
    ASSERT_TRUE(test::ReadFileBytes(File(name == "velkor.ini" ? "velkor.ini.bak2" : name), now));
    EXPECT_EQ(now, bytes) << name;
  }
  EXPECT_EQ(test::FilesIn(run_.folder().path()),
            (std::vector<std::string>{"velkor.ini", "velkor.ini.bak", "velkor.ini.bak2", "~velkor.ini"}));
}

// A stored width below 0 gives the column its start-up width. Drags with the
// mouse on the real header, at its left edge, on the last divider and just
// right of it, never open the hidden columns 14 to 17, nor one hidden in the
// settings; the end stores the start-up and the remembered widths.
TEST_F(SettingsProgram, NegativeWidthsAndDragsOnTheHeaderLeaveNoColumnWithoutWidthOrHiddenOneOpen) {
  ASSERT_TRUE(test::WriteFileBytes(File("velkor.ini"), DefaultsFile([](SettingsSnapshot& s) {
                                     s.widths[1] = -40;
                                     s.shown[12] = 0;  // "Pfad" hidden
                                   })));
  Start();
  EXPECT_EQ(ColumnWidth(1), ScaleToDpi(150, win::WindowDpi(run_.main())));
  HWND header = reinterpret_cast<HWND>(Send(list_, LVM_GETHEADER));
  RECT client{};
  ASSERT_TRUE(GetClientRect(header, &client));
  const auto drag = [&](int from) {
    // Sent, not posted: each is handled before the next, and all before the widths are read.
    const int y = client.bottom / 2;
    Send(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from, y));
    for (int x = from; x <= from + 200; x += 20) Send(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    Send(header, WM_LBUTTONUP, 0, MAKELPARAM(from + 200, y));
  };
  const int first = ColumnWidth(0);
  drag(first - 2);
  EXPECT_GT(ColumnWidth(0), first);  // the drags do reach the header
  const int starts[] = {0, 1, 3, 6, -2, -1, 0, 2, 5};
  for (size_t k = 0; k < std::size(starts); ++k) {
    // From the fifth on beside the right end of the last column shown, which a widened column moves.
    int from = starts[k];
    for (int column = 0; k >= 4 && column < 18; ++column) from += ColumnWidth(column);
    drag(from);
    for (int column : {13, 14, 15, 16, 17}) EXPECT_EQ(ColumnWidth(column), 0) << column << " from " << from;
  }
  const SettingsSnapshot saved = CloseAndReadBack();
  EXPECT_EQ(saved.widths[1], 150);
  EXPECT_EQ(saved.widths[13], 200);
}

}  // namespace
}  // namespace velkor
