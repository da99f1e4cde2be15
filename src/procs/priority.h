// Priority classes as the system numbers them, their names in the process
// list and the row background colours that go with them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace velkor {

enum PriorityClassValue : uint32_t {
  kIdlePriority = 0x40,
  kBelowNormalPriority = 0x4000,
  kNormalPriority = 0x20,
  kAboveNormalPriority = 0x8000,
  kHighPriority = 0x80,
  kRealtimePriority = 0x100,
};

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The row colours by priority class; indices follow PriorityIndex.
struct PriorityColourTable {
  Rgb idle{170, 255, 170};
  Rgb belowNormal{204, 255, 204};
  Rgb normal{255, 255, 255};
  Rgb aboveNormal{255, 208, 208};
  Rgb high{255, 192, 192};
  Rgb realtime{255, 144, 144};
};
extern PriorityColourTable PriorityColours;
void SetPriorityColours();

// The six classes from the highest down, the order every list of them takes.
inline constexpr std::array<uint32_t, 6> kPriorityClassesFromHighest = {
    kRealtimePriority, kHighPriority, kAboveNormalPriority, kNormalPriority, kBelowNormalPriority, kIdlePriority};

// "Echtzeit", "Hoch", ... or "N/A" for a value that is no priority class.
std::string_view PriorityName(uint32_t priorityClass);

}  // namespace velkor
