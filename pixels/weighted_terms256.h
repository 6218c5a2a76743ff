// The column-sum terms of "blur_alpha" on 256-bit vectors (AVX2): for each
// pixel {b*a, g*a, r*a, a} of the row entering the window minus those of the
// row leaving it, one pixel a 128-bit lane, in one multiply-add of word pairs:
// (c_in, -c_out) . (a_in, a_out) for each colour and (a_in, -a_out) . (1, 1)
// for alpha. A row that is absent reads as zero bytes. Included by the 256-bit
// kernel files (FX_TARGET is FX_AVX2 there).
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "pixels/pixel_vectors.h"
#include "pixels/vector_target.h"

namespace pixels {
namespace {

// Two pixels' terms from their bytes paired up, entering then leaving
// (_mm_unpacklo_epi8 of the two rows' eight bytes).
[[gnu::always_inline]] FX_AVX2 inline __m256i WeightedDeltas(__m128i paired_bytes) {
  const __m256i words = _mm256_cvtepu8_epi16(paired_bytes);
  const __m256i signed_words = _mm256_sign_epi16(words, _mm256_set1_epi32(int32_t(0xFFFF0001)));
  const __m256i alphas = _mm256_shuffle_epi8(
      words, _mm256_setr_epi8(12, 13, 14, 15, 12, 13, 14, 15, 12, 13, 14, 15, -1, -1, -1, -1, 12,
                              13, 14, 15, 12, 13, 14, 15, 12, 13, 14, 15, -1, -1, -1, -1));
  const __m256i factors =
      _mm256_or_si256(alphas, _mm256_setr_epi16(0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1));
  return _mm256_madd_epi16(signed_words, factors);
}

// The terms of four pixels, two a vector, from their 16 bytes in each row.
[[gnu::always_inline]] FX_AVX2 inline void WeightedDeltas4(__m128i entering, __m128i leaving,
                                                           __m256i out[2]) {
  out[0] = WeightedDeltas(_mm_unpacklo_epi8(entering, leaving));
  out[1] = WeightedDeltas(_mm_unpackhi_epi8(entering, leaving));
}

FX_AVX2 inline __m128i LoadTwo(const uint8_t *row, int64_t k) {
  return row == nullptr ? _mm_setzero_si128()
                        : _mm_loadl_epi64(reinterpret_cast<const __m128i *>(row + 4 * k));
}

FX_AVX2 inline __m128i LoadOne(const uint8_t *row, int64_t k) {
  return row == nullptr ? _mm_setzero_si128() : LoadPixel(row + 4 * k);
}

// Columns begin to end - 1 of the sums `col` (four words a pixel) take the
// terms of `entering` and lose those of `leaving` (either null when absent);
// without kKeep the sums are replaced by the terms instead.
template <bool kKeep>
FX_AVX2 inline void UpdateWeightedColumns(uint32_t *col, const uint8_t *entering,
                                          const uint8_t *leaving, int64_t begin, int64_t end) {
  int64_t k = begin;
  for (; k + 2 <= end; k += 2) {
    __m256i *sums = reinterpret_cast<__m256i *>(col + 4 * k);
    const __m256i terms =
        WeightedDeltas(_mm_unpacklo_epi8(LoadTwo(entering, k), LoadTwo(leaving, k)));
    _mm256_storeu_si256(sums, kKeep ? _mm256_add_epi32(_mm256_loadu_si256(sums), terms) : terms);
  }
  if (k < end) {
    __m128i *sums = reinterpret_cast<__m128i *>(col + 4 * k);
    const __m128i terms = _mm256_castsi256_si128(
        WeightedDeltas(_mm_unpacklo_epi8(LoadOne(entering, k), LoadOne(leaving, k))));
    _mm_storeu_si128(sums, kKeep ? _mm_add_epi32(_mm_loadu_si128(sums), terms) : terms);
  }
}

}  // namespace
}  // namespace pixels
