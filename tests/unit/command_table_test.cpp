// The command table: one place for each command's texts and identifiers.
#include "app/command_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

namespace velkor {
namespace {

namespace fs = std::filesystem;

struct SourceFile {
  std::string name;  // relative to src/
  std::string text;
};

std::vector<SourceFile> Sources() {
  std::vector<SourceFile> files;
  const fs::path root = VELKOR_SOURCES_DIR;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    files.push_back({fs::relative(entry.path(), root).generic_string(), text.str()});
  }
  return files;
}

// A program text (Windows-1252) as it is written in a UTF-8 source literal.
std::string AsSourceLiteral(std::string_view text) {
  std::string literal = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') literal += '\\';
    if (byte < 0x80) {
      literal += c;
    } else {
      EXPECT_GE(byte, 0xA0) << text;  // the texts use Latin-1's letters only
      literal += static_cast<char>(0xC0 | (byte >> 6));
      literal += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return literal;
}

int LetterCount(std::string_view text) {
  return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0xC0;
  }));
}

// The code of a source without its line comments, whose quotes name texts
// rather than write them.
std::string WithoutComments(std::string_view text) {
  std::string code;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!inString && text.substr(i, 2) == "//") {
      i = std::min(text.find('\n', i), text.size()) - 1;
      continue;
    }
    if (text[i] == '"' && (i == 0 || text[i - 1] != '\\' || (i > 1 && text[i - 2] == '\\'))) inString = !inString;
    if (text[i] == '\n') inString = false;
    code += text[i];
  }
  return code;
}

// Each menu text, tooltip and help line stands in the rows alone. The
// companion's own menu (src/tray) is another program's; a control's caption,
// a window's title or a column's header may say what a menu item says.
TEST(CommandTable, EachTextStandsInOneSourceFile) {
  std::vector<SourceFile> sources = Sources();
  ASSERT_GT(sources.size(), 100u);
  std::erase_if(sources, [](const SourceFile& file) { return file.name.rfind("tray/", 0) == 0; });
  for (SourceFile& file : sources) file.text = WithoutComments(file.text);
  std::set<std::string_view> captions;
  for (const ControlSpec& control : ControlTable()) captions.insert(control.text);
  for (const WindowSpec& window : WindowTable()) captions.insert(window.title);
  for (const ColumnSpec& column : ColumnTable()) captions.insert(column.header);
  int checked = 0;
  for (const CommandRow& row : kCommandTable) {
    // Each text with what closes its literal: a help line of several ends in
    // a line break.
    std::vector<std::pair<std::string_view, std::string_view>> texts = {{row.menu, "\""}, {row.tooltip, "\""}};
    for (std::string_view help = row.help; !help.empty();) {
      const size_t end = std::min(help.find('\n'), help.size());
      texts.emplace_back(help.substr(0, end), end < help.size() ? "\\n\"" : "\"");
      help.remove_prefix(std::min(end + 1, help.size()));
    }
    for (const auto& [text, close] : texts) {
      if (LetterCount(text) < 2 || captions.count(text)) continue;
      const std::string literal = AsSourceLiteral(text) + std::string(close);
      std::vector<std::string> holders;
      for (const SourceFile& file : sources)
        if (file.text.find(literal) != std::string::npos) holders.push_back(file.name);
      EXPECT_EQ(holders, std::vector<std::string>{"app/command_rows.h"}) << literal;
      ++checked;
    }
  }
  EXPECT_GT(checked, 75);
}

bool IsWord(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Whether `line` writes a number where an identifier goes: as the first or
// second argument of a call that takes one, compared with or taken from an
// `id`, or as a case label.
bool WritesBareIdentifier(std::string_view line) {
  static constexpr std::string_view kTakers[] = {
      "ControlHandle", "BuiltControl",    "FindControlSpec", "SetToolbarTooltip", "DecideCommandState",
      "CommandRuns",   "CommandMenuText", "CommandHelpLine", "FindCommandRow",    "FindCommandRowInView",
      "HoverLevel",    "SetHoverLevel",   "ShortcutFor",     "AddCommand",        "AddSeparator"};
  for (std::string_view taker : kTakers) {
    for (size_t at = line.find(taker); at != std::string_view::npos; at = line.find(taker, at + 1)) {
      size_t i = at + taker.size();
      if ((at > 0 && IsWord(line[at - 1])) || i >= line.size() || line[i] != '(') continue;
      std::string_view arguments = line.substr(i + 1);
      const size_t comma = arguments.find_first_of(",()");
      for (std::string_view argument :
           {arguments, comma != std::string_view::npos && arguments[comma] == ',' ? arguments.substr(comma + 1)
                                                                                  : std::string_view()}) {
        const size_t first = argument.find_first_not_of(' ');
        if (first != std::string_view::npos && IsDigit(argument[first])) return true;
      }
    }
  }
  auto number = [&](size_t i) {
    while (i < line.size() && line[i] == ' ') ++i;
    size_t digits = 0;
    while (i + digits < line.size() && IsDigit(line[i + digits])) ++digits;
    return digits >= 2 && digits <= 3 && (i + digits == line.size() || !IsWord(line[i + digits]));
  };
  for (size_t at = line.find("id"); at != std::string_view::npos; at = line.find("id", at + 1)) {
    if ((at > 0 && IsWord(line[at - 1]) && line.substr(at > 5 ? at - 6 : 0, 6) != "event.") ||
        (at + 2 < line.size() && IsWord(line[at + 2])))
      continue;
    size_t i = line.find_first_not_of(' ', at + 2);
    if (i == std::string_view::npos) continue;
    for (std::string_view op : {"==", "!=", "<=", ">=", "<", ">", "-"}) {
      if (line.substr(i, op.size()) == op && number(i + op.size())) return true;
    }
  }
  for (size_t at = line.find("case "); at != std::string_view::npos; at = line.find("case ", at + 1))
    if (number(at + 5) && line.find(':', at) != std::string_view::npos) return true;
  return false;
}

// Outside the tables, src/app names every command and control it addresses.
TEST(CommandTable, NoBareIdentifiersOutsideTheTables) {
  EXPECT_TRUE(WritesBareIdentifier("  SetToolbarTooltip(24, text);"));
  EXPECT_TRUE(WritesBareIdentifier("  AddSeparator(menu, 5);"));
  EXPECT_TRUE(WritesBareIdentifier("  if (event.id == 108) return;"));
  EXPECT_FALSE(WritesBareIdentifier("  AddSeparator(menu, kFirstSeparator + 1);"));
  EXPECT_FALSE(WritesBareIdentifier("  if (valid == 10) ShowPopupMenu(4);"));
  const std::set<std::string> tables = {"app/layout.cpp", "app/command_rows.h", "app/command_ids.h",
                                        "app/control_ids.h"};
  int scanned = 0;
  for (const SourceFile& file : Sources()) {
    if (file.name.rfind("app/", 0) != 0 || tables.count(file.name)) continue;
    ++scanned;
    std::istringstream lines(file.text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
      ++number;
      EXPECT_FALSE(WritesBareIdentifier(line)) << file.name << ":" << number << ": " << line;
    }
  }
  EXPECT_GT(scanned, 40);

  // The table itself holds every identifier once for each view and event type.
  for (const CommandRow& a : kCommandTable)
    for (const CommandRow& b : kCommandTable)
      if (&a < &b && a.first <= b.Last() && b.first <= a.Last() && (a.types & b.types) &&
          (a.InView(b.view) || b.InView(a.view)))
        ADD_FAILURE() << "rows for " << b.first << " overlap";
}

TEST(CommandTable, RangeAndViewTexts) {
  EXPECT_EQ(CommandMenuText(kFirstPriorityCommand, kProcessView), "Echtzeit");
  EXPECT_EQ(CommandMenuText(kFirstProcessorCommand, kProcessView), "#1");
  EXPECT_EQ(CommandMenuText(kLastProcessorCommand, kProcessView), "#64");
  EXPECT_EQ(CommandMenuText(kLastTransparencyCommand, kWindowView), "90%");
  EXPECT_EQ(CommandMenuText(kSearchCommand, kDriverView), "Nach diesem Treiber im Internet suchen");
  EXPECT_EQ(CommandMenuText(kSearchCommand, kWindowView), "");
  // Every button has its picture; the search button's tooltip comes with its view.
  for (int id = kFirstToolbarCommand; id <= kLastToolbarCommand; ++id) {
    EXPECT_NE(FindCommandRow(id)->buttonPicture, nullptr) << id;
    EXPECT_EQ(CommandTooltip(id).empty(), id == kSearchCommand) << id;
  }
  EXPECT_EQ(FindCommandRowInView(kSearchCommand, kDriverView)->tooltip,
            "Nach diesem Treiber im Internet suchen (Strg+F)");
}

}  // namespace
}  // namespace velkor
