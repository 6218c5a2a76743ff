// ReadPng for a host built without libpng: every file is unreadable, so
// pictures can only be registered in memory.
#include <stdexcept>

#include "host/png_reader.h"

namespace zanhost {

PixelBuffer ReadPng(const std::string &path) {
  throw std::runtime_error("\"" + path + "\": cannot read PNG files (built without PNG support)");
}

}  // namespace zanhost
