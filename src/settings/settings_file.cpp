#include "settings/settings_file.h"

#include <algorithm>
#include <limits>

namespace velkor {

namespace {

constexpr std::array<std::string_view, kSettingsGroupCount> kGroupNames = {"General", "Window", "Column",
                                                                           "ColumnWidth"};

std::vector<std::string> IndexedKeys(std::string_view prefix, int count) {
  std::vector<std::string> keys;
  for (int n = 0; n < count; ++n) keys.push_back(std::string(prefix) + std::to_string(n));
  return keys;
}

const std::array<std::vector<std::string>, kSettingsGroupCount>& KeyTable() {
  static const std::array<std::vector<std::string>, kSettingsGroupCount> table = {
      std::vector<std::string>{"PreferencesAutostart", "PreferencesRemain", "PreferencesReactivateExplorer",
                               "PreferencesOptimize", "PreferencesSticky", "PreferencesWindowTitle",
                               "PreferencesCPUPerProcess", "PreferencesUseComma", "PreferencesShowZeroCPU",
                               "PreferencesExitCodeSpin", "PreferencesSearchString", "PreferencesRefresh1Spin",
                               "PreferencesRefresh2Spin"},
      std::vector<std::string>{"X", "Y", "Width", "Height", "InfoWidth", "InfoHeight"},
      IndexedKeys("PreferencesShow", kShownFlagCount),
      IndexedKeys("PreferencesColumnWidth", kProcessColumnCount),
  };
  return table;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanksLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimBlanksRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int FindIndex(std::string_view name, const auto& names) {
  for (size_t i = 0; i < names.size(); ++i)
    if (SameName(name, names[i])) return static_cast<int>(i);
  return -1;
}

// Windows-1252 bytes 0x80..0x9F and the characters they stand for; 0 marks the
// five unassigned bytes, which stand for the control character of their own
// number.
constexpr std::array<char32_t, 32> kHighControls = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToWindows1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    const char32_t own = kHighControls[i] ? kHighControls[i] : static_cast<char32_t>(0x80 + i);
    if (own == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) { return std::clamp(value, low, high); }
int32_t Flag(int32_t value) { return value != 0 ? 1 : 0; }

}  // namespace

std::string_view SettingsGroupName(SettingsGroup group) { return kGroupNames[static_cast<size_t>(group)]; }

const std::vector<std::string>& SettingsKeys(SettingsGroup group) { return KeyTable()[static_cast<size_t>(group)]; }

std::string Utf8ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    // Sequence length and the allowed range of the second byte (no overlong
    // forms, no surrogates, nothing above U+10FFFF).
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, code = lead & 0x0Fu;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, code = lead & 0x07u;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    }
    bool valid = length != 0 && i + length <= utf8.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      const unsigned char from = k == 1 ? low : 0x80, to = k == 1 ? high : 0xBF;
      if (next < from || next > to) valid = false;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    out += ToWindows1252(code);
    i += length;
  }
  return out;
}

int32_t SettingsInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Past this magnitude the result saturates; stop growing so nothing overflows.
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    magnitude = std::min(kLimit, magnitude * 10 + (text[i] - '0'));
  const int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

SettingsFile::SettingsFile(std::string_view bytes) {
  for (size_t g = 0; g < kSettingsGroupCount; ++g) values_[g].resize(KeyTable()[g].size());

  std::string converted;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    converted = Utf8ToWindows1252(bytes.substr(3));
    bytes = converted;
  }

  int group = -1;  // the known group whose first header was the last header seen
  size_t pos = 0;
  while (pos < bytes.size()) {
    if (bytes[pos] == '\r' || bytes[pos] == '\n') {
      ++pos;
      continue;
    }
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = TrimBlanksLeft(bytes.substr(pos, end - pos));
    pos = end;

    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::string_view name = line.substr(1, line.find(']') - 1);
      group = FindIndex(name, kGroupNames);
      if (group >= 0) {
        if (groupFound_[static_cast<size_t>(group)]) {
          group = -1;  // a later header of the same group is never selected
        } else {
          groupFound_[static_cast<size_t>(group)] = true;
        }
      }
      continue;
    }
    if (group < 0) continue;
    const size_t equals = line.find('=');
    const std::string_view key = TrimBlanksRight(line.substr(0, equals));
    const int index = FindIndex(key, KeyTable()[static_cast<size_t>(group)]);
    if (index < 0) continue;
    auto& slot = values_[static_cast<size_t>(group)][static_cast<size_t>(index)];
    if (slot) continue;
    slot = std::string(equals == std::string_view::npos ? std::string_view{} : TrimBlanksLeft(line.substr(equals + 1)));
  }
}

bool SettingsFile::HasGroup(SettingsGroup group) const { return groupFound_[static_cast<size_t>(group)]; }

bool SettingsFile::IsSettingsFile() const {
  return std::any_of(groupFound_.begin(), groupFound_.end(), [](bool found) { return found; });
}

const std::optional<std::string>* SettingsFile::Slot(SettingsGroup group, std::string_view key) const {
  const int index = FindIndex(key, SettingsKeys(group));
  if (index < 0) return nullptr;
  return &values_[static_cast<size_t>(group)][static_cast<size_t>(index)];
}

std::optional<std::string> SettingsFile::Text(SettingsGroup group, std::string_view key) const {
  const auto* slot = Slot(group, key);
  if (!slot || !*slot) return std::nullopt;
  return std::string(TrimBlanksRight(**slot));
}

int32_t SettingsFile::Integer(SettingsGroup group, std::string_view key, int32_t missing) const {
  const auto* slot = Slot(group, key);
  if (!slot || !*slot) return missing;
  return SettingsInteger(**slot);
}

SettingsSnapshot ReadSettingsSnapshot(const SettingsFile& file, bool windowsXpOrLater) {
  SettingsSnapshot s;
  const auto general = [&](std::string_view key) { return file.Integer(SettingsGroup::General, key, 0); };
  PreferencesRecord& p = s.preferences;
  s.autostart = Flag(general("PreferencesAutostart"));
  p.PreferencesRemain = Flag(general("PreferencesRemain"));
  p.PreferencesReactivateExplorer = windowsXpOrLater ? 0 : Flag(general("PreferencesReactivateExplorer"));
  p.PreferencesOptimize = Flag(general("PreferencesOptimize"));
  p.PreferencesSticky = Flag(general("PreferencesSticky"));
  p.PreferencesWindowTitle = Flag(general("PreferencesWindowTitle"));
  p.PreferencesCPUPerProcess = Flag(general("PreferencesCPUPerProcess"));
  p.PreferencesUseComma = Flag(general("PreferencesUseComma"));
  p.PreferencesShowZeroCPU = Flag(general("PreferencesShowZeroCPU"));
  p.PreferencesExitCodeSpin = Clamp(general("PreferencesExitCodeSpin"), 0, 14080);
  p.PreferencesSearchString = file.Text(SettingsGroup::General, "PreferencesSearchString").value_or("");
  p.PreferencesRefresh1Spin = Clamp(general("PreferencesRefresh1Spin"), 0, 99999);
  p.PreferencesRefresh2Spin = Clamp(general("PreferencesRefresh2Spin"), 0, 99999);

  s.window.x = Clamp(file.Integer(SettingsGroup::Window, "X", -1), -32768, 32767);
  s.window.y = Clamp(file.Integer(SettingsGroup::Window, "Y", -1), -32768, 32767);
  s.window.width = Clamp(file.Integer(SettingsGroup::Window, "Width", 640), 0, 32767);
  s.window.height = Clamp(file.Integer(SettingsGroup::Window, "Height", 500), 0, 32767);
  s.window.infoWidth = Clamp(file.Integer(SettingsGroup::Window, "InfoWidth", kInfoWindowWidth), 0, 32767);
  s.window.infoHeight = Clamp(file.Integer(SettingsGroup::Window, "InfoHeight", kInfoWindowHeight), 0, 32767);

  const auto& shownKeys = SettingsKeys(SettingsGroup::Column);
  for (size_t n = 0; n < s.shown.size(); ++n) s.shown[n] = Flag(file.Integer(SettingsGroup::Column, shownKeys[n], 0));
  const auto& widthKeys = SettingsKeys(SettingsGroup::ColumnWidth);
  // A width the file does not hold or that no column can have (a damaged or
  // hand-made file) keeps the column's default: nothing in the program could
  // bring such a column back.
  for (size_t n = 0; n < s.widths.size(); ++n) {
    const int32_t width = file.Integer(SettingsGroup::ColumnWidth, widthKeys[n], kDefaultColumnWidths[n]);
    s.widths[n] = width < 0 ? kDefaultColumnWidths[n] : std::min(width, 32767);
  }
  return s;
}

std::array<int32_t, kProcessColumnCount> SavedColumnWidths(const std::array<int32_t, kProcessColumnCount>& current,
                                                           const std::array<int32_t, kProcessColumnCount>& remembered) {
  std::array<int32_t, kProcessColumnCount> saved{};
  for (size_t n = 0; n < saved.size(); ++n) saved[n] = current[n] != 0 ? current[n] : remembered[n];
  return saved;
}

std::string FormatSettingsFile(const SettingsSnapshot& s) {
  std::string out;
  out.reserve(2048 + s.preferences.PreferencesSearchString.size());
  const auto group = [&](SettingsGroup g) {
    out += '[';
    out += SettingsGroupName(g);
    out += "]\r\n";
  };
  const auto line = [&](std::string_view key, std::string_view value) {
    out += key;
    out += " = ";
    out += value;
    out += "\r\n";
  };
  const auto number = [&](std::string_view key, int32_t value) { line(key, std::to_string(value)); };

  const PreferencesRecord& p = s.preferences;
  std::string url = p.PreferencesSearchString;
  std::erase_if(url, [](char c) { return c == '\r' || c == '\n'; });
  const auto& general = SettingsKeys(SettingsGroup::General);
  group(SettingsGroup::General);
  number(general[0], s.autostart);
  number(general[1], p.PreferencesRemain);
  number(general[2], p.PreferencesReactivateExplorer);
  number(general[3], p.PreferencesOptimize);
  number(general[4], p.PreferencesSticky);
  number(general[5], p.PreferencesWindowTitle);
  number(general[6], p.PreferencesCPUPerProcess);
  number(general[7], p.PreferencesUseComma);
  number(general[8], p.PreferencesShowZeroCPU);
  number(general[9], p.PreferencesExitCodeSpin);
  line(general[10], url);
  number(general[11], p.PreferencesRefresh1Spin);
  number(general[12], p.PreferencesRefresh2Spin);

  group(SettingsGroup::Window);
  number("X", s.window.x);
  number("Y", s.window.y);
  number("Width", s.window.width);
  number("Height", s.window.height);
  number("InfoWidth", s.window.infoWidth);
  number("InfoHeight", s.window.infoHeight);

  group(SettingsGroup::Column);
  const auto& shownKeys = SettingsKeys(SettingsGroup::Column);
  for (size_t n = 0; n < s.shown.size(); ++n) number(shownKeys[n], s.shown[n]);

  group(SettingsGroup::ColumnWidth);
  const auto& widthKeys = SettingsKeys(SettingsGroup::ColumnWidth);
  for (size_t n = 0; n < s.widths.size(); ++n) number(widthKeys[n], s.widths[n]);
  return out;
}

bool LoadPreferencesFromBytes(const std::optional<std::string>& bytes, bool applyColumnWidths, bool windowsXpOrLater) {
  const std::optional<SettingsFile> file = bytes ? std::optional<SettingsFile>(*bytes) : std::nullopt;
  if (!file || !file->IsSettingsFile()) {
    PreferencesAutostart = 0;
    return false;
  }
  const SettingsSnapshot s = ReadSettingsSnapshot(*file, windowsXpOrLater);
  Preferences = s.preferences;
  PreferencesAutostart = s.autostart;
  ColumnShown = s.shown;
  if (applyColumnWidths) ColumnWidths = s.widths;
  return true;
}

SettingsSnapshot CurrentSettings(const WindowGeometry& window,
                                 const std::array<int32_t, kProcessColumnCount>& currentWidths) {
  SettingsSnapshot s;
  s.preferences = Preferences;
  s.autostart = PreferencesAutostart;
  s.window = window;
  s.shown = ColumnShown;
  s.widths = SavedColumnWidths(currentWidths, ColumnWidths);
  return s;
}

bool IsWindowsXpOrLater(uint32_t platform, uint32_t major, uint32_t minor) {
  constexpr uint32_t kWindows95Family = 1, kWindowsNt = 2;
  if (platform == kWindows95Family) return major > 4;
  if (platform == kWindowsNt) return major > 5 || (major == 5 && minor >= 1);
  return true;
}

}  // namespace velkor
