// The commands on the selected rows of the process list: which menu items
// they check, what they ask and report, and which masks, folders and
// addresses they hand on. The Win32 side (process_commands_win.h) applies
// these decisions to the list, the menu and the processes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// The processors of this machine, set once at start (1 until then).
uint32_t ProcessorCount();
void SetProcessorCount(uint32_t count);

// Command identifiers shared with the menus, the toolbar and the dispatch.
inline constexpr int kKillCommand = 23;
inline constexpr int kSearchCommand = 24;
inline constexpr int kProcessInfoCommand = 25;
inline constexpr int kRefreshProcessesCommand = 32;
inline constexpr int kFirstPriorityCommand = 33;   // "Echtzeit"
inline constexpr int kLastPriorityCommand = 38;    // "Niedrig"
inline constexpr int kFirstProcessorCommand = 39;  // "#1"
inline constexpr int kMaxProcessorItems = 64;
inline constexpr int kLastProcessorCommand = kFirstProcessorCommand + kMaxProcessorItems - 1;  // 102
inline constexpr int kSuspendCommand = 103;
inline constexpr int kResumeCommand = 104;
inline constexpr int kOptimizeCommand = 105;
inline constexpr int kOpenFolderCommand = 106;

// What a command reads from one selected row: its PID, name (as column 0
// shows it), priority class and path.
struct SelectedProcess {
  uint32_t pid = 0;
  std::string name;
  uint32_t priorityClass = 0;  // 0 for "N/A"
  std::string path;
};

// The priority class a command 33..38 sets, or nothing for other identifiers.
std::optional<uint32_t> PriorityClassOfCommand(int command);
// The priority item of a priority class, or nothing ("N/A").
std::optional<int> PriorityCommandOfClass(uint32_t priorityClass);

// The check marks of the process menu, summed over the selected rows.
struct ProcessMenuMarks {
  std::vector<int> priorityItems;   // 33..38, each at most once, ascending
  std::vector<int> processorItems;  // 39..102, each at most once, ascending
  friend bool operator==(const ProcessMenuMarks&, const ProcessMenuMarks&) = default;
};
// Adds one row: its priority item, and one processor item for every bit of
// `affinityMask` (when it could be read) below `processorCount` (at most 64).
void AddRowMarks(ProcessMenuMarks& marks, uint32_t priorityClass, std::optional<uint64_t> affinityMask,
                 uint32_t processorCount);

// Processor n (0..63) toggled in `mask`: cleared when its item was checked,
// set otherwise. Other values of n leave the mask as it is.
uint64_t ToggledAffinity(uint64_t mask, int processor, bool itemChecked);

// The question before ending one or several processes. `names` are the
// display names of the selected rows in row order.
std::string KillQuestion(const std::vector<std::string>& names);
std::string KillFailedMessage(std::string_view name);
std::string PriorityFailedMessage(std::string_view name);
std::string FolderFailedMessage(std::string_view name);
inline constexpr const char* kAffinityFailedMessage = "Prozess konnte nicht zugeordnet werden!";
inline constexpr const char* kNtdllMissingMessage = "Die Programmbibliothek Ntdll konnte nicht gefunden werden!";
inline constexpr const char* kNtdllIncompatibleMessage =
    "Die Version der Programmbibliothek Ntdll ist nicht zu Velkor kompatibel!";
inline constexpr const char* kQuestionTitle = "Velkor";
inline constexpr const char* kNoticeTitle = "Hinweis";

// The folder of an executable path (up to and including the last "\" or "/"),
// or nothing when the path has no folder part or no file part.
std::optional<std::string> FolderToOpen(std::string_view path);
// Whether a search template may be handed to the shell: a web address
// ("http://" or "https://" in any letter case, then a host) without blanks,
// quotes or control characters, which could end the address or give the
// browser arguments of its own. Anything else (a program, a file, another
// scheme) would make the search start or open something other than a browser.
bool IsWebSearchTemplate(std::string_view searchTemplate);
// The address the web search opens: the template with every "[SEARCH]"
// replaced by `term`; nothing when the template is not a web search template.
std::optional<std::string> SearchAddress(std::string_view searchTemplate, std::string_view term);

}  // namespace velkor
