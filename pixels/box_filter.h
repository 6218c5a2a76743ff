// Exact box filters over a block of 32-bit pixels, in place: the pixel kernels
// behind the "blur" and "blur_alpha" script functions.
//
// Preconditions, checked (false is returned when they fail, nothing written):
// 0 <= 2x <= width and 0 <= 2y <= height. A width or height of 0, or x = y = 0,
// leaves the image untouched and returns true.
//
// Sums are 32-bit up to the window size where 32 bits are exact
// (pixels/window_limits.h) and 64-bit beyond it, so every window size gives
// the results stated below. `path` chooses the implementation
// (pixels/kernel_path.h); every path gives the same bytes.
#pragma once

#include <cstdint>

#include "pixels/kernel_path.h"
#include "pixels/pixel_rows.h"

namespace pixels {

// Box filter of (2x+1) x (2y+1), cut at the edges; with S the sum of a channel
// over the n pixels of the window, the channel becomes floor(S * floor(2^32 / n) / 2^32),
// which is floor(S / n) or one less. Returns false, with the image untouched,
// when the preconditions fail or work storage cannot be had. Extra memory: a
// ring of y+1 rows (none when y = 0), four rows of sums (32-bit within the
// limits above) and a table of x factors, less than 2y+1 rows plus four rows
// of 32-bit sums.
bool BoxFilter(const tPixelRows &image, int32_t x, int32_t y, tKernelPath path = tKernelPath::Auto);

// Alpha-weighted box filter: colour = floor(sum(c * a) / sum(a)) (left as it was
// where sum(a) = 0), alpha = floor(sum(a) / n). Same preconditions, result and memory.
bool BoxFilterAlpha(const tPixelRows &image, int32_t x, int32_t y,
                    tKernelPath path = tKernelPath::Auto);

}  // namespace pixels
