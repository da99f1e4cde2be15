// Owner-drawn menu items, the status bar's look and the help lines.
#include <gtest/gtest.h>

#include "app/command_table.h"
#include "shell/menu_look.h"
#include "app/status_bar_look.h"

namespace velkor {
namespace {

TEST(MenuLook, Measuring) {
  EXPECT_EQ(MeasureMenuItem(true, false, 0), (MenuItemSize{0, 7}));
  EXPECT_EQ(MeasureMenuItem(false, false, 50), (MenuItemSize{82, 20}));
  EXPECT_EQ(MeasureMenuItem(false, true, 31), (MenuItemSize{31, 20}));
}

TEST(MenuLook, HighlightDecidesLookAndHelpLine) {
  EXPECT_EQ(PlanMenuItem(false, true, false, 133).look, MenuLook::kHighlighted);
  EXPECT_EQ(PlanMenuItem(false, true, false, 133).status, 133);
  // A greyed item under the highlight clears the line and stays grey.
  EXPECT_EQ(PlanMenuItem(false, true, true, 29).look, MenuLook::kDisabled);
  EXPECT_EQ(PlanMenuItem(false, true, true, 29).status, -2);
  EXPECT_EQ(PlanMenuItem(false, false, true, 29).status, kNoStatusChange);
  EXPECT_EQ(PlanMenuItem(false, false, false, 32).look, MenuLook::kNormal);
  EXPECT_EQ(PlanMenuItem(false, false, false, 32).status, kNoStatusChange);
  EXPECT_EQ(PlanMenuItem(true, false, true, 5).look, MenuLook::kSeparator);
  EXPECT_EQ(PlanMenuItem(true, false, true, 5).status, -2);
  EXPECT_EQ(MenuCaptionColour(MenuLook::kDisabled), MakePixel(128, 128, 128));
  EXPECT_EQ(MenuCaptionColour(MenuLook::kHighlighted), MakePixel(0, 0, 0));
}

TEST(MenuLook, ItemPictures) {
  const Canvas normal = DrawMenuItem(120, 20, MenuLook::kNormal, false, nullptr);
  EXPECT_EQ(normal.At(0, 0), kMenuStripColour);
  EXPECT_EQ(normal.At(23, 19), kMenuStripColour);
  EXPECT_EQ(normal.At(24, 10), kMenuWhite);
  EXPECT_EQ(normal.At(119, 19), kMenuWhite);

  const Canvas highlighted = DrawMenuItem(120, 20, MenuLook::kHighlighted, false, nullptr);
  // The frame runs all around; everything inside it is the fill.
  for (int x = 0; x < 120; ++x)
    for (int y = 0; y < 20; ++y) {
      const bool frame = x == 0 || y == 0 || x == 119 || y == 19;
      ASSERT_EQ(highlighted.At(x, y), frame ? MakePixel(102, 153, 255) : MakePixel(170, 204, 255)) << x << "," << y;
    }

  const Canvas separator = DrawMenuItem(120, 7, MenuLook::kSeparator, false, nullptr);
  EXPECT_EQ(separator.At(10, 3), kMenuStripColour);
  EXPECT_EQ(separator.At(29, 3), kMenuWhite);
  EXPECT_EQ(separator.At(30, 3), MakePixel(187, 187, 170));
  EXPECT_EQ(separator.At(119, 3), MakePixel(187, 187, 170));
  EXPECT_EQ(separator.At(30, 2), kMenuWhite);

  // Menu bar titles have no strip; an icon sits inside the strip.
  EXPECT_EQ(DrawMenuItem(40, 20, MenuLook::kNormal, true, nullptr).At(0, 10), kMenuWhite);
  const Canvas icon(16, 16, MakePixel(255, 0, 0));
  const Canvas withIcon = DrawMenuItem(120, 20, MenuLook::kNormal, false, &icon);
  EXPECT_EQ(withIcon.At(4, 2), MakePixel(255, 0, 0));
  EXPECT_EQ(withIcon.At(19, 17), MakePixel(255, 0, 0));
  EXPECT_EQ(withIcon.At(3, 2), kMenuStripColour);
  EXPECT_EQ(withIcon.At(20, 18), kMenuStripColour);
}

// Every space of an item scales with the owner's DPI by the one rounding
// rule; a caption taller than the design's item makes the item taller.
TEST(MenuLook, PlacesAndSizesFollowTheDpi) {
  const struct {
    int dpi, strip, captionX, item, separator, line;
  } scales[] = {{96, 24, 30, 20, 7, 1}, {120, 30, 38, 25, 9, 1}, {144, 36, 45, 30, 11, 2}, {192, 48, 60, 40, 14, 2}};
  for (const auto& scale : scales) {
    SCOPED_TRACE(scale.dpi);
    const MenuPlaces places = MenuPlacesAt(scale.dpi);
    EXPECT_EQ(places.stripWidth, scale.strip);
    EXPECT_EQ(places.captionX, scale.captionX);
    EXPECT_EQ(places.line, scale.line);
    EXPECT_EQ(MeasureMenuItem(true, false, 0, scale.dpi), (MenuItemSize{0, scale.separator}));
    EXPECT_EQ(MeasureMenuItem(false, false, 100, scale.dpi),
              (MenuItemSize{100 + ScaleToDpi(32, scale.dpi), scale.item}));
    EXPECT_EQ(MeasureMenuItem(false, false, 10, scale.dpi, 60).height, places.captionY + 60);
  }
  // At 144 DPI a 16-pixel picture sits centred in the 36-pixel strip; the
  // separator line is 2 pixels.
  const Canvas icon(16, 16, MakePixel(255, 0, 0));
  const Canvas item = DrawMenuItem(200, 30, MenuLook::kNormal, false, &icon, 144);
  EXPECT_EQ(item.At(10, 7), MakePixel(255, 0, 0));
  EXPECT_EQ(item.At(25, 22), MakePixel(255, 0, 0));
  EXPECT_EQ(item.At(9, 7), kMenuStripColour);
  EXPECT_EQ(item.At(26, 23), kMenuStripColour);
  const Canvas separator = DrawMenuItem(200, 11, MenuLook::kSeparator, false, nullptr, 144);
  for (int y = 4; y <= 7; ++y) EXPECT_EQ(separator.At(45, y), y == 5 || y == 6 ? kMenuSeparatorColour : kMenuWhite);
}

// Each item gets a letter no item before it in its menu has, the first of
// a word where one is free; a text with none free gets none.
TEST(MenuLook, MnemonicsAreFirstFreeLettersOfTheirMenu) {
  std::string taken, chosen;
  for (std::string_view text : {"Aktualisieren", "Priorit\xE4t", "Prozessor", "Prozess anhalten", "Sperren / Benutzer",
                                "\xFC", "\xDC", "#1", "10%", "##", "x&y"}) {
    const int at = ChooseMnemonic(text, taken);
    chosen += at < 0 ? '-' : text[static_cast<size_t>(at)];
  }
  EXPECT_EQ(chosen, "AProS\xFC-10-x");
  EXPECT_EQ(taken,
            "APROS\xDC"
            "10X");
}

TEST(CommandTable, HelpLines) {
  EXPECT_EQ(CommandHelpLine(1, 0, ""),
            "Exportiert die aktuelle Prozessliste entweder als Textdatei (*.txt) oder als HTML-Dokument (*.htm).");
  EXPECT_EQ(CommandHelpLine(12, 0, ""),
            "Schlie\xDF"
            "t die grafische Oberfl\xE4"
            "che von Velkor.");
  EXPECT_EQ(CommandHelpLine(35, 0, ""), "Setzt die Priorit\xE4t ausgew\xE4hlter Prozesse auf \"Erh\xF6ht\"");
  EXPECT_EQ(CommandHelpLine(38, 0, ""), "Setzt die Priorit\xE4t ausgew\xE4hlter Prozesse auf \"Niedrig\"");
  EXPECT_EQ(CommandHelpLine(109, 1, ""),
            "Setzt die Fenstertransparenz auf 10%. Ein gr\xF6\xDF"
            "erer Wert l\xE4sst das Fenster durchscheinender werden.");
  EXPECT_EQ(CommandHelpLine(117, 1, ""),
            "Setzt die Fenstertransparenz auf 90%. Ein gr\xF6\xDF"
            "erer Wert l\xE4sst das Fenster durchscheinender werden.");
  EXPECT_EQ(CommandHelpLine(30, 0, "Anna Berg"), "Meldet den aktuellen Benutzer \"Anna Berg\" ab.");
  EXPECT_EQ(CommandHelpLine(24, 0, ""),
            "Sucht im Internet nach ausgew\xE4hlten Prozessen. Hierf\xFCr wird der Dateiname verwendet.");
  EXPECT_EQ(CommandHelpLine(24, 3, ""),
            "Sucht im Internet nach dem ausgew\xE4hltem Treiber. Hierf\xFCr wird der Dateiname verwendet.");
  EXPECT_EQ(CommandHelpLine(24, 1, ""), "");
  EXPECT_EQ(CommandHelpLine(130, 2, ""), "Seztz den ausgew\xE4hlten Dienst fort.");
  // Without a row: separators, processors, 120..122, the search engines.
  for (int id : {0, 5, 11, 39, 40, 102, 120, 121, 122, 293, 299}) EXPECT_EQ(CommandHelpLine(id, 0, "x"), "") << id;
}

TEST(StatusBarLook, FiguresPerView) {
  const MonitorSamples sample{12, 34, 5};
  const auto texts = LayOutStatusBar(-1, "Prozesse", 57, sample, "");
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0].text, "Prozesse: 57");
  EXPECT_EQ(texts[0].x, 7);
  EXPECT_EQ(texts[1].text, "CPU: 12%");
  EXPECT_EQ(texts[1].x, 100);
  EXPECT_EQ(texts[2].text, "RAM: 34%");
  EXPECT_EQ(texts[2].x, 180);
  EXPECT_EQ(texts[3].text, "Swap: 5%");
  EXPECT_EQ(texts[3].x, 260);
  for (const auto& t : texts) EXPECT_EQ(t.y, 4);
  EXPECT_TRUE(LayOutStatusBar(-1, nullptr, 3, sample, "").empty());  // a view without figures
  EXPECT_TRUE(LayOutStatusBar(-2, "Prozesse", 3, sample, "").empty());
  const auto help = LayOutStatusBar(133, nullptr, 3, sample, "Zeigt die Hilfedatei an.");
  ASSERT_EQ(help.size(), 1u);
  EXPECT_EQ(help[0].x, 7);
  EXPECT_EQ(help[0].text, "Zeigt die Hilfedatei an.");
  EXPECT_TRUE(LayOutStatusBar(39, "Prozesse", 3, sample, "").empty());
}

TEST(StatusBarLook, BackgroundAndSeparators) {
  Canvas strip(4, 20, MakePixel(200, 210, 220));
  strip.FillRect(0, 19, 4, 1, MakePixel(10, 20, 30));
  const Canvas bar = DrawStatusBarBackground(strip, 640, true);
  ASSERT_EQ(bar.width, 640);
  ASSERT_EQ(bar.height, 20);
  EXPECT_EQ(bar.At(639, 0), MakePixel(200, 210, 220));
  EXPECT_EQ(bar.At(0, 19), MakePixel(10, 20, 30));
  for (int x : {92, 172, 252, 332}) {
    EXPECT_EQ(bar.At(x, 0), MakePixel(200, 210, 220)) << x;
    EXPECT_EQ(bar.At(x, 1), MakePixel(184, 196, 224)) << x;
    EXPECT_EQ(bar.At(x, 19), MakePixel(184, 196, 224)) << x;
    EXPECT_EQ(bar.At(x + 1, 1), MakePixel(200, 210, 220)) << x;
    EXPECT_EQ(bar.At(x + 1, 2), MakePixel(157, 168, 191)) << x;
    EXPECT_EQ(bar.At(x + 1, 18), MakePixel(157, 168, 191)) << x;
    EXPECT_EQ(bar.At(x + 1, 19), MakePixel(10, 20, 30)) << x;
  }
  // "Überwachung", or a help line: the plain strip.
  const Canvas plain = DrawStatusBarBackground(strip, 640, false);
  for (int x : {92, 93, 172, 253, 332}) EXPECT_EQ(plain.At(x, 5), MakePixel(200, 210, 220)) << x;
}

}  // namespace
}  // namespace velkor
