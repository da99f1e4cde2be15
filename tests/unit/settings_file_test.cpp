#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace velkor {
namespace {

const std::string kDefaultsFile =
    "[General]\r\n"
    "PreferencesAutostart = 1\r\n"
    "PreferencesRemain = 1\r\n"
    "PreferencesReactivateExplorer = 0\r\n"
    "PreferencesOptimize = 1\r\n"
    "PreferencesSticky = 1\r\n"
    "PreferencesWindowTitle = 1\r\n"
    "PreferencesCPUPerProcess = 1\r\n"
    "PreferencesUseComma = 0\r\n"
    "PreferencesShowZeroCPU = 0\r\n"
    "PreferencesExitCodeSpin = 1067\r\n"
    "PreferencesSearchString = https://www.google.com/search?q=%22[SEARCH]%22\r\n"
    "PreferencesRefresh1Spin = 2500\r\n"
    "PreferencesRefresh2Spin = 750\r\n"
    "[Window]\r\n"
    "X = -1\r\n"
    "Y = 12\r\n"
    "Width = 800\r\n"
    "Height = 600\r\n"
    "InfoWidth = 560\r\n"
    "InfoHeight = 440\r\n"
    "[Column]\r\n"
    "PreferencesShow0 = 1\r\nPreferencesShow1 = 0\r\nPreferencesShow2 = 1\r\nPreferencesShow3 = 1\r\n"
    "PreferencesShow4 = 1\r\nPreferencesShow5 = 1\r\nPreferencesShow6 = 1\r\nPreferencesShow7 = 1\r\n"
    "PreferencesShow8 = 1\r\nPreferencesShow9 = 1\r\nPreferencesShow10 = 1\r\nPreferencesShow11 = 1\r\n"
    "PreferencesShow12 = 1\r\n"
    "[ColumnWidth]\r\n"
    "PreferencesColumnWidth0 = 200\r\nPreferencesColumnWidth1 = 150\r\nPreferencesColumnWidth2 = 60\r\n"
    "PreferencesColumnWidth3 = 45\r\nPreferencesColumnWidth4 = 60\r\nPreferencesColumnWidth5 = 110\r\n"
    "PreferencesColumnWidth6 = 100\r\nPreferencesColumnWidth7 = 100\r\nPreferencesColumnWidth8 = 100\r\n"
    "PreferencesColumnWidth9 = 60\r\nPreferencesColumnWidth10 = 60\r\nPreferencesColumnWidth11 = 100\r\n"
    "PreferencesColumnWidth12 = 100\r\nPreferencesColumnWidth13 = 200\r\n";

SettingsSnapshot DefaultsSnapshot() {
  SettingsSnapshot s;
  s.autostart = 1;
  s.window = {-1, 12, 800, 600};
  s.shown.fill(1);
  s.shown[1] = 0;
  s.widths = kDefaultColumnWidths;
  return s;
}

SettingsSnapshot Read(std::string_view bytes, bool xp = true) { return ReadSettingsSnapshot(SettingsFile(bytes), xp); }

TEST(SettingsFile, SaveWritesExactly50LinesInOrder) {
  const std::string written = FormatSettingsFile(DefaultsSnapshot());
  EXPECT_EQ(written, kDefaultsFile);
  // Every line ends in CR LF and nothing else breaks a line.
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 50);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\r'), 50);
  EXPECT_EQ(written.find("\n"), written.find("\r\n") + 1);
  EXPECT_EQ(Read(written), DefaultsSnapshot());
}

// An older file without the process window's keys opens it at its default size.
TEST(SettingsFile, ProcessWindowSizeKeepsItsDefaultInAnOlderFile) {
  const SettingsSnapshot old = Read("[Window]\r\nX = 10\r\nY = 20\r\nWidth = 300\r\nHeight = 200\r\n");
  EXPECT_EQ(old.window.infoWidth, kInfoWindowWidth);
  EXPECT_EQ(old.window.infoHeight, kInfoWindowHeight);
  const SettingsSnapshot stored = Read("[Window]\r\nInfoWidth = 700\r\nInfoHeight = -3\r\n");
  EXPECT_EQ(stored.window.infoWidth, 700);
  EXPECT_EQ(stored.window.infoHeight, 0);
}

TEST(SettingsFile, NegativeNumbersAndLineBreaksInTheUrl) {
  SettingsSnapshot s = DefaultsSnapshot();
  s.window = {-1200, -5, 0, 7};
  s.preferences.PreferencesSearchString = "http://a\r\n[General]\r\nPreferencesRefresh1Spin = 1\rx\ny";
  const std::string written = FormatSettingsFile(s);
  EXPECT_NE(written.find("X = -1200\r\nY = -5\r\nWidth = 0\r\nHeight = 7\r\n"), std::string::npos);
  EXPECT_NE(written.find("PreferencesSearchString = http://a[General]PreferencesRefresh1Spin = 1xy\r\n"),
            std::string::npos);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 50);
  EXPECT_EQ(Read(written).preferences.PreferencesRefresh1Spin, 2500);
}

TEST(SettingsFile, OnlyTheWindowGroupTurnsEverythingOffButKeepsDefaultWidths) {
  const std::string file = "[Window]\r\nX = 10\r\nY = 20\r\nWidth = 300\r\nHeight = 200\r\n";
  SetPreferenceDefaults();
  SetDefaultColumnWidths();
  PreferencesAutostart = 1;
  LoadPreferencesFromBytes(file, false, true);
  EXPECT_EQ(Preferences.PreferencesRemain, 0);
  EXPECT_EQ(Preferences.PreferencesOptimize, 0);
  EXPECT_EQ(Preferences.PreferencesSticky, 0);
  EXPECT_EQ(Preferences.PreferencesWindowTitle, 0);
  EXPECT_EQ(Preferences.PreferencesCPUPerProcess, 0);
  EXPECT_EQ(Preferences.PreferencesExitCodeSpin, 0);
  EXPECT_EQ(Preferences.PreferencesRefresh1Spin, 0);
  EXPECT_EQ(Preferences.PreferencesRefresh2Spin, 0);
  EXPECT_EQ(Preferences.PreferencesSearchString, "");
  EXPECT_EQ(PreferencesAutostart, 0);
  for (int shown : ColumnShown) EXPECT_EQ(shown, 0);
  EXPECT_EQ(ColumnWidths, kDefaultColumnWidths);  // only the start-up load takes widths

  // Widths the file lacks are the defaults, not 0 (which would hide every column); one it holds is taken.
  ColumnWidths.fill(7);
  LoadPreferencesFromBytes(file, true, true);
  EXPECT_EQ(ColumnWidths, kDefaultColumnWidths);
  LoadPreferencesFromBytes(file + "[ColumnWidth]\r\nPreferencesColumnWidth2 = 0\r\n", true, true);
  EXPECT_EQ(ColumnWidths[2], 0);
  EXPECT_EQ(ColumnWidths[13], kDefaultColumnWidths[13]);
  EXPECT_EQ(Read(file).window, (WindowGeometry{10, 20, 300, 200}));
  EXPECT_EQ(Read("[General]\r\n").window, WindowGeometry{});
  SetPreferenceDefaults();
  SetDefaultColumnWidths();
}

TEST(SettingsFile, MissingFileKeepsTheStateAndClearsAutostart) {
  SetPreferenceDefaults();
  Preferences.PreferencesExitCodeSpin = 5;
  ColumnWidths[3] = 99;
  PreferencesAutostart = 1;
  LoadPreferencesFromBytes(std::nullopt, true, true);
  EXPECT_EQ(Preferences.PreferencesExitCodeSpin, 5);
  EXPECT_EQ(ColumnWidths[3], 99);
  EXPECT_EQ(PreferencesAutostart, 0);
  SetPreferenceDefaults();
  SetDefaultColumnWidths();
}

TEST(SettingsFile, OtherLetterCaseBlanksCommentsAndLineBreaksReadAlike) {
  std::string loose;
  bool lineStart = true;
  for (char c : kDefaultsFile) {
    // Lower-case group names, upper-case keys, no blanks around "=", and
    // every break doubled in a different way.
    if (c == '\r') continue;
    if (c == '\n') {
      loose += "\n\r\n  ; a comment = 5\r\r";
      lineStart = true;
      continue;
    }
    if (lineStart) loose += " \t";
    lineStart = false;
    loose += c;
  }
  std::string mixed;
  bool inGroup = false;
  for (size_t i = 0; i < loose.size(); ++i) {
    const char c = loose[i];
    if (c == '[') inGroup = true;
    if (c == ']') inGroup = false;
    if (c == ' ' && i + 2 < loose.size() && loose[i + 1] == '=' && loose[i + 2] == ' ') {
      mixed += '=';
      i += 2;
      continue;
    }
    mixed += inGroup ? static_cast<char>(std::tolower(c)) : static_cast<char>(std::toupper(c));
  }
  ASSERT_NE(mixed.find("[general]"), std::string::npos);
  ASSERT_NE(mixed.find("PREFERENCESSHOW12=1"), std::string::npos);
  SettingsSnapshot expected = DefaultsSnapshot();
  expected.preferences.PreferencesSearchString = "HTTPS://WWW.GOOGLE.COM/SEARCH?Q=%22[search]%22";
  EXPECT_EQ(Read(mixed), expected);
}

TEST(SettingsFile, GroupAndKeySelection) {
  const std::string file =
      "PreferencesRemain = 1\r\n"  // before any group: belongs to none
      "[Other]\r\nPreferencesSticky = 1\r\n"
      "[General] trailing text\r\n"
      "PreferencesOptimize = 1\r\nPreferencesOptimize = 0\r\n"  // first line wins
      "PreferencesExitCodeSpin\r\n"                             // no "=": empty value
      "PreferencesSearchString =  \t http://x y \t \r\n"
      "[Window\r\nX = 5\r\n"                      // a header without "]"
      "[General]\r\nPreferencesUseComma = 1\r\n"  // a second header is never selected
      "[WINDOW]\r\nY = 7\r\n";                    // neither is this one
  const SettingsFile settings(file);
  EXPECT_TRUE(settings.HasGroup(SettingsGroup::General));
  EXPECT_TRUE(settings.HasGroup(SettingsGroup::Window));
  EXPECT_FALSE(settings.HasGroup(SettingsGroup::Column));
  EXPECT_EQ(settings.Integer(SettingsGroup::General, "PreferencesRemain", -9), -9);
  EXPECT_EQ(settings.Integer(SettingsGroup::General, "PreferencesSticky", -9), -9);
  EXPECT_EQ(settings.Integer(SettingsGroup::General, "PreferencesOptimize", -9), 1);
  EXPECT_EQ(settings.Integer(SettingsGroup::General, "PreferencesExitCodeSpin", -9), 0);
  EXPECT_EQ(settings.Integer(SettingsGroup::General, "PreferencesUseComma", -9), -9);
  EXPECT_EQ(settings.Text(SettingsGroup::General, "PreferencesSearchString"), "http://x y");
  EXPECT_EQ(settings.Integer(SettingsGroup::Window, "x", -9), 5);
  EXPECT_EQ(settings.Integer(SettingsGroup::Window, "Y", -9), -9);
  EXPECT_EQ(settings.Text(SettingsGroup::Window, "NotAKey"), std::nullopt);
}

TEST(SettingsFile, IntegerConversion) {
  EXPECT_EQ(SettingsInteger("42"), 42);
  EXPECT_EQ(SettingsInteger(" \t\v 42abc"), 42);
  EXPECT_EQ(SettingsInteger("-17"), -17);
  EXPECT_EQ(SettingsInteger("+5"), 5);
  EXPECT_EQ(SettingsInteger("- 5"), 0);
  EXPECT_EQ(SettingsInteger("abc"), 0);
  EXPECT_EQ(SettingsInteger(""), 0);
  EXPECT_EQ(SettingsInteger("1e5"), 1);
  EXPECT_EQ(SettingsInteger("2147483647"), INT32_MAX);
  EXPECT_EQ(SettingsInteger("2147483648"), INT32_MAX);
  EXPECT_EQ(SettingsInteger("-2147483648"), INT32_MIN);
  EXPECT_EQ(SettingsInteger("-2147483649"), INT32_MIN);
  EXPECT_EQ(SettingsInteger(std::string(5000, '9')), INT32_MAX);
  EXPECT_EQ(SettingsInteger("-" + std::string(5000, '9')), INT32_MIN);
}

TEST(SettingsFile, ValuesAreBroughtIntoTheirRanges) {
  const SettingsSnapshot s = Read(
      "[General]\r\nPreferencesAutostart = 7\r\nPreferencesSticky = -1\r\nPreferencesExitCodeSpin = 99999\r\n"
      "PreferencesRefresh1Spin = -5\r\nPreferencesRefresh2Spin = 99999999999\r\n"
      "[Window]\r\nX = -99999\r\nY = 99999\r\nWidth = -3\r\nHeight = 4000000000\r\n"
      "[Column]\r\nPreferencesShow3 = 2\r\n"
      "[ColumnWidth]\r\nPreferencesColumnWidth0 = -1\r\nPreferencesColumnWidth1 = 70000\r\n");
  EXPECT_EQ(s.autostart, 1);
  EXPECT_EQ(s.preferences.PreferencesSticky, 1);
  EXPECT_EQ(s.preferences.PreferencesExitCodeSpin, 14080);
  EXPECT_EQ(s.preferences.PreferencesRefresh1Spin, 0);
  EXPECT_EQ(s.preferences.PreferencesRefresh2Spin, 99999);
  EXPECT_EQ(s.window, (WindowGeometry{-32768, 32767, 0, 32767}));
  // Each window field against its other limit too.
  EXPECT_EQ(Read("[Window]\r\nX = 99999\r\nY = -99999\r\nWidth = 70000\r\nHeight = -4\r\n").window,
            (WindowGeometry{32767, -32768, 32767, 0}));
  EXPECT_EQ(s.shown[3], 1);
  // No column can be narrower than nothing: a negative width is the start-up one.
  EXPECT_EQ(s.widths[0], kDefaultColumnWidths[0]);
  EXPECT_EQ(s.widths[1], 32767);
  EXPECT_EQ(Read("[ColumnWidth]\r\nPreferencesColumnWidth13 = -2147483648\r\n").widths[13], 200);
}

// Bytes with none of the four groups are no settings file and change nothing;
// one group, even empty, makes them one, read with missing keys as 0.
TEST(SettingsFile, BytesWithoutAnyGroupAreNoSettingsFile) {
  const std::string damaged = "\x8a\x01PreferencesRefresh1Spin = 0\r\n[Allgemein]\r\nPreferencesShow0 = 0\r\n";
  SetPreferenceDefaults();
  for (const std::string& bytes : {damaged, std::string()}) {
    EXPECT_FALSE(LoadPreferencesFromBytes(bytes, true, true));
    EXPECT_EQ(Preferences.PreferencesRefresh1Spin, 2500);
  }
  EXPECT_TRUE(LoadPreferencesFromBytes(damaged + "[column]\r\n", true, true));
  EXPECT_EQ(Preferences.PreferencesRefresh1Spin, 0);
  SetPreferenceDefaults();
  SetDefaultColumnWidths();
}

TEST(SettingsFile, ExplorerRestartIsAlwaysOffFromWindowsXpOn) {
  const std::string file = "[General]\r\nPreferencesReactivateExplorer = 1\r\n";
  EXPECT_EQ(Read(file, true).preferences.PreferencesReactivateExplorer, 0);
  EXPECT_EQ(Read(file, false).preferences.PreferencesReactivateExplorer, 1);
  EXPECT_NE(FormatSettingsFile(Read(file, true)).find("PreferencesReactivateExplorer = 0\r\n"), std::string::npos);

  EXPECT_FALSE(IsWindowsXpOrLater(1, 4, 0));   // 95
  EXPECT_FALSE(IsWindowsXpOrLater(1, 4, 90));  // ME
  EXPECT_FALSE(IsWindowsXpOrLater(2, 3, 51));
  EXPECT_FALSE(IsWindowsXpOrLater(2, 4, 0));
  EXPECT_FALSE(IsWindowsXpOrLater(2, 5, 0));  // 2000
  EXPECT_TRUE(IsWindowsXpOrLater(2, 5, 1));   // XP
  EXPECT_TRUE(IsWindowsXpOrLater(2, 5, 2));
  EXPECT_TRUE(IsWindowsXpOrLater(2, 10, 0));
  EXPECT_TRUE(IsWindowsXpOrLater(1, 5, 0));  // unknown versions count as later
  EXPECT_TRUE(IsWindowsXpOrLater(0, 3, 1));
  EXPECT_TRUE(IsWindowsXpOrLater(3, 4, 0));
}

TEST(SettingsFile, Utf8WithMarkIsReadAndRewrittenAsAnsi) {
  const std::string file =
      "\xEF\xBB\xBF[General]\r\n"
      "PreferencesSearchString = http://s\xC3\xBC\xC3\x9F/\xE2\x82\xAC/\xE2\x80\x9C/\xF0\x9F\x98\x80/\xC5\x92\r\n"
      "PreferencesRemain = 1\r\n";
  const SettingsSnapshot s = Read(file);
  EXPECT_EQ(s.preferences.PreferencesSearchString, "http://s\xFC\xDF/\x80/\x93/?/\x8C");
  EXPECT_EQ(s.preferences.PreferencesRemain, 1);
  const std::string rewritten = FormatSettingsFile(s);
  EXPECT_EQ(rewritten.substr(0, 11), "[General]\r\n");
  EXPECT_NE(rewritten.find("PreferencesSearchString = http://s\xFC\xDF/\x80/\x93/?/\x8C\r\n"), std::string::npos);
  // Without the mark the same bytes are taken as they are.
  EXPECT_EQ(SettingsFile(file.substr(3)).Text(SettingsGroup::General, "PreferencesSearchString"),
            "http://s\xC3\xBC\xC3\x9F/\xE2\x82\xAC/\xE2\x80\x9C/\xF0\x9F\x98\x80/\xC5\x92");
}

TEST(SettingsFile, Utf8ToWindows1252) {
  EXPECT_EQ(Utf8ToWindows1252("abc"), "abc");
  EXPECT_EQ(Utf8ToWindows1252("\xC2\xA0\xC3\xBF"), "\xA0\xFF");
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x84\xA2\xC5\xB8"), "\x99\x9F");  // trade mark, Y diaeresis
  EXPECT_EQ(Utf8ToWindows1252("\xC2\x81\xC2\x80"), "\x81?");         // unassigned bytes map to themselves
  EXPECT_EQ(Utf8ToWindows1252("\xD0\x96"), "?");                     // Cyrillic
  EXPECT_EQ(Utf8ToWindows1252("\xC0\x80x"), "??x");                  // overlong
  EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), "???");               // surrogate
  EXPECT_EQ(Utf8ToWindows1252("\xF4\x90\x80\x80"), "????");          // above U+10FFFF
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x82"), "??");                    // cut short
  EXPECT_EQ(Utf8ToWindows1252(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(SettingsFile, SavedWidthsRememberHiddenColumns) {
  std::array<int32_t, kProcessColumnCount> current{};
  current[0] = 250;
  current[13] = 5;
  const auto saved = SavedColumnWidths(current, kDefaultColumnWidths);
  EXPECT_EQ(saved[0], 250);
  EXPECT_EQ(saved[1], 150);
  EXPECT_EQ(saved[13], 5);

  SetPreferenceDefaults();
  SetDefaultColumnWidths();
  PreferencesAutostart = 1;
  const SettingsSnapshot s = CurrentSettings({1, 2, 3, 4}, current);
  EXPECT_EQ(s.autostart, 1);
  EXPECT_EQ(s.window, (WindowGeometry{1, 2, 3, 4}));
  EXPECT_EQ(s.widths, saved);
  SetPreferenceDefaults();
}

TEST(SettingsFile, HostileFilesGiveSaneValues) {
  // 50 MB of one long line, and lines of 100 000 characters.
  std::string huge(50u << 20, 'A');
  huge.replace(0, 11, "[General]\r\n");
  EXPECT_EQ(Read(huge).preferences.PreferencesRemain, 0);
  const std::string longLines = "[General]\r\nPreferencesRefresh1Spin = " + std::string(100000, '7') +
                                "\r\nPreferencesSearchString = " + std::string(100000, 'u') + "\r\n" +
                                std::string(100000, '[') + "\r\n";
  const SettingsSnapshot s = Read(longLines);
  EXPECT_EQ(s.preferences.PreferencesRefresh1Spin, 99999);
  EXPECT_EQ(s.preferences.PreferencesSearchString.size(), 100000u);
  EXPECT_EQ(Read(FormatSettingsFile(s)), s);
}

// Random and mutated files through the reader: nothing may crash, every value
// stays in its range, and what a save writes reads back as the same values.
TEST(SettingsFile, RandomFilesReadSanelyAndSurviveASave) {
  std::mt19937 random(20240611);
  const auto below = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
  const std::string seeds[] = {kDefaultsFile, "\xEF\xBB\xBF" + kDefaultsFile, "[Window]\r\nX=1\r\n"};
  const std::string alphabet = "[]=;\r\n \t-+0123456789abcXYWidthGeneralColumnPreferences\xEF\xBB\xBF\xC3\x80\xFF";
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = seeds[below(3)];
    if (round % 10 == 0) {
      bytes.assign(below(400), '\0');
      for (char& c : bytes) c = static_cast<char>(below(256));
    }
    const size_t mutations = 1 + below(8);
    for (size_t m = 0; m < mutations; ++m) {
      const size_t at = bytes.empty() ? 0 : below(bytes.size());
      switch (below(5)) {
        case 0:
          if (!bytes.empty()) bytes[at] = static_cast<char>(below(256));
          break;
        case 1: bytes.insert(at, 1, alphabet[below(alphabet.size())]); break;
        case 2: bytes.erase(at, below(40)); break;
        case 3: bytes.insert(at, bytes.substr(below(bytes.size() + 1), below(60))); break;
        default:
          bytes.insert(at, std::to_string(static_cast<int64_t>(random() >> 1) * static_cast<int64_t>(random() >> 1) *
                                          (below(2) ? 1 : -1)));
          break;
      }
    }
    const bool xp = round % 2 == 0;
    const SettingsSnapshot s = Read(bytes, xp);
    const PreferencesRecord& p = s.preferences;
    ASSERT_TRUE(p.PreferencesExitCodeSpin >= 0 && p.PreferencesExitCodeSpin <= 14080);
    ASSERT_TRUE(p.PreferencesRefresh1Spin >= 0 && p.PreferencesRefresh1Spin <= 99999);
    ASSERT_TRUE(p.PreferencesRefresh2Spin >= 0 && p.PreferencesRefresh2Spin <= 99999);
    ASSERT_TRUE(p.PreferencesRemain == 0 || p.PreferencesRemain == 1);
    ASSERT_TRUE(s.window.width >= 0 && s.window.height >= 0);
    ASSERT_EQ(p.PreferencesSearchString.find_first_of("\r\n"), std::string::npos);
    const std::string saved = FormatSettingsFile(s);
    ASSERT_EQ(std::count(saved.begin(), saved.end(), '\n'), 50) << "round " << round;
    ASSERT_EQ(Read(saved, xp), s) << "round " << round;
  }
}

}  // namespace
}  // namespace velkor
