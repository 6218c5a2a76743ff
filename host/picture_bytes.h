// A whole file in memory: for the decoders that read from memory, and for
// copies of a file as it stands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zanhost {

// Throws std::runtime_error naming the file when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string &path);

}  // namespace zanhost
