#include "settings/settings_file_win.h"

#include <algorithm>
#include <utility>

#include "gfx/dpi_scale.h"
#include "settings/preferences_window_win.h"
#include "win/replace_file.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {
PreferenceHooks hooks;
}  // namespace

void SetPreferenceHooks(PreferenceHooks wanted) { hooks = std::move(wanted); }
const PreferenceHooks& CurrentPreferenceHooks() { return hooks; }

namespace {

// A settings file is a few kilobytes; anything past this is not read.
constexpr uint64_t kMaxSettingsBytes = 64ull << 20;

// What a save writes for the window while there is none: the geometry read
// from the file, or the defaults when it was never read.
WindowGeometry lastReadGeometry;
bool preferencesLoaded = false;
// The outer size in pixels that the program last gave the main window.
std::optional<SIZE> sizeSetByProgram;

// The outer size a window has or will have when restored; nothing while it
// is maximised (the user's choice of size).
std::optional<SIZE> RestoredOuterSize(HWND window) {
  if (IsZoomed(window)) return std::nullopt;
  RECT outer{};
  if (IsIconic(window)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return std::nullopt;
    outer = placement.rcNormalPosition;
  } else if (!GetWindowRect(window, &outer)) {
    return std::nullopt;
  }
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

}  // namespace

std::optional<std::string> ReadSettingsBytes(const std::string& path) {
  win::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
  std::string bytes(static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(size.QuadPart), kMaxSettingsBytes)),
                    '\0');
  size_t filled = 0;
  while (filled < bytes.size()) {
    DWORD read = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - filled, 1u << 20));
    if (!ReadFile(file.get(), bytes.data() + filled, chunk, &read, nullptr)) return std::nullopt;
    if (read == 0) break;  // the file shrank meanwhile
    filled += read;
  }
  bytes.resize(filled);
  return bytes;
}

bool ReplaceSettingsFile(const std::string& path, std::string_view bytes) {
  // A file marked read-only holds settings the user froze. Renaming over it
  // would succeed on some systems and fail on others: it is never touched.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  // Bytes that are no settings file are someone's (a damaged file, another
  // program's file of this name): they are kept beside it under a new name,
  // and go back when the new file cannot be put in their place.
  if (const auto old = ReadSettingsBytes(path); old && !old->empty() && !SettingsFile(*old).IsSettingsFile()) {
    const auto aside = win::MoveAside(path);
    if (!aside) return false;
    if (win::WriteBesideThenReplace(path, bytes, 4)) return true;
    MoveFileExA(aside->c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
    return false;
  }
  // A reader in the companion may hold the old file for a moment.
  return win::WriteBesideThenReplace(path, bytes, 4);
}

bool WindowsXpOrLater() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return true;
  return IsWindowsXpOrLater(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

WindowGeometry ReadWindowGeometry() {
  const auto bytes = ReadSettingsBytes(kSettingsFileName);
  lastReadGeometry = bytes ? ReadSettingsSnapshot(SettingsFile(*bytes), true).window : WindowGeometry{};
  return lastReadGeometry;
}

WindowGeometry MeasureWindowGeometry(HWND window) {
  WindowGeometry g;
  // Sizes are stored in 96-DPI units, so the file means the same on every screen.
  const int dpi = win::WindowDpi(window);
  if (IsIconic(window)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return lastReadGeometry;
    RECT outer = placement.rcNormalPosition;
    // The restored rectangle is in work-area coordinates.
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
    if (!(exStyle & WS_EX_TOOLWINDOW)) {
      MONITORINFO monitor{};
      monitor.cbSize = sizeof monitor;
      if (GetMonitorInfoA(MonitorFromRect(&outer, MONITOR_DEFAULTTONEAREST), &monitor))
        OffsetRect(&outer, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
    }
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & ~DWORD{WS_MINIMIZE | WS_MAXIMIZE};
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    g.x = outer.left;
    g.y = outer.top;
    g.width = ScaleFromDpi((outer.right - outer.left) - (frame.right - frame.left), dpi);
    g.height = ScaleFromDpi((outer.bottom - outer.top) - (frame.bottom - frame.top), dpi);
    return g;
  }
  RECT outer{}, client{};
  if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client)) return lastReadGeometry;
  g.x = outer.left;
  g.y = outer.top;
  g.width = ScaleFromDpi(client.right - client.left, dpi);
  // The stored height includes the menu bar, which the restore takes from the
  // client area again; a window without one stores its plain client height.
  g.height =
      ScaleFromDpi(client.bottom - client.top + (GetMenu(window) ? win::SystemMetricAtDpi(SM_CYMENU, dpi) : 0), dpi);
  return g;
}

SIZE ProcessWindowSize() { return {lastReadGeometry.infoWidth, lastReadGeometry.infoHeight}; }

void SetProcessWindowSize(SIZE size) {
  lastReadGeometry.infoWidth = std::clamp<int32_t>(size.cx, 0, 32767);
  lastReadGeometry.infoHeight = std::clamp<int32_t>(size.cy, 0, 32767);
}

void NoteWindowSizeSetByProgram(HWND window) { sizeSetByProgram = RestoredOuterSize(window); }

bool WindowHasSizeSetByProgram(HWND window) {
  const auto now = RestoredOuterSize(window);
  return now && sizeSetByProgram && now->cx == sizeSetByProgram->cx && now->cy == sizeSetByProgram->cy;
}

void LoadPreferences(bool applyColumnWidths) {
  VELKOR_PLACE(kProceduresUnit);
  const bool read =
      LoadPreferencesFromBytes(ReadSettingsBytes(kSettingsFileName), applyColumnWidths, WindowsXpOrLater());
  preferencesLoaded = true;
  if (read && applyColumnWidths && hooks.setColumnWidth) {
    for (int n = 0; n < kProcessColumnCount; ++n) hooks.setColumnWidth(n, ColumnWidths[static_cast<size_t>(n)]);
  }
  if (hooks.setTopmost) hooks.setTopmost(Preferences.PreferencesSticky != 0);
  if (hooks.fillPreferenceControls) hooks.fillPreferenceControls();
}

bool WritePreferences() {
  VELKOR_PLACE(kProceduresUnit);
  HWND window = hooks.mainWindow ? hooks.mainWindow() : nullptr;
  WindowGeometry geometry = lastReadGeometry;
  if (window && IsWindow(window)) {
    geometry = MeasureWindowGeometry(window);
    if (WindowHasSizeSetByProgram(window)) {
      geometry.width = lastReadGeometry.width;
      geometry.height = lastReadGeometry.height;
    }
  }
  geometry.infoWidth = lastReadGeometry.infoWidth;
  geometry.infoHeight = lastReadGeometry.infoHeight;
  std::array<int32_t, kProcessColumnCount> current{};
  if (hooks.columnWidth) {
    for (int n = 0; n < kProcessColumnCount; ++n) current[static_cast<size_t>(n)] = hooks.columnWidth(n);
  }
  return ReplaceSettingsFile(kSettingsFileName, FormatSettingsFile(CurrentSettings(geometry, current)));
}

void SavePreferencesAtShutdown() {
  VELKOR_PLACE(kProceduresUnit);
  if (preferencesLoaded) ApplyPreferences();
}

}  // namespace velkor
