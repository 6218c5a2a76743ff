// Writes a 32-bit ARGB PixelBuffer (any pitch, negative included) as an 8-bit
// RGBA PNG file, alpha kept.
#pragma once

#include <string>

#include "host/pixel_buffer.h"

namespace zanhost {

// Throws std::invalid_argument for a picture that is not 32-bit or has no
// pixels, and std::runtime_error naming the file when it cannot be written.
void WritePng(const std::string &path, const PixelBuffer &picture);

}  // namespace zanhost
