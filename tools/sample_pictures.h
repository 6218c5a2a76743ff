// Built-in sample pictures for the demo, drawn in code at any size of at
// least 8x8: two contrasting pictures with transparent and half-transparent
// parts, and a rule picture (grey levels) of a radial gradient.
#pragma once

#include "host/pixel_buffer.h"

namespace zanhost::cli {

constexpr int kSmallestSample = 8;

struct SamplePictures {
  PixelBuffer from;  // warm diagonal stripes, a transparent hole, a fading right edge
  PixelBuffer to;    // cool rings, a half-transparent band at the bottom
  PixelBuffer rule;  // opaque grey, dark at the centre, light at the corners
};

SamplePictures MakeSamplePictures(int width, int height);

}  // namespace zanhost::cli
