// Plain brightness means: a ring of the 2r+1 brightness lines of the current
// window, one column-sum row, and a running sum sliding along each output line,
// so each pixel costs one line added and removed and one column added and
// removed whatever the radius.
#include <algorithm>
#include <memory>

#include "pixels/brightness_means_kernels.h"
#include "pixels/try_allocate.h"

namespace pixels {
namespace {

template <typename Sum>
bool BrightnessMeansWithSums(const uint32_t *const *rows, int32_t width, int32_t height,
                             int32_t radius, uint8_t *out, tLevelRange &range) {
  const int64_t w = width;
  const int64_t h = height;
  const int64_t r = radius;
  const int64_t slots = 2 * r + 1;
  std::unique_ptr<uint8_t[]> ring = TryAllocateRaw<uint8_t>(uint64_t(slots) * uint64_t(w));
  std::unique_ptr<Sum[]> columnSums = TryAllocateZeroed<Sum>(uint64_t(w));
  if (!ring || !columnSums) {
    return false;
  }
  // Indexed through a plain pointer: 64-bit indices need no narrowing on 32-bit targets.
  Sum *const column = columnSums.get();
  auto slot_of = [&](int64_t line) { return &ring[static_cast<size_t>((line % slots) * w)]; };
  auto enter = [&](int64_t line) {
    uint8_t *slot = slot_of(line);
    for (int64_t k = 0; k < w; ++k) {
      slot[k] = Brightness(rows[line][k]);
      column[k] += slot[k];
    }
  };
  auto leave = [&](int64_t line) {
    const uint8_t *slot = slot_of(line);
    for (int64_t k = 0; k < w; ++k) {
      column[k] -= slot[k];
    }
  };

  for (int64_t line = 0; line < r; ++line) {
    enter(line);
  }
  for (int64_t i = 0; i < h; ++i) {
    if (i + r < h) {
      enter(i + r);
    }
    const uint64_t v = uint64_t(std::min(h - 1, i + r) - std::max<int64_t>(0, i - r) + 1);
    uint8_t *line_out = out + i * w;
    Sum run = 0;
    for (int64_t k = 0; k < r; ++k) {
      run += column[k];
    }
    for (int64_t j = 0; j < r; ++j) {
      run += column[j + r];
      line_out[j] = static_cast<uint8_t>(run / (uint64_t(r + 1 + j) * v));
    }
    const Sum middle_count = static_cast<Sum>(uint64_t(2 * r + 1) * v);
    for (int64_t j = r; j < w - r; ++j) {
      run += column[j + r];
      line_out[j] = static_cast<uint8_t>(run / middle_count);
      run -= column[j - r];
    }
    for (int64_t j = w - r; j < w; ++j) {
      line_out[j] = static_cast<uint8_t>(run / (uint64_t(w - j + r) * v));
      run -= column[j - r];
    }
    WidenRange(line_out, size_t(w), range);
    if (i >= r) {
      leave(i - r);
    }
  }
  return true;
}

}  // namespace

bool BrightnessMeansRef(const uint32_t *const *rows, int32_t width, int32_t height, int32_t radius,
                        uint8_t *out, tLevelRange &range) {
  return BrightnessMeansWithSums<uint32_t>(rows, width, height, radius, out, range);
}

bool BrightnessMeansRefWide(const uint32_t *const *rows, int32_t width, int32_t height,
                            int32_t radius, uint8_t *out, tLevelRange &range) {
  return BrightnessMeansWithSums<uint64_t>(rows, width, height, radius, out, range);
}

}  // namespace pixels
