// One pixel's four channels in a 128-bit vector (SSE2): the helpers both vector
// box filter kernels use at the ends of a row. They carry the SSE2 attribute,
// so the 256-bit kernels (whose instruction set includes SSE2) inline them too.
// Column sums hold a pixel's four channel sums side by side, four 32-bit or
// four 16-bit words a pixel.
#pragma once

#include "pixels/box_filter_kernels.h"
#include "pixels/instruction_sets.h"

#ifdef FX_X86_KERNELS

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "pixels/sliding_window.h"

namespace pixels {

FX_SSE2 inline __m128i LoadWords(const uint32_t *p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}

// Four 16-bit sums widened to 32 bits.
FX_SSE2 inline __m128i LoadWords(const uint16_t *p) {
  return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p)),
                            _mm_setzero_si128());
}

FX_SSE2 inline __m128i LoadPixel(const uint8_t *p) {
  int32_t word;
  std::memcpy(&word, p, 4);
  return _mm_cvtsi32_si128(word);
}

// Stores four words, each at most 255, as the pixel's four bytes.
FX_SSE2 inline void StorePixel(uint8_t *p, __m128i words) {
  const __m128i halves = _mm_packs_epi32(words, words);
  const int32_t word = _mm_cvtsi128_si32(_mm_packus_epi16(halves, halves));
  std::memcpy(p, &word, 4);
}

// Window sum of pixel j, stepped on from that of pixel j - 1: column j + x
// enters and column j - x - 1 leaves, each where it lies inside the row.
template <typename Sum>
FX_SSE2 inline __m128i StepSum(__m128i sum, const Sum *col, int64_t j, int64_t x, int64_t w) {
  if (j + x < w) {
    sum = _mm_add_epi32(sum, LoadWords(col + 4 * (j + x)));
  }
  if (j - x - 1 >= 0) {
    sum = _mm_sub_epi32(sum, LoadWords(col + 4 * (j - x - 1)));
  }
  return sum;
}

// Sum of columns 0 to x - 1: the window sum before pixel 0 steps in.
template <typename Sum>
FX_SSE2 inline __m128i FirstSum(const Sum *col, int64_t x) {
  __m128i sum = _mm_setzero_si128();
  for (int64_t k = 0; k < x; ++k) {
    sum = _mm_add_epi32(sum, LoadWords(col + 4 * k));
  }
  return sum;
}

// "blur" on one pixel: floor(s * q / 2^32) per word, the high halves of the
// 64-bit products.
FX_SSE2 inline __m128i ScaleDownPixel(__m128i s, __m128i q) {
  const __m128i even = _mm_srli_epi64(_mm_mul_epu32(s, q), 32);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(s, 32), q);
  return _mm_or_si128(even, _mm_and_si128(odd, _mm_set1_epi64x(int64_t(0xFFFFFFFF00000000))));
}

// What a box filter's walk along one output row carries (pixels/span_walk.h):
// the column sums, the row's width and radius, the window factors, the output
// row, the row entering next (to fetch into the cache, or null), the window
// sum of the last pixel written, and where the row's original is kept (null
// when none is). A walk that keeps the original itself, each stretch before
// it overwrites it, says so by kKeepsRow; otherwise the row is copied whole
// before the walk. A walk that applies the row's change to the column sums
// of its whole-window blocks as it reaches them says so by kChangesColumns
// (pixels/box_filter_rows.h).
template <typename Sum, typename FactorRule>
struct tRowWalk {
  using Rule = FactorRule;
  static constexpr bool kKeepsRow = false;
  static constexpr bool kChangesColumns = false;

  const Sum *col;
  int64_t w, x;
  const tWindowFactors<Rule> &factors;
  uint8_t *out;
  const uint8_t *next;
  __m128i sum;
  uint8_t *original;
};

// "blur" one pixel at a time.
template <typename Sum>
struct tBlurRowWalk : tRowWalk<Sum, tBlurScales> {
  FX_SSE2 void Single(int64_t j) {
    this->sum = StepSum(this->sum, this->col, j, this->x, this->w);
    StorePixel(this->out + 4 * j,
               ScaleDownPixel(this->sum, _mm_set1_epi32(int32_t(this->factors.At(j)))));
  }
};

}  // namespace pixels

#endif  // FX_X86_KERNELS
