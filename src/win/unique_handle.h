// Owners for Windows handles: one non-copyable, movable template whose traits
// name the invalid value and the close function, and scope guards. Closing
// and restoring keep GetLastError intact, so an owner going out of scope
// never hides the error of the call that failed just before.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <winsvc.h>

#include <utility>

namespace velkor::win {

// Runs a freeing call without letting it change GetLastError.
template <typename Free>
void KeepingLastError(Free free) noexcept {
  const DWORD error = GetLastError();
  free();
  SetLastError(error);
}

template <typename Traits>
class UniqueHandle {
 public:
  using pointer = typename Traits::pointer;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(pointer value) noexcept : value_(value) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  [[nodiscard]] pointer get() const noexcept { return value_; }
  [[nodiscard]] bool valid() const noexcept { return value_ != Traits::invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
  void reset(pointer value = Traits::invalid()) noexcept {
    pointer old = std::exchange(value_, value);
    if (old != Traits::invalid()) KeepingLastError([old] { Traits::close(old); });
  }
  // For out-parameters: frees the current value and hands out its address.
  pointer* put() noexcept {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Traits::invalid();
};

// A handle freed by one call. Most are null when invalid; CreateFile and
// FindFirstChangeNotification answer INVALID_HANDLE_VALUE instead.
template <typename Pointer, auto Close, bool kMinusOneInvalid = false>
struct HandleTraits {
  using pointer = Pointer;
  static pointer invalid() noexcept {
    if constexpr (kMinusOneInvalid) return INVALID_HANDLE_VALUE;
    return nullptr;
  }
  static void close(pointer h) noexcept { Close(h); }
};

// A created window. Destroying a window also destroys its children and the
// windows it owns, so an owner may find its window gone already: it destroys
// only a window that still exists. Child controls need no owner of their own;
// their top-level window's owner takes them along.
struct WindowTraits {
  using pointer = HWND;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept {
    if (IsWindow(h)) DestroyWindow(h);
  }
};

using UniqueKernelHandle = UniqueHandle<HandleTraits<HANDLE, CloseHandle>>;  // process, thread, token, mutex, event
using UniqueFileHandle = UniqueHandle<HandleTraits<HANDLE, CloseHandle, true>>;
using UniqueChangeNotification = UniqueHandle<HandleTraits<HANDLE, FindCloseChangeNotification, true>>;
using UniqueFindHandle = UniqueHandle<HandleTraits<HANDLE, FindClose, true>>;  // FindFirstFile
using UniqueModule = UniqueHandle<HandleTraits<HMODULE, FreeLibrary>>;
using UniqueGdiObject = UniqueHandle<HandleTraits<HGDIOBJ, DeleteObject>>;
using UniqueBitmap = UniqueHandle<HandleTraits<HBITMAP, DeleteObject>>;
using UniqueFont = UniqueHandle<HandleTraits<HFONT, DeleteObject>>;
using UniqueBrush = UniqueHandle<HandleTraits<HBRUSH, DeleteObject>>;
using UniqueIcon = UniqueHandle<HandleTraits<HICON, DestroyIcon>>;
using UniqueMemoryDc = UniqueHandle<HandleTraits<HDC, DeleteDC>>;  // CreateCompatibleDC
using UniqueRegistryKey = UniqueHandle<HandleTraits<HKEY, RegCloseKey>>;
using UniqueMenu = UniqueHandle<HandleTraits<HMENU, DestroyMenu>>;
using UniqueServiceHandle = UniqueHandle<HandleTraits<SC_HANDLE, CloseServiceHandle>>;  // manager and services
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueImageList = UniqueHandle<HandleTraits<HIMAGELIST, ImageList_Destroy>>;

// GetDC/ReleaseDC pair for one window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) KeepingLastError([this] { ReleaseDC(window_, dc_); });
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  [[nodiscard]] HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint/EndPaint pair.
class PaintScope {
 public:
  explicit PaintScope(HWND window) noexcept : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~PaintScope() {
    KeepingLastError([this] { EndPaint(window_, &paint_); });
  }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  [[nodiscard]] HDC get() const noexcept { return dc_; }
  [[nodiscard]] const PAINTSTRUCT& paint() const noexcept { return paint_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// Selects an object into a DC and puts the previous one back at scope end.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectScope() {
    if (old_ && old_ != HGDI_ERROR) KeepingLastError([this] { SelectObject(dc_, old_); });
  }
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Looks a function up by name and returns it typed; null when absent.
template <typename Function>
Function BindFunction(HMODULE module, const char* name) noexcept {
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace velkor::win
