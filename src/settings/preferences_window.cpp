#include "settings/preferences_window.h"

#include <algorithm>

#include "gfx/image_names.h"
#include "settings/settings_file.h"

namespace velkor {

namespace {

constexpr int32_t kRefreshLimit = 99999;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

AutostartPair CoupleAutostartBoxes(int clickedId, AutostartPair now) {
  if (clickedId == kAutostartBoxId && now.autostart) now.remain = true;
  if (clickedId == kRemainBoxId && !now.remain) now.autostart = false;
  return now;
}

std::string DigitsOnly(std::string_view text, int maxLength) {
  std::string digits;
  for (char c : text)
    if (IsDigit(c) && static_cast<int>(digits.size()) < maxLength) digits += c;
  return digits;
}

int32_t RefreshFieldValue(std::string_view text) {
  return std::clamp(SettingsInteger(DigitsOnly(text, kRefreshFieldLength)), 0, kRefreshLimit);
}

int32_t ExitCodeFieldValue(std::string_view text) { return std::clamp(SettingsInteger(text), 0, kExitCodeLimit); }

int PreferencesPageAt(int clientX) { return clientX < 170 ? 0 : 1; }

const std::array<SearchEngine, 7>& SearchEngines() {
  // The hosts are search sites of the named engines; path and query are the
  // ones each engine answers to. The last item searches one site of process
  // descriptions through the first engine.
  static const std::array<SearchEngine, 7> engines = {{
      {293, "Google", images::kEngineGoogle, PreferencesRecord::kDefaultSearchString},
      {294, "Yahoo", images::kEngineYahoo, "https://search.yahoo.com/search?p=%22[SEARCH]%22"},
      {295, "Abacho", images::kEngineAbacho,
       "https://www.abacho.de/de/abacho.de/index.cfm?q=%22[SEARCH]%22&mesearchkey=world"},
      {296, "LiveSearch", images::kEngineLivesearch, "https://search.live.com/results.aspx?q=%22[SEARCH]%22"},
      {297, "Lycos", images::kEngineLycos, "https://search.lycos.com/cgi-bin/pursuit?query=%22[SEARCH]%22&cat=web"},
      {298, "Exalead", images::kEngineExalead, "https://www.exalead.com/search/results?q=%22[SEARCH]%22"},
      {299, "file.net", images::kEngineSite, "https://www.google.com/search?q=%22[SEARCH]%22&as_sitesearch=FILE.NET"},
  }};
  return engines;
}

std::optional<std::string_view> SearchEngineTemplate(int id) {
  for (const SearchEngine& engine : SearchEngines())
    if (engine.id == id) return engine.templateUrl;
  return std::nullopt;
}

std::string_view FolderWithBackslash(std::string_view path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash + 1);
}

ShortcutProperties ResolveShortcut(ShortcutProperties shortcut) {
  if (shortcut.workingDirectory.empty()) {
    std::string_view folder = FolderWithBackslash(shortcut.target);
    // "C:\" keeps its backslash; any deeper folder is named without it.
    if (folder.size() > 3) folder.remove_suffix(1);
    shortcut.workingDirectory = std::string(folder);
  }
  if (shortcut.iconFile == "|") shortcut.iconFile = shortcut.target;
  return shortcut;
}

ShortcutProperties AutostartShortcut(std::string_view programPath, std::string_view startupFolder) {
  ShortcutProperties shortcut;
  shortcut.target = std::string(FolderWithBackslash(programPath)) + kCompanionFileName;
  shortcut.linkFile = std::string(startupFolder) + kAutostartLinkName;
  shortcut.arguments = kAutostartArguments;
  shortcut.showCommand = 1;
  shortcut.description = kAutostartDescription;
  shortcut.hotKey = 0;
  shortcut.iconFile = "|";
  shortcut.iconIndex = 0;
  return ResolveShortcut(std::move(shortcut));
}

void TakeShownColumnWidths(const std::array<int32_t, kProcessColumnCount>& current,
                           std::array<int32_t, kProcessColumnCount>& remembered) {
  for (size_t n = 1; n < current.size(); ++n)
    if (current[n] > 0) remembered[n] = current[n];
}

}  // namespace velkor
