// The peak memory a piece of code takes through operator new, the kernels'
// work storage included: fx_bench replaces the global allocation functions.
#pragma once

#include <cstdint>

namespace fxbench {

// Measures, while it lives, the peak of the bytes allocated through operator
// new and not yet freed (blocks freed meanwhile that were allocated before it
// are not counted against it). One at a time, on one thread.
class tMemoryMeter {
 public:
  tMemoryMeter();
  ~tMemoryMeter();
  tMemoryMeter(const tMemoryMeter &) = delete;
  tMemoryMeter &operator=(const tMemoryMeter &) = delete;

  uint64_t PeakBytes() const;
};

}  // namespace fxbench
