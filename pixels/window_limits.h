// The window sizes up to which the kernels' 32-bit sums are exact; past them
// the kernels take 64-bit sums.
#pragma once

#include <cstdint>

namespace pixels {

// Sums of bytes (the "blur" channels, brightness): 255 * n <= 2^32 - 1.
constexpr uint64_t kByteSumMaxWindow = 16843009;
// Sums of products of two bytes (the "blur_alpha" colour): 255 * 255 * n <= 2^32 - 1.
constexpr uint64_t kProductSumMaxWindow = 66051;
// Column sums of bytes fit 16 bits while a column spans at most this many rows
// (255 * 257 = 65535).
constexpr int64_t kByteSumNarrowRows = 257;

}  // namespace pixels
