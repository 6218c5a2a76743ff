// The lowest and highest of a run of levels: the means report it as they write,
// so that the stretch needs no pass of its own to find it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace pixels {

// Empty: low above high.
struct tLevelRange {
  uint8_t low = 255;
  uint8_t high = 0;
};

// Widens `range` to take in `count` levels; a plain loop the compiler turns
// into vector code.
inline void WidenRange(const uint8_t *levels, size_t count, tLevelRange &range) {
  uint8_t low = range.low, high = range.high;
  for (size_t i = 0; i < count; ++i) {
    low = std::min(low, levels[i]);
    high = std::max(high, levels[i]);
  }
  range = {low, high};
}

}  // namespace pixels
