// What the controls of the preferences window "Einstellungen" mean, free of
// any system call: the identifiers, the coupling of the first two check
// boxes, the number fields, the page selector, the search-engine templates
// and the autostart shortcut's properties. The window itself is driven by
// preferences_window_win.h.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/preferences.h"

namespace velkor {

// Controls of window 3.
inline constexpr int kPrefsSidebarId = 248;
inline constexpr int kPrefsPageSelectorId = 249;
inline constexpr int kPrefsGeneralPageId = 250;
inline constexpr int kPrefsScrollAreaId = 251;
inline constexpr int kAutostartBoxId = 252;
inline constexpr int kRemainBoxId = 253;
inline constexpr int kReactivateExplorerBoxId = 254;
inline constexpr int kOptimizeBoxId = 255;
inline constexpr int kStickyBoxId = 256;
inline constexpr int kWindowTitleBoxId = 257;
inline constexpr int kCpuPerProcessBoxId = 258;
inline constexpr int kUseCommaBoxId = 259;
inline constexpr int kShowZeroCpuBoxId = 260;
inline constexpr int kListRefreshFieldId = 263;
inline constexpr int kMonitorRefreshFieldId = 266;
inline constexpr int kExitCodeFieldId = 269;
inline constexpr int kExitCodeDefaultButtonId = 270;
inline constexpr int kSearchStringFieldId = 273;
inline constexpr int kSearchDefaultButtonId = 274;
inline constexpr int kPrefsColumnsPageId = 276;
inline constexpr int kFirstColumnBoxId = 278;  // 278..290: process-list columns 1..13
inline constexpr int kPrefsOkButtonId = 291;
inline constexpr int kPrefsCancelButtonId = 292;
inline constexpr int kFirstSearchEngineId = 293;  // 293..299: items of the search-engine menu
inline constexpr int kLastSearchEngineId = 299;

// The eight flags of the record in the order of their check boxes 253..260.
inline constexpr std::array<int32_t PreferencesRecord::*, 8> kPreferenceFlags = {
    &PreferencesRecord::PreferencesRemain,      &PreferencesRecord::PreferencesReactivateExplorer,
    &PreferencesRecord::PreferencesOptimize,    &PreferencesRecord::PreferencesSticky,
    &PreferencesRecord::PreferencesWindowTitle, &PreferencesRecord::PreferencesCPUPerProcess,
    &PreferencesRecord::PreferencesUseComma,    &PreferencesRecord::PreferencesShowZeroCPU};

inline constexpr int32_t kExitCodeLimit = 14080;
inline constexpr int32_t kDefaultExitCode = 1067;
inline constexpr int kRefreshFieldLength = 5;  // characters of a refresh field
inline constexpr int kExitCodeFieldLength = 5;

// The first two check boxes after a click on one of them: checking the
// autostart also keeps the companion when the main window closes (the
// autostart is pointless otherwise), and giving that up also gives up the
// autostart. Other clicks and other boxes leave both as they are.
struct AutostartPair {
  bool autostart = false;
  bool remain = false;
  friend bool operator==(const AutostartPair&, const AutostartPair&) = default;
};
AutostartPair CoupleAutostartBoxes(int clickedId, AutostartPair now);

// The text a digits-only field keeps of `text`: its digits, at most
// `maxLength` of them (a paste can bring in anything).
std::string DigitsOnly(std::string_view text, int maxLength);
// A refresh field's interval: the digits as a number, 0 for an empty field,
// at most 99999 milliseconds.
int32_t RefreshFieldValue(std::string_view text);
// The exit code of the spin field: its leading number brought into 0..14080;
// an empty or unreadable field gives 0.
int32_t ExitCodeFieldValue(std::string_view text);

// The pages as the page selector's picture names them, and the right edge of
// each one's tab in the picture (96-DPI pixels; PreferencesPageAt's cut).
inline constexpr std::array<std::string_view, 2> kPreferencesPageNames = {"Allgemein", "Spalten"};
inline constexpr std::array<int, 2> kPreferencesPageRightEdges = {80, 160};

// The page a click on the page selector shows: 0 (general) left of x = 170
// in the window's client coordinates, else 1 (columns).
int PreferencesPageAt(int clientX);

// One item of the search-engine menu: its identifier, caption, 16x16 icon
// (a picture resource name) and URL template with "[SEARCH]".
struct SearchEngine {
  int id;
  std::string_view caption;
  const char* icon;
  std::string_view templateUrl;
};
const std::array<SearchEngine, 7>& SearchEngines();
// The template of menu item `id`, nothing for any other identifier.
std::optional<std::string_view> SearchEngineTemplate(int id);

// One shell link as CreateShortcut writes it.
struct ShortcutProperties {
  std::string target;
  std::string linkFile;
  std::string workingDirectory;  // empty: the target's folder
  std::string arguments;
  int showCommand = 1;
  std::string description;
  uint16_t hotKey = 0;
  std::string iconFile;  // "|": the target itself
  int iconIndex = 0;
  friend bool operator==(const ShortcutProperties&, const ShortcutProperties&) = default;
};
// `shortcut` with its shorthands resolved: an empty working directory becomes
// the target's folder, the icon file "|" the target.
ShortcutProperties ResolveShortcut(ShortcutProperties shortcut);

// The folder part of a path up to and including its last backslash ("" when
// it has none).
std::string_view FolderWithBackslash(std::string_view path);

inline constexpr const char* kCompanionFileName = "dornat.exe";
inline constexpr const char* kAutostartLinkName = "\\Velkor.lnk";
inline constexpr const char* kAutostartArguments = "-nocheck";
inline constexpr const char* kAutostartDescription = "Automatischer Start des Velkor SystemTray Icons.";

// The autostart shortcut for a main program at `programPath`, in the Startup
// folder `startupFolder` (no trailing backslash; empty when it could not be
// resolved): the companion beside the program, started with "-nocheck" in
// the program's folder.
ShortcutProperties AutostartShortcut(std::string_view programPath, std::string_view startupFolder);

// Before the column visibility is applied: the width a shown column has now
// (not 0) becomes the width it returns to, so that "OK" keeps the widths the
// user dragged the columns to.
void TakeShownColumnWidths(const std::array<int32_t, kProcessColumnCount>& current,
                           std::array<int32_t, kProcessColumnCount>& remembered);

}  // namespace velkor
