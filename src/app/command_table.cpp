#include "app/command_table.h"

#include "procs/priority.h"

namespace velkor {

namespace {

std::string LabelOf(const CommandRow& row, int id, std::string_view userName) {
  const int offset = id - row.first;
  switch (row.label) {
    case RangeLabel::kOrdinal: return std::to_string(offset + 1);
    case RangeLabel::kTens: return std::to_string(10 * (offset + 1));
    case RangeLabel::kPriorityName:
      return offset < static_cast<int>(kPriorityClassesFromHighest.size())
                 ? std::string(PriorityName(kPriorityClassesFromHighest[static_cast<size_t>(offset)]))
                 : std::string();
    case RangeLabel::kUserName: return std::string(userName);
    case RangeLabel::kNone: break;
  }
  return {};
}

std::string FilledIn(std::string_view text, const CommandRow& row, int id, std::string_view userName) {
  const size_t at = text.find("{}");
  if (at == std::string_view::npos) return std::string(text);
  return std::string(text.substr(0, at)) + LabelOf(row, id, userName) + std::string(text.substr(at + 2));
}

// Line `index` of a text of several lines; a text of one line serves every
// element.
std::string_view LineOf(std::string_view text, int index) {
  if (text.find('\n') == std::string_view::npos) return text;
  for (int line = 0; line < index; ++line) {
    const size_t end = text.find('\n');
    if (end == std::string_view::npos) return {};
    text.remove_prefix(end + 1);
  }
  return text.substr(0, text.find('\n'));
}

}  // namespace

bool AcceptsType(unsigned types, int type) {
  if (types == kAnyType) return true;
  if (type == kTypeChange) return (types & kChangeOnly) != 0;
  if (type == kTypeDoubleClick) return (types & kDoubleClickOnly) != 0;
  return (type == kTypeLeftClick && (types & kLeftClickOnly)) || (type == kTypeRightClick && (types & kRightClickOnly));
}

const CommandRow* FindCommandRow(int id) {
  for (const CommandRow& row : kCommandTable)
    if (row.Holds(id)) return &row;
  return nullptr;
}

const CommandRow* FindCommandRowInView(int id, int view) {
  for (const CommandRow& row : kCommandTable)
    if (row.Holds(id) && row.InView(view)) return &row;
  return nullptr;
}

std::string CommandMenuText(int id, int view) {
  const CommandRow* row = FindCommandRowInView(id, view);
  return row ? FilledIn(row->menu, *row, id, {}) : std::string();
}

std::string CommandHelpLine(int id, int view, std::string_view userName) {
  const CommandRow* row = FindCommandRowInView(id, view);
  if (!row) return {};
  return FilledIn(LineOf(row->help, id - row->first), *row, id, userName);
}

}  // namespace velkor
