#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "settings/settings_file_win.h"
#include "support/wine_support.h"
#include "win/unique_handle.h"

namespace velkor {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

// Runs a test inside a fresh folder as the working directory, with the
// program's state at its start values and no window hooks.
class SettingsFileWin : public ::testing::Test {
 protected:
  void SetUp() override {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    previous_ = previous;
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.path().c_str()));
    SetPreferenceDefaults();
    SetDefaultColumnWidths();
    SetPreferenceHooks({});
  }
  void TearDown() override {
    SetPreferenceHooks({});
    SetPreferenceDefaults();
    SetDefaultColumnWidths();
    SetCurrentDirectoryA(previous_.c_str());
  }

  std::string Ini() const { return folder_.File("velkor.ini"); }
  std::vector<std::string> FolderFiles() const { return test::FilesIn(folder_.path()); }

  test::TempFolder folder_;
  std::string previous_;
};

TEST_F(SettingsFileWin, SaveWritesTheFileAndLoadReadsItBack) {
  ASSERT_EQ(ReadWindowGeometry(), WindowGeometry{});  // no file yet: the save writes the defaults
  Preferences.PreferencesExitCodeSpin = 4;
  Preferences.PreferencesSticky = 0;
  Preferences.PreferencesSearchString = "http://example.org/?q=[SEARCH]";
  PreferencesAutostart = 1;
  ColumnShown[2] = 0;
  ColumnWidths[5] = 77;
  ASSERT_TRUE(WritePreferences());

  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Ini(), bytes));
  EXPECT_EQ(bytes, FormatSettingsFile(CurrentSettings(WindowGeometry{}, {})));
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 50);
  EXPECT_EQ(FolderFiles(), std::vector<std::string>{"velkor.ini"});

  SetPreferenceDefaults();
  SetDefaultColumnWidths();
  LoadPreferences(true);
  EXPECT_EQ(Preferences.PreferencesExitCodeSpin, 4);
  EXPECT_EQ(Preferences.PreferencesSticky, 0);
  EXPECT_EQ(Preferences.PreferencesSearchString, "http://example.org/?q=[SEARCH]");
  EXPECT_EQ(PreferencesAutostart, 1);
  EXPECT_EQ(ColumnShown[2], 0);
  EXPECT_EQ(ColumnWidths[5], 77);
  EXPECT_EQ(ReadWindowGeometry(), WindowGeometry{});

  // A second save over the existing file leaves again exactly one file.
  Preferences.PreferencesExitCodeSpin = 5;
  ASSERT_TRUE(WritePreferences());
  ASSERT_TRUE(ReadFileBytes(Ini(), bytes));
  EXPECT_NE(bytes.find("PreferencesExitCodeSpin = 5\r\n"), std::string::npos);
  EXPECT_EQ(FolderFiles(), std::vector<std::string>{"velkor.ini"});
}

TEST_F(SettingsFileWin, MissingFileKeepsDefaultsAndHooksStillRun) {
  static int topmostCalls, fillCalls, widthCalls;
  topmostCalls = fillCalls = widthCalls = 0;
  PreferenceHooks hooks;
  hooks.setTopmost = [](bool topmost) { topmostCalls += topmost ? 1 : 100; };
  hooks.fillPreferenceControls = [] { ++fillCalls; };
  hooks.setColumnWidth = [](int, int) { ++widthCalls; };
  SetPreferenceHooks(hooks);
  PreferencesAutostart = 1;
  LoadPreferences(true);
  EXPECT_EQ(Preferences, PreferencesRecord{});
  EXPECT_EQ(PreferencesAutostart, 0);
  EXPECT_EQ(ColumnWidths, kDefaultColumnWidths);
  EXPECT_EQ(topmostCalls, 1);
  EXPECT_EQ(fillCalls, 1);
  EXPECT_EQ(widthCalls, 0);  // no file, no widths to apply
  EXPECT_EQ(ReadWindowGeometry(), WindowGeometry{});
}

TEST_F(SettingsFileWin, HooksCarryWidthsBothWays) {
  ASSERT_TRUE(
      WriteFileBytes(Ini(), "[General]\r\nPreferencesSticky = 1\r\n[ColumnWidth]\r\nPreferencesColumnWidth3 = 33\r\n"));
  static std::array<int, kProcessColumnCount> applied;
  applied.fill(-1);
  PreferenceHooks hooks;
  hooks.setColumnWidth = [](int column, int width) { applied[static_cast<size_t>(column)] = width; };
  SetPreferenceHooks(hooks);
  LoadPreferences(true);
  EXPECT_EQ(applied[3], 33);
  EXPECT_EQ(applied[0], kDefaultColumnWidths[0]);  // a width the file lacks keeps its default

  // Shown columns report their width; hidden ones (0) keep the remembered one.
  static_assert(kDefaultColumnWidths[1] == 150);
  hooks.columnWidth = [](int column) { return column == 0 ? 321 : 0; };
  SetPreferenceHooks(hooks);
  ASSERT_TRUE(WritePreferences());
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Ini(), bytes));
  EXPECT_NE(bytes.find("PreferencesColumnWidth0 = 321\r\nPreferencesColumnWidth1 = 150\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("PreferencesColumnWidth3 = 33\r\n"), std::string::npos);
}

TEST_F(SettingsFileWin, Utf8FileIsRewrittenAsAnsiWithoutMark) {
  ASSERT_TRUE(WriteFileBytes(Ini(),
                             "\xEF\xBB\xBF[general]\nPreferencesSearchString=http://b\xC3\xA4r/[SEARCH]\n"
                             "PreferencesReactivateExplorer=1\n[window]\nx=5\ny=6\nwidth=700\nheight=550\n"));
  LoadPreferences(false);
  EXPECT_EQ(Preferences.PreferencesSearchString, "http://b\xE4r/[SEARCH]");
  EXPECT_EQ(Preferences.PreferencesReactivateExplorer, 0);  // any current Windows is XP or later
  EXPECT_EQ(ReadWindowGeometry(), (WindowGeometry{5, 6, 700, 550}));
  ASSERT_TRUE(WritePreferences());  // no window: the geometry read last
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Ini(), bytes));
  EXPECT_EQ(bytes.substr(0, 11), "[General]\r\n");
  EXPECT_NE(bytes.find("PreferencesSearchString = http://b\xE4r/[SEARCH]\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("PreferencesReactivateExplorer = 0\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("X = 5\r\nY = 6\r\nWidth = 700\r\nHeight = 550\r\n"), std::string::npos);
}

TEST_F(SettingsFileWin, GarbageFileStartsWithSaneValues) {
  std::string garbage(256 * 1024, '\0');
  uint32_t state = 12345;
  for (char& c : garbage) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 24);
  }
  garbage += "\n[General]\nPreferencesRefresh1Spin = 123456789012345\n";
  ASSERT_TRUE(WriteFileBytes(Ini(), garbage));
  LoadPreferences(true);
  EXPECT_EQ(Preferences.PreferencesRefresh1Spin, 99999);
  EXPECT_TRUE(Preferences.PreferencesExitCodeSpin >= 0 && Preferences.PreferencesExitCodeSpin <= 14080);
  const WindowGeometry geometry = ReadWindowGeometry();
  EXPECT_TRUE(geometry.width >= 0 && geometry.height >= 0);
}

TEST_F(SettingsFileWin, FileHeldOpenForWritingReadsAsMissing) {
  ASSERT_TRUE(WriteFileBytes(Ini(), "[General]\r\nPreferencesRemain = 1\r\n"));
  win::UniqueFileHandle writer(
      CreateFileA(Ini().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writer);
  EXPECT_EQ(ReadSettingsBytes(Ini()), std::nullopt);
  writer.reset();
  EXPECT_EQ(ReadSettingsBytes(Ini()), "[General]\r\nPreferencesRemain = 1\r\n");
  EXPECT_EQ(ReadSettingsBytes(folder_.File("absent.ini")), std::nullopt);
}

TEST_F(SettingsFileWin, FailedReplaceLeavesTheOldFileAlone) {
  const std::string old = "[General]\r\nPreferencesRemain = 1\r\n";
  ASSERT_TRUE(WriteFileBytes(Ini(), old));
  std::string bytes;

  // Another program holds it open without allowing it to be deleted.
  {
    win::UniqueFileHandle holder(
        CreateFileA(Ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(ReplaceSettingsFile(Ini(), "new content\r\n"));
  }
  ASSERT_TRUE(ReadFileBytes(Ini(), bytes));
  EXPECT_EQ(bytes, old);
  EXPECT_EQ(FolderFiles(), std::vector<std::string>{"velkor.ini"});

  // A folder that does not exist: nothing is written anywhere.
  EXPECT_FALSE(ReplaceSettingsFile(folder_.File("absent\\velkor.ini"), "x"));
  EXPECT_EQ(FolderFiles(), std::vector<std::string>{"velkor.ini"});

  // A file marked read-only is the user's frozen settings: never replaced.
  ASSERT_TRUE(SetFileAttributesA(Ini().c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(ReplaceSettingsFile(Ini(), "new content\r\n"));
  EXPECT_FALSE(WritePreferences());
  EXPECT_TRUE(GetFileAttributesA(Ini().c_str()) & FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(Ini().c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(ReadFileBytes(Ini(), bytes));
  EXPECT_EQ(bytes, old);
  EXPECT_EQ(FolderFiles(), std::vector<std::string>{"velkor.ini"});
}

// A program killed while it saves leaves the old or the new file, whole:
// the helper replaces the file without pause and is killed at varied moments.
// The new file, marked for deletion until it is complete, goes with the
// program; only a kill in the instant of the replacement itself can leave it.
TEST_F(SettingsFileWin, KillDuringASaveLeavesTheOldOrTheNewWholeFile) {
  const auto whole = [](const std::string& bytes) {
    return (bytes.size() == 200000 && bytes.find_first_not_of('a') == std::string::npos) ||
           (bytes.size() == 250000 && bytes.find_first_not_of('b') == std::string::npos);
  };
  int leftovers = 0;
  for (int kill = 0; kill < 12; ++kill) {
    test::OwnedProcess saver = test::Start(test::ProgramFolder() + "\\velkor_helper.exe", "save " + Ini());
    ASSERT_TRUE(saver.valid());
    ASSERT_TRUE(test::WaitUntil([&] { return test::FileExists(Ini()); }, std::chrono::seconds(20)));
    Sleep(static_cast<DWORD>(kill * 7 % 40));  // the moment of the kill, not a wait for a condition
    saver.End();
    std::string bytes;
    bool target = ReadFileBytes(Ini(), bytes);
    if (target) {
      ASSERT_TRUE(whole(bytes)) << bytes.size() << " bytes after kill " << kill;
    }
    for (const std::string& name : FolderFiles()) {
      if (name == "velkor.ini") continue;
      ++leftovers;
      std::string kept;
      ASSERT_TRUE(ReadFileBytes(folder_.File(name), kept));
      // Wine's ReplaceFile moves the old file away before the new one takes
      // its name: killed in between, the new one stays whole under its own.
      if (name.rfind("~velkor.ini.", 0) == 0 && whole(kept) && !target) {
        ASSERT_TRUE(MoveFileA(folder_.File(name).c_str(), Ini().c_str()));
        target = true;
        continue;
      }
      ASSERT_TRUE(name.rfind("~velkor.ini.", 0) == 0 || name.rfind("rf", 0) == 0) << name;
      ASSERT_TRUE(DeleteFileA(folder_.File(name).c_str()));
    }
    ASSERT_TRUE(target) << "no whole file after kill " << kill;
  }
  // A kill while the new content is written leaves nothing (the file is
  // deleted with its last handle); only one in the short step of the replace
  // leaves a file, so some kills, but never all, may. How many depends on
  // the machine's load.
  EXPECT_LT(leftovers, 12);
}

TEST_F(SettingsFileWin, WindowGeometrySurvivesSaveAndLoad) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "VelkorSettingsTest";
  RegisterClassA(&windowClass);
  // Placed as the main window is: outer size from the stored size as for a
  // window without menu bar, then the menu bar takes its share of the client.
  RECT outer{0, 0, 400, 300};
  AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
  win::UniqueMenu menu(CreateMenu());
  AppendMenuA(menu.get(), MF_STRING, 1, "Datei");
  HWND window = CreateWindowExA(0, "VelkorSettingsTest", "Test", WS_OVERLAPPEDWINDOW, 50, 60, outer.right - outer.left,
                                outer.bottom - outer.top, nullptr, menu.release(), GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(MeasureWindowGeometry(window), (WindowGeometry{50, 60, 400, 300}));
  // Minimised, the window is saved where it will be restored to.
  ShowWindow(window, SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(IsIconic(window));
  EXPECT_EQ(MeasureWindowGeometry(window), (WindowGeometry{50, 60, 400, 300}));

  PreferenceHooks hooks;
  hooks.mainWindow = [window] { return window; };
  SetPreferenceHooks(hooks);
  ASSERT_TRUE(WritePreferences());
  DestroyWindow(window);
  EXPECT_EQ(ReadWindowGeometry(), (WindowGeometry{50, 60, 400, 300}));
}

}  // namespace
}  // namespace velkor
