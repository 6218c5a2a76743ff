// What the picture readers share: the largest picture they accept (checked
// before pixels are allocated) and the form of their errors.
#pragma once

#include <string>

namespace zanhost {

// A side, and all pixels (8192x8192, 256 MB).
constexpr long kMostPictureSide = 16384;
constexpr long long kMostPicturePixels = 8192LL * 8192;

// Throws std::runtime_error naming the file when the size exceeds the limits.
void RequireModestSize(const std::string &path, long long width, long long height);

// Throws std::runtime_error: "\"PATH\": REASON".
[[noreturn]] void FailReading(const std::string &path, const std::string &reason);

}  // namespace zanhost
