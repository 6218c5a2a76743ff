// The smoothed brightness behind the "brightness" transition's rule: each
// pixel's brightness (19 R + 183 G + 54 B) >> 8, averaged over the
// (2r+1) x (2r+1) square around it, cut at the picture's edges, and truncated.
#pragma once

#include <cstdint>

#include "pixels/kernel_path.h"
#include "pixels/level_range.h"

namespace pixels {

// rows[i] is source line i (`width` pixels, alpha in bits 24-31, red 16-23,
// green 8-15, blue 0-7); `out` receives width * height bytes, line i at
// out + i * width, each the window's brightness sum divided by its pixel count.
// Needs 0 <= 2 * radius <= width and <= height (false otherwise, nothing
// written); an empty picture writes nothing. Returns false when work storage
// cannot be had. Sums are 64-bit where 32 bits could overflow. `path` chooses
// the implementation (pixels/kernel_path.h); every path gives the same bytes.
bool BrightnessMeans(const uint32_t *const *rows, int32_t width, int32_t height, int32_t radius,
                     uint8_t *out, tKernelPath path = tKernelPath::Auto);

// The same, also setting *range to the lowest and highest mean written (empty
// for an empty picture).
bool BrightnessMeans(const uint32_t *const *rows, int32_t width, int32_t height, int32_t radius,
                     uint8_t *out, tLevelRange *range, tKernelPath path = tKernelPath::Auto);

}  // namespace pixels
