// Builds the "brightness" rule from a source image: per pixel the brightness
// (19 R + 183 G + 54 B) >> 8, averaged over a (2r+1) x (2r+1) window cut at the
// edges, stretched to 0..255 and optionally inverted.
#pragma once

#include <cstdint>
#include <memory>

#include "hostapi/transition.h"

struct tBrightnessRule {
  std::unique_ptr<uint8_t[]> levels;  // width * height bytes, row after row
  orn_int width = 0;
  orn_int height = 0;
};

// Reads every line of `source`. `radius` is cut to half the smaller side.
// False when the source cannot give its lines; when memory cannot be had it
// raises "not enough memory to build the rule of the brightness transition.".
bool BuildBrightnessRule(iZANLineSource *source, orn_int radius, bool invert,
                         tBrightnessRule *rule);
