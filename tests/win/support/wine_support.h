// Test support for the Win32 and end-to-end tests: starting and ending the
// processes a test owns, and waiting for conditions with a bound.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/layout.h"
#include "win/unique_handle.h"

namespace velkor::test {

// Folder of the running test program (bin/ of the build tree).
std::string ProgramFolder();

// A process started by a test; ended (exit code 999) when the owner goes,
// unless it has ended already.
class OwnedProcess {
 public:
  OwnedProcess() = default;
  OwnedProcess(win::UniqueKernelHandle process, uint32_t pid) : process_(std::move(process)), pid_(pid) {}
  ~OwnedProcess() { End(); }
  OwnedProcess(OwnedProcess&&) noexcept = default;
  OwnedProcess& operator=(OwnedProcess&&) noexcept = default;

  [[nodiscard]] uint32_t pid() const { return pid_; }
  [[nodiscard]] HANDLE handle() const { return process_.get(); }
  [[nodiscard]] bool valid() const { return process_.valid(); }
  [[nodiscard]] bool Running() const;
  // Waits up to `timeout` for the end; the exit code, or STILL_ACTIVE.
  DWORD WaitForExit(std::chrono::milliseconds timeout) const;
  void End();

 private:
  win::UniqueKernelHandle process_;
  uint32_t pid_ = 0;
};

// Starts `exe` (a path) with `arguments` in `workingFolder` (empty: inherited);
// with a `job`, inside it from its first instruction, so that every process
// it starts is in the job too.
OwnedProcess Start(const std::string& exe, const std::string& arguments = {}, const std::string& workingFolder = {},
                   HANDLE job = nullptr);
// Starts the helper program; it has started once it can be opened.
OwnedProcess StartHelper();

// Polls `condition` every few milliseconds until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// Identifiers of the running processes whose executable file name is `name`
// (compared without regard to case), through a toolhelp snapshot that does
// not depend on the library under test.
std::vector<uint32_t> ProcessIdsNamed(const std::string& name);

// The number of kernel handles this process holds. Wine answers 0 to the
// system's own count, so there the handle values are probed one by one
// (a few hundred milliseconds).
uint32_t OwnHandleCount();
// The number of GDI objects this process holds. Wine answers 0 to the
// system's own count; there the handle table is probed instead, which also
// counts the stock objects (constant) and what the system creates once for
// its first device context, so measure after a first round.
uint32_t OwnGdiObjectCount();

// Keys pressed through the system's input, as a keyboard would, and
// released (in reverse order) when the owner goes.
class HeldKeys {
 public:
  explicit HeldKeys(std::vector<WORD> keys);
  ~HeldKeys() { Release(); }
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;
  void Release();

 private:
  std::vector<WORD> keys_;
};

// A fresh empty folder under the temporary folder, removed with its files.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool FileExists(const std::string& path);
// The names of the files and folders in `folder`, without "." and "..".
std::vector<std::string> FilesIn(const std::string& folder);

// The window under `root`, at any depth, whose control id is `id`; null when none is.
HWND Descendant(HWND root, int id);
// `control`'s rectangle in its parent's client coordinates.
Rect RectInParent(HWND control);
// The client size of `window`.
Size ClientOf(HWND window);

}  // namespace velkor::test
