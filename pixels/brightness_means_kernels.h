// Pieces shared by the brightness-mean kernels and their per-path entries.
#pragma once

#include <cstdint>

#include "pixels/instruction_sets.h"
#include "pixels/level_range.h"

namespace pixels {

// Largest window the vector kernels take: their sums stay below 2^31 and their
// multiply-shift divisions exact (pixels/exact_quotient.h).
constexpr uint64_t kVectorMeansMaxWindow = uint64_t{1} << 23;

inline uint8_t Brightness(uint32_t pixel) {
  const uint32_t red = (pixel >> 16) & 0xFF;
  const uint32_t green = (pixel >> 8) & 0xFF;
  const uint32_t blue = pixel & 0xFF;
  return static_cast<uint8_t>((19 * red + 183 * green + 54 * blue) >> 8);
}

// Entries of each implementation; preconditions are checked and the picture is
// not empty. Each widens `range` to take in every mean written, and returns
// false only when work storage cannot be had. The RefWide kernel uses 64-bit
// sums (any window; for tests too).
using tBrightnessMeansKernel = bool(const uint32_t *const *rows, int32_t width, int32_t height,
                                    int32_t radius, uint8_t *out, tLevelRange &range);
tBrightnessMeansKernel BrightnessMeansRef;
tBrightnessMeansKernel BrightnessMeansRefWide;
#ifdef FX_X86_KERNELS
tBrightnessMeansKernel BrightnessMeansVector128;
tBrightnessMeansKernel BrightnessMeansVector256;
// The 256-bit kernel whose lanes walk segments of the line; the 256-bit entry
// takes it where LanesFit.
tBrightnessMeansKernel BrightnessMeansLanes256;
bool LanesFit(int32_t width, int32_t radius);
#endif

}  // namespace pixels
