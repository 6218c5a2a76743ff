// The levels of the "brightness" rule straight from their definitions, window
// by window and level by level: the brightness means and the level stretch.
#pragma once

#include <cstdint>
#include <vector>

namespace fxref {

// The mean brightness (19 R + 183 G + 54 B) >> 8 over the (2r+1) x (2r+1)
// window around each pixel, cut at the edges and truncated; rows[i] is line i
// of w pixels.
std::vector<uint8_t> NaiveMeans(const uint32_t *const *rows, int32_t w, int32_t h, int32_t r);

// (v - low) * 255 / (high - low) unless the levels are uniform or span 0..255
// already; then 255 - v when inverted.
std::vector<uint8_t> NaiveStretchLevels(std::vector<uint8_t> levels, bool invert);

}  // namespace fxref
