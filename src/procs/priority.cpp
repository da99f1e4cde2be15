#include "procs/priority.h"

namespace velkor {

PriorityColourTable PriorityColours;

void SetPriorityColours() { PriorityColours = PriorityColourTable{}; }

std::string_view PriorityName(uint32_t priorityClass) {
  switch (priorityClass) {
    case kRealtimePriority: return "Echtzeit";
    case kHighPriority: return "Hoch";
    case kAboveNormalPriority: return "Erhöht";
    case kNormalPriority: return "Normal";
    case kBelowNormalPriority: return "Erniedrigt";
    case kIdlePriority: return "Niedrig";
    default: return "N/A";
  }
}

}  // namespace velkor
