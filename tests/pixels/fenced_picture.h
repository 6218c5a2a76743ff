// Test pictures for the pixel kernels: compact B, G, R, A bytes, laid into a
// buffer with guard words after every row (to catch overruns) and optionally
// stored bottom-up behind a negative pitch.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "pixels/pixel_rows.h"

namespace fxtest {

using tBytes = std::vector<uint8_t>;

class tFencedPicture {
 public:
  static constexpr uint32_t kGuard = 0xA5C3E1F0u;

  tFencedPicture(int32_t width, int32_t height, const tBytes &pixels, int32_t guard_words,
                 bool bottom_up)
      : width_(width),
        height_(height),
        stride_(width + guard_words > 0 ? width + guard_words : 1),
        bottom_up_(bottom_up),
        words_(static_cast<size_t>(stride_) * height + 1, kGuard) {
    for (int32_t r = 0; r < height_ && width_ > 0; ++r) {
      std::memcpy(Row(r), pixels.data() + size_t(r) * width_ * 4, size_t(width_) * 4);
    }
  }

  pixels::tPixelRows Rows() {
    const ptrdiff_t pitch = ptrdiff_t(stride_) * 4;
    return {reinterpret_cast<uint8_t *>(Row(0)), bottom_up_ ? -pitch : pitch, width_, height_};
  }

  tBytes Pixels() const {
    tBytes out(size_t(width_) * height_ * 4);
    for (int32_t r = 0; r < height_ && width_ > 0; ++r) {
      std::memcpy(out.data() + size_t(r) * width_ * 4, Row(r), size_t(width_) * 4);
    }
    return out;
  }

  bool GuardsIntact() const {
    for (size_t k = 0; k < words_.size(); ++k) {
      const bool pixel = k + 1 < words_.size() && int32_t(k % size_t(stride_)) < width_;
      if (!pixel && words_[k] != kGuard) {
        return false;
      }
    }
    return true;
  }

 private:
  uint32_t *Row(int32_t r) { return &words_[StorageRow(r) * size_t(stride_)]; }
  const uint32_t *Row(int32_t r) const { return &words_[StorageRow(r) * size_t(stride_)]; }
  size_t StorageRow(int32_t r) const { return size_t(bottom_up_ ? height_ - 1 - r : r); }

  int32_t width_;
  int32_t height_;
  int32_t stride_;
  bool bottom_up_;
  std::vector<uint32_t> words_;
};

// Random bytes; with `transparent`, alpha is 0 over a random rectangle and at
// scattered pixels, and 255 at others, so weighted sums meet their edge cases.
inline tBytes RandomPixels(int32_t width, int32_t height, std::mt19937 &rng, bool transparent) {
  tBytes out(size_t(width) * height * 4);
  for (uint8_t &byte : out) {
    byte = static_cast<uint8_t>(rng());
  }
  if (!transparent || width == 0 || height == 0) {
    return out;
  }
  const int32_t c0 = int32_t(rng() % uint32_t(width));
  const int32_t r0 = int32_t(rng() % uint32_t(height));
  const int32_t c1 = c0 + int32_t(rng() % uint32_t(width - c0)) + 1;
  const int32_t r1 = r0 + int32_t(rng() % uint32_t(height - r0)) + 1;
  for (int32_t r = 0; r < height; ++r) {
    for (int32_t c = 0; c < width; ++c) {
      uint8_t &alpha = out[(size_t(r) * width + c) * 4 + 3];
      const uint32_t pick = rng() % 8;
      if ((r >= r0 && r < r1 && c >= c0 && c < c1) || pick == 0) {
        alpha = 0;
      } else if (pick == 1) {
        alpha = 255;
      }
    }
  }
  return out;
}

}  // namespace fxtest
