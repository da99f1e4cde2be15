// Owners for Windows handles: one non-copyable, movable template whose traits
// name the invalid value and the close function. Closing keeps GetLastError
// intact, so an owner going out of scope never hides the error of the call
// that failed just before.
#pragma once

#include <windows.h>
#include <winsvc.h>

#include <utility>

namespace velkor::win {

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
    if (old != Traits::invalid()) {
      const DWORD error = GetLastError();
      Traits::close(old);
      SetLastError(error);
    }
  }
  // For out-parameters: frees the current value and hands out its address.
  pointer* put() noexcept {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Traits::invalid();
};

struct KernelHandleTraits {  // process, thread, token, mutex, event: null when invalid
  using pointer = HANDLE;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFile: INVALID_HANDLE_VALUE
  using pointer = HANDLE;
  static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(pointer h) noexcept { CloseHandle(h); }
};
struct ChangeNotificationTraits {  // FindFirstChangeNotification
  using pointer = HANDLE;
  static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(pointer h) noexcept { FindCloseChangeNotification(h); }
};
struct ModuleTraits {
  using pointer = HMODULE;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { FreeLibrary(h); }
};
struct GdiObjectTraits {
  using pointer = HGDIOBJ;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { DeleteObject(h); }
};
struct BitmapTraits {
  using pointer = HBITMAP;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { DeleteObject(h); }
};
struct FontTraits {
  using pointer = HFONT;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { DeleteObject(h); }
};
struct BrushTraits {
  using pointer = HBRUSH;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { DeleteObject(h); }
};
struct IconTraits {
  using pointer = HICON;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { DestroyIcon(h); }
};
struct MemoryDcTraits {  // CreateCompatibleDC
  using pointer = HDC;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { DeleteDC(h); }
};
struct RegistryKeyTraits {
  using pointer = HKEY;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { RegCloseKey(h); }
};
struct ServiceHandleTraits {  // service manager and service handles
  using pointer = SC_HANDLE;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { CloseServiceHandle(h); }
};
struct MenuTraits {
  using pointer = HMENU;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer h) noexcept { DestroyMenu(h); }
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

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueChangeNotification = UniqueHandle<ChangeNotificationTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueBitmap = UniqueHandle<BitmapTraits>;
using UniqueFont = UniqueHandle<FontTraits>;
using UniqueBrush = UniqueHandle<BrushTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueServiceHandle = UniqueHandle<ServiceHandleTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;

// GetDC/ReleaseDC pair for one window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
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
  ~PaintScope() { EndPaint(window_, &paint_); }
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
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
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
