// The commands on the selected rows of the process list, against helper
// processes the tests start and rows the tests put into the list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <map>
#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/menus.h"
#include "app/startup.h"
#include "app/program_windows.h"
#include "procs/process_commands_win.h"
#include "procs/process_library.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "support/built_windows.h"
#include "support/wine_support.h"
#include "win/message_box.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;
using test::OwnedProcess;
using test::StartHelper;

struct ShownBox {
  std::string text;
  std::string title;
  UINT flags = 0;
};

constexpr UINT kQuestion = MB_YESNO | MB_ICONEXCLAMATION;
constexpr UINT kNotice = MB_OK | MB_ICONEXCLAMATION;
constexpr UINT kError = MB_OK | MB_ICONERROR;

// A pid no process has.
constexpr uint32_t kNoSuchPid = 0x7FFFFFFC;

DWORD PriorityClassOf(uint32_t pid) {
  win::UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
  return process ? GetPriorityClass(process.get()) : 0;
}

uint64_t AffinityOf(HANDLE process) {
  DWORD_PTR mask = 0, system = 0;
  return GetProcessAffinityMask(process, &mask, &system) ? mask : 0;
}

// A handle on one thread of `pid`, found through a toolhelp snapshot.
win::UniqueKernelHandle ThreadOf(uint32_t pid) {
  win::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return {};
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
    if (entry.th32OwnerProcessID == pid)
      return win::UniqueKernelHandle(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
  return {};
}

// How often the thread is suspended now (without changing it).
DWORD SuspendCount(HANDLE thread) {
  const DWORD previous = SuspendThread(thread);
  ResumeThread(thread);
  return previous;
}

class ProcessCommands : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    list_ = ControlHandle(kProcessList);
    ASSERT_NE(list_, nullptr);
    ListView_DeleteAllItems(list_);  // the first fill listed the running processes; the tests add their own rows
    win::SetMessageBoxHook([this](HWND, const std::string& text, const std::string& title, UINT flags) {
      boxes_.push_back({text, title, flags});
      return answer_;
    });
    SetShellOpenHook([this](const std::string& target) { opened_.push_back(target); });
  }
  void TearDown() override {
    SetKillHook({});
    SetShellOpenHook({});
    win::SetMessageBoxHook({});
    BuiltWindows::TearDown();
    DestroyProcessLibrary();
  }

  // Appends a row with name, PID, priority and path, as a refresh would add
  // it (texts and numbers); selected unless told.
  int AddRow(const std::string& name, uint32_t pid, const std::string& priority = "Normal",
             const std::string& path = {}, bool selected = true) {
    ProcessRows::NewRow added;
    added.cells[kNameColumn] = name;
    added.cells[kPidColumn] = std::to_string(pid);
    added.cells[kPriorityColumn] = priority;
    added.cells[kPathColumn] = path;
    added.facts.pid = pid;
    added.facts.name = name;
    added.facts.path = path;
    for (uint32_t priorityClass :
         {kIdlePriority, kBelowNormalPriority, kNormalPriority, kAboveNormalPriority, kHighPriority, kRealtimePriority})
      if (PriorityName(priorityClass) == priority) added.facts.priorityClass = priorityClass;
    const int row = ProcessListRows().AppendRow(added);
    if (selected) ListView_SetItemState(list_, row, LVIS_SELECTED, LVIS_SELECTED);
    return row;
  }
  std::string Cell(int row, int column) const {
    char buffer[512] = {};
    ListView_GetItemText(list_, row, column, buffer, sizeof buffer);
    return buffer;
  }
  int RowOf(uint32_t pid) const {
    for (int row = 0; row < ListView_GetItemCount(list_); ++row)
      if (Cell(row, 3) == std::to_string(pid)) return row;
    return -1;
  }
  static std::string HelperPath() { return test::ProgramFolder() + "\\velkor_helper.exe"; }

  HWND list_ = nullptr;
  int answer_ = IDYES;
  std::vector<ShownBox> boxes_;
  std::vector<std::string> opened_;
};

TEST_F(ProcessCommands, KillingOneAsksOnceAndEndsWithTheExitCodeSetting) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  AddRow("velkor_helper.exe", helper.pid());
  Preferences.PreferencesExitCodeSpin = 4242;
  const DWORD ownClass = GetPriorityClass(GetCurrentProcess());

  answer_ = IDNO;
  KillSelectedProcesses();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Soll der Prozess \"velkor_helper.exe\" wirklich beendet werden?");
  EXPECT_EQ(boxes_[0].title, "Velkor");
  EXPECT_EQ(boxes_[0].flags, kQuestion);
  EXPECT_EQ(helper.WaitForExit(0ms), static_cast<DWORD>(STILL_ACTIVE));

  answer_ = IDYES;
  Stamps.list = 0;
  KillSelectedProcesses();
  EXPECT_EQ(helper.WaitForExit(5s), 4242u);
  EXPECT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), ownClass);
  EXPECT_NE(Stamps.list, 0.0);  // the next periodic refresh is a full interval away
}

TEST_F(ProcessCommands, KillingSeveralLowersAllToIdleBeforeTheFirstEnds) {
  OwnedProcess first = StartHelper(), second = StartHelper();
  ASSERT_TRUE(first.valid() && second.valid());
  AddRow("first.exe", first.pid());
  AddRow("unselected.exe", GetCurrentProcessId(), "Normal", {}, false);
  AddRow("second.exe", second.pid());
  Preferences.PreferencesExitCodeSpin = 77;
  std::vector<std::map<uint32_t, DWORD>> classesAtKill;
  SetKillHook([&](uint32_t) {
    classesAtKill.push_back(
        {{first.pid(), PriorityClassOf(first.pid())}, {second.pid(), PriorityClassOf(second.pid())}});
  });

  KillSelectedProcesses();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text,
            "Sollen folgende Prozesse wirklich beendet werden?\r\n\r\n - first.exe\r\n - second.exe\r\n");
  EXPECT_EQ(boxes_[0].flags, kQuestion);
  ASSERT_EQ(classesAtKill.size(), 2u);
  EXPECT_EQ(classesAtKill[0].at(first.pid()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
  EXPECT_EQ(classesAtKill[0].at(second.pid()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
  EXPECT_EQ(first.WaitForExit(5s), 77u);
  EXPECT_EQ(second.WaitForExit(5s), 77u);
}

TEST_F(ProcessCommands, EveryProcessThatCannotBeEndedIsReported) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  AddRow("gone.exe", kNoSuchPid);
  AddRow("velkor_helper.exe", helper.pid());
  AddRow("also-gone.exe", kNoSuchPid);
  KillSelectedProcesses();
  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(boxes_[1].text, "Der Prozess \"gone.exe\" konnte nicht beendet werden!");
  EXPECT_EQ(boxes_[1].title, "Hinweis");
  EXPECT_EQ(boxes_[1].flags, kNotice);
  EXPECT_EQ(boxes_[2].text, "Der Prozess \"also-gone.exe\" konnte nicht beendet werden!");
  EXPECT_EQ(helper.WaitForExit(5s), 1067u);

  // One row alone: the same message after the single question.
  boxes_.clear();
  ListView_DeleteAllItems(list_);
  AddRow("gone.exe", kNoSuchPid);
  KillSelectedProcesses();
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[1].text, "Der Prozess \"gone.exe\" konnte nicht beendet werden!");

  // Nothing selected: no question at all.
  boxes_.clear();
  ListView_DeleteAllItems(list_);
  KillSelectedProcesses();
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(ProcessCommands, PriorityIsSetPerRowAndRefusalsAreReported) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  AddRow("gone.exe", kNoSuchPid);
  AddRow("velkor_helper.exe", helper.pid());
  // Through the dispatch, as the menu delivers it.
  DispatchEvent({kEventMenu, 34, 0, kMainWindow});
  EXPECT_EQ(PriorityClassOf(helper.pid()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text,
            "Die Priorit\xE4t von \"gone.exe\" konnte nicht ge\xE4ndert werden, der Zugriff wurde verweigert!");
  EXPECT_EQ(boxes_[0].title, "Velkor");
  EXPECT_EQ(boxes_[0].flags, kError);
  DispatchEvent({kEventMenu, 38, 0, kMainWindow});
  EXPECT_EQ(PriorityClassOf(helper.pid()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
  DispatchEvent({kEventMenu, 37, 0, kMainWindow});
  EXPECT_EQ(PriorityClassOf(helper.pid()), static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
}

TEST_F(ProcessCommands, MenuCheckMarksAddUpOverTheSelection) {
  OwnedProcess first = StartHelper(), second = StartHelper();
  ASSERT_TRUE(first.valid() && second.valid());
  win::UniqueMenu menu(CreatePopupMenu());
  HMENU processors = CreatePopupMenu();
  for (UINT id = 33; id <= 38; ++id) AppendMenuA(menu.get(), MF_STRING, id, "p");
  for (UINT id = 39; id < 39 + ProcessorCount() && id <= 102; ++id) AppendMenuA(processors, MF_STRING, id, "#");
  AppendMenuA(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(processors), "Prozessor");
  auto checked = [&](UINT id) { return (GetMenuState(menu.get(), id, MF_BYCOMMAND) & MF_CHECKED) != 0; };

  // Nothing selected: the marks stay as they are.
  AddRow("first.exe", first.pid(), "Hoch", {}, false);
  CheckMenuItem(menu.get(), 36, MF_BYCOMMAND | MF_CHECKED);
  EXPECT_FALSE(MarkProcessMenu(menu.get()));
  EXPECT_TRUE(checked(36));

  ListView_SetItemState(list_, 0, LVIS_SELECTED, LVIS_SELECTED);
  AddRow("second.exe", second.pid(), "Niedrig");
  AddRow("gone.exe", kNoSuchPid, "N/A");
  if (ProcessorCount() >= 2) {
    ASSERT_TRUE(SetProcessAffinityMask(first.handle(), 1));
    ASSERT_TRUE(SetProcessAffinityMask(second.handle(), 1));
  }
  EXPECT_TRUE(MarkProcessMenu(menu.get()));
  for (UINT id = 33; id <= 38; ++id) EXPECT_EQ(checked(id), id == 34 || id == 38) << id;
  EXPECT_TRUE(checked(39));
  if (ProcessorCount() >= 2) {
    EXPECT_FALSE(checked(40));
    ASSERT_TRUE(SetProcessAffinityMask(second.handle(), 2));
    EXPECT_TRUE(MarkProcessMenu(menu.get()));
    EXPECT_TRUE(checked(39));
    EXPECT_TRUE(checked(40));
  }
}

TEST_F(ProcessCommands, ProcessorItemsToggleTheAffinityAndAnEmptyMaskIsRefused) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  win::UniqueMenu menu(CreatePopupMenu());
  for (UINT id = 39; id <= 40; ++id) AppendMenuA(menu.get(), MF_STRING, id, "#");
  AddRow("velkor_helper.exe", helper.pid());
  ASSERT_TRUE(SetProcessAffinityMask(helper.handle(), 1));
  const uint32_t processors = ProcessorCount();
  SetProcessorCount(2);

  if (AffinityOf(GetCurrentProcess()) & 2) {
    ASSERT_TRUE(MarkProcessMenu(menu.get()));
    ToggleProcessorAffinity(menu.get(), 1);
    EXPECT_EQ(AffinityOf(helper.handle()), 3u);
    ASSERT_TRUE(MarkProcessMenu(menu.get()));
    ToggleProcessorAffinity(menu.get(), 0);
    EXPECT_EQ(AffinityOf(helper.handle()), 2u);
    ASSERT_TRUE(SetProcessAffinityMask(helper.handle(), 1));
  }
  EXPECT_TRUE(boxes_.empty());

  // Unchecking the last processor: the system refuses the empty mask.
  ASSERT_TRUE(MarkProcessMenu(menu.get()));
  ToggleProcessorAffinity(menu.get(), 0);
  SetProcessorCount(processors);
  EXPECT_EQ(AffinityOf(helper.handle()), 1u);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Prozess konnte nicht zugeordnet werden!");
  EXPECT_EQ(boxes_[0].title, "Hinweis");
  EXPECT_EQ(boxes_[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));

  // A process that cannot be opened is passed over silently.
  ListView_DeleteAllItems(list_);
  AddRow("gone.exe", kNoSuchPid);
  ToggleProcessorAffinity(menu.get(), 0);
  EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(ProcessCommands, TheProcessMenuActsOnTheSelection) {
  HMENU menu = PopupMenuHandle(2);
  ASSERT_NE(menu, nullptr);
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  // Without a selection a right click opens nothing (and so does not wait here).
  AddRow("velkor_helper.exe", helper.pid(), "Hoch", {}, false);
  DispatchEvent({kEventControl, 139, kTypeRightClick, kMainWindow});

  ListView_SetItemState(list_, 0, LVIS_SELECTED, LVIS_SELECTED);
  ASSERT_TRUE(SetProcessAffinityMask(helper.handle(), 1));
  ASSERT_TRUE(MarkProcessMenu(menu));
  EXPECT_TRUE(GetMenuState(menu, 34, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(menu, 39, MF_BYCOMMAND) & MF_CHECKED);
  DispatchEvent({kEventMenu, 39, 0, kMainWindow});
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Prozess konnte nicht zugeordnet werden!");
  EXPECT_EQ(AffinityOf(helper.handle()), 1u);
}

TEST_F(ProcessCommands, ANewPriorityShowsWithItsColourAfterTheNextRefresh) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        RefreshProcessList();
        return RowOf(helper.pid()) >= 0;
      },
      5s));
  ListView_SetItemState(list_, RowOf(helper.pid()), LVIS_SELECTED, LVIS_SELECTED);
  DispatchEvent({kEventMenu, 34, 0, kMainWindow});
  EXPECT_EQ(Cell(RowOf(helper.pid()), 4), "Normal");  // the list waits for its refresh

  RefreshProcessList();
  const int row = RowOf(helper.pid());
  ASSERT_GE(row, 0);
  EXPECT_EQ(Cell(row, 4), "Hoch");
  const ProcessRowLook look = ProcessRowLookAt(row);
  EXPECT_TRUE(look.hasBackground);
  const Rgb high = PriorityColours.high;
  EXPECT_EQ(look.background, RGB(high.r, high.g, high.b));
}

TEST_F(ProcessCommands, ASuspendedProcessRunsAgainOnlyAfterAsManyResumes) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  win::UniqueKernelHandle thread;
  ASSERT_TRUE(test::WaitUntil([&] { return (thread = ThreadOf(helper.pid())).valid(); }, 5s));
  AddRow("velkor_helper.exe", helper.pid());
  AddRow("gone.exe", kNoSuchPid);  // skipped silently

  SuspendSelectedProcesses();
  DispatchEvent({kEventMenu, 103, 0, kMainWindow});
  EXPECT_EQ(SuspendCount(thread.get()), 2u);
  ResumeSelectedProcesses();
  EXPECT_EQ(SuspendCount(thread.get()), 1u);
  DispatchEvent({kEventMenu, 104, 0, kMainWindow});
  EXPECT_EQ(SuspendCount(thread.get()), 0u);
  // More resumes than suspends change nothing.
  ResumeSelectedProcesses();
  EXPECT_EQ(SuspendCount(thread.get()), 0u);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(ProcessCommands, AMissingOrIncompatibleLibraryIsReported) {
  AddRow("velkor_helper.exe", kNoSuchPid);
  CallForSelectedProcesses(false, nullptr);
  CallForSelectedProcesses(true, nullptr);
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[0].text, "Die Programmbibliothek Ntdll konnte nicht gefunden werden!");
  EXPECT_EQ(boxes_[0].title, "Velkor");
  EXPECT_EQ(boxes_[0].flags, kError);
  EXPECT_EQ(boxes_[1].text, "Die Version der Programmbibliothek Ntdll ist nicht zu Velkor kompatibel!");
  EXPECT_EQ(boxes_[1].flags, kError);
}

TEST_F(ProcessCommands, FoldersAndSearchesGoToTheShellPerRow) {
  AddRow("velkor_helper.exe", 1, "Normal", HelperPath());
  AddRow("System", 4, "N/A", "");
  AddRow("quiet.exe", 5, "Normal", "C:\\quiet.exe", false);

  DispatchEvent({kEventMenu, 106, 0, kMainWindow});
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], test::ProgramFolder() + "\\");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Das Verzeichnis von \"System\" konnte nicht ermittelt werden!");
  EXPECT_EQ(boxes_[0].title, "Hinweis");
  EXPECT_EQ(boxes_[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));

  opened_.clear();
  Preferences.PreferencesSearchString = "https://search.example/?q=%22[SEARCH]%22&again=[SEARCH]";
  ShowView(0, false);
  DispatchEvent({kEventControl, 24, kTypeLeftClick, kMainWindow});
  ASSERT_EQ(opened_.size(), 2u);
  EXPECT_EQ(opened_[0], "https://search.example/?q=%22velkor_helper.exe%22&again=velkor_helper.exe");
  EXPECT_EQ(opened_[1], "https://search.example/?q=%22%22&again=");

  // A template naming a program or a file opens nothing.
  for (const std::string& hostile : {HelperPath(), "file:///" + HelperPath() + "?[SEARCH]"}) {
    opened_.clear();
    Preferences.PreferencesSearchString = hostile;
    DispatchEvent({kEventControl, 24, kTypeLeftClick, kMainWindow});
    EXPECT_TRUE(opened_.empty()) << hostile;
  }

  // In another view the search is not the process list's.
  opened_.clear();
  ShowView(1, false);
  DispatchEvent({kEventControl, 24, kTypeLeftClick, kMainWindow});
  EXPECT_TRUE(opened_.empty());
}

TEST_F(ProcessCommands, OptimisingIsSilentForProcessesThatCannotBeOpened) {
  OwnedProcess helper = StartHelper();
  ASSERT_TRUE(helper.valid());
  AddRow("velkor_helper.exe", helper.pid());
  AddRow("gone.exe", kNoSuchPid, "N/A", {}, false);
  DispatchEvent({kEventMenu, 105, 0, kMainWindow});
  OptimizeAllProcesses();
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(helper.WaitForExit(0ms), static_cast<DWORD>(STILL_ACTIVE));
}

}  // namespace
}  // namespace velkor
