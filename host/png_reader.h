// Reads a PNG file into a 32-bit ARGB PixelBuffer (any PNG colour type is
// converted; missing alpha becomes opaque).
#pragma once

#include <string>

#include "host/pixel_buffer.h"

namespace zanhost {

// Throws std::runtime_error naming the file when it cannot be read or decoded.
PixelBuffer ReadPng(const std::string &path);

}  // namespace zanhost
