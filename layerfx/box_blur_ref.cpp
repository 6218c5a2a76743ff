// Plain box filter kernels: the rule written out step by step, one channel at a
// time. A ring keeps copies of the 2y+1 source rows of the current window (the
// image is overwritten row by row), four column-sum rows hold the vertical sums
// per channel, and four running sums slide along each output row. Each pixel
// adds and removes one row and one column whatever the radii.
#include <cstring>

#include "layerfx/box_blur_kernels.h"

namespace layerfx {
namespace {

// "blur": every channel is summed as it is and scaled by floor(2^32 / n).
template <typename Sum>
struct tPlainMean {
  static void Terms(const uint8_t *pixel, Sum terms[4]) {
    for (int c = 0; c < 4; ++c) {
      terms[c] = pixel[c];
    }
  }
  static uint64_t Scale(uint64_t n) { return BlurScale(n); }
  static void Write(const Sum sums[4], uint64_t q, uint8_t *pixel) {
    for (int c = 0; c < 4; ++c) {
      pixel[c] = ScaleDown(sums[c], q);
    }
  }
};

// "blur_alpha": colour is summed weighted by its pixel's alpha and divided by the
// alpha sum (kept where that is 0); alpha is summed and divided by n.
template <typename Sum>
struct tAlphaWeightedMean {
  static void Terms(const uint8_t *pixel, Sum terms[4]) {
    const Sum alpha = pixel[3];
    for (int c = 0; c < 3; ++c) {
      terms[c] = pixel[c] * alpha;
    }
    terms[3] = alpha;
  }
  static uint64_t Scale(uint64_t n) { return n; }
  static void Write(const Sum sums[4], uint64_t n, uint8_t *pixel) {
    const Sum alpha_sum = sums[3];
    if (alpha_sum > 0) {
      for (int c = 0; c < 3; ++c) {
        pixel[c] = static_cast<uint8_t>(sums[c] / alpha_sum);
      }
    }
    pixel[3] = static_cast<uint8_t>(alpha_sum / n);
  }
};

template <typename Sum, typename Rule>
bool BoxFilterRef(const tPixelRows &image, int32_t x_radius, int32_t y_radius) {
  const int64_t w = image.width;
  const int64_t h = image.height;
  const int64_t x = x_radius;
  const int64_t y = y_radius;
  const int64_t slots = 2 * y + 1;
  const size_t row_bytes = static_cast<size_t>(w) * 4;
  std::unique_ptr<uint8_t[]> ring = TryAllocateRing(image, y_radius);
  std::unique_ptr<Sum[]> sums = frame::TryAllocateZeroed<Sum>(4 * uint64_t(w));
  if (!ring || !sums) {
    return false;
  }
  Sum *const base = sums.get();  // 64-bit offsets need no narrowing on 32-bit targets
  Sum *const column[4] = {base, base + w, base + 2 * w, base + 3 * w};

  // Copies source row r into its ring slot, then adds it into the column sums.
  auto enter = [&](int64_t r) {
    uint8_t *slot = &ring[static_cast<size_t>(r % slots) * row_bytes];
    std::memcpy(slot, RowAt(image, r), row_bytes);
    for (int64_t k = 0; k < w; ++k) {
      Sum terms[4];
      Rule::Terms(slot + 4 * k, terms);
      for (int c = 0; c < 4; ++c) {
        column[c][k] += terms[c];
      }
    }
  };
  // Removes source row r, read back from its ring copy, from the column sums.
  auto leave = [&](int64_t r) {
    const uint8_t *slot = &ring[static_cast<size_t>(r % slots) * row_bytes];
    for (int64_t k = 0; k < w; ++k) {
      Sum terms[4];
      Rule::Terms(slot + 4 * k, terms);
      for (int c = 0; c < 4; ++c) {
        column[c][k] -= terms[c];
      }
    }
  };
  auto add_column = [&](Sum run[4], int64_t k) {
    for (int c = 0; c < 4; ++c) {
      run[c] += column[c][k];
    }
  };
  auto subtract_column = [&](Sum run[4], int64_t k) {
    for (int c = 0; c < 4; ++c) {
      run[c] -= column[c][k];
    }
  };

  for (int64_t r = 0; r < y; ++r) {
    enter(r);
  }
  for (int64_t i = 0; i < h; ++i) {
    if (i + y < h) {
      enter(i + y);
    }
    const uint64_t v = VerticalCount(i, y, h);
    uint8_t *out = RowAt(image, i);
    Sum run[4] = {};
    for (int64_t k = 0; k < x; ++k) {
      add_column(run, k);
    }
    // Left end: the window is cut at column 0.
    for (int64_t j = 0; j < x; ++j) {
      add_column(run, j + x);
      Rule::Write(run, Rule::Scale(uint64_t(j + x + 1) * v), out + 4 * j);
    }
    // Middle: full width 2x+1, one scale for the whole stretch.
    const uint64_t middle_scale = Rule::Scale(uint64_t(2 * x + 1) * v);
    for (int64_t j = x; j < w - x; ++j) {
      add_column(run, j + x);
      Rule::Write(run, middle_scale, out + 4 * j);
      subtract_column(run, j - x);
    }
    // Right end: the window is cut at column w - 1.
    for (int64_t j = w - x; j < w; ++j) {
      Rule::Write(run, Rule::Scale(uint64_t(w - j + x) * v), out + 4 * j);
      subtract_column(run, j - x);
    }
    if (i >= y) {
      leave(i - y);
    }
  }
  return true;
}

}  // namespace

bool BoxBlurRef(const tPixelRows &image, int32_t x, int32_t y) {
  return BoxFilterRef<uint32_t, tPlainMean<uint32_t>>(image, x, y);
}

bool BoxBlurRefWide(const tPixelRows &image, int32_t x, int32_t y) {
  return BoxFilterRef<uint64_t, tPlainMean<uint64_t>>(image, x, y);
}

bool BoxBlurAlphaRef(const tPixelRows &image, int32_t x, int32_t y) {
  return BoxFilterRef<uint32_t, tAlphaWeightedMean<uint32_t>>(image, x, y);
}

bool BoxBlurAlphaRefWide(const tPixelRows &image, int32_t x, int32_t y) {
  return BoxFilterRef<uint64_t, tAlphaWeightedMean<uint64_t>>(image, x, y);
}

}  // namespace layerfx
