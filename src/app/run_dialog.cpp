#include "app/run_dialog.h"

#include <algorithm>

#include "procs/path_text.h"
#include "procs/process_list.h"

namespace velkor {

bool CanRunCommand(std::string_view commandText) {
  return commandText.find_first_not_of(' ') != std::string_view::npos;
}

std::string CommandFolder(std::string_view command) {
  if (!command.empty() && command.front() == '"') command.remove_prefix(1);
  command = command.substr(0, command.find('|'));
  return std::string(FolderOf(command));
}

RunRequest PlanRun(std::string_view commandText, std::string_view parameterText) {
  RunRequest request;
  request.command = TrimBlanks(commandText);
  request.parameters = TrimBlanks(parameterText);
  request.folder = CommandFolder(request.command);
  request.file = request.command;
  const std::string_view command = request.command;
  const size_t closing = command.size() > 1 && command.front() == '"' ? command.find('"', 1) : std::string_view::npos;
  if (closing != std::string_view::npos) {
    request.file = std::string(command.substr(1, closing - 1));
    request.folder = CommandFolder(request.file);  // not from slashes in what follows
    const std::string rest = TrimBlanks(command.substr(closing + 1));
    if (!rest.empty()) request.parameters = request.parameters.empty() ? rest : rest + " " + request.parameters;
  }
  return request;
}

bool BelongsInHistory(const std::vector<std::string>& history, std::string_view command) {
  return std::find(history.begin(), history.end(), command) == history.end();
}

std::string RunFailureText(std::string_view command) {
  return "\"" + std::string(command) + "\" konnte nicht ausgeführt werden!";
}

std::string FileDialogFilter(std::string_view pipeSeparated) {
  std::string filter(pipeSeparated);
  std::replace(filter.begin(), filter.end(), '|', '\0');
  filter.append(2, '\0');
  return filter;
}

}  // namespace velkor
