// The "Ausführen" dialog and the "Information" window on real windows,
// driven through the loop's dispatch as the user's clicks would be.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/program_windows.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/message_box.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

// Controls of the system's file dialog: the filter box and the file name.
constexpr int kFilterBox = 0x470;
constexpr int kNameBox = 0x47C;
constexpr int kNameField = 0x480;

std::string TextOf(HWND control) {
  char text[4096] = {};
  GetWindowTextA(control, text, sizeof text);
  return text;
}

Rect PlaceOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Click(int id, int window) { DispatchEvent({kEventControl, id, kTypeLeftClick, window}); }

struct ShownBox {
  std::string text, title;
  UINT flags = 0;
  int count = 0;
};

// Ends the processes named `name` that were not running before.
void EndNewProcesses(const std::string& name, const std::vector<uint32_t>& before) {
  for (uint32_t pid : test::ProcessIdsNamed(name)) {
    if (std::find(before.begin(), before.end(), pid) != before.end()) continue;
    win::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!process) continue;
    TerminateProcess(process.get(), 999);
    WaitForSingleObject(process.get(), 5000);
  }
}

class RunDialog : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    BuildOtherWindow(kRunWindow);
    BuildOtherWindow(kInformationWindow);
    box_ = ControlHandle(232);
    ok_ = ControlHandle(235);
    win::SetMessageBoxHook([this](HWND, const std::string& text, const std::string& title, UINT flags) {
      shown_ = {text, title, flags, shown_.count + 1};
      return IDOK;
    });
  }
  void TearDown() override {
    win::SetMessageBoxHook({});
    test::BuiltWindows::TearDown();
  }
  void Type(const std::string& command, const std::string& parameters) {
    SetWindowTextA(box_, command.c_str());
    SetWindowTextA(ControlHandle(234), parameters.c_str());
    DispatchEvent({kEventControl, 232, kTypeChange, kRunWindow});
  }
  int HistoryCount() const { return static_cast<int>(SendMessageA(box_, CB_GETCOUNT, 0, 0)); }
  bool DialogOpen() const { return IsWindowVisible(WindowHandle(kRunWindow)) != FALSE; }

  HWND box_ = nullptr;
  HWND ok_ = nullptr;
  ShownBox shown_;
};

TEST_F(RunDialog, StartsNotepadWithItsParameterAndRemembersTheCommandOnce) {
  const std::string document = folder_.File("velkor_run.txt");
  const std::vector<uint32_t> before = test::ProcessIdsNamed("notepad.exe");

  DispatchEvent({kEventMenu, 22, 0, kMainWindow});  // Ctrl+R
  ASSERT_TRUE(DialogOpen());
  EXPECT_FALSE(IsWindowEnabled(MainWindow));
  EXPECT_FALSE(IsWindowEnabled(WindowHandle(kDiagramWindow)));
  EXPECT_TRUE(GetFocus() == box_ || IsChild(box_, GetFocus()));
  EXPECT_FALSE(IsWindowEnabled(ok_));

  // Spaces only: "OK" stays disabled and Enter only beeps.
  Type("   ", "");
  EXPECT_FALSE(IsWindowEnabled(ok_));
  DispatchEvent({kEventMenu, 235, 0, kRunWindow});
  EXPECT_TRUE(DialogOpen());
  EXPECT_EQ(HistoryCount(), 0);

  for (int start = 0; start < 2; ++start) {
    if (start == 1) DispatchEvent({kEventControl, 22, kTypeLeftClick, kMainWindow});
    Type("  notepad.exe ", "   " + document + "  ");
    EXPECT_TRUE(IsWindowEnabled(ok_));
    Click(235, kRunWindow);
    EXPECT_EQ(shown_.count, 0) << shown_.text;
    EXPECT_FALSE(DialogOpen());
    EXPECT_TRUE(IsWindowEnabled(MainWindow) && IsWindowEnabled(WindowHandle(kDiagramWindow)));
  }
  EXPECT_EQ(HistoryCount(), 1);
  char entry[64] = {};
  SendMessageA(box_, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry));
  EXPECT_STREQ(entry, "notepad.exe");
  EXPECT_EQ(TextOf(box_), "  notepad.exe ");  // the fields keep their text

  // Two notepads; the parameters' way through is checked with the helper below.
  EXPECT_TRUE(test::WaitUntil([&] { return test::ProcessIdsNamed("notepad.exe").size() >= before.size() + 2; }, 15s));
  EndNewProcesses("notepad.exe", before);
}

TEST_F(RunDialog, ACommandThatCannotStartSaysSoAndKeepsTheDialogOpen) {
  Click(22, kMainWindow);
  Type("velkor_gibt_es_nicht.exe", "x");
  Click(235, kRunWindow);
  EXPECT_EQ(shown_.count, 1);
  EXPECT_EQ(shown_.text, "\"velkor_gibt_es_nicht.exe\" konnte nicht ausgef\xFChrt werden!");
  EXPECT_EQ(shown_.title, "Velkor");
  EXPECT_EQ(shown_.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_TRUE(DialogOpen());
  EXPECT_FALSE(IsWindowEnabled(MainWindow));
  EXPECT_EQ(HistoryCount(), 0);

  // "Abbrechen" closes without starting; the text stays for the next time.
  Click(236, kRunWindow);
  EXPECT_FALSE(DialogOpen());
  EXPECT_TRUE(IsWindowEnabled(MainWindow));
  EXPECT_EQ(TextOf(box_), "velkor_gibt_es_nicht.exe");
  EXPECT_EQ(shown_.count, 1);
}

TEST_F(RunDialog, AQuotedPathStartsInItsOwnFolder) {
  const std::string folder = folder_.File("mit Leerzeichen");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string helper = folder + "\\velkor_helper.exe";
  ASSERT_TRUE(CopyFileA((test::ProgramFolder() + "\\velkor_helper.exe").c_str(), helper.c_str(), FALSE));
  Click(22, kMainWindow);
  Type(" \"" + helper + "\" ", "  cwd ");
  Click(235, kRunWindow);
  EXPECT_EQ(shown_.count, 0) << shown_.text;
  // The helper writes its working folder into a file in that folder.
  const std::string written = folder + "\\velkor_cwd.txt";
  std::string cwd;
  EXPECT_TRUE(test::WaitUntil([&] { return test::ReadFileBytes(written, cwd) && !cwd.empty(); }, 10s));
  EXPECT_EQ(CharLowerA(cwd.data()), std::string(CharLowerA(std::string(folder).data())));
  // The copy can go once the helper has ended.
  EXPECT_TRUE(test::WaitUntil([&] { return DeleteFileA(helper.c_str()) != FALSE; }, 10s));
  DeleteFileA(written.c_str());
  RemoveDirectoryA(folder.c_str());
}

// Finds the file dialog, checks its title and first filter, chooses `file`.
DWORD WINAPI ChooseInFileDialog(void* context) {
  const auto* file = static_cast<const std::string*>(context);
  HWND dialog = nullptr;
  if (!test::WaitUntil([&] { return (dialog = FindWindowA("#32770", "Durchsuchen")) != nullptr; }, 20s)) return 1;
  char filter[64] = {};
  SendMessageA(GetDlgItem(dialog, kFilterBox), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
  const bool programsFirst = std::string(filter).rfind("Programme", 0) == 0;
  HWND name = GetDlgItem(dialog, kNameBox);
  if (!name) name = GetDlgItem(dialog, kNameField);
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file->c_str()));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  return programsFirst ? 0 : 2;
}

TEST_F(RunDialog, BrowsePutsTheChosenFileIntoTheCommandBox) {
  const std::string chosen = folder_.File("velkor_gewaehlt.lnk");
  ASSERT_TRUE(test::WriteFileBytes(chosen, "L"));
  char before[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, before);
  Click(22, kMainWindow);
  ASSERT_FALSE(IsWindowEnabled(ok_));
  win::UniqueKernelHandle chooser(
      CreateThread(nullptr, 0, ChooseInFileDialog, const_cast<std::string*>(&chosen), 0, nullptr));
  ASSERT_TRUE(chooser);
  Click(237, kRunWindow);
  ASSERT_EQ(WaitForSingleObject(chooser.get(), 30000), WAIT_OBJECT_0);
  DWORD outcome = 99;
  GetExitCodeThread(chooser.get(), &outcome);
  EXPECT_EQ(outcome, 0u);
  // The shortcut itself, not what it points to; the working folder stays.
  EXPECT_EQ(CharLowerA(TextOf(box_).data()), std::string(CharLowerA(std::string(chosen).data())));
  EXPECT_TRUE(IsWindowEnabled(ok_));
  char after[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, after);
  EXPECT_STREQ(after, before);
  EXPECT_TRUE(GetFocus() == box_ || IsChild(box_, GetFocus()));
}

using InformationWindow = RunDialog;

TEST_F(InformationWindow, PageSwitchesReturnTheWindowWhereItStarted) {
  HWND window = WindowHandle(kInformationWindow);
  DispatchEvent({kEventMenu, 134, 0, kMainWindow});
  ASSERT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(IsWindowEnabled(MainWindow));
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  RECT main{}, client{};
  GetWindowRect(MainWindow, &main);
  GetClientRect(MainWindow, &client);
  const Rect start = PlaceOf(window);
  EXPECT_EQ(start, (Rect{main.left + client.right / 2 - 140, main.top + client.bottom / 2 - 145, 280, 290}));
  EXPECT_TRUE(IsWindowVisible(ControlHandle(300)));
  EXPECT_FALSE(IsWindowVisible(ControlHandle(318)));

  for (int round = 0; round < 3; ++round) {
    Click(317, kInformationWindow);
    EXPECT_EQ(PlaceOf(window), (Rect{start.x - 80, start.y, 420, 290}));
    EXPECT_TRUE(IsWindowVisible(ControlHandle(318)));
    EXPECT_FALSE(IsWindowVisible(ControlHandle(300)));
    Click(317, kInformationWindow);  // a second click on the way changes nothing
    EXPECT_EQ(PlaceOf(window).x, start.x - 80);
    Click(323, kInformationWindow);
    EXPECT_EQ(PlaceOf(window), start);
    EXPECT_TRUE(IsWindowVisible(ControlHandle(300)));
  }
  EXPECT_FALSE(IsWindowEnabled(MainWindow));
  Click(316, kInformationWindow);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(IsWindowEnabled(MainWindow));
}

TEST_F(InformationWindow, LicenceTermsScrollAndCannotBeEdited) {
  HWND terms = ControlHandle(321);
  const std::string text = TextOf(terms);
  EXPECT_EQ(text.size(), 2580u);
  EXPECT_TRUE(GetWindowLongPtrA(terms, GWL_STYLE) & ES_READONLY);
  DispatchEvent({kEventMenu, 134, 0, kMainWindow});
  Click(317, kInformationWindow);
  EXPECT_TRUE(GetWindowLongPtrA(terms, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(SendMessageA(terms, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SendMessageA(terms, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_GT(SendMessageA(terms, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SetFocus(terms);
  SendMessageA(terms, EM_SETSEL, 0, -1);
  SendMessageA(terms, WM_CHAR, 'x', 0);
  SendMessageA(terms, WM_KEYDOWN, VK_DELETE, 0);
  SendMessageA(terms, WM_CLEAR, 0, 0);
  SendMessageA(terms, WM_CUT, 0, 0);
  EXPECT_EQ(TextOf(terms), text);
  Click(322, kInformationWindow);
  EXPECT_FALSE(IsWindowVisible(WindowHandle(kInformationWindow)));
  EXPECT_TRUE(IsWindowEnabled(MainWindow));
}

}  // namespace
}  // namespace velkor
