// The 32-bit column sums of the box filters on 256-bit vectors (AVX2): a
// pixel's four channel sums side by side, two pixels a vector. Included by the
// 256-bit kernel files (FX_TARGET is FX_AVX2 there).
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "pixels/column_update.h"
#include "pixels/pixel_vectors.h"

namespace pixels {
namespace {

// The column update of a block of four pixels and of one; `Terms` turns four
// pixels' bytes into their two vectors of terms, one pixel's into one.
template <typename Terms>
struct tColumns {
  using Sum = uint32_t;
  static constexpr int64_t kPixels = 4;

  template <bool kEnter, bool kLeave>
  FX_AVX2 static void Update(uint32_t *col, const uint8_t *entering, const uint8_t *leaving,
                             int64_t w, const uint8_t *next) {
    UpdateColumns<tColumns, kEnter, kLeave>(w, next, col, entering, leaving);
  }

  template <bool kEnter, bool kLeave>
  FX_AVX2 static void Block(int64_t k, uint32_t *col, const uint8_t *entering,
                            const uint8_t *leaving) {
    __m256i *sums = reinterpret_cast<__m256i *>(col + 4 * k);
    __m256i a = _mm256_loadu_si256(sums);
    __m256i b = _mm256_loadu_si256(sums + 1);
    if (kLeave) {
      __m256i terms[2];
      Terms::Four(_mm_loadu_si128(reinterpret_cast<const __m128i *>(leaving + 4 * k)), terms);
      a = _mm256_sub_epi32(a, terms[0]);
      b = _mm256_sub_epi32(b, terms[1]);
    }
    if (kEnter) {
      __m256i terms[2];
      Terms::Four(_mm_loadu_si128(reinterpret_cast<const __m128i *>(entering + 4 * k)), terms);
      a = _mm256_add_epi32(a, terms[0]);
      b = _mm256_add_epi32(b, terms[1]);
    }
    _mm256_storeu_si256(sums, a);
    _mm256_storeu_si256(sums + 1, b);
  }

  template <bool kEnter, bool kLeave>
  FX_AVX2 static void Pixel(int64_t k, uint32_t *col, const uint8_t *entering,
                            const uint8_t *leaving) {
    __m128i *sums = reinterpret_cast<__m128i *>(col + 4 * k);
    __m128i sum = _mm_loadu_si128(sums);
    if (kLeave) {
      sum = _mm_sub_epi32(sum, Terms::One(LoadPixel(leaving + 4 * k)));
    }
    if (kEnter) {
      sum = _mm_add_epi32(sum, Terms::One(LoadPixel(entering + 4 * k)));
    }
    _mm_storeu_si128(sums, sum);
  }
};

}  // namespace
}  // namespace pixels
