// Reads a PNG file into a 32-bit ARGB PixelBuffer (any PNG colour type is
// converted; missing alpha becomes opaque; 16-bit channels are cut to 8 bits).
#pragma once

#include <string>

#include "host/picture_limits.h"
#include "host/pixel_buffer.h"

namespace zanhost {

// Throws std::runtime_error naming the file when it cannot be read or decoded,
// or is larger than the limits of picture_limits.h.
PixelBuffer ReadPng(const std::string &path);

}  // namespace zanhost
