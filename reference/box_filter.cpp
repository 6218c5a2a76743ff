#include "reference/box_filter.h"

#include <algorithm>
#include <vector>

namespace fxref {
namespace {

// table[(r * (w + 1)) + c] is the sum of value(row, col) over rows < r and
// columns < c.
class tSummedArea {
 public:
  template <class Value>
  tSummedArea(int w, int h, Value value) : w_(w), table_(size_t(w + 1) * size_t(h + 1), 0) {
    for (int r = 0; r < h; ++r) {
      for (int c = 0; c < w; ++c) {
        At(r + 1, c + 1) = value(r, c) + At(r, c + 1) + At(r + 1, c) - At(r, c);
      }
    }
  }
  // Sum over rows r0..r1 and columns c0..c1, inclusive.
  uint64_t Sum(int r0, int r1, int c0, int c1) const {
    return At(r1 + 1, c1 + 1) - At(r0, c1 + 1) - At(r1 + 1, c0) + At(r0, c0);
  }

 private:
  uint64_t &At(int r, int c) { return table_[size_t(r) * size_t(w_ + 1) + size_t(c)]; }
  uint64_t At(int r, int c) const { return table_[size_t(r) * size_t(w_ + 1) + size_t(c)]; }
  int w_;
  std::vector<uint64_t> table_;
};

}  // namespace

void ReferenceBoxFilter(zanhost::PixelBuffer &picture, int32_t x, int32_t y, tBoxFilter filter) {
  const int w = picture.Width();
  const int h = picture.Height();
  if ((x == 0 && y == 0) || w == 0 || h == 0) {
    return;
  }
  auto byte = [&](int r, int c, int channel) -> uint64_t {
    return picture.Row(r)[c * 4 + channel];
  };
  std::vector<tSummedArea> sums;
  for (int channel = 0; channel < 4; ++channel) {
    if (filter == tBoxFilter::AlphaWeighted && channel < 3) {
      sums.emplace_back(w, h, [&](int r, int c) { return byte(r, c, channel) * byte(r, c, 3); });
    } else {
      sums.emplace_back(w, h, [&](int r, int c) { return byte(r, c, channel); });
    }
  }
  zanhost::PixelBuffer result = picture;
  for (int r = 0; r < h; ++r) {
    const int r0 = std::max(0, r - y);
    const int r1 = std::min(h - 1, r + y);
    for (int c = 0; c < w; ++c) {
      const int c0 = std::max(0, c - x);
      const int c1 = std::min(w - 1, c + x);
      const uint64_t n = uint64_t(r1 - r0 + 1) * uint64_t(c1 - c0 + 1);
      uint8_t *out = result.Row(r) + c * 4;
      if (filter == tBoxFilter::Plain) {
        const uint64_t q = (uint64_t{1} << 32) / n;
        for (int channel = 0; channel < 4; ++channel) {
          out[channel] = uint8_t((sums[channel].Sum(r0, r1, c0, c1) * q) >> 32);
        }
      } else {
        const uint64_t alpha = sums[3].Sum(r0, r1, c0, c1);
        if (alpha > 0) {
          for (int channel = 0; channel < 3; ++channel) {
            out[channel] = uint8_t(sums[channel].Sum(r0, r1, c0, c1) / alpha);
          }
        }
        out[3] = uint8_t(alpha / n);
      }
    }
  }
  picture = std::move(result);
}

}  // namespace fxref
