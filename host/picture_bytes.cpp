#include "host/picture_bytes.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "host/picture_limits.h"

namespace zanhost {

std::vector<uint8_t> ReadFileBytes(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                             std::istreambuf_iterator<char>());
  if (!file && !file.eof()) {
    FailReading(path, "cannot be read");
  }
  return bytes;
}

}  // namespace zanhost
