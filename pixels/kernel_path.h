// Which implementation of a pixel kernel runs: the plain C++ one, or one built on
// 128-, 256- or 512-bit vector instructions. The choice is made at run time from the
// processor's features, and the plain path can always be asked for (tests compare
// every path against it). Off x86 every request resolves to the plain path.
#pragma once

#include "pixels/instruction_sets.h"

namespace pixels {

enum class tKernelPath { Auto, Plain, Vector128, Vector256, Vector512 };

// True when `path` can run on this processor (Auto and Plain always can).
inline bool KernelPathAvailable(tKernelPath path) {
  switch (path) {
    case tKernelPath::Auto:
    case tKernelPath::Plain:
      return true;
#ifdef FX_X86_KERNELS
    case tKernelPath::Vector128:
      return __builtin_cpu_supports("sse2");
    case tKernelPath::Vector256:
      return __builtin_cpu_supports("avx2");
    case tKernelPath::Vector512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi");
#endif
    default:
      return false;
  }
}

// The implementations of one kernel, all of type Fn; a vector one may be null
// (none for this instruction set, or none off x86: FX_VECTOR_KERNEL).
template <typename Fn>
struct tKernelSet {
  Fn *plain;
  Fn *vector128;
  Fn *vector256;
  Fn *vector512;
};

// The implementation that runs for a request: Auto means the fastest one; a
// path the processor or the kernel lacks falls back to the next slower one.
template <typename Fn>
Fn *ChooseKernel(const tKernelSet<Fn> &kernels, tKernelPath requested) {
  const bool any = requested == tKernelPath::Auto;
  if ((any || requested == tKernelPath::Vector512) && kernels.vector512 != nullptr &&
      KernelPathAvailable(tKernelPath::Vector512)) {
    return kernels.vector512;
  }
  const bool wide = any || requested == tKernelPath::Vector512;
  if ((wide || requested == tKernelPath::Vector256) && kernels.vector256 != nullptr &&
      KernelPathAvailable(tKernelPath::Vector256)) {
    return kernels.vector256;
  }
  if ((any || requested != tKernelPath::Plain) && kernels.vector128 != nullptr &&
      KernelPathAvailable(tKernelPath::Vector128)) {
    return kernels.vector128;
  }
  return kernels.plain;
}

}  // namespace pixels
