// The current source location: one global 32-bit value that the program's own
// code updates as it goes, so the error dialog can say where a fault
// happened. The upper 8 bits hold the index of the source unit, the lower 24
// the line within it. Every unit marks its procedures at their entry
// (VELKOR_PLACE), and a procedure's mark gives way to its caller's again when
// it returns, so a fault reports the innermost marked procedure that runs.
// Marking costs a load and two stores of constants: cheap enough for the
// window procedures and the per-row steps of a refresh.
#pragma once

#include <cstdint>

namespace velkor {

// Source units as the error dialog names them.
enum SourceUnit : uint32_t {
  kMainModule = 0,  // start-up, the event loop and the command handlers
  kProceduresUnit = 1,
  kProcessCpuUnit = 2,
  kFileVersionInfoUnit = 3,
  kNetworkUnit = 4,
  kOnErrorUnit = 5,
};

// Volatile so that a store is never moved past the statement it marks.
inline volatile uint32_t CurrentSourceLocation = 0;

constexpr uint32_t kSourceLineMask = 0xFFFFFF;
constexpr uint32_t PackSourceLocation(uint32_t unit, uint32_t line) {
  return (unit << 24) | (line > kSourceLineMask ? kSourceLineMask : line);
}
constexpr uint32_t SourceUnitOf(uint32_t location) { return location >> 24; }
constexpr uint32_t SourceLineOf(uint32_t location) { return location & kSourceLineMask; }

// The mark of one running procedure; the caller's mark returns with it.
class SourcePlace {
 public:
  explicit SourcePlace(uint32_t location) : caller_(CurrentSourceLocation) { CurrentSourceLocation = location; }
  ~SourcePlace() { CurrentSourceLocation = caller_; }
  SourcePlace(const SourcePlace&) = delete;
  SourcePlace& operator=(const SourcePlace&) = delete;

 private:
  uint32_t caller_;
};

}  // namespace velkor

// Marks the statement that follows as the current source location.
#define VELKOR_LINE(unit) (::velkor::CurrentSourceLocation = ::velkor::PackSourceLocation((unit), __LINE__))
// Marks the procedure it opens, at this line, for as long as it runs.
#define VELKOR_PLACE(unit) const ::velkor::SourcePlace velkorSourcePlace(::velkor::PackSourceLocation((unit), __LINE__))
