// Test pictures for the pixel kernels: compact B, G, R, A bytes, laid into a
// buffer with guard words after every row (to catch overruns) and optionally
// stored bottom-up behind a negative pitch.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "pixels/pixel_rows.h"
#include "tests/layer_pictures.h"

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

// RandomPicture's pixels (tests/layer_pictures.h) as bytes.
inline tBytes RandomPixels(int32_t width, int32_t height, std::mt19937 &rng, bool transparent) {
  const Picture words = RandomPicture(width, height, rng, transparent);
  tBytes out(words.size() * 4);
  for (size_t k = 0; k < words.size(); ++k) {
    for (int c = 0; c < 4; ++c) {
      out[4 * k + size_t(c)] = uint8_t(words[k] >> (8 * c));
    }
  }
  return out;
}

}  // namespace fxtest
