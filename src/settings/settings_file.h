// velkor.ini: the reader and the writer, free of any system call. The Win32
// layer (settings_file_win.h) only fetches the bytes, gathers the live state
// and puts the bytes on disk.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/preferences.h"

namespace velkor {

inline constexpr const char* kSettingsFileName = "velkor.ini";

// Groups of the file, in the order they are written.
enum class SettingsGroup { General, Window, Column, ColumnWidth };
inline constexpr int kSettingsGroupCount = 4;

// The group's name and its keys, in the order they are written.
std::string_view SettingsGroupName(SettingsGroup group);
const std::vector<std::string>& SettingsKeys(SettingsGroup group);

// Windows-1252 text from UTF-8. Characters that 1252 lacks and broken
// sequences (each offending byte) become '?'.
std::string Utf8ToWindows1252(std::string_view utf8);

// Text to integer as the reader converts values: leading white space, an
// optional sign, then decimal digits up to the first other character; no
// digits give 0. Values beyond 32 bits saturate at the 32-bit limits.
int32_t SettingsInteger(std::string_view text);

// The known keys of one settings file, found in a single pass over its bytes
// (a UTF-8 file with byte-order mark is converted to Windows-1252 first).
// Groups and keys match without regard to ASCII case; only the first header
// of a group counts, and within it the first line of a key wins.
class SettingsFile {
 public:
  explicit SettingsFile(std::string_view bytes);

  [[nodiscard]] bool HasGroup(SettingsGroup group) const;
  // Whether the bytes are a settings file at all: one of the four groups at
  // least. Anything else (a damaged file, some other file of that name) is
  // read as no file, and a save keeps its bytes.
  [[nodiscard]] bool IsSettingsFile() const;
  // The raw value with trailing spaces and tabs removed; nullopt when the key
  // (or its group) is missing or `key` is not one of the group's keys.
  [[nodiscard]] std::optional<std::string> Text(SettingsGroup group, std::string_view key) const;
  // The value converted by SettingsInteger, or `missing` when absent.
  [[nodiscard]] int32_t Integer(SettingsGroup group, std::string_view key, int32_t missing) const;

 private:
  [[nodiscard]] const std::optional<std::string>* Slot(SettingsGroup group, std::string_view key) const;

  std::array<bool, kSettingsGroupCount> groupFound_{};
  std::array<std::vector<std::optional<std::string>>, kSettingsGroupCount> values_;
};

// The process-information window's client size at first opening (96-DPI units).
inline constexpr int32_t kInfoWindowWidth = 560;
inline constexpr int32_t kInfoWindowHeight = 440;

// Position of the main window's outer rectangle, client width, and client
// height plus one menu bar; the client size of the process-information
// window. The defaults are those of a missing "Window" group.
struct WindowGeometry {
  int32_t x = -1;
  int32_t y = -1;
  int32_t width = 640;
  int32_t height = 500;
  int32_t infoWidth = kInfoWindowWidth;
  int32_t infoHeight = kInfoWindowHeight;
  friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

// Everything one file holds, or everything one save writes.
struct SettingsSnapshot {
  PreferencesRecord preferences;
  int32_t autostart = 0;
  WindowGeometry window;
  std::array<int32_t, kShownFlagCount> shown{};
  std::array<int32_t, kProcessColumnCount> widths{};
  friend bool operator==(const SettingsSnapshot&, const SettingsSnapshot&) = default;
};

// Reads all four groups with the main program's defaults for missing keys
// (0, the empty URL, and the window defaults above). Values are brought into
// their ranges so that no later consumer sees a nonsensical setting: flags
// become 0 or 1, the exit code 0..14080, the intervals 0..99999, widths
// 0..32767 (a missing or negative width is the column's start-up width), the
// window position -32768..32767 and its size 0..32767. With
// `windowsXpOrLater` the explorer restart is always off.
SettingsSnapshot ReadSettingsSnapshot(const SettingsFile& file, bool windowsXpOrLater);

// The width saved for each column: its current width when it is not 0 (the
// column is shown), else the width it had when it was last shown.
std::array<int32_t, kProcessColumnCount> SavedColumnWidths(const std::array<int32_t, kProcessColumnCount>& current,
                                                           const std::array<int32_t, kProcessColumnCount>& remembered);

// The complete file a save writes: 4 group lines and 46 key lines, " = "
// between key and value, CR LF after every line, no byte-order mark. Line
// breaks inside the search URL are dropped, since they would split its line.
std::string FormatSettingsFile(const SettingsSnapshot& settings);

// The load step on the program's state: `bytes` is the file's content, or
// nullopt when it could not be opened. Fills Preferences,
// PreferencesAutostart, ColumnShown and, with `applyColumnWidths`,
// ColumnWidths; returns false when there was no settings file to read (none
// could be opened, or its bytes are no settings file): then everything keeps
// its value and the autostart flag is cleared.
bool LoadPreferencesFromBytes(const std::optional<std::string>& bytes, bool applyColumnWidths, bool windowsXpOrLater);

// The program's state as a save writes it, with the main window's geometry
// and the current widths of the process-list columns (0 for hidden ones).
SettingsSnapshot CurrentSettings(const WindowGeometry& window,
                                 const std::array<int32_t, kProcessColumnCount>& currentWidths);

// The Windows version seam of the load: true for XP and later and for any
// version not known to be earlier. `platform` is the platform identifier of
// the version query (1: the Windows 95 family, 2: NT).
bool IsWindowsXpOrLater(uint32_t platform, uint32_t major, uint32_t minor);

}  // namespace velkor
