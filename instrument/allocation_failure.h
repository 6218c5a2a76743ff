// Allocations that fail on purpose, to test the paths a crowded address space
// takes: while a tAllocationFailure lives, the program's global allocation
// functions (replaced by this library, see allocation_meter.h) refuse the
// chosen allocations as an exhausted heap would: the throwing forms throw
// std::bad_alloc, the nothrow forms return null. A loaded module's operator
// new resolves to them too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace instrument {

// One at a time, on one thread; every allocation succeeds again once it is gone.
class tAllocationFailure {
 public:
  // Fails the n-th allocation asked for from now on (1 = the next), only that
  // one. Zero fails none: it only counts.
  static tAllocationFailure Nth(uint64_t n);
  // Fails every allocation of more than `bytes`.
  static tAllocationFailure Above(std::size_t bytes);
  ~tAllocationFailure();
  tAllocationFailure(const tAllocationFailure &) = delete;
  tAllocationFailure &operator=(const tAllocationFailure &) = delete;

  // Allocations asked for while it lived, the failed ones included.
  uint64_t Count() const;
  uint64_t Failures() const;
  // The return address of the first call of operator new that failed (inside
  // its caller's code), null while none has.
  const void *FirstFailedCaller() const;

 private:
  tAllocationFailure(uint64_t nth, std::size_t above);
};

}  // namespace instrument
