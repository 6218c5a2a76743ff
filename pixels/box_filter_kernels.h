// Pieces shared by the box filter kernels: the scale factor of "blur", the
// ring of row copies, and the entry of each implementation.
#pragma once

#include <cstdint>
#include <memory>

#include "pixels/instruction_sets.h"
#include "pixels/pixel_rows.h"
#include "pixels/try_allocate.h"

namespace pixels {

// q = floor(2^32 / n), computed in 64 bits; below 2^32 since n >= 2 whenever a
// filter runs.
inline uint64_t BlurScale(uint64_t n) {
  return (uint64_t{1} << 32) / n;
}

// One "blur" channel: floor(S * q / 2^32). S <= 255 * n and q <= 2^32 / n, so
// the product stays below 255 * 2^32 and the result below 256.
inline uint8_t ScaleDown(uint64_t sum, uint64_t q) {
  return static_cast<uint8_t>((sum * q) >> 32);
}

// The ring of row copies every kernel keeps: the originals of the rows already
// overwritten that are still inside the window, rows i-y-1 to i-1 when output
// row i is written, so y+1 rows; none when y = 0, where the one row summed
// leaves by clearing the sums. Null when it cannot be had.
inline std::unique_ptr<uint8_t[]> TryAllocateRing(const tPixelRows &image, int32_t y) {
  const uint64_t rows = y == 0 ? 0 : uint64_t(y) + 1;
  return TryAllocateRaw<uint8_t>(rows * uint64_t(image.width) * 4);
}

// Factor rule of "blur" for tWindowFactors: the scale of the window.
struct tBlurScales {
  using Factor = uint32_t;
  static Factor FactorFor(uint64_t n) { return static_cast<uint32_t>(BlurScale(n)); }
};

// Entries of each implementation. Callers have checked the preconditions and that
// there is work to do; each returns false only when work storage cannot be had.
// The Ref kernels state the rule plainly; RefWide ones use 64-bit sums and serve
// windows beyond the 32-bit limits (callable on any window, for tests).
using tBoxFilterKernel = bool(const tPixelRows &image, int32_t x, int32_t y);
tBoxFilterKernel BoxFilterRef;
tBoxFilterKernel BoxFilterRefWide;
tBoxFilterKernel BoxFilterAlphaRef;
tBoxFilterKernel BoxFilterAlphaRefWide;
#ifdef FX_X86_KERNELS
tBoxFilterKernel BoxFilterVector128;
tBoxFilterKernel BoxFilterVector256;
tBoxFilterKernel BoxFilterVector512;
tBoxFilterKernel BoxFilterAlphaVector128;
tBoxFilterKernel BoxFilterAlphaVector256;
tBoxFilterKernel BoxFilterAlphaVector512;
#endif

}  // namespace pixels
