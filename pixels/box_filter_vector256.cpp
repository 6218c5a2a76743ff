// "blur" on 256-bit vectors (AVX2), chosen at run time; the file compiles to
// nothing off x86 (pixels/instruction_sets.h).
//
// Layout: one column-sum row of W four-word entries, a pixel's four channels
// side by side, so one 128-bit lane serves a whole pixel and a 256-bit vector
// two (16-bit words where columns are short enough, widened as they are read
// along the row). The entering and leaving source rows are applied in one
// pass. Along a row, the window sum s(j) = s(j-1) + col(j+x) - col(j-x-1) steps
// two pixels at a time, so the chain is one add a step. Edge multipliers are
// tabled per vertical count, so no division runs per pixel.
#include "pixels/box_filter_kernels.h"

#ifdef FX_X86_KERNELS

#include <immintrin.h>

#define FX_TARGET FX_AVX2

#include "pixels/box_filter_columns256.h"
#include "pixels/box_filter_rows.h"
#include "pixels/column_update.h"
#include "pixels/pixel_vectors.h"
#include "pixels/window_limits.h"

namespace pixels {
namespace {

// Every channel summed as it is, scaled by q = floor(2^32 / n).
struct tPlainTerms {
  // Four pixels' bytes as words, two pixels a vector.
  FX_AVX2 static void Four(__m128i bytes, __m256i out[2]) {
    out[0] = _mm256_cvtepu8_epi32(bytes);
    out[1] = _mm256_cvtepu8_epi32(_mm_srli_si128(bytes, 8));
  }
  FX_AVX2 static __m128i One(__m128i bytes) { return _mm_cvtepu8_epi32(bytes); }
};

// Column sums of "blur" in 16 bits, exact while a column spans at most
// kByteSumNarrowRows rows: half the memory traffic of 32-bit sums. Eight
// pixels' sums fill two vectors.
struct tNarrowColumns {
  using Sum = uint16_t;
  static constexpr int64_t kPixels = 8;

  // The next entering row is fetched by the row walk instead (see WriteBlocks).
  template <bool kEnter, bool kLeave>
  FX_AVX2 static void Update(uint16_t *col, const uint8_t *entering, const uint8_t *leaving,
                             int64_t w, const uint8_t *) {
    UpdateColumns<tNarrowColumns, kEnter, kLeave>(w, nullptr, col, entering, leaving);
  }

  template <bool kEnter, bool kLeave>
  FX_AVX2 static void Block(int64_t k, uint16_t *col, const uint8_t *entering,
                            const uint8_t *leaving) {
    __m256i *sums = reinterpret_cast<__m256i *>(col + 4 * k);
    __m256i a = _mm256_loadu_si256(sums);
    __m256i b = _mm256_loadu_si256(sums + 1);
    if (kLeave) {
      const __m128i *copy = reinterpret_cast<const __m128i *>(leaving + 4 * k);
      a = _mm256_sub_epi16(a, _mm256_cvtepu8_epi16(_mm_loadu_si128(copy)));
      b = _mm256_sub_epi16(b, _mm256_cvtepu8_epi16(_mm_loadu_si128(copy + 1)));
    }
    if (kEnter) {
      const __m128i *source = reinterpret_cast<const __m128i *>(entering + 4 * k);
      a = _mm256_add_epi16(a, _mm256_cvtepu8_epi16(_mm_loadu_si128(source)));
      b = _mm256_add_epi16(b, _mm256_cvtepu8_epi16(_mm_loadu_si128(source + 1)));
    }
    _mm256_storeu_si256(sums, a);
    _mm256_storeu_si256(sums + 1, b);
  }

  template <bool kEnter, bool kLeave>
  FX_AVX2 static void Pixel(int64_t k, uint16_t *col, const uint8_t *entering,
                            const uint8_t *leaving) {
    __m128i *sums = reinterpret_cast<__m128i *>(col + 4 * k);
    __m128i sum = _mm_loadl_epi64(sums);
    if (kLeave) {
      sum = _mm_sub_epi16(sum, _mm_cvtepu8_epi16(LoadPixel(leaving + 4 * k)));
    }
    if (kEnter) {
      sum = _mm_add_epi16(sum, _mm_cvtepu8_epi16(LoadPixel(entering + 4 * k)));
    }
    _mm_storel_epi64(sums, sum);
  }
};

// Two pixels' column sums as 32-bit words, one pixel a lane.
FX_AVX2 inline __m256i LoadPair(const uint32_t *p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
}

FX_AVX2 inline __m256i LoadPair(const uint16_t *p) {
  const __m256i both =
      _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)));
  return _mm256_shuffle_epi8(
      both, _mm256_setr_epi8(0, 1, -1, -1, 2, 3, -1, -1, 4, 5, -1, -1, 6, 7, -1, -1, 8, 9, -1, -1,
                             10, 11, -1, -1, 12, 13, -1, -1, 14, 15, -1, -1));
}

// floor(s * q / 2^32) of the even words (channels 0 and 2) and of the odd
// words (channels 1 and 3) of two pixels' sums, each in the upper half of its
// 64-bit product; q holds each pixel's factor in the low words of its lane.
struct tScaledPair {
  __m256i even, odd;
};

FX_AVX2 inline tScaledPair ScaleDownPair(__m256i s, __m256i q) {
  return {_mm256_mul_epu32(s, q),
          _mm256_mul_epu32(_mm256_shuffle_epi32(s, _MM_SHUFFLE(3, 3, 1, 1)), q)};
}

// The upper words of two vectors of products: a's in words 0, 1 and b's in
// words 2, 3 of each 128-bit lane.
FX_AVX2 inline __m256i UpperWords(__m256i a, __m256i b) {
  return _mm256_castps_si256(
      _mm256_shuffle_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b), _MM_SHUFFLE(3, 1, 3, 1)));
}

// Eight pixels' bytes from their scaled pairs: the upper words of the
// products packed to 16 bits, the odd channels shifted into the high bytes.
// Work within 128-bit lanes leaves the pixels as 0 2 4 6 1 3 5 7; one
// permutation puts them in order.
FX_AVX2 inline __m256i PackEight(const tScaledPair r[4]) {
  const __m256i even =
      _mm256_packus_epi32(UpperWords(r[0].even, r[1].even), UpperWords(r[2].even, r[3].even));
  const __m256i odd =
      _mm256_packus_epi32(UpperWords(r[0].odd, r[1].odd), UpperWords(r[2].odd, r[3].odd));
  const __m256i bytes = _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
  return _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

// Two pixels' factors q(j), q(j + 1), each in the low words of its lane.
FX_AVX2 inline __m256i PairFactors(__m128i factors) {
  return _mm256_cvtepu32_epi64(factors);
}

// The spans of a row that run on vectors. Each gives D(j), the steps
// s(j) - s(j - 1) and s(j + 1) - s(j) of pixels j and j + 1, and their factors.
//
// Pixels j < x: windows cut on the left, column j + x enters, none leaves.
template <typename Sum>
struct tLeftEnd {
  const Sum *col;
  int64_t x;
  const uint32_t *edges;

  FX_AVX2 __m256i Steps(int64_t j) const { return LoadPair(col + 4 * (j + x)); }
  // A window of j + x + 1 columns.
  FX_AVX2 __m256i Factors(int64_t j) const {
    const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(edges + j));
    return PairFactors(_mm_unpacklo_epi32(two, two));
  }
};

// Whole windows: column j + x enters and column j - x - 1 leaves.
template <typename Sum>
struct tWholeWindows {
  const Sum *col;
  int64_t x;
  __m256i q;

  FX_AVX2 __m256i Steps(int64_t j) const {
    return _mm256_sub_epi32(LoadPair(col + 4 * (j + x)), LoadPair(col + 4 * (j - x - 1)));
  }
  FX_AVX2 __m256i Factors(int64_t) const { return q; }
};

// Pixels j >= w - x with j > x: windows cut on the right, column j - x - 1
// leaves, none enters.
template <typename Sum>
struct tRightEnd {
  const Sum *col;
  int64_t x, w;
  const uint32_t *edges;

  FX_AVX2 __m256i Steps(int64_t j) const {
    return _mm256_sub_epi32(_mm256_setzero_si256(), LoadPair(col + 4 * (j - x - 1)));
  }
  // A window of w - j + x columns: the table read backwards.
  FX_AVX2 __m256i Factors(int64_t j) const {
    const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(edges + (w - j - 2)));
    return PairFactors(_mm_shuffle_epi32(two, _MM_SHUFFLE(0, 0, 1, 1)));
  }
};

// Writes pixels j, j + 1, ... of `span` in blocks of eight while the block
// ends by `end`, from s(j - 1) in `sum`; returns the sum of the last pixel
// written. The same stretch of the row entering next (`next`, unless null) is
// fetched into the cache meanwhile: this work is all arithmetic, so the
// fetches overlap it rather than the column update that needs the row. The
// sums of pixels j + 2, j + 3 are those of j, j + 1 plus D(j + 1) + D(j + 2),
// where D(j + 1) is one lane swap of D(j) and D(j + 2): the chain from pair to
// pair is one add.
template <typename Span>
FX_AVX2 inline __m128i WriteBlocks(const Span &span, __m128i sum, int64_t &j, int64_t end,
                                   uint8_t *out, const uint8_t *next) {
  // {s(j - 1), s(j - 1)} with D(j - 2) taken as {-, 0}: the first step gives
  // {s(j), s(j + 1)}.
  __m256i pair = _mm256_broadcastsi128_si256(sum);
  __m256i last = _mm256_setzero_si256();
  for (; j + 8 <= end; j += 8) {
    if (next != nullptr) {
      _mm_prefetch(reinterpret_cast<const char *>(next + 4 * j), _MM_HINT_T0);
    }
    tScaledPair r[4];
    for (int k = 0; k < 4; ++k) {
      const __m256i d = span.Steps(j + 2 * k);
      pair = _mm256_add_epi32(pair, _mm256_add_epi32(_mm256_permute2x128_si256(last, d, 0x21), d));
      last = d;
      r[k] = ScaleDownPair(pair, span.Factors(j + 2 * k));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + 4 * j), PackEight(r));
  }
  return _mm256_extracti128_si256(pair, 1);
}

// One output row of "blur".
template <typename Sum>
struct tPlainLine : tBlurRowWalk<Sum> {
  static constexpr int64_t kBlock = 8;
  static constexpr bool kVectorEnds = true;

  FX_AVX2 void LeftBlocks(int64_t end) {
    int64_t j = 0;
    const tLeftEnd<Sum> left = {this->col, this->x, this->factors.Edges()};
    this->sum = WriteBlocks(left, this->sum, j, end, this->out, this->next);
  }
  FX_AVX2 void WholeBlocks(int64_t begin, int64_t end) {
    const tWholeWindows<Sum> whole = {this->col, this->x,
                                      _mm256_set1_epi32(int32_t(this->factors.Middle()))};
    this->sum = WriteBlocks(whole, this->sum, begin, end, this->out, this->next);
  }
  FX_AVX2 void RightBlocks(int64_t begin, int64_t end) {
    const tRightEnd<Sum> right = {this->col, this->x, this->w, this->factors.Edges()};
    this->sum = WriteBlocks(right, this->sum, begin, end, this->out, this->next);
  }
};

}  // namespace

bool BoxFilterVector256(const tPixelRows &image, int32_t x, int32_t y) {
  if (2 * int64_t(y) + 1 <= kByteSumNarrowRows) {
    return RunVectorBoxFilter<tNarrowColumns, tPlainLine<uint16_t>>(image, x, y);
  }
  return RunVectorBoxFilter<tColumns<tPlainTerms>, tPlainLine<uint32_t>>(image, x, y);
}

}  // namespace pixels

#endif  // FX_X86_KERNELS
