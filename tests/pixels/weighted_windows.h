// Windows of "blur_alpha" for its vector quotient tests: the sums of one pixel's
// window, the bytes the rule gives for a group of them, and the windows where
// an estimated quotient fails first: at and just below every multiple of the
// divisor, for divisors across their whole range.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace fxtest {

// One pixel's window: sums of b*a, g*a, r*a and a, and the window size n.
struct tWindow {
  uint32_t sums[4];
  uint32_t count;
};

// The pixel a group's pixel k was before filtering, kept where its alpha sum is 0.
inline uint32_t OriginalPixel(int k) {
  return 0x5A5A5A00u + uint32_t(k);
}

// The bytes of `count` windows by the rule.
inline std::vector<uint8_t> ExpectedMeans(const tWindow *windows, int count) {
  std::vector<uint8_t> bytes(size_t(4 * count));
  for (int k = 0; k < count; ++k) {
    const uint32_t alpha = windows[k].sums[3];
    for (int c = 0; c < 4; ++c) {
      const uint32_t mean =
          c < 3 ? windows[k].sums[c] / (alpha == 0 ? 1 : alpha) : alpha / windows[k].count;
      bytes[size_t(4 * k + c)] = uint8_t(alpha == 0 ? OriginalPixel(k) >> (8 * c) : mean);
    }
  }
  return bytes;
}

// Alpha sums d from 1 to 255 * 66,051 (the largest 32-bit window): all small
// ones, those around powers of two, the largest, and random ones.
inline std::vector<uint32_t> AlphaSums() {
  std::vector<uint32_t> sums;
  for (uint32_t d = 1; d <= 600; ++d) {
    sums.push_back(d);
  }
  for (int bit = 10; bit <= 23; ++bit) {
    for (int64_t e = -2; e <= 2; ++e) {
      sums.push_back(uint32_t((int64_t{1} << bit) + e));
    }
  }
  const uint32_t largest = 255 * 66051;
  sums.push_back(largest);
  std::mt19937 rng(31);
  for (int i = 0; i < 1500; ++i) {
    sums.push_back(uint32_t(1 + rng() % largest));
  }
  return sums;
}

// For each alpha sum d, colour sums q d - 1 and q d for every q <= 255 (those
// below 2^31 unless `wide`); the alpha quotients take d against window sizes
// d / 255 and up. Then a window of zero alpha, and more to fill the last group.
inline std::vector<tWindow> BoundaryWindows(bool wide, size_t group) {
  std::vector<tWindow> windows;
  for (uint32_t d : AlphaSums()) {
    for (uint64_t q = 0; q <= 255; ++q) {
      for (uint64_t c : {q * d - (q > 0 ? 1 : 0), q * d}) {
        if (!wide && c >= (uint64_t{1} << 31)) {
          continue;
        }
        const uint32_t count = (d + 254) / 255 + uint32_t(q % 7);
        windows.push_back({{uint32_t(c), uint32_t(q * d), uint32_t(c / 2), d}, count});
      }
    }
  }
  windows.push_back({{0, 0, 0, 0}, 9});
  while (windows.size() % group != 0) {
    windows.push_back({{7, 8, 9, 0}, 3});
  }
  return windows;
}

}  // namespace fxtest
