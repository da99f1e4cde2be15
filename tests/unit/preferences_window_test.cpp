#include "settings/preferences_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace velkor {
namespace {

TEST(PreferencesWindow, AutostartAndRemainStayConsistentBothWays) {
  struct Case {
    int clicked;
    AutostartPair after;  // the boxes right after the click
    AutostartPair want;
  };
  const Case cases[] = {
      {kAutostartBoxId, {true, false}, {true, true}},   // checking autostart keeps the companion
      {kAutostartBoxId, {false, true}, {false, true}},  // unchecking it leaves "remain"
      {kRemainBoxId, {true, false}, {false, false}},    // giving up "remain" gives up autostart
      {kRemainBoxId, {false, true}, {false, true}},    {kRemainBoxId, {true, true}, {true, true}},
      {kStickyBoxId, {true, false}, {true, false}},  // other boxes are not coupled
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clicked);
    EXPECT_EQ(CoupleAutostartBoxes(c.clicked, c.after), c.want);
  }
}

TEST(PreferencesWindow, NumberFieldsKeepDigitsAndReadEmptyAsZero) {
  EXPECT_EQ(DigitsOnly("12a3-4 5678", 5), "12345");
  EXPECT_EQ(DigitsOnly("", 5), "");
  EXPECT_EQ(DigitsOnly("-x", 5), "");
  struct Case {
    const char* text;
    int32_t refresh;
    int32_t exitCode;
  };
  const Case cases[] = {
      {"", 0, 0},
      {"0", 0, 0},
      {"2500", 2500, 2500},
      {"99999", 99999, 14080},
      {"14080", 14080, 14080},
      {"14081", 14081, 14080},
      {"1e3", 13, 1},
      {"-5", 5, 0},
      {"999999", 99999, 14080},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(RefreshFieldValue(c.text), c.refresh);
    EXPECT_EQ(ExitCodeFieldValue(c.text), c.exitCode);
  }
}

TEST(PreferencesWindow, PageSelectorSplitsAt170) {
  EXPECT_EQ(PreferencesPageAt(-5), 0);
  EXPECT_EQ(PreferencesPageAt(169), 0);
  EXPECT_EQ(PreferencesPageAt(170), 1);
  EXPECT_EQ(PreferencesPageAt(400), 1);
}

TEST(PreferencesWindow, SearchTemplatesHaveTheirFixedPathsAndOnePlaceholder) {
  const auto& engines = SearchEngines();
  const std::pair<int, std::string_view> suffixes[] = {
      {293, "/search?q=%22[SEARCH]%22"},
      {294, "/search?p=%22[SEARCH]%22"},
      {295, "/de/abacho.de/index.cfm?q=%22[SEARCH]%22&mesearchkey=world"},
      {296, "/results.aspx?q=%22[SEARCH]%22"},
      {297, "/cgi-bin/pursuit?query=%22[SEARCH]%22&cat=web"},
      {298, "/search/results?q=%22[SEARCH]%22"},
  };
  for (const auto& [id, suffix] : suffixes) {
    SCOPED_TRACE(id);
    const auto url = SearchEngineTemplate(id);
    ASSERT_TRUE(url);
    EXPECT_TRUE(url->ends_with(suffix));
    EXPECT_TRUE(url->starts_with("https://"));
    // Exactly one host part before the path.
    EXPECT_EQ(url->find('/', 8), url->size() - suffix.size());
  }
  for (const SearchEngine& engine : engines) {
    const std::string_view url = engine.templateUrl;
    EXPECT_EQ(url.find("[SEARCH]"), url.rfind("[SEARCH]")) << engine.id;
    EXPECT_NE(engine.icon, nullptr);
  }
  // The default URL is the first item; the seventh searches its labelled
  // site through the first item's search site.
  EXPECT_EQ(engines[0].templateUrl, PreferencesRecord{}.PreferencesSearchString);
  std::string site(engines[6].caption);
  std::transform(site.begin(), site.end(), site.begin(), [](unsigned char c) { return std::toupper(c); });
  EXPECT_EQ(std::string(engines[6].templateUrl), std::string(engines[0].templateUrl) + "&as_sitesearch=" + site);
  EXPECT_FALSE(SearchEngineTemplate(292));
  EXPECT_FALSE(SearchEngineTemplate(300));
}

TEST(PreferencesWindow, AutostartShortcutPointsAtTheCompanionBesideTheProgram) {
  const ShortcutProperties shortcut = AutostartShortcut("C:\\Programme\\Velkor\\velkor.exe", "C:\\Users\\u\\Startup");
  EXPECT_EQ(shortcut.target, "C:\\Programme\\Velkor\\dornat.exe");
  EXPECT_EQ(shortcut.linkFile, "C:\\Users\\u\\Startup\\Velkor.lnk");
  EXPECT_EQ(shortcut.workingDirectory, "C:\\Programme\\Velkor");
  EXPECT_EQ(shortcut.arguments, "-nocheck");
  EXPECT_EQ(shortcut.description, "Automatischer Start des Velkor SystemTray Icons.");
  EXPECT_EQ(shortcut.showCommand, 1);
  EXPECT_EQ(shortcut.hotKey, 0);
  EXPECT_EQ(shortcut.iconFile, shortcut.target);
  EXPECT_EQ(shortcut.iconIndex, 0);

  // A program in a drive's root keeps the root's backslash as its folder.
  const ShortcutProperties root = AutostartShortcut("D:\\velkor.exe", "");
  EXPECT_EQ(root.target, "D:\\dornat.exe");
  EXPECT_EQ(root.workingDirectory, "D:\\");
  EXPECT_EQ(root.linkFile, "\\Velkor.lnk");

  // Shorthands resolve only when used.
  ShortcutProperties given{"C:\\a\\b.exe", "C:\\x.lnk", "C:\\w", "", 7, "", 0, "C:\\i.ico", 3};
  EXPECT_EQ(ResolveShortcut(given), given);
}

TEST(PreferencesWindow, ShownColumnsKeepTheirCurrentWidths) {
  std::array<int32_t, kProcessColumnCount> remembered = kDefaultColumnWidths;
  std::array<int32_t, kProcessColumnCount> current = kDefaultColumnWidths;
  current[0] = 321;  // column 0 is not the visibility's business
  current[2] = 0;    // hidden, or dragged to nothing: keeps what it had
  current[5] = 250;  // dragged wider while shown
  TakeShownColumnWidths(current, remembered);
  EXPECT_EQ(remembered[0], kDefaultColumnWidths[0]);
  EXPECT_EQ(remembered[2], kDefaultColumnWidths[2]);
  EXPECT_EQ(remembered[5], 250);
}

}  // namespace
}  // namespace velkor
