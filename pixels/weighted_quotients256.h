// The output pixels of "blur_alpha" on 256-bit vectors (AVX2), eight at a
// time from their window sums: colour = floor(sum(c * a) / sum(a)), kept as
// it was where sum(a) = 0, alpha = floor(sum(a) / n).
//
// The sums arrive two pixels a vector, a pixel's channels side by side; they
// are transposed so that each vector holds one channel of the eight pixels and
// every lane of every division does useful work. Each quotient floor(c / d),
// c <= 255 d, d < 2^24, comes from q = c * rcp(d) rounded to the nearest whole
// number: c * rcp(d) is within 0.1 of c / d (pixels/estimated_quotients.h), so
// q is floor(c / d) or one more, and one more exactly when the remainder
// c - q d, exact in 32 bits since it lies between -d and d, is negative. q
// stays below 256 (c / d <= 255) and the remainders' signs survive packing to
// bytes, so the correction is one byte subtraction for all four channels.
// Included by the 256-bit kernel files (FX_TARGET is FX_AVX2 there).
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "pixels/round_to_nearest.h"
#include "pixels/vector_target.h"

namespace pixels {
namespace {

// Unsigned words as floats. Sums below 2^31 (kWide false) convert as they are;
// others convert as signed and gain 2^32 (bits 0x4F800000) where the sign bit
// was set.
template <bool kWide>
[[gnu::always_inline]] FX_AVX2 inline __m256 WordsToFloats(__m256i words) {
  const __m256 floats = _mm256_cvtepi32_ps(words);
  if constexpr (kWide) {
    const __m256i lift =
        _mm256_and_si256(_mm256_srai_epi32(words, 31), _mm256_set1_epi32(0x4F800000));
    return _mm256_add_ps(floats, _mm256_castsi256_ps(lift));
  }
  return floats;
}

// The estimate q of floor(c / d) (or one more) and the remainder c - q d.
struct tEstimate {
  __m256i quotient, remainder;
};

// Needs round-to-nearest (pixels/round_to_nearest.h).
[[gnu::always_inline]] FX_AVX2 inline tEstimate Estimate(__m256 c_floats, __m256 reciprocals,
                                                         __m256i c, __m256i d) {
  const __m256i q = _mm256_cvtps_epi32(_mm256_mul_ps(c_floats, reciprocals));
  return {q, _mm256_sub_epi32(c, _mm256_mullo_epi32(q, d))};
}

// Eight pixels from the window sums of pixels 0-1, 2-3, 4-5 and 6-7 in `sums`.
// `counts` holds each pixel's window size n and `count_reciprocals` an estimate
// of 1 / n good to 1.5 * 2^-12 (as _mm256_rcp_ps gives), both in the order
// pixels 0 2 4 6 1 3 5 7; `original` holds the pixels as they were.
template <bool kWide>
[[gnu::always_inline]] FX_AVX2 inline __m256i WeightedMeans(const __m256i sums[4], __m256i counts,
                                                            __m256 count_reciprocals,
                                                            __m256i original) {
  // Transposes within 128-bit lanes: channels of pixels 0 2 4 6 | 1 3 5 7.
  const __m256i low01 = _mm256_unpacklo_epi32(sums[0], sums[1]);
  const __m256i high01 = _mm256_unpackhi_epi32(sums[0], sums[1]);
  const __m256i low23 = _mm256_unpacklo_epi32(sums[2], sums[3]);
  const __m256i high23 = _mm256_unpackhi_epi32(sums[2], sums[3]);
  const __m256i blue = _mm256_unpacklo_epi64(low01, low23);
  const __m256i green = _mm256_unpackhi_epi64(low01, low23);
  const __m256i red = _mm256_unpacklo_epi64(high01, high23);
  const __m256i alpha = _mm256_unpackhi_epi64(high01, high23);

  const __m256 alpha_floats = _mm256_cvtepi32_ps(alpha);
  const __m256 alpha_reciprocals = _mm256_rcp_ps(alpha_floats);
  const tEstimate b = Estimate(WordsToFloats<kWide>(blue), alpha_reciprocals, blue, alpha);
  const tEstimate g = Estimate(WordsToFloats<kWide>(green), alpha_reciprocals, green, alpha);
  const tEstimate r = Estimate(WordsToFloats<kWide>(red), alpha_reciprocals, red, alpha);
  const tEstimate a = Estimate(alpha_floats, count_reciprocals, alpha, counts);

  // Bytes B0 B2 B4 B6 G0 .. A6 | B1 .. A7; a negative remainder takes one off.
  const __m256i quotients = _mm256_packus_epi16(_mm256_packus_epi32(b.quotient, g.quotient),
                                                _mm256_packus_epi32(r.quotient, a.quotient));
  const __m256i remainders = _mm256_packs_epi16(_mm256_packs_epi32(b.remainder, g.remainder),
                                                _mm256_packs_epi32(r.remainder, a.remainder));
  const __m256i bytes =
      _mm256_add_epi8(quotients, _mm256_cmpgt_epi8(_mm256_setzero_si256(), remainders));
  // Pixels 0 2 4 6 | 1 3 5 7 as words, then in order; where the alpha sum is
  // 0 the pixel stays (its own alpha, inside its window, is 0 too).
  const __m256i pixels = _mm256_shuffle_epi8(
      bytes, _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 0, 4, 8, 12, 1,
                              5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15));
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  const __m256i kept = _mm256_cmpeq_epi32(alpha, _mm256_setzero_si256());
  return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(pixels, order), original,
                            _mm256_permutevar8x32_epi32(kept, order));
}

}  // namespace
}  // namespace pixels
