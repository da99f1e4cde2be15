// What the "Dienste" view decides without asking Windows: the run-state
// texts, which service commands a row offers, and the failure messages.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace velkor {

inline constexpr int kServiceRefreshCommand = 126;
inline constexpr int kServiceStartCommand = 127;
inline constexpr int kServiceStopCommand = 128;
inline constexpr int kServicePauseCommand = 129;
inline constexpr int kServiceContinueCommand = 130;

// The "Status" text of a service manager current-state value (1 stopped ..
// 7 paused); empty for stopped and for values the manager never reports.
std::string ServiceStateText(uint32_t state);

// Which of the commands 127..130 the context menu offers for a row whose
// "Status" cell reads `stateText`.
struct ServiceMenuEnabling {
  bool start = false;
  bool stop = false;
  bool pause = false;
  bool resume = false;
  [[nodiscard]] bool Enabled(int command) const;
};
ServiceMenuEnabling ServiceMenuFor(std::string_view stateText);

// The "Hinweis" text when command 127..130 failed on service `name`; empty
// for any other command.
std::string ServiceCommandFailedMessage(int command, std::string_view name);

// The "Status" text a row shows while command 127..130 waits for the
// service manager; empty for any other command.
std::string PendingServiceText(int command);

// The commands handed to the service worker and not finished yet, by
// service key name: one per service at a time, so the row's pending text
// (and with it the blocked menu) stays until its outcome is taken.
class PendingServiceCommands {
 public:
  // False (nothing added) for a service that has one already, an empty
  // name or a command other than 127..130.
  bool Add(const std::string& name, int command);
  void Finish(std::string_view name);
  [[nodiscard]] bool Has(std::string_view name) const;
  // What the row of `name` shows: the pending text while a command runs,
  // else the manager's `stateText`.
  [[nodiscard]] std::string ShownState(std::string_view name, std::string stateText) const;

 private:
  std::map<std::string, int, std::less<>> commands_;
};

// A registry "Description" value as the list shows it: `size` is the byte
// count the registry reported for the value read into `bytes` (capacity
// bytes); a value of 2 bytes or less, or one that did not fit, shows empty.
std::string StoredDescription(std::string_view bytes, uint32_t size);
// Whether a stored text is an indirect reference ("@file,-id") that the
// system resolves from a module's resources.
bool IsIndirectString(std::string_view text);

}  // namespace velkor
