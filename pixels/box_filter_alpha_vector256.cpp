// "blur_alpha" on 256-bit vectors (AVX2), chosen at run time; the file
// compiles to nothing off x86 (pixels/instruction_sets.h).
//
// One pass a row. The column sums (a pixel's {b*a, g*a, r*a, a} side by side,
// 32-bit) are updated in the same walk that writes the row: the block of
// columns entering the windows of eight output pixels takes the entering row's
// terms and loses the leaving row's (pixels/weighted_terms256.h) while it is
// in registers, and the row's original pixels go to the ring as they are read
// for the output. The window sums step two pixels a vector with one add on the
// dependency chain, and every pixel, the cut windows at the row's ends
// included, is divided eight at a time (pixels/weighted_quotients256.h); the
// sums of one block are found while the previous block divides, so that the
// long chain of the division overlaps other work. No table of factors: the
// ends compute their window sizes in lanes. The work is bound by the vector
// ports: of about 110 instructions a block of eight pixels, about 28 update the
// column sums, 20 step the window sums, and 55 transpose, divide and pack.
#include "pixels/box_filter_kernels.h"

#ifdef FX_X86_KERNELS

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#define FX_TARGET FX_AVX2

#include "pixels/sliding_window.h"
#include "pixels/weighted_quotients256.h"
#include "pixels/weighted_terms256.h"

namespace pixels {
namespace {

// Windows of at most this many pixels keep every colour sum below 2^31
// (255 * 255 * 33025 < 2^31), so their sums convert to floats as signed words.
constexpr uint64_t kSignedSumMaxWindow = 33025;

constexpr int64_t kBlock = 8;

// How a block reads the column pairs leaving its windows (see LeavingPair).
constexpr int kNearLeaving = 0;
constexpr int kFarLeaving = 1;
constexpr int kCutLeaving = 2;
// Radii from which the leaving columns of a block were stored by an earlier
// block (2x + 1 columns back, its sums found a block ahead), long enough
// before to be read as pairs.
constexpr int64_t kFarColumns = 4;

// Two pixels' column sums, c and c + 1, zero where a column lies outside 0 to w - 1.
FX_AVX2 inline __m256i LoadPairWithin(const uint32_t *col, int64_t c, int64_t w) {
  if (c >= 0 && c + 2 <= w) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(col + 4 * c));
  }
  if (c + 1 == 0) {
    return _mm256_inserti128_si256(_mm256_setzero_si256(), LoadWords(col), 1);
  }
  if (c == w - 1) {
    return _mm256_inserti128_si256(_mm256_setzero_si256(), LoadWords(col + 4 * c), 0);
  }
  return _mm256_setzero_si256();
}

// Up to eight pixels of a row, zero past `count`.
FX_AVX2 inline __m256i LoadPixels(const uint8_t *p, int64_t count) {
  if (count == kBlock) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
  }
  alignas(32) uint8_t bytes[4 * kBlock] = {};
  std::memcpy(bytes, p, size_t(count) * 4);
  return _mm256_load_si256(reinterpret_cast<const __m256i *>(bytes));
}

FX_AVX2 inline void StorePixels(uint8_t *p, __m256i pixels, int64_t count) {
  if (count == kBlock) {
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(p), pixels);
    return;
  }
  alignas(32) uint8_t bytes[4 * kBlock];
  _mm256_store_si256(reinterpret_cast<__m256i *>(bytes), pixels);
  std::memcpy(p, bytes, size_t(count) * 4);
}

// The window sums of two pixels a vector as they step along a row: `pair`
// holds {s(j-2), s(j-1)} and `last` the steps {d(j-2), d(j-1)}, where
// d(j) = s(j) - s(j-1).
struct tRunning {
  __m256i pair, last;

  // {s(j), s(j+1)} = {s(j-2), s(j-1)} + {d(j-1) + d(j), d(j) + d(j+1)}: one
  // add on the chain from pair to pair.
  [[gnu::always_inline]] FX_AVX2 __m256i Step(__m256i d) {
    pair = _mm256_add_epi32(pair, _mm256_add_epi32(_mm256_permute2x128_si256(last, d, 0x21), d));
    last = d;
    return pair;
  }
};

// The work on one output row: its column sums are updated from `entering`
// and `leaving` (null when absent; kKeep false replaces the sums with the
// entering row's terms, as with y = 0), then written to `out`, whose original
// is kept at `copy` (null when y = 0).
template <bool kWide, bool kKeep, bool kEnter, bool kLeave>
class tWeightedRow {
 public:
  FX_AVX2 tWeightedRow(uint32_t *col, const uint8_t *entering, const uint8_t *leaving, uint8_t *out,
                       uint8_t *copy, int64_t w, int64_t x, int64_t rows)
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
  FX_AVX2 void Write() {
    const int64_t fused_blocks = (w_ - x_) / kBlock;
    const int64_t fused_end = x_ + fused_blocks * kBlock;
    UpdateWeightedColumns<kKeep>(col_, entering_, leaving_, 0, x_);
    UpdateWeightedColumns<kKeep>(col_, entering_, leaving_, fused_end, w_);
    __m128i first = _mm_setzero_si128();
    for (int64_t k = 0; k < x_; ++k) {
      first = _mm_add_epi32(first, LoadWords(col_ + 4 * k));
    }
    tRunning running = {_mm256_broadcastsi128_si256(first), _mm256_setzero_si256()};

    // Whole windows whose leaving column lies inside the row: j - x - 1 >= 0.
    const int64_t blocks = (w_ + kBlock - 1) / kBlock;
    const int64_t whole_begin = std::min((x_ + kBlock) / kBlock, blocks);
    const int64_t whole_end = std::max(whole_begin, fused_blocks);
    for (int64_t m = 0; m < whole_begin; ++m) {
      EdgeBlock(m * kBlock, m < fused_blocks, running);
    }
    const int32_t n = int32_t((2 * x_ + 1) * rows_);
    const __m256i counts = _mm256_set1_epi32(n);
    const __m256 reciprocals = _mm256_set1_ps(1.0f / float(n));
    if (x_ >= kFarColumns) {
      WholeBlocks<true>(whole_begin, fused_blocks, counts, reciprocals, running);
    } else {
      WholeBlocks<false>(whole_begin, fused_blocks, counts, reciprocals, running);
    }
    for (int64_t m = whole_end; m < blocks; ++m) {
      EdgeBlock(m * kBlock, m < fused_blocks, running);
    }
  }

 private:
  // Blocks begin to end - 1, all of whole windows. The sums of one block are
  // found while the previous block's quotients are worked out, so that the two
  // long chains overlap.
  template <bool kFar>
  FX_AVX2 void WholeBlocks(int64_t begin, int64_t end, __m256i counts, __m256 reciprocals,
                           tRunning &running) {
    if (begin >= end) {
      return;
    }
    // Copies that stay in registers: the vector stores might alias the members.
    const tWeightedRow row = *this;
    tRunning state = running;
    __m256i sums[4];
    row.FusedSteps<kFar ? kFarLeaving : kNearLeaving>(begin * kBlock, sums, state);
    for (int64_t m = begin; m + 1 < end; ++m) {
      __m256i next[4];
      row.FusedSteps<kFar ? kFarLeaving : kNearLeaving>((m + 1) * kBlock, next, state);
      row.WholeBlock(m * kBlock, sums, counts, reciprocals);
      std::copy(next, next + 4, sums);
    }
    row.WholeBlock((end - 1) * kBlock, sums, counts, reciprocals);
    running = state;
  }

  [[gnu::always_inline]] FX_AVX2 void WholeBlock(int64_t j, const __m256i sums[4], __m256i counts,
                                                 __m256 reciprocals) const {
    const __m256i original = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(out_ + 4 * j));
    if (kKeep) {
      _mm256_storeu_si256(reinterpret_cast<__m256i *>(copy_ + 4 * j), original);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(out_ + 4 * j),
                        WeightedMeans<kWide>(sums, counts, reciprocals, original));
  }

  // Pixels j to j + 7 with column j + x + 8 inside the row: the columns
  // entering their windows are updated here, in registers.
  template <int kLeaving>
  [[gnu::always_inline]] FX_AVX2 void FusedSteps(int64_t j, __m256i sums[4],
                                                 tRunning &running) const {
    const int64_t c = j + x_;
    __m256i terms[4];
    WeightedDeltas4(Sixteen<kEnter>(entering_, c), Sixteen<kLeave>(leaving_, c), terms);
    WeightedDeltas4(Sixteen<kEnter>(entering_, c + 4), Sixteen<kLeave>(leaving_, c + 4), terms + 2);
    __m256i entering[4];
    for (int k = 0; k < 4; ++k) {
      __m256i *target = reinterpret_cast<__m256i *>(col_ + 4 * (c + 2 * k));
      entering[k] = kKeep ? _mm256_add_epi32(_mm256_loadu_si256(target), terms[k]) : terms[k];
      _mm256_storeu_si256(target, entering[k]);
    }
    for (int k = 0; k < 4; ++k) {
      sums[k] =
          running.Step(_mm256_sub_epi32(entering[k], LeavingPair<kLeaving>(j - x_ - 1 + 2 * k)));
    }
  }

  // Pixels k to k + 3 of a row, zero where the row is absent.
  template <bool kPresent>
  [[gnu::always_inline]] FX_AVX2 static __m128i Sixteen(const uint8_t *row, int64_t k) {
    return kPresent ? _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + 4 * k))
                    : _mm_setzero_si128();
  }

  // Columns c and c + 1 of the leaving side. Near the entering side (the
  // columns stored in the last few blocks, still on their way to the cache)
  // each is read by itself, as stored, so that the stored words are passed on
  // to the load; far from it a pair is read at once; at the row's ends
  // columns outside the row read as zero.
  template <int kLeaving>
  [[gnu::always_inline]] FX_AVX2 __m256i LeavingPair(int64_t c) const {
    if (kLeaving == kNearLeaving) {
      return _mm256_inserti128_si256(_mm256_castsi128_si256(LoadWords(col_ + 4 * c)),
                                     LoadWords(col_ + 4 * c + 4), 1);
    }
    if (kLeaving == kFarLeaving) {
      return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(col_ + 4 * c));
    }
    return LoadPairWithin(col_, c, w_);
  }

  // Pixels j to j + 7 (those before w) near the row's ends: columns outside
  // the row count as zero and each pixel's window size is computed.
  FX_AVX2 void EdgeBlock(int64_t j, bool fused, tRunning &running) {
    __m256i sums[4];
    if (fused) {
      FusedSteps<kCutLeaving>(j, sums, running);
    } else {
      for (int k = 0; k < 4; ++k) {
        sums[k] = running.Step(_mm256_sub_epi32(LoadPairWithin(col_, j + x_ + 2 * k, w_),
                                                LeavingPair<kCutLeaving>(j - x_ - 1 + 2 * k)));
      }
    }
    // Columns min(w - 1, j + x) - max(0, j - x) + 1, at least 1 in lanes past w.
    const __m256i pixel =
        _mm256_add_epi32(_mm256_set1_epi32(int32_t(j)), _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7));
    const __m256i x = _mm256_set1_epi32(int32_t(x_));
    const __m256i right =
        _mm256_min_epi32(_mm256_add_epi32(pixel, x), _mm256_set1_epi32(int32_t(w_ - 1)));
    const __m256i left = _mm256_max_epi32(_mm256_sub_epi32(pixel, x), _mm256_setzero_si256());
    const __m256i columns = _mm256_max_epi32(_mm256_sub_epi32(right, left), _mm256_setzero_si256());
    const __m256i counts = _mm256_mullo_epi32(_mm256_add_epi32(columns, _mm256_set1_epi32(1)),
                                              _mm256_set1_epi32(int32_t(rows_)));
    const int64_t count = std::min(kBlock, w_ - j);
    const __m256i original = LoadPixels(out_ + 4 * j, count);
    if (kKeep) {
      StorePixels(copy_ + 4 * j, original, count);
    }
    StorePixels(
        out_ + 4 * j,
        WeightedMeans<kWide>(sums, counts, _mm256_rcp_ps(_mm256_cvtepi32_ps(counts)), original),
        count);
  }

  uint32_t *col_;
  const uint8_t *entering_, *leaving_;
  uint8_t *out_, *copy_;
  int64_t w_, x_, rows_;
};

template <bool kWide, bool kKeep>
FX_AVX2 void WriteRow(uint32_t *col, const uint8_t *entering, const uint8_t *leaving, uint8_t *out,
                      uint8_t *copy, int64_t w, int64_t x, int64_t rows) {
  if (entering != nullptr && leaving != nullptr) {
    tWeightedRow<kWide, kKeep, true, true>(col, entering, leaving, out, copy, w, x, rows).Write();
  } else if (entering != nullptr) {
    tWeightedRow<kWide, kKeep, true, false>(col, entering, leaving, out, copy, w, x, rows).Write();
  } else if (leaving != nullptr) {
    tWeightedRow<kWide, kKeep, false, true>(col, entering, leaving, out, copy, w, x, rows).Write();
  } else {
    tWeightedRow<kWide, kKeep, false, false>(col, entering, leaving, out, copy, w, x, rows).Write();
  }
}

// Slides the window down the image: before output row i, row i + y enters and
// row i - y - 1 leaves, from its copy in the ring of y + 1 rows (the slot that
// row i's original then takes). With y = 0 each row's terms replace the sums.
template <bool kWide>
FX_AVX2 bool FilterImage(const tPixelRows &image, int32_t x, int32_t y) {
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
      WriteRow<kWide, false>(col.get(), out, nullptr, out, nullptr, w, x, rows);
      continue;
    }
    const uint8_t *entering = i + y < h ? RowAt(image, i + y) : nullptr;
    const uint8_t *leaving = i - y - 1 >= 0 ? copy(i) : nullptr;
    WriteRow<kWide, true>(col.get(), entering, leaving, out, copy(i), w, x, rows);
  }
  return true;
}

}  // namespace

bool BoxFilterAlphaVector256(const tPixelRows &image, int32_t x, int32_t y) {
  if ((2 * uint64_t(x) + 1) * (2 * uint64_t(y) + 1) <= kSignedSumMaxWindow) {
    return FilterImage<false>(image, x, y);
  }
  return FilterImage<true>(image, x, y);
}

}  // namespace pixels

#endif  // FX_X86_KERNELS
