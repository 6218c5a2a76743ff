// "distortion" stated plainly, row by row in the defined order, for checking the
// module's result.
#pragma once

#include <cstdint>

#include "host/pixel_buffer.h"

namespace fxref {

struct tWaveCall {
  double phase;
  double periodTop;
  double periodBottom;
  int32_t opacity;
  int32_t screenHeight;
  int32_t destTop;  // the destination Layer's "top"
};

// Draws into `dest` from `source`, which may be the same picture (drawn in
// place, later rows reading what earlier ones wrote). Where the wave leaves the
// result open: a period of 0 or one that is not finite leaves a row unshifted,
// shifts are cut to the row's width, the source row is clamped to the source,
// a source narrower than the destination repeats its last pixel, and an empty
// source or destination draws nothing.
void ReferenceDistortion(zanhost::PixelBuffer &dest, const zanhost::PixelBuffer &source,
                         const tWaveCall &call);

}  // namespace fxref
