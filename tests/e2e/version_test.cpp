// The version the file VERSION decides, as a user meets it: in the version
// resources Windows shows for both programs and in the "Information" window.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "procs/file_version_info_win.h"
#include "program_support.h"
#include "support/wine_support.h"
#include "win/system_functions.h"

namespace velkor {
namespace {

using namespace std::chrono_literals;

// The first line of the checkout's VERSION, read when the test runs, so the
// test holds the built programs against the file and not against itself.
std::string VersionFileText() {
  std::ifstream file(VELKOR_SOURCE_DIR "/VERSION");
  std::string line;
  std::getline(file, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The four numbers of the resource's fixed part, as "a.b.c.d"; "" without one.
std::string FixedFileVersion(const std::string& path) {
  const win::VersionFunctions& version = win::Version();
  DWORD ignored = 0;
  const DWORD size = version.complete() ? version.getFileVersionInfoSize(path.c_str(), &ignored) : 0;
  if (size == 0) return {};
  std::vector<char> block(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!version.getFileVersionInfo(path.c_str(), 0, size, block.data()) ||
      !version.verQueryValue(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
    return {};
  return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

TEST(Version, BothProgramsCarryTheVersionOfTheVersionFile) {
  const std::string expected = VersionFileText() + ".0";
  ASSERT_NE(expected, ".0") << "VERSION not readable";
  for (const char* program : {"velkor.exe", "dornat.exe"}) {
    const std::string path = test::ProgramFolder() + "\\" + program;
    // FileVersion (bit 0x1) and ProductVersion (0x40), as the process list reads them.
    EXPECT_EQ(FileVersionText(path, 0x1, false), expected) << program;
    EXPECT_EQ(FileVersionText(path, 0x40, false), expected) << program;
    EXPECT_EQ(FixedFileVersion(path), expected) << program;
  }
}

TEST(Version, InformationWindowNamesTheVersion) {
  ASSERT_TRUE(test::ProcessIdsNamed("velkor.exe").empty()) << "a velkor.exe is already running";
  test::ProgramRun run;
  ASSERT_TRUE(run.Start());
  PostMessageA(run.main(), WM_COMMAND, 134, 0);  // "Hilfe" > "Information"
  HWND information = nullptr;
  ASSERT_TRUE(test::WaitUntil(
      [&] { return (information = test::FindWindowOf(run.pid(), {}, "Information")) != nullptr; }, 10s));
  const std::string line = test::WindowTextOf(GetDlgItem(GetDlgItem(information, 300), 304));
  EXPECT_EQ(line.rfind("Version " + VersionFileText() + ",", 0), 0u) << line;
}

}  // namespace
}  // namespace velkor
