// The "Ausführen" dialog: what a typed command and its parameters become
// when they are handed to the shell, and the list of commands that started.
// The Win32 side (run_dialog_win.h) only carries these decisions out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// "OK" is enabled for a command that is not blank.
bool CanRunCommand(std::string_view commandText);

// The working folder of a command: everything up to and including its last
// "\" or "/", after one leading double quote and before the first "|";
// empty when the command names no folder (the current one is used).
std::string CommandFolder(std::string_view command);

struct RunRequest {
  std::string command;     // trimmed: what the history keeps and the message names
  std::string file;        // what the shell opens
  std::string parameters;  // trimmed
  std::string folder;      // working folder, empty for the current one
};

// A quoted path ("C:\Programme\x y\a.exe") is opened without its quotes;
// what follows its closing quote goes in front of the parameters, as the
// command line of a program would take it.
RunRequest PlanRun(std::string_view commandText, std::string_view parameterText);

// Whether `command` joins the history: no entry equals it exactly (letter
// case counts).
bool BelongsInHistory(const std::vector<std::string>& history, std::string_view command);

// The text of the message for a command the shell could not open.
std::string RunFailureText(std::string_view command);

// The file dialog's filter, "Programme|*.exe;...", in the form the system
// wants: each "|" a NUL, the whole closed by two NULs.
std::string FileDialogFilter(std::string_view pipeSeparated);
inline constexpr std::string_view kRunBrowseFilter = "Programme|*.exe;*.bat;*.com|Verknüpfungen|*.lnk|Alle Dateien|*.*";

}  // namespace velkor
