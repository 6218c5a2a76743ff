// Counts the allocations made through operator new, the module's included
// (the loaded library resolves operator new to this program's replacement).
#pragma once

namespace zanhost {

// Counts every operator new while it lives; one at a time, host thread only.
class AllocationCounter {
 public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter &) = delete;
  AllocationCounter &operator=(const AllocationCounter &) = delete;

  long Count() const;
};

}  // namespace zanhost
