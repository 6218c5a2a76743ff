// What a piece of code allocates through operator new, the module's work
// storage included: linking this library in replaces the program's global
// allocation functions (a loaded module resolves operator new to them too).
// The same replacement fails allocations on demand (allocation_failure.h).
#pragma once

#include <cstdint>

namespace instrument {

// Counts the allocations and measures the peak of the bytes allocated and not
// yet freed while it lives (blocks allocated before it and freed meanwhile are
// not counted against it). One at a time, on one thread.
class tAllocationMeter {
 public:
  tAllocationMeter();
  ~tAllocationMeter();
  tAllocationMeter(const tAllocationMeter &) = delete;
  tAllocationMeter &operator=(const tAllocationMeter &) = delete;

  uint64_t Count() const;
  uint64_t PeakBytes() const;
  // The bytes it counted that are not freed yet: 0 once everything the code
  // under it allocated has been given back.
  uint64_t HeldBytes() const;
};

}  // namespace instrument
