// Pieces shared by the brightness-mean kernels and their per-path entries.
#pragma once

#include <cstdint>

#include "frame/kernel_path.h"
#include "hostapi/types.h"

namespace transitions {

// Largest window whose brightness sums stay exact in 32 bits: 255 * n <= 2^32 - 1.
constexpr uint64_t kMeansMaxNarrowWindow = 16843009;
// Largest window the vector kernels take: their sums stay below 2^31 and their
// reciprocal divisions exact.
constexpr uint64_t kMeansMaxVectorWindow = uint64_t{1} << 23;

inline uint8_t Brightness(orn_uint32 pixel) {
  const uint32_t red = (pixel >> 16) & 0xFF;
  const uint32_t green = (pixel >> 8) & 0xFF;
  const uint32_t blue = pixel & 0xFF;
  return static_cast<uint8_t>((19 * red + 183 * green + 54 * blue) >> 8);
}

// Entries of each implementation; preconditions are checked and the picture is
// not empty. Each returns false only when work storage cannot be had. The Wide
// kernel uses 64-bit sums (any window; for tests too).
bool BrightnessMeansRef(const orn_uint32 *const *rows, int32_t width, int32_t height,
                        int32_t radius, uint8_t *out);
bool BrightnessMeansRefWide(const orn_uint32 *const *rows, int32_t width, int32_t height,
                            int32_t radius, uint8_t *out);
#ifdef FX_X86_KERNELS
bool BrightnessMeansVector128(const orn_uint32 *const *rows, int32_t width, int32_t height,
                              int32_t radius, uint8_t *out);
bool BrightnessMeansVector256(const orn_uint32 *const *rows, int32_t width, int32_t height,
                              int32_t radius, uint8_t *out);
#endif

}  // namespace transitions
