// A whole file in memory, for the decoders that read from memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zanhost {

// Throws std::runtime_error naming the file when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string &path);

}  // namespace zanhost
