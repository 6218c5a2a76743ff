// The row view every box filter works on: W x H 32-bit pixels, bytes blue,
// green, red, alpha from the lowest address, row r at base + r * pitch bytes
// (the pitch may be negative).
#pragma once

#include <cstddef>
#include <cstdint>

namespace pixels {

struct tPixelRows {
  uint8_t *base;
  ptrdiff_t pitch;
  int32_t width;
  int32_t height;
};

inline uint8_t *RowAt(const tPixelRows &image, int64_t row) {
  return image.base + static_cast<ptrdiff_t>(row) * image.pitch;
}

}  // namespace pixels
