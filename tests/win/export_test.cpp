// Exports of the four lists through the menu items, the real save dialog and
// the overwrite question, against rows the tests put into the lists.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <filesystem>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "app/event_loop.h"
#include "app/program_windows.h"
#include "export/export_format.h"
#include "export/export_win.h"
#include "procs/process_list_win.h"
#include "settings/preferences.h"
#include "support/built_windows.h"
#include "support/save_dialog.h"
#include "support/wine_support.h"
#include "win/message_box.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;
using Rows = std::vector<std::vector<std::string>>;

void FillList(HWND list, const Rows& rows) {
  if (list == ControlHandle(kProcessList)) {  // its rows live in the process list's store
    ProcessRows& store = ProcessListRows();
    while (store.RowCount() > 0) store.DeleteRow(0);
    for (const std::vector<std::string>& cells : rows) {
      ProcessRows::NewRow row;
      std::copy(cells.begin(), cells.end(), row.cells.begin());
      store.AppendRow(row);
    }
    return;
  }
  ListView_DeleteAllItems(list);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(r);
      item.iSubItem = static_cast<int>(c);
      item.pszText = const_cast<char*>(rows[r][c].c_str());
      SendMessageA(list, c == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA, c == 0 ? 0 : r, reinterpret_cast<LPARAM>(&item));
    }
  }
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class Export : public test::BuiltWindows {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BuildHere());
    win::SetMessageBoxHook([this](HWND, const std::string& text, const std::string& title, UINT flags) {
      questions_.push_back(title + "|" + text + "|" + std::to_string(flags));
      return answer_;
    });
  }
  void TearDown() override {
    win::SetMessageBoxHook({});
    BuiltWindows::TearDown();
  }

  // Runs menu item `menuId` as the loop does; a second thread answers the
  // save dialog like a user: checks what it offers, picks filter
  // `filterIndex`, types `name` and presses "Speichern" (or cancels with an
  // empty name).
  void ExportThroughDialog(int menuId, int filterIndex, const std::string& name) {
    const std::string title = ExportTargetFor(menuId)->title;
    std::thread user([&] {
      HWND dialog = test::WaitForDialog(GetCurrentProcessId(), title, 10s);
      ASSERT_NE(dialog, nullptr) << title;
      EXPECT_EQ(test::SaveDialogName(dialog), "Velkor");
      EXPECT_EQ(SendMessageA(GetDlgItem(dialog, cmb1), CB_GETCURSEL, 0, 0), 1);  // the HTML filter
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, chx1)));                   // no read-only box
      if (name.empty() || !test::SaveDialogAs(dialog, filterIndex, name)) test::PressDialogButton(dialog, IDCANCEL);
    });
    DispatchEvent({kEventMenu, menuId, 0, 0});
    user.join();
  }

  // The whole file as the writer makes it for `table`, at the date the file names.
  static void ExpectExport(const std::string& path, ExportFormat format, const ExportTable& table) {
    std::string bytes;
    ASSERT_TRUE(test::ReadFileBytes(path, bytes)) << path;
    const size_t open = bytes.find("HTML Export (");
    ASSERT_NE(open, std::string::npos);
    const std::string date = bytes.substr(open + 13, FormatExportDate({}).size());
    EXPECT_EQ(bytes, format == ExportFormat::kText ? FormatTextExport(table, date) : FormatHtmlExport(table, date));
  }

  int answer_ = IDNO;
  std::vector<std::string> questions_;
};

TEST_F(Export, EachListIsWrittenThroughTheSaveDialog) {
  const Rows processes = {{"zeta.exe", "Titel", "12,5", "4", "Normal", "1.024 KB", "0 KB", "", "", "0:00:59", "1:02:05",
                           "A", "0 KB", "C:\\zeta.exe"},
                          {"alpha.exe", "", "0,0", "8", "Hoch", "0 KB", "0 KB", "", "", "", "", "", "", ""}};
  FillList(ControlHandle(139), processes);
  ColumnShown.fill(0);
  ColumnShown[1] = 1;   // "CPU-Last"
  ColumnShown[12] = 1;  // "Pfad"
  FillList(ControlHandle(147), {{"<Müller & Co!>", "0001", "a.exe", "7", "0, 0", "10 x 10", "Nein", "", "Ja"}});
  FillList(ControlHandle(152), {{"Dienst", "Win32", "Läuft", "\"100%\" $"}, {"B", "", "", ""}});
  FillList(ControlHandle(154), {});

  struct Case {
    int menuId;
    int filterIndex;
    const char* name;
    const char* file;
    ExportTable table;
  };
  const Case cases[] = {
      {1,
       1,
       "prozesse",
       "prozesse.txt",
       {{"Prozess", "CPU-Last", "Pfad"}, {{"zeta.exe", "12,5", "C:\\zeta.exe"}, {"alpha.exe", "0,0", ""}}}},
      {2,
       2,
       "fenster.HTML",
       "fenster.HTML",
       {{"Fenstertitel", "Handle", "Prozess", "PID", "Position", "Größe", "Versteckt", "Status",
         "Immer im Vordergrund"},
        {{"<Müller & Co!>", "0001", "a.exe", "7", "0, 0", "10 x 10", "Nein", "", "Ja"}}}},
      {3,
       2,
       "dienste.txt",
       "dienste.txt.htm",
       {{"Dienstname", "Typ", "Status", "Beschreibung"},
        {{"Dienst", "Win32", "Läuft", "\"100%\" $"}, {"B", "", "", ""}}}},
      {4, 1, "treiber.TXT", "treiber.TXT", {{"Treibername", "Pfad"}, {}}},
  };
  char before[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, before);
  for (const Case& c : cases) {
    ExportThroughDialog(c.menuId, c.filterIndex, folder_.File(c.name));
    ExpectExport(folder_.File(c.file), c.filterIndex == 1 ? ExportFormat::kText : ExportFormat::kHtml, c.table);
  }
  char after[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, after);
  EXPECT_STREQ(before, after);
  EXPECT_EQ(FilesIn(folder_.path()).size(), 4u);  // nothing else, no leftovers
  EXPECT_TRUE(questions_.empty());
}

TEST_F(Export, ExistingFileIsReplacedOnlyAfterYes) {
  FillList(ControlHandle(154), {{"a.sys", "C:\\a.sys"}});
  const std::string path = folder_.File("liste.htm");
  const std::string old("alter Inhalt\r\n\0\xFF", 16);
  ASSERT_TRUE(test::WriteFileBytes(path, old));

  ExportThroughDialog(4, 2, folder_.File("liste"));
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(questions_[0], "Velkor|" + path + " besteht bereits. \r\nMöchten Sie sie ersetzen?|" +
                               std::to_string(MB_YESNO | MB_ICONEXCLAMATION));
  std::string bytes;
  ASSERT_TRUE(test::ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, old);

  answer_ = IDYES;
  ExportThroughDialog(4, 2, folder_.File("liste"));
  EXPECT_EQ(questions_.size(), 2u);
  ExpectExport(path, ExportFormat::kHtml, {{"Treibername", "Pfad"}, {{"a.sys", "C:\\a.sys"}}});
  EXPECT_EQ(FilesIn(folder_.path()), std::vector<std::string>{"liste.htm"});
}

TEST_F(Export, CancelOrAFolderNameWritesNothing) {
  ExportThroughDialog(3, 2, "");
  ASSERT_TRUE(CreateDirectoryA(folder_.File("ordner.txt").c_str(), nullptr));
  ExportThroughDialog(3, 1, folder_.File("ordner"));
  EXPECT_EQ(FilesIn(folder_.path()), std::vector<std::string>{"ordner.txt"});
  EXPECT_TRUE(questions_.empty());
  RemoveDirectoryA(folder_.File("ordner.txt").c_str());
}

TEST_F(Export, FailedReplaceKeepsTheOldFileAndLeavesNothingBehind) {
  const std::string path = folder_.File("alt.txt");
  ASSERT_TRUE(test::WriteFileBytes(path, "alt"));
  ASSERT_TRUE(CreateDirectoryA(folder_.File("ordner").c_str(), nullptr));
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(ReplaceExportFile(path, "neu"));
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(ReplaceExportFile(folder_.File("ordner"), "neu"));
  EXPECT_FALSE(ReplaceExportFile(folder_.File("fehlt\\neu.txt"), "neu"));
  std::string bytes;
  ASSERT_TRUE(test::ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, "alt");
  EXPECT_EQ(FilesIn(folder_.path()), (std::vector<std::string>{"alt.txt", "ordner"}));
  RemoveDirectoryA(folder_.File("ordner").c_str());

  EXPECT_TRUE(ReplaceExportFile(path, "neu"));
  ASSERT_TRUE(test::ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, "neu");
}

}  // namespace
}  // namespace velkor
