// "blur_alpha" on 512-bit vectors (AVX-512 F, BW, VL and VBMI), chosen at run
// time; the file compiles to nothing off x86 (pixels/instruction_sets.h).
//
// The walk of the 256-bit kernel (pixels/box_filter_alpha_vector256.cpp) on
// blocks of sixteen pixels: one pass a row, the column sums of the columns
// entering the block's windows updated in registers as the walk reaches them
// (pixels/weighted_terms512.h), the row's original pixels sent to the ring as
// they are read, and sixteen quotients at a time (pixels/weighted_quotients512.h)
// while the next block's sums are found. A vector holds four pixels' sums;
// these step four pixels at a time with one add on the dependency chain. At
// small radii the columns leaving the windows are lane shifts of those just
// updated, still in registers. Masked loads and stores serve the row's ends.
// Of about 90 vector operations a block of sixteen pixels, about 20 update the
// column sums, 30 step the window sums, and 40 transpose, divide and pack.
#include "pixels/box_filter_kernels.h"

#ifdef FX_X86_KERNELS

#include <algorithm>

#include "pixels/avx512_intrinsics.h"

#define FX_TARGET FX_AVX512

#include "pixels/sliding_window.h"
#include "pixels/weighted_quotients512.h"
#include "pixels/weighted_terms512.h"

namespace pixels {
namespace {

constexpr int64_t kBlock = 16;

// How a block reads the column quads leaving its windows (see FusedSteps): a
// radius below kFarColumns, whose leaving columns were updated by this block or
// the one before, shifts them out of those blocks' registers; farther ones are
// read back from the sums, the row's ends reading columns outside as zero.
constexpr int kFarLeaving = -1;
constexpr int kCutLeaving = -2;
constexpr int kFarColumns = 8;

// Four pixels' column sums, c to c + 3, zero where a column lies outside 0 to w - 1.
FX_AVX512 inline __m512i LoadQuadWithin(const uint32_t *col, int64_t c, int64_t w) {
  const int64_t begin = std::max<int64_t>(c, 0);
  const int64_t end = std::min(c + 4, w);
  if (begin >= end) {
    return _mm512_setzero_si512();
  }
  const __mmask16 words = __mmask16(((1u << (4 * (end - begin))) - 1) << (4 * (begin - c)));
  // Read from column begin, moved up to its place in the quad.
  return _mm512_maskz_expandloadu_epi32(words, col + 4 * begin);
}

// The window sums of four pixels a vector as they step along a row: `quad`
// holds s(j-4) to s(j-1), `last` the steps d(j-4) to d(j-1), where d(j) = s(j)
// - s(j-1), and `last_pairs` their sums two by two, d(i-1) + d(i).
struct tRunning {
  __m512i quad, last, last_pairs;

  // s(j+k) = s(j+k-4) + d(j+k-3) + d(j+k-2) + d(j+k-1) + d(j+k): the four-term
  // sums take two lane shifts off the chain, which is one add from quad to quad.
  [[gnu::always_inline]] FX_AVX512 __m512i Step(__m512i d) {
    const __m512i pairs = _mm512_add_epi32(d, _mm512_alignr_epi32(d, last, 12));
    const __m512i fours = _mm512_add_epi32(pairs, _mm512_alignr_epi32(pairs, last_pairs, 8));
    quad = _mm512_add_epi32(quad, fours);
    last = d;
    last_pairs = pairs;
    return quad;
  }
};

// The work on one output row: its column sums are updated from `entering`
// and `leaving` (null when absent; kKeep false replaces the sums with the
// entering row's terms, as with y = 0), then written to `out`, whose original
// is kept at `copy` (null when y = 0).
template <bool kExact, bool kKeep, bool kEnter, bool kLeave>
class tWeightedRow {
 public:
  FX_AVX512 tWeightedRow(uint32_t *col, const uint8_t *entering, const uint8_t *leaving,
                         uint8_t *out, uint8_t *copy, int64_t w, int64_t x, int64_t rows)
      : col_(col),
        entering_(entering),
        leaving_(leaving),
        out_(out),
        copy_(copy),
        w_(w),
        x_(x),
        rows_(rows) {}

  // Columns x to fused_end - 1 are updated a block at a time as the walk
  // reaches them, the others (left of x, and the last few) first; the window
  // sum before pixel 0 is that of columns 0 to x - 1.
  FX_AVX512 void Write() {
    const int64_t fused_blocks = (w_ - x_) / kBlock;
    const int64_t fused_end = x_ + fused_blocks * kBlock;
    UpdateWeightedColumns<kKeep>(col_, entering_, leaving_, 0, x_);
    UpdateWeightedColumns<kKeep>(col_, entering_, leaving_, fused_end, w_);
    __m128i first = _mm_setzero_si128();
    for (int64_t k = 0; k < x_; ++k) {
      first = _mm_add_epi32(first, LoadWords(col_ + 4 * k));
    }
    tRunning running = {_mm512_broadcast_i32x4(first), _mm512_setzero_si512(),
                        _mm512_setzero_si512()};

    // Whole windows whose leaving column lies inside the row: j - x - 1 >= 0.
    const int64_t blocks = (w_ + kBlock - 1) / kBlock;
    const int64_t whole_begin = std::min((x_ + kBlock) / kBlock, blocks);
    const int64_t whole_end = std::max(whole_begin, fused_blocks);
    for (int64_t m = 0; m < whole_begin; ++m) {
      EdgeBlock(m * kBlock, m < fused_blocks, running);
    }
    const int32_t n = int32_t((2 * x_ + 1) * rows_);
    const __m512i counts = _mm512_set1_epi32(n);
    const __m512 reciprocals = _mm512_set1_ps(1.0f / float(n));
    NearOrFarBlocks(whole_begin, fused_blocks, counts, reciprocals, running);
    for (int64_t m = whole_end; m < blocks; ++m) {
      EdgeBlock(m * kBlock, m < fused_blocks, running);
    }
  }

 private:
  // WholeBlocks for the row's radius: each radius below kFarColumns has its
  // own, for its lane shifts.
  template <int kRadius = 0>
  FX_AVX512 void NearOrFarBlocks(int64_t begin, int64_t end, __m512i counts, __m512 reciprocals,
                                 tRunning &running) {
    if constexpr (kRadius < kFarColumns) {
      if (x_ == kRadius) {
        WholeBlocks<kRadius>(begin, end, counts, reciprocals, running);
      } else {
        NearOrFarBlocks<kRadius + 1>(begin, end, counts, reciprocals, running);
      }
    } else {
      WholeBlocks<kFarLeaving>(begin, end, counts, reciprocals, running);
    }
  }

  // Blocks begin to end - 1, all of whole windows. The sums of one block are
  // found while the previous block's quotients are worked out, so that the two
  // long chains overlap.
  template <int kLeaving>
  FX_AVX512 void WholeBlocks(int64_t begin, int64_t end, __m512i counts, __m512 reciprocals,
                             tRunning &running) {
    if (begin >= end) {
      return;
    }
    // Copies that stay in registers: the vector stores might alias the members.
    const tWeightedRow row = *this;
    tRunning state = running;
    // The sums of the sixteen columns before the first block's, updated already.
    __m512i recent[4] = {};
    for (int k = 0; kLeaving >= 0 && k < 4; ++k) {
      recent[k] = _mm512_loadu_si512(col_ + 4 * (begin * kBlock + x_ - kBlock + 4 * k));
    }
    __m512i sums[4];
    row.FusedSteps<kLeaving>(begin * kBlock, sums, state, recent);
    for (int64_t m = begin; m + 1 < end; ++m) {
      __m512i next[4];
      row.FusedSteps<kLeaving>((m + 1) * kBlock, next, state, recent);
      row.WholeBlock(m * kBlock, sums, counts, reciprocals);
      std::copy(next, next + 4, sums);
    }
    row.WholeBlock((end - 1) * kBlock, sums, counts, reciprocals);
    running = state;
  }

  [[gnu::always_inline]] FX_AVX512 void WholeBlock(int64_t j, const __m512i sums[4], __m512i counts,
                                                   __m512 reciprocals) const {
    const __m512i original = _mm512_loadu_si512(out_ + 4 * j);
    if (kKeep) {
      _mm512_storeu_si512(copy_ + 4 * j, original);
    }
    _mm512_storeu_si512(out_ + 4 * j, WeightedMeans<kExact>(sums, counts, reciprocals, original));
  }

  // Pixels j to j + 15 with column j + x + 16 inside the row: the columns
  // entering their windows are updated here, in registers. With a near
  // radius kLeaving, `recent` holds the sums of the sixteen columns before
  // them and takes theirs.
  template <int kLeaving>
  [[gnu::always_inline]] FX_AVX512 void FusedSteps(int64_t j, __m512i sums[4], tRunning &running,
                                                   __m512i recent[4]) const {
    const int64_t c = j + x_;
    const __m512i in = kEnter ? _mm512_loadu_si512(entering_ + 4 * c) : _mm512_setzero_si512();
    const __m512i out = kLeave ? _mm512_loadu_si512(leaving_ + 4 * c) : _mm512_setzero_si512();
    const __m512i terms[4] = {WeightedDeltas<0>(in, out), WeightedDeltas<1>(in, out),
                              WeightedDeltas<2>(in, out), WeightedDeltas<3>(in, out)};
    __m512i entering[4];
    for (int k = 0; k < 4; ++k) {
      uint32_t *target = col_ + 4 * (c + 4 * k);
      entering[k] = kKeep ? _mm512_add_epi32(_mm512_loadu_si512(target), terms[k]) : terms[k];
      _mm512_storeu_si512(target, entering[k]);
    }
    if constexpr (kLeaving >= 0) {
      // Leaving quad k starts 2x + 1 columns before entering quad k, at column
      // 4k + kStart of recent and entering side by side: a lane shift.
      constexpr int kStart = kBlock - 2 * kLeaving - 1;
      const __m512i quads[8] = {recent[0],   recent[1],   recent[2],   recent[3],
                                entering[0], entering[1], entering[2], entering[3]};
      for (int k = 0; k < 4; ++k) {
        const int first = (4 * k + kStart) / 4;
        const __m512i leaving =
            _mm512_alignr_epi32(quads[first + 1], quads[first], 4 * (kStart % 4));
        sums[k] = running.Step(_mm512_sub_epi32(entering[k], leaving));
      }
      std::copy(entering, entering + 4, recent);
    } else {
      for (int k = 0; k < 4; ++k) {
        sums[k] =
            running.Step(_mm512_sub_epi32(entering[k], LeavingQuad<kLeaving>(j - x_ - 1 + 4 * k)));
      }
    }
  }

  // Columns c to c + 3 of the leaving side, read back from the sums; at the
  // row's ends columns outside the row read as zero.
  template <int kLeaving>
  [[gnu::always_inline]] FX_AVX512 __m512i LeavingQuad(int64_t c) const {
    if (kLeaving == kFarLeaving) {
      return _mm512_loadu_si512(col_ + 4 * c);
    }
    return LoadQuadWithin(col_, c, w_);
  }

  // Pixels j to j + 15 (those before w) near the row's ends: columns outside
  // the row count as zero and each pixel's window size is computed.
  FX_AVX512 void EdgeBlock(int64_t j, bool fused, tRunning &running) {
    __m512i sums[4];
    if (fused) {
      FusedSteps<kCutLeaving>(j, sums, running, nullptr);
    } else {
      for (int k = 0; k < 4; ++k) {
        sums[k] = running.Step(_mm512_sub_epi32(LoadQuadWithin(col_, j + x_ + 4 * k, w_),
                                                LeavingQuad<kCutLeaving>(j - x_ - 1 + 4 * k)));
      }
    }
    // Columns min(w - 1, j + x) - max(0, j - x) + 1, at least 1 in lanes past w.
    const __m512i pixel = _mm512_add_epi32(_mm512_set1_epi32(int32_t(j)), TransposedPixels());
    const __m512i x = _mm512_set1_epi32(int32_t(x_));
    const __m512i right =
        _mm512_min_epi32(_mm512_add_epi32(pixel, x), _mm512_set1_epi32(int32_t(w_ - 1)));
    const __m512i left = _mm512_max_epi32(_mm512_sub_epi32(pixel, x), _mm512_setzero_si512());
    const __m512i columns = _mm512_max_epi32(_mm512_sub_epi32(right, left), _mm512_setzero_si512());
    const __m512i counts = _mm512_mullo_epi32(_mm512_add_epi32(columns, _mm512_set1_epi32(1)),
                                              _mm512_set1_epi32(int32_t(rows_)));
    const __mmask16 pixels = __mmask16((1u << std::min(kBlock, w_ - j)) - 1);
    const __m512i original = _mm512_maskz_loadu_epi32(pixels, out_ + 4 * j);
    if (kKeep) {
      _mm512_mask_storeu_epi32(copy_ + 4 * j, pixels, original);
    }
    _mm512_mask_storeu_epi32(
        out_ + 4 * j, pixels,
        WeightedMeans<kExact>(sums, counts, _mm512_rcp14_ps(_mm512_cvtepi32_ps(counts)), original));
  }

  uint32_t *col_;
  const uint8_t *entering_, *leaving_;
  uint8_t *out_, *copy_;
  int64_t w_, x_, rows_;
};

template <bool kExact, bool kKeep>
FX_AVX512 void WriteRow(uint32_t *col, const uint8_t *entering, const uint8_t *leaving,
                        uint8_t *out, uint8_t *copy, int64_t w, int64_t x, int64_t rows) {
  if (entering != nullptr && leaving != nullptr) {
    tWeightedRow<kExact, kKeep, true, true>(col, entering, leaving, out, copy, w, x, rows).Write();
  } else if (entering != nullptr) {
    tWeightedRow<kExact, kKeep, true, false>(col, entering, leaving, out, copy, w, x, rows).Write();
  } else if (leaving != nullptr) {
    tWeightedRow<kExact, kKeep, false, true>(col, entering, leaving, out, copy, w, x, rows).Write();
  } else {
    tWeightedRow<kExact, kKeep, false, false>(col, entering, leaving, out, copy, w, x, rows)
        .Write();
  }
}

// Slides the window down the image: before output row i, row i + y enters and
// row i - y - 1 leaves, from its copy in the ring of y + 1 rows (the slot that
// row i's original then takes). With y = 0 each row's terms replace the sums.
template <bool kExact>
FX_AVX512 bool FilterImage(const tPixelRows &image, int32_t x, int32_t y) {
  const tRoundToNearest rounding;
  const int64_t w = image.width;
  const int64_t h = image.height;
  std::unique_ptr<uint8_t[]> ring = TryAllocateRing(image, y);
  std::unique_ptr<uint32_t[]> col = TryAllocateZeroed<uint32_t>(4 * uint64_t(w));
  if (!ring || !col) {
    return false;
  }
  const auto copy = [&](int64_t row) { return ring.get() + row % (y + 1) * w * 4; };
  for (int64_t row = 0; row < y; ++row) {
    UpdateWeightedColumns<true>(col.get(), RowAt(image, row), nullptr, 0, w);
  }
  for (int64_t i = 0; i < h; ++i) {
    uint8_t *out = RowAt(image, i);
    const int64_t rows = WindowCells(i, y, h);
    if (y == 0) {
      WriteRow<kExact, false>(col.get(), out, nullptr, out, nullptr, w, x, rows);
      continue;
    }
    const uint8_t *entering = i + y < h ? RowAt(image, i + y) : nullptr;
    const uint8_t *leaving = i - y - 1 >= 0 ? copy(i) : nullptr;
    WriteRow<kExact, true>(col.get(), entering, leaving, out, copy(i), w, x, rows);
  }
  return true;
}

}  // namespace

bool BoxFilterAlphaVector512(const tPixelRows &image, int32_t x, int32_t y) {
  if ((2 * uint64_t(x) + 1) * (2 * uint64_t(y) + 1) <= kExactWindow) {
    return FilterImage<true>(image, x, y);
  }
  return FilterImage<false>(image, x, y);
}

}  // namespace pixels

#endif  // FX_X86_KERNELS
