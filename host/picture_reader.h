// Reads a picture file into a 32-bit ARGB PixelBuffer, its format told by the
// file's first bytes, never by its name: PNG always (when the host is built
// with libpng), JPEG and WebP when built with their libraries.
#pragma once

#include <string>

#include "host/pixel_buffer.h"

namespace zanhost {

// Throws std::runtime_error naming the file when it cannot be read, is in no
// format this build reads (the message lists those it does), does not decode,
// or is too large (picture_limits.h).
PixelBuffer ReadPicture(const std::string &path);

// The formats this build reads, e.g. "PNG, JPEG and WebP".
std::string ReadableFormats();

// Decoders of one format each; declared here, defined only when built in.
PixelBuffer ReadJpeg(const std::string &path);
PixelBuffer ReadWebp(const std::string &path);

}  // namespace zanhost
