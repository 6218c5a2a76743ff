// Exact box filters over a block of 32-bit pixels, in place. These are the
// pixel kernels behind the "blur" and "blur_alpha" script functions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace layerfx {

// W x H pixels; row r starts at `base` + r * `pitch` bytes (pitch may be negative).
struct tPixelRows {
  uint8_t *base;
  ptrdiff_t pitch;
  int32_t width;
  int32_t height;
};

// Which implementation runs. Auto picks the fastest the processor supports.
enum class tKernelPath { Auto, Plain, Vector128, Vector256 };

// Box filter of (2x+1) x (2y+1), cut at the edges; every channel becomes
// floor(S * floor(2^32 / n) / 2^32). Needs 0 <= 2x <= width, 0 <= 2y <= height.
// Returns false, with the image untouched, when work storage cannot be had.
bool BoxBlur(const tPixelRows &image, int32_t x, int32_t y, tKernelPath path = tKernelPath::Auto);

// Alpha-weighted box filter: colour = floor(sum(c * a) / sum(a)) (left as it was
// where sum(a) = 0), alpha = floor(sum(a) / n). Same preconditions and result.
bool BoxBlurAlpha(const tPixelRows &image, int32_t x, int32_t y,
                  tKernelPath path = tKernelPath::Auto);

}  // namespace layerfx
