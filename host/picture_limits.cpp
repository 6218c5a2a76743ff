#include "host/picture_limits.h"

#include <stdexcept>

namespace zanhost {

void RequireModestSize(const std::string &path, long long width, long long height) {
  if (width > kMostPictureSide || height > kMostPictureSide ||
      width * height > kMostPicturePixels) {
    FailReading(path, "picture too large (" + std::to_string(width) + "x" + std::to_string(height) +
                          "; at most " + std::to_string(kMostPictureSide) + " pixels a side and " +
                          std::to_string(kMostPicturePixels) + " pixels in all)");
  }
}

void FailReading(const std::string &path, const std::string &reason) {
  throw std::runtime_error("\"" + path + "\": " + reason);
}

}  // namespace zanhost
