// Sets the processor's rounding of floats to round-to-nearest for a scope, the
// mode the single-precision quotient estimates of "blur_alpha" are worked out
// for, and puts the caller's mode back when done. SSE2, so that kernels of
// every wider instruction set inline it.
#pragma once

#include "pixels/instruction_sets.h"

#ifdef FX_X86_KERNELS

#include <xmmintrin.h>

namespace pixels {

class tRoundToNearest {
 public:
  FX_SSE2 tRoundToNearest() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ & ~_MM_ROUND_MASK); }
  FX_SSE2 ~tRoundToNearest() { _mm_setcsr(saved_); }
  tRoundToNearest(const tRoundToNearest &) = delete;
  tRoundToNearest &operator=(const tRoundToNearest &) = delete;

 private:
  unsigned int saved_;
};

}  // namespace pixels

#endif  // FX_X86_KERNELS
