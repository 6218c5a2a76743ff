// Which implementation of a pixel kernel runs: the plain C++ one, or one built on
// 128-bit or 256-bit vector instructions. The choice is made at run time from the
// processor's features, and the plain path can always be asked for (tests compare
// every path against it). Vector kernels exist on x86 only; elsewhere every request
// resolves to the plain path.
#pragma once

#if defined(__x86_64__) || defined(__i386__)
#define FX_X86_KERNELS 1
#endif

namespace frame {

enum class tKernelPath { Auto, Plain, Vector128, Vector256 };

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
#endif
    default:
      return false;
  }
}

// The path that runs for a request: Auto means the fastest one available; a path
// the processor lacks falls back to the next slower one.
inline tKernelPath ResolveKernelPath(tKernelPath requested) {
  tKernelPath path = requested == tKernelPath::Auto ? tKernelPath::Vector256 : requested;
  if (path == tKernelPath::Vector256 && !KernelPathAvailable(path)) {
    path = tKernelPath::Vector128;
  }
  if (path == tKernelPath::Vector128 && !KernelPathAvailable(path)) {
    path = tKernelPath::Plain;
  }
  return path;
}

}  // namespace frame
