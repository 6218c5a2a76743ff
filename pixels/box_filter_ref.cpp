// Plain box filter kernels: the rule written out in plain C++. The image is
// overwritten row by row, so a ring keeps the originals of the y+1 rows
// overwritten that the window still needs; one row of column sums holds each
// pixel's four channel sums side by side, so every loop runs over 4 W words
// with the same step for all channels and the compiler can turn it into vector
// code. The row entering the window and the one leaving it are summed in one
// pass, and along a row the window sum steps by (column entering - column
// leaving), a single add on the dependency chain. Each pixel costs the same
// whatever the radii.
#include <algorithm>
#include <cstring>

#include "pixels/box_filter_kernels.h"
#include "pixels/exact_quotient.h"
#include "pixels/sliding_window.h"

namespace pixels {
namespace {

// "blur": every channel is summed as it is and scaled by q = floor(2^32 / n).
template <typename Sum>
struct tPlainMean : tBlurScales {
  static Sum Term(const uint8_t *pixel, int c) { return pixel[c]; }
  static void Write(const Sum sums[4], Factor q, uint8_t *pixel) {
    for (int c = 0; c < 4; ++c) {
      pixel[c] = ScaleDown(sums[c], q);
    }
  }
};

// "blur_alpha": colour is summed weighted by its pixel's alpha and divided by
// the alpha sum (kept where that is 0); alpha is summed and divided by n.
template <typename Sum>
struct tAlphaTerms {
  static Sum Term(const uint8_t *pixel, int c) {
    return c < 3 ? Sum{pixel[c]} * pixel[3] : Sum{pixel[3]};
  }
};

// 64-bit sums: integer divisions.
struct tAlphaMeanWide : tAlphaTerms<uint64_t> {
  using Factor = uint64_t;
  static Factor FactorFor(uint64_t n) { return n; }
  static void Write(const uint64_t sums[4], Factor n, uint8_t *pixel) {
    const uint64_t alpha_sum = sums[3];
    if (alpha_sum > 0) {
      for (int c = 0; c < 3; ++c) {
        pixel[c] = static_cast<uint8_t>(sums[c] / alpha_sum);
      }
    }
    pixel[3] = static_cast<uint8_t>(alpha_sum / n);
  }
};

// 32-bit sums: quotients from tabled reciprocals (pixels/exact_quotient.h).
struct tAlphaMean : tAlphaTerms<uint32_t>, tReciprocals {
  static void Write(const uint32_t sums[4], Factor count_reciprocal, uint8_t *pixel) {
    const uint32_t alpha_sum = sums[3];
    if (alpha_sum > 0) {
      const double r = 1.0 / double(alpha_sum);
      for (int c = 0; c < 3; ++c) {
        pixel[c] = ExactQuotient(sums[c], r);
      }
    }
    pixel[3] = ExactQuotient(alpha_sum, count_reciprocal);
  }
};

// Adds the terms of `entering` to the column sums and removes those of
// `leaving`, in one pass; either may be absent.
template <typename Sum, typename Rule, bool kEnter, bool kLeave>
void UpdateColumns(Sum *col, const uint8_t *entering, const uint8_t *leaving, int64_t w) {
  for (int64_t k = 0; k < 4 * w; k += 4) {
    for (int c = 0; c < 4; ++c) {
      Sum delta = 0;
      if (kEnter) {
        delta += Rule::Term(entering + k, c);
      }
      if (kLeave) {
        delta -= Rule::Term(leaving + k, c);
      }
      col[k + c] += delta;
    }
  }
}

// Window sum of pixel j from that of pixel j - 1: column j + x enters and
// column j - x - 1 leaves, each where it lies inside the row.
template <typename Sum>
void Step(Sum run[4], const Sum *col, int64_t j, int64_t x, int64_t w) {
  for (int c = 0; c < 4; ++c) {
    const Sum enter = j + x < w ? col[4 * (j + x) + c] : 0;
    const Sum leave = j - x - 1 >= 0 ? col[4 * (j - x - 1) + c] : 0;
    run[c] += enter - leave;
  }
}

template <typename Sum, typename Rule>
void FilterRow(const Sum *col, int64_t w, int64_t x, const tWindowFactors<Rule> &factors,
               uint8_t *out) {
  Sum run[4] = {};
  for (int64_t k = 0; k < x; ++k) {
    for (int c = 0; c < 4; ++c) {
      run[c] += col[4 * k + c];
    }
  }
  int64_t j = 0;
  for (; j <= x && j < w; ++j) {
    Step(run, col, j, x, w);
    Rule::Write(run, factors.At(j), out + 4 * j);
  }
  // Full windows: both columns lie inside the row.
  const typename Rule::Factor middle = factors.Middle();
  for (; j < w - x; ++j) {
    const Sum *enter = col + 4 * (j + x);
    const Sum *leave = col + 4 * (j - x - 1);
    for (int c = 0; c < 4; ++c) {
      run[c] += enter[c] - leave[c];
    }
    Rule::Write(run, middle, out + 4 * j);
  }
  for (; j < w; ++j) {
    Step(run, col, j, x, w);
    Rule::Write(run, factors.At(j), out + 4 * j);
  }
}

template <typename Sum, typename Rule>
bool FilterImage(const tPixelRows &image, int32_t x_radius, int32_t y_radius) {
  using Factor = typename Rule::Factor;
  const int64_t w = image.width;
  const int64_t h = image.height;
  const int64_t x = x_radius;
  const int64_t y = y_radius;
  const size_t row_bytes = static_cast<size_t>(w) * 4;
  std::unique_ptr<uint8_t[]> ring = TryAllocateRing(image, y_radius);
  std::unique_ptr<Sum[]> col = TryAllocateZeroed<Sum>(4 * uint64_t(w));
  std::unique_ptr<Factor[]> edges = TryAllocateRaw<Factor>(uint64_t(x));
  if (!ring || !col || !edges) {
    return false;
  }
  tWindowFactors<Rule> factors(w, x, edges.get());
  // The original of row r, kept from when it is overwritten until it leaves.
  auto copy = [&](int64_t r) { return &ring[static_cast<size_t>(r % (y + 1)) * row_bytes]; };

  for (int64_t r = 0; r < y; ++r) {
    UpdateColumns<Sum, Rule, true, false>(col.get(), RowAt(image, r), nullptr, w);
  }
  for (int64_t i = 0; i < h; ++i) {
    // Row i+y enters and row i-y-1 leaves; with y = 0 the row leaving is the
    // only one summed, so its sums are cleared instead.
    const bool enter = i + y < h;
    const bool leave = i - y - 1 >= 0;
    if (leave && y == 0) {
      std::fill(col.get(), col.get() + 4 * w, Sum{0});
    }
    const uint8_t *entering = enter ? RowAt(image, i + y) : nullptr;
    const uint8_t *leaving = leave && y > 0 ? copy(i - y - 1) : nullptr;
    if (entering && leaving) {
      UpdateColumns<Sum, Rule, true, true>(col.get(), entering, leaving, w);
    } else if (entering) {
      UpdateColumns<Sum, Rule, true, false>(col.get(), entering, nullptr, w);
    } else if (leaving) {
      UpdateColumns<Sum, Rule, false, true>(col.get(), nullptr, leaving, w);
    }
    factors.Prepare(uint64_t(WindowCells(i, y, h)));
    if (y > 0) {
      std::memcpy(copy(i), RowAt(image, i), row_bytes);
    }
    FilterRow(col.get(), w, x, factors, RowAt(image, i));
  }
  return true;
}

}  // namespace

bool BoxFilterRef(const tPixelRows &image, int32_t x, int32_t y) {
  return FilterImage<uint32_t, tPlainMean<uint32_t>>(image, x, y);
}

bool BoxFilterRefWide(const tPixelRows &image, int32_t x, int32_t y) {
  return FilterImage<uint64_t, tPlainMean<uint64_t>>(image, x, y);
}

bool BoxFilterAlphaRef(const tPixelRows &image, int32_t x, int32_t y) {
  return FilterImage<uint32_t, tAlphaMean>(image, x, y);
}

bool BoxFilterAlphaRefWide(const tPixelRows &image, int32_t x, int32_t y) {
  return FilterImage<uint64_t, tAlphaMeanWide>(image, x, y);
}

}  // namespace pixels
