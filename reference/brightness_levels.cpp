#include "reference/brightness_levels.h"

#include <algorithm>

namespace fxref {

std::vector<uint8_t> NaiveMeans(const uint32_t *const *rows, int32_t w, int32_t h, int32_t r) {
  std::vector<uint8_t> out(size_t(w) * size_t(h));
  for (int32_t i = 0; i < h; ++i) {
    for (int32_t j = 0; j < w; ++j) {
      uint64_t sum = 0;
      uint64_t count = 0;
      for (int32_t a = std::max(0, i - r); a <= std::min(h - 1, i + r); ++a) {
        for (int32_t b = std::max(0, j - r); b <= std::min(w - 1, j + r); ++b) {
          const uint32_t p = rows[a][b];
          sum += (19 * ((p >> 16) & 255) + 183 * ((p >> 8) & 255) + 54 * (p & 255)) >> 8;
          ++count;
        }
      }
      out[size_t(i) * size_t(w) + size_t(j)] = uint8_t(sum / count);
    }
  }
  return out;
}

std::vector<uint8_t> NaiveStretchLevels(std::vector<uint8_t> levels, bool invert) {
  if (levels.empty()) {
    return levels;
  }
  const unsigned low = *std::min_element(levels.begin(), levels.end());
  const unsigned high = *std::max_element(levels.begin(), levels.end());
  for (uint8_t &v : levels) {
    if (high != low && !(low == 0 && high == 255)) {
      v = uint8_t((v - low) * 255 / (high - low));
    }
    if (invert) {
      v = uint8_t(255 - v);
    }
  }
  return levels;
}

}  // namespace fxref
