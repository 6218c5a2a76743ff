// PNG pictures and pages on disk, with messages that name the file and the
// fault: a file that is missing, a folder or unreadable, one that does not
// decode or is too large, pictures whose sizes differ. Output goes through
// WriteOutputFile (output_file.h).
#pragma once

#include <string>
#include <vector>

#include "host/pixel_buffer.h"

namespace zanhost::cli {

// Any PNG colour type, as 32-bit ARGB. Throws RunError.
PixelBuffer LoadPicture(const std::string &path);

// LoadPicture of each path, decoded side by side on the cores; the first
// failure in path order is thrown.
std::vector<PixelBuffer> LoadPictures(const std::vector<std::string> &paths);

// Throws RunError.
void SavePicture(const std::string &path, const PixelBuffer &picture);

// Throws RunError naming both files when the sizes differ.
void RequireSameSize(const PixelBuffer &first, const std::string &firstName,
                     const PixelBuffer &second, const std::string &secondName);

// Creates the folder and its parents, noting in the RunRecord each one it
// made; throws RunError.
void MakeDirectory(const std::string &path);

// Throws RunError.
void SaveText(const std::string &path, const std::string &text);

std::string SizeText(const PixelBuffer &picture);

}  // namespace zanhost::cli
