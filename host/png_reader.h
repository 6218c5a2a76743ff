// Reads a PNG file into a 32-bit ARGB PixelBuffer (any PNG colour type is
// converted; missing alpha becomes opaque; 16-bit channels are cut to 8 bits).
#pragma once

#include <string>

#include "host/pixel_buffer.h"

namespace zanhost {

// The largest picture read: a side, and all pixels (8192x8192, 256 MB).
constexpr long kMostPictureSide = 16384;
constexpr long long kMostPicturePixels = 8192LL * 8192;

// Throws std::runtime_error naming the file when it cannot be read or decoded,
// or is larger than the limits above (checked before any pixel is allocated).
PixelBuffer ReadPng(const std::string &path);

}  // namespace zanhost
