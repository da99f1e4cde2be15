// The error dialog in the whole program: velkor_fault_test.exe is velkor.exe
// plus registered messages that make its main window fault.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <set>
#include <string>
#include <utility>

#include "program_support.h"
#include "support/wine_support.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

constexpr auto kReactionBound = 10s;
constexpr char kProgram[] = "velkor_fault_test.exe";

class ErrorDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ProcessIdsNamed(kProgram).empty()) << "a test program is already running";
    ASSERT_TRUE(test::WriteFileBytes(run_.folder().File("velkor.ini"), kSettings));
    ASSERT_TRUE(run_.Start(kProgram));
  }

  // Posted, the fault happens in a window procedure called by the program's
  // own dispatch; sent, it happens inside a system callback, which would
  // swallow it if the handler saw it only last.
  void Trigger(const char* fault, bool sent = false) {
    const UINT message = RegisterWindowMessageA(fault);
    DWORD_PTR result = 0;
    if (sent) {
      // Returns only when the dialog has ended: do not wait for it.
      SendMessageTimeoutA(run_.main(), message, 0, 0, SMTO_ABORTIFHUNG, 100, &result);
    } else {
      ASSERT_TRUE(PostMessageA(run_.main(), message, 0, 0));
    }
  }

  HWND WaitForDialog() {
    HWND dialog = nullptr;
    test::WaitUntil([&] { return (dialog = test::FindWindowOf(run_.pid(), "VelkorErrorDialog", "Velkor - Fehler!")); },
                    kReactionBound);
    return dialog;
  }

  static void Click(HWND dialog, const char* button) {
    HWND control = FindWindowExA(dialog, nullptr, "Button", button);
    ASSERT_NE(control, nullptr) << button;
    ASSERT_TRUE(PostMessageA(control, BM_CLICK, 0, 0));
  }

  bool SettingsUntouched() {
    std::string content;
    return test::ReadFileBytes(run_.folder().File("velkor.ini"), content) && content == kSettings;
  }

  static constexpr char kSettings[] = "[General]\r\nPreferencesRemain =1\r\n; kept as it is\r\n[Window]\r\nX=7";
  test::ProgramRun run_;
};

TEST_F(ErrorDialog, DivisionByZeroIsDescribedAndTheProgramContinuesBehindIt) {
  for (bool sent : {false, true}) {  // a fault after "Fortfahren" shows a new dialog
    SCOPED_TRACE(sent);
    Trigger("VelkorTestDivideByZero", sent);
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 185);
    EXPECT_EQ(GetWindowLongPtrA(dialog, GWL_STYLE) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    const std::string text = test::WindowTextOf(FindWindowExA(dialog, nullptr, "Edit", nullptr));
    EXPECT_EQ(text.rfind("Beschreibung: Attempted division by zero\r\n\r\nZeile: ", 0), 0u) << text;
    EXPECT_EQ(text.find("\r\n\r\nZeile: 0\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n\r\nModul: Main Module\r\n\r\nAssembler: idiv "), std::string::npos) << text;

    // Requests to close the window are refused.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(dialog, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    SendMessageTimeoutA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, 5000, &result);
    EXPECT_TRUE(IsWindow(dialog));

    Click(dialog, "Fortfahren");
    EXPECT_TRUE(test::WaitUntil([&] { return !IsWindow(dialog); }, kReactionBound));
    EXPECT_TRUE(SendMessageTimeoutA(run_.main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
    EXPECT_TRUE(run_.process().Running());
  }
}

// Faults inside procedures of two other units name those units and their
// places, each its own, and the program runs on after each.
TEST_F(ErrorDialog, FaultsNameTheUnitAndLineWhereTheyHappened) {
  const std::pair<const char*, const char*> faults[] = {{"VelkorTestFaultInHistoryStrips", "Procedures"},
                                                        {"VelkorTestFaultInCpuLoad", "ProcessCPU"},
                                                        {"VelkorTestDivideByZero", "Main Module"}};
  std::set<std::string> lines;
  for (const auto& [fault, unit] : faults) {
    SCOPED_TRACE(fault);
    Trigger(fault);
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    const std::string text = test::WindowTextOf(FindWindowExA(dialog, nullptr, "Edit", nullptr));
    EXPECT_EQ(text.rfind("Beschreibung: Attempted division by zero\r\n\r\nZeile: ", 0), 0u) << text;
    EXPECT_NE(text.find(std::string("\r\n\r\nModul: ") + unit + "\r\n\r\nAssembler: "), std::string::npos) << text;
    const size_t line = text.find("Zeile: ") + 7;
    lines.insert(text.substr(line, text.find('\r', line) - line));
    Click(dialog, "Fortfahren");
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(dialog); }, kReactionBound));
  }
  EXPECT_EQ(lines.size(), 3u);
  EXPECT_FALSE(lines.contains("0"));
  DWORD_PTR result = 0;
  EXPECT_TRUE(SendMessageTimeoutA(run_.main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
}

TEST_F(ErrorDialog, EndingExitsWithZeroAndLeavesTheSettingsFileAlone) {
  Trigger("VelkorTestDivideByZero");
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  Click(dialog, "Beenden");
  EXPECT_EQ(run_.process().WaitForExit(kReactionBound), 0u);
  EXPECT_TRUE(SettingsUntouched());
}

TEST_F(ErrorDialog, StackOverflowShowsTheDialog) {
  Trigger("VelkorTestStackOverflow");
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(
      test::WindowTextOf(FindWindowExA(dialog, nullptr, "Edit", nullptr)).rfind("Beschreibung: Stack overflow.", 0),
      0u);
  Click(dialog, "Beenden");
  EXPECT_EQ(run_.process().WaitForExit(kReactionBound), 0u);
}

TEST_F(ErrorDialog, SecondFaultWhileTheDialogIsOpenEndsTheProgram) {
  Trigger("VelkorTestDivideByZero");
  ASSERT_NE(WaitForDialog(), nullptr);
  Trigger("VelkorTestDivideByZero");
  EXPECT_EQ(run_.process().WaitForExit(kReactionBound), 0xC0000094u);
  EXPECT_TRUE(SettingsUntouched());
}

}  // namespace
}  // namespace velkor
