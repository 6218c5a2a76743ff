// PNG pictures on disk, with messages that name the file and the fault: a file
// that is missing or unreadable, one that does not decode, pictures whose sizes
// differ. Pictures are written to a temporary name first and renamed into place,
// so a failed run never leaves a half-written PNG under the final name.
#pragma once

#include <string>

#include "host/pixel_buffer.h"

namespace zanhost::cli {

// Any PNG colour type, as 32-bit ARGB. Throws RunError.
PixelBuffer LoadPicture(const std::string &path);

// Throws RunError.
void SavePicture(const std::string &path, const PixelBuffer &picture);

// Throws RunError naming both files when the sizes differ.
void RequireSameSize(const PixelBuffer &first, const std::string &firstName,
                     const PixelBuffer &second, const std::string &secondName);

// Creates the directory and its parents; throws RunError.
void MakeDirectory(const std::string &path);

// Writes the text through a temporary file; throws RunError.
void SaveText(const std::string &path, const std::string &text);

std::string SizeText(const PixelBuffer &picture);

}  // namespace zanhost::cli
