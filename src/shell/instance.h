// Names by which the two programs find each other, and the small rules that
// decide what a start-up finds.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velkor {

inline constexpr const char* kInstanceMutexName = "Velkor";
inline constexpr const char* kCompanionMutexName = "Velkor Systray";
inline constexpr const char* kSignalFileName = "~velkor.tmp";
inline constexpr const char* kCompanionExeName = "dornat.exe";
inline constexpr const char* kMainExeName = "velkor.exe";

// The companion is recognised by its exact process name, letter case included.
inline bool IsCompanionName(std::string_view processName) { return processName == kCompanionExeName; }
// And the main program likewise: "VELKOR.EXE" is some other program.
inline bool IsMainProgramName(std::string_view processName) { return processName == kMainExeName; }

// Only a process of the user's own session counts as the other program: an
// elevated program sees other users' processes too. A process whose session
// cannot be read is not counted.
inline bool InOwnSession(std::optional<uint32_t> session, uint32_t ownSession) {
  return session.has_value() && *session == ownSession;
}
inline bool IsCompanionProcess(std::string_view processName, std::optional<uint32_t> session, uint32_t ownSession) {
  return IsCompanionName(processName) && InOwnSession(session, ownSession);
}

// Only an empty signal file is a second start's signal; any other file of
// that name is someone else's and is left alone.
inline bool IsStartSignal(bool exists, uint64_t size) { return exists && size == 0; }

}  // namespace velkor
