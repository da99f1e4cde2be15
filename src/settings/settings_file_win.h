// velkor.ini on disk: fetching the bytes, gathering the live state for a save
// and replacing the file in one step. Decisions live in settings_file.h.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_file.h"

namespace velkor {

// Steps of the load and the save that belong to windows built elsewhere.
// Each is skipped while it is empty; the window code fills them once its
// controls exist.
struct PreferenceHooks {
  // Main window whose geometry a save writes; without one the save writes
  // the geometry last read from the file (or the defaults).
  std::function<HWND()> mainWindow;
  // Sets the width of process-list column `column` (load with column widths).
  std::function<void(int column, int width)> setColumnWidth;
  // Current width of process-list column `column`, 0 while it is hidden.
  std::function<int(int column)> columnWidth;
  // Puts the main window in or out of the topmost band.
  std::function<void(bool topmost)> setTopmost;
  // Sets the preferences window's controls from the loaded state.
  std::function<void()> fillPreferenceControls;
};
// App hands them over when it builds the windows; {} lets go of them.
void SetPreferenceHooks(PreferenceHooks hooks);
// The hooks as handed over (the preferences window shares them).
const PreferenceHooks& CurrentPreferenceHooks();

// The shutdown's apply and save: takes
// the preferences window's controls into the settings, applies them and
// writes velkor.ini, once the settings have been loaded in this run, so that
// a run that ends early never overwrites the user's file with start-up
// defaults. Edits cancelled in the window are saved here too.
void SavePreferencesAtShutdown();

// The file's bytes (at most the first 64 MB), or nullopt when it cannot be
// opened: absent, or held open for writing by another process.
std::optional<std::string> ReadSettingsBytes(const std::string& path);
// Writes `bytes` to a temporary file beside `path` and puts it in place of
// `path` in one step. On any failure `path` keeps its old content and the
// temporary file is removed; a read-only `path` is left as it is (false).
bool ReplaceSettingsFile(const std::string& path, std::string_view bytes);

// The version seam of the load, asked of the running system.
bool WindowsXpOrLater();

// Group "Window" of velkor.ini with the defaults -1, -1, 640, 500.
WindowGeometry ReadWindowGeometry();
// The geometry a save writes for `window`: outer position, client width and
// client height plus the menu bar (when it has one). A minimised window is measured by its
// restored rectangle.
WindowGeometry MeasureWindowGeometry(HWND window);

// The process-information window's client size in 96-DPI units: as read
// from the file (its default when the file has none) or as last closed; the
// next save writes it.
SIZE ProcessWindowSize();
void SetProcessWindowSize(SIZE size);

// The main window's size as the program gave it (at start, or on a move to
// a monitor of another scale). While the window keeps it, a save writes the
// size read from the file, so a start at another scale, where the size was
// scaled and fitted to the monitor, does not change the stored size; only
// the user's resizing does.
void NoteWindowSizeSetByProgram(HWND window);
bool WindowHasSizeSetByProgram(HWND window);

// Reads velkor.ini into Preferences, ColumnShown and (with
// `applyColumnWidths`) ColumnWidths, then runs the hooks: column widths,
// topmost state, preferences window controls.
void LoadPreferences(bool applyColumnWidths);
// The write step of the preferences' apply: rewrites velkor.ini from the
// current state. Returns false when nothing could be written (never reported).
bool WritePreferences();

}  // namespace velkor
