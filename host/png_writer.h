// Encodes a 32-bit ARGB PixelBuffer (any pitch, negative included) as an 8-bit
// RGBA PNG, alpha kept (RGB when every pixel is opaque), and an 8-bit one as a
// grey PNG. The encoding favours speed: zlib level 1 over rows filtered with
// "Up" (see png_writer.cpp for the size this costs).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/pixel_buffer.h"

namespace zanhost {

// The PNG file's bytes. Throws std::invalid_argument for a picture that is
// neither 8- nor 32-bit or has no pixels, std::runtime_error when libpng fails.
std::vector<uint8_t> EncodePng(const PixelBuffer &picture);

// EncodePng written to the file; std::runtime_error naming the file when it
// cannot be written.
void WritePng(const std::string &path, const PixelBuffer &picture);

}  // namespace zanhost
