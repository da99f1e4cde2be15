// The machine's memory figures as the system reports them; read by
// ReadMemoryStatus (process_cpu_win.h).
#pragma once

#include <cstdint>

namespace velkor {

// The global memory status, in bytes.
struct MemoryStatus {
  uint64_t totalPhysical = 0;
  uint64_t availablePhysical = 0;
  uint64_t totalPageFile = 0;
  uint64_t availablePageFile = 0;
  uint64_t totalVirtual = 0;
};

}  // namespace velkor
