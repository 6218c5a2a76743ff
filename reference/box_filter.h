// The results of "blur" and "blur_alpha" stated plainly with summed-area
// tables, independent of the module's sliding window.
#pragma once

#include <cstdint>

#include "host/pixel_buffer.h"

namespace fxref {

enum class tBoxFilter { Plain, AlphaWeighted };

// Filters the picture's width x height pixels with radii x and y (0 <= 2x <=
// width, 0 <= 2y <= height), as if from an untouched copy; slack is left alone.
// x = y = 0 leaves the picture as it is.
void ReferenceBoxFilter(zanhost::PixelBuffer &picture, int32_t x, int32_t y, tBoxFilter filter);

}  // namespace fxref
