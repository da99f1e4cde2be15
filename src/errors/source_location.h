// The current source location: one global 32-bit value that the program's own
// code updates before a statement, so the error dialog can say where a fault
// happened. The upper 8 bits hold the index of the source unit, the lower 24
// the line within it. Storing it is a single move, cheap enough to sprinkle.
#pragma once

#include <cstdint>

namespace velkor {

// Source units as the error dialog names them.
enum SourceUnit : uint32_t {
  kMainModule = 0,
  kProceduresUnit = 1,
  kProcessCpuUnit = 2,
  kFileVersionInfoUnit = 3,
  kNetworkUnit = 4,
  kOnErrorUnit = 5,
};

// Volatile so that a store is never moved past the statement it marks.
extern volatile uint32_t CurrentSourceLocation;

constexpr uint32_t kSourceLineMask = 0xFFFFFF;
constexpr uint32_t PackSourceLocation(uint32_t unit, uint32_t line) {
  return (unit << 24) | (line > kSourceLineMask ? kSourceLineMask : line);
}
constexpr uint32_t SourceUnitOf(uint32_t location) { return location >> 24; }
constexpr uint32_t SourceLineOf(uint32_t location) { return location & kSourceLineMask; }

}  // namespace velkor

// Marks the statement that follows as the current source location.
#define VELKOR_LINE(unit) (::velkor::CurrentSourceLocation = ::velkor::PackSourceLocation((unit), __LINE__))
