// The preferences window of velkor.exe built in the test process and driven
// through its controls and the program's own command table; the autostart
// shortcut read back through the shell's link object.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "app/event_loop.h"
#include "app/program_windows.h"
#include "monitor/history_strip.h"
#include "procs/format.h"
#include "procs/process_list_win.h"
#include "settings/autostart_win.h"
#include "settings/preferences.h"
#include "settings/settings_file_win.h"
#include "settings/preferences_window_win.h"
#include "support/built_windows.h"
#include "support/shell_link.h"
#include "support/wine_support.h"
#include "win/unique_handle.h"
#include "win/wide_text.h"

namespace velkor {
namespace {

class PreferencesWindowTest : public test::BuiltWindows {
 protected:
  void TearDown() override {
    DeleteFileA(AutostartLinkPath().c_str());
    test::BuiltWindows::TearDown();
  }

  // Handles what is pending and runs the commands it queued, as the loop does.
  static void Run() {
    for (int round = 0; round < 4; ++round) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      LoopEvent event;
      while (TakeLoopEvent(event)) DispatchEvent(event);
    }
  }
  static void Command(int id) {
    QueueLoopEvent({kEventMenu, id, 0, kMainWindow});
    Run();
  }
  static void Click(int id) {
    SendMessageA(ControlHandle(id), BM_CLICK, 0, 0);
    Run();
  }
  static bool Checked(int id) { return SendMessageA(ControlHandle(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  static std::string Text(int id) {
    char text[512] = {};
    GetWindowTextA(ControlHandle(id), text, sizeof text);
    return text;
  }
  static void Type(int id, const char* text) {
    SetWindowTextA(ControlHandle(id), text);
    Run();
  }
  std::string Saved() const {
    std::string content;
    test::ReadFileBytes(folder_.File("velkor.ini"), content);
    return content;
  }
  static bool IsOpen() {
    return IsWindowVisible(WindowHandle(kPreferencesWindow)) && !IsWindowEnabled(MainWindow) &&
           !IsWindowEnabled(WindowHandle(kDiagramWindow));
  }
  static bool IsClosed() {
    return !IsWindowVisible(WindowHandle(kPreferencesWindow)) && IsWindowEnabled(MainWindow) &&
           IsWindowEnabled(WindowHandle(kDiagramWindow));
  }
};

TEST_F(PreferencesWindowTest, OpensModalWithTheSavedValuesAndCouplesTheFirstTwoBoxes) {
  BuildHere(
      "[General]\r\nPreferencesRemain = 0\r\nPreferencesExitCodeSpin = 77\r\nPreferencesRefresh1Spin = 1200\r\n"
      "PreferencesSearchString = http://x.test/?q=[SEARCH]\r\nPreferencesReactivateExplorer = 1\r\n"
      "[Column]\r\nPreferencesShow12 = 1\r\n");
  Command(20);
  ASSERT_TRUE(IsOpen());
  EXPECT_FALSE(Checked(kAutostartBoxId));
  EXPECT_FALSE(Checked(kRemainBoxId));
  EXPECT_EQ(Text(kExitCodeFieldId), "77");
  EXPECT_EQ(Text(kListRefreshFieldId), "1200");
  EXPECT_EQ(Text(kMonitorRefreshFieldId), "0");
  EXPECT_EQ(Text(kSearchStringFieldId), "http://x.test/?q=[SEARCH]");
  EXPECT_TRUE(Checked(290));
  EXPECT_FALSE(Checked(278));
  // The system is later than XP: the explorer restart is greyed and off.
  EXPECT_FALSE(IsWindowEnabled(ControlHandle(kReactivateExplorerBoxId)));
  EXPECT_FALSE(Checked(kReactivateExplorerBoxId));

  Click(kAutostartBoxId);
  EXPECT_TRUE(Checked(kAutostartBoxId));
  EXPECT_TRUE(Checked(kRemainBoxId));
  Click(kRemainBoxId);
  EXPECT_FALSE(Checked(kAutostartBoxId));
  EXPECT_FALSE(Checked(kRemainBoxId));
  Click(kRemainBoxId);
  EXPECT_FALSE(Checked(kAutostartBoxId));
  EXPECT_TRUE(Checked(kRemainBoxId));

  // The page selector: left of x = 170 the general page, else the columns.
  SelectPreferencesPage(200);
  EXPECT_TRUE(IsWindowVisible(ControlHandle(kPrefsColumnsPageId)));
  EXPECT_FALSE(IsWindowVisible(ControlHandle(kPrefsGeneralPageId)));
  SelectPreferencesPage(169);
  EXPECT_TRUE(IsWindowVisible(ControlHandle(kPrefsGeneralPageId)));
  EXPECT_FALSE(IsWindowVisible(ControlHandle(kPrefsColumnsPageId)));

  // The close button behaves as "Abbrechen".
  QueueLoopEvent({kEventClose, 0, 0, kPreferencesWindow});
  Run();
  EXPECT_TRUE(IsClosed());
}

TEST_F(PreferencesWindowTest, CancelKeepsTheFileReopenShowsItAndTheShutdownSavesTheEdits) {
  BuildHere();
  Command(20);
  Click(kOptimizeBoxId);  // on by default
  Type(kListRefreshFieldId, "");
  Type(kMonitorRefreshFieldId, "4x2");  // a paste: only the digits stay
  EXPECT_EQ(Text(kMonitorRefreshFieldId), "42");
  Click(kPrefsCancelButtonId);
  EXPECT_TRUE(IsClosed());
  EXPECT_EQ(Preferences.PreferencesOptimize, 1);
  EXPECT_EQ(Preferences.PreferencesRefresh1Spin, 2500);

  // Without a file the reopened window shows the settings in force.
  Command(20);
  EXPECT_TRUE(Checked(kOptimizeBoxId));
  EXPECT_EQ(Text(kListRefreshFieldId), "2500");
  EXPECT_EQ(Text(kMonitorRefreshFieldId), "750");

  // Edits cancelled without reopening are what the shutdown saves.
  Click(kOptimizeBoxId);
  Type(kListRefreshFieldId, "");
  Click(kPrefsCancelButtonId);
  SavePreferencesAtShutdown();
  EXPECT_EQ(Preferences.PreferencesOptimize, 0);
  EXPECT_EQ(Preferences.PreferencesRefresh1Spin, 0);
  const std::string saved = Saved();
  EXPECT_NE(saved.find("PreferencesOptimize = 0\r\n"), std::string::npos);
  EXPECT_NE(saved.find("PreferencesRefresh1Spin = 0\r\n"), std::string::npos);
  EXPECT_NE(saved.find("PreferencesRefresh2Spin = 750\r\n"), std::string::npos);

  // With a file, the reopened window shows the file again.
  Command(20);
  Click(kOptimizeBoxId);
  Click(kPrefsCancelButtonId);
  Command(20);
  EXPECT_FALSE(Checked(kOptimizeBoxId));
  EXPECT_EQ(Text(kListRefreshFieldId), "0");
}

TEST_F(PreferencesWindowTest, OkAppliesAndSavesAndTheStandardButtonsFillTheirFields) {
  BuildHere();
  Command(20);
  Type(kExitCodeFieldId, "99999");
  Click(kExitCodeDefaultButtonId);
  EXPECT_EQ(Text(kExitCodeFieldId), "1067");
  Type(kExitCodeFieldId, "14999");  // beyond the spin box's range
  // Choosing "Lycos" in the search-engine menu.
  PostMessageA(WindowHandle(kPreferencesWindow), WM_COMMAND, 297, 0);
  Run();
  EXPECT_EQ(Text(kSearchStringFieldId), "https://search.lycos.com/cgi-bin/pursuit?query=%22[SEARCH]%22&cat=web");
  Type(kListRefreshFieldId, "");
  Type(kMonitorRefreshFieldId, "");
  Click(kStickyBoxId);
  Click(kPrefsOkButtonId);
  EXPECT_TRUE(IsClosed());
  EXPECT_EQ(Preferences.PreferencesExitCodeSpin, 14080);
  EXPECT_EQ(Preferences.PreferencesRefresh1Spin, 0);
  EXPECT_EQ(Preferences.PreferencesRefresh2Spin, 0);
  EXPECT_EQ(Preferences.PreferencesSticky, 0);
  EXPECT_FALSE(GetWindowLongPtrA(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
  const std::string saved = Saved();
  EXPECT_NE(saved.find("PreferencesRefresh1Spin = 0\r\nPreferencesRefresh2Spin = 0\r\n"), std::string::npos);
  EXPECT_NE(saved.find("PreferencesSearchString = https://search.lycos.com/"), std::string::npos);
}

TEST_F(PreferencesWindowTest, HidingAColumnTakesItAwayAtOnceAndShowingItRestoresItsWidth) {
  BuildHere();
  HWND list = ControlHandle(kProcessList);
  ListView_SetColumnWidth(list, kWorkingSetColumn, 250);  // dragged while shown
  Command(20);
  Click(290);  // "Pfad"
  Click(kPrefsOkButtonId);
  EXPECT_EQ(ListView_GetColumnWidth(list, kPathColumn), 0);
  EXPECT_EQ(ColumnShown[12], 0);
  EXPECT_EQ(ListView_GetColumnWidth(list, kWorkingSetColumn), 250);
  EXPECT_NE(Saved().find("PreferencesShow12 = 0\r\n"), std::string::npos);
  EXPECT_NE(Saved().find("PreferencesColumnWidth13 = 200\r\n"), std::string::npos);

  // Dragged to nothing while shown, hidden and shown again: the earlier width.
  ListView_SetColumnWidth(list, kCpuColumn, 0);
  Command(20);
  Click(279);  // "CPU-Last" off
  Click(290);  // "Pfad" on
  Click(kPrefsOkButtonId);
  EXPECT_EQ(ListView_GetColumnWidth(list, kPathColumn), 200);
  EXPECT_EQ(ListView_GetColumnWidth(list, kCpuColumn), 0);
  Command(20);
  Click(279);
  Click(kPrefsOkButtonId);
  EXPECT_EQ(ListView_GetColumnWidth(list, kCpuColumn), 60);
}

// The rows' history strips: how many rows carry a picture that exists.
int RowsWithStrips() {
  ProcessRows& rows = ProcessListRows();
  int with = 0;
  for (int row = 0; row < rows.RowCount(); ++row)
    with += HistoryImage(static_cast<int>(LeadingWholeNumber(rows.CellText(row, kHistoryImageColumn)))).has_value();
  return with;
}

TEST_F(PreferencesWindowTest, OkSwitchesTheHistoryStripsOfTheListedRows) {
  BuildHere();
  const int rows = ProcessListRows().RowCount();
  ASSERT_GT(rows, 0);
  ASSERT_EQ(RowsWithStrips(), rows);

  // Off: every picture freed at once, every row's number "0".
  Command(20);
  Click(kCpuPerProcessBoxId);
  Click(kPrefsOkButtonId);
  EXPECT_EQ(Preferences.PreferencesCPUPerProcess, 0);
  EXPECT_EQ(HistoryImageCount(), 0);
  for (int row = 0; row < ProcessListRows().RowCount(); ++row)
    EXPECT_EQ(ProcessListRows().CellText(row, kHistoryImageColumn), "0") << row;
  EXPECT_NE(Saved().find("PreferencesCPUPerProcess = 0\r\n"), std::string::npos);

  // On again: the rows already listed get theirs, and only they.
  Command(20);
  Click(kCpuPerProcessBoxId);
  Click(kPrefsOkButtonId);
  EXPECT_EQ(RowsWithStrips(), ProcessListRows().RowCount());
  EXPECT_EQ(HistoryImageCount(), ProcessListRows().RowCount());
  // "Abbrechen" switches nothing.
  Command(20);
  Click(kCpuPerProcessBoxId);
  Click(kPrefsCancelButtonId);
  EXPECT_EQ(HistoryImageCount(), ProcessListRows().RowCount());
}

TEST_F(PreferencesWindowTest, AutostartWritesTheShortcutAtOkAndRemovesItWhenUnchecked) {
  BuildHere();
  const std::string link = AutostartLinkPath();
  ASSERT_GT(link.size(), std::string("\\Velkor.lnk").size()) << "no Startup folder";
  DeleteFileA(link.c_str());
  Command(20);
  Click(kAutostartBoxId);
  Click(kPrefsOkButtonId);
  ASSERT_TRUE(test::FileExists(link));
  test::LinkContent content;
  ASSERT_TRUE(test::ReadLink(link, content));
  const std::string folder = test::ProgramFolder();
  EXPECT_EQ(content.target, folder + "\\dornat.exe");
  EXPECT_EQ(content.arguments, "-nocheck");
  EXPECT_EQ(content.workingDirectory, folder);
  EXPECT_EQ(content.description, "Automatischer Start des Velkor SystemTray Icons.");
  EXPECT_EQ(content.showCommand, SW_SHOWNORMAL);
  EXPECT_EQ(content.hotKey, 0);
  EXPECT_EQ(content.iconFile, folder + "\\dornat.exe");
  EXPECT_EQ(content.iconIndex, 0);
  EXPECT_NE(Saved().find("PreferencesAutostart = 1\r\nPreferencesRemain = 1\r\n"), std::string::npos);

  // Deleted by hand: written again at the next save, here the shutdown's.
  ASSERT_TRUE(DeleteFileA(link.c_str()));
  SavePreferencesAtShutdown();
  EXPECT_TRUE(test::FileExists(link));

  // Another shortcut in the folder is left alone.
  const std::string other = StartupFolder() + "\\Velkor Kopie.lnk";
  ASSERT_TRUE(CopyFileA(link.c_str(), other.c_str(), FALSE));
  Command(20);
  Click(kAutostartBoxId);
  Click(kPrefsOkButtonId);
  EXPECT_FALSE(test::FileExists(link));
  EXPECT_TRUE(test::FileExists(other));
  DeleteFileA(other.c_str());
}

// A profile folder named with a character outside Windows-1252: the
// Startup folder moved to one for the test, through the user's shell folders.
TEST_F(PreferencesWindowTest, AutostartReachesAStartupFolderOutsideTheCodePage) {
  const std::wstring startup = win::WideText(folder_.path(), CP_ACP) + L"\\\u0141ukasz";
  ASSERT_TRUE(CreateDirectoryW(startup.c_str(), nullptr));
  constexpr const wchar_t* kShellFolders =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  win::UniqueRegistryKey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.put()),
            ERROR_SUCCESS);
  std::wstring before(1024, L'\0');
  DWORD type = 0, size = static_cast<DWORD>(before.size() * sizeof(wchar_t));
  const bool hadValue = RegQueryValueExW(key.get(), L"Startup", nullptr, &type, reinterpret_cast<BYTE*>(before.data()),
                                         &size) == ERROR_SUCCESS;
  auto setStartup = [&](const std::wstring& path, DWORD kind) {
    RegSetValueExW(key.get(), L"Startup", 0, kind, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
  };
  setStartup(startup, REG_EXPAND_SZ);
  struct Undo {
    std::function<void()> undo;
    ~Undo() { undo(); }
  } restore{[&] {
    if (hadValue) {
      before.resize(size / sizeof(wchar_t));
      if (!before.empty() && before.back() == L'\0') before.pop_back();
      setStartup(before, type);
    } else {
      RegDeleteValueW(key.get(), L"Startup");
    }
  }};
  const std::wstring link = startup + L"\\Velkor.lnk";

  BuildHere();
  Command(20);
  Click(kAutostartBoxId);
  Click(kPrefsOkButtonId);
  EXPECT_NE(GetFileAttributesW(link.c_str()), INVALID_FILE_ATTRIBUTES);
  Command(20);
  Click(kAutostartBoxId);
  Click(kPrefsOkButtonId);
  EXPECT_EQ(GetFileAttributesW(link.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileW(link.c_str());
  RemoveDirectoryW(startup.c_str());
}

TEST_F(PreferencesWindowTest, ShortcutsAreWrittenWithoutLeakingHandles) {
  BuildHere();
  const std::string path = folder_.File("probe.lnk");
  ShortcutProperties shortcut{test::ProgramFolder() + "\\velkor.exe", path, "", "-a b", 1, "Probe", 0, "|", 0};
  ASSERT_TRUE(CreateShortcut(shortcut));
  test::LinkContent content;
  ASSERT_TRUE(test::ReadLink(path, content));
  EXPECT_EQ(content.workingDirectory, test::ProgramFolder());
  EXPECT_EQ(content.arguments, "-a b");
  const uint32_t before = test::OwnHandleCount();
  for (int i = 0; i < 30; ++i) ASSERT_TRUE(CreateShortcut(shortcut));
  EXPECT_LE(test::OwnHandleCount(), before + 2);
}

}  // namespace
}  // namespace velkor
