// The output pixels of "blur_alpha" on 512-bit vectors (AVX-512 with byte
// permutes), sixteen at a time from their window sums: colour = floor(sum(c *
// a) / sum(a)), kept as it was where sum(a) = 0, alpha = floor(sum(a) / n).
//
// As on 256 bits (pixels/weighted_quotients256.h): the sums, four pixels a
// vector with a pixel's channels side by side, are transposed within 128-bit
// lanes so that each vector holds one channel of the sixteen pixels; each
// quotient comes from q = c * rcp(d) rounded to nearest, floor(c / d) or one
// more, and is one more exactly when the remainder c - q d is negative. The
// conversion of unsigned sums to floats is one instruction here, for sums of
// any size, and one byte permute puts the bytes back in pixel order.
// Included by the 512-bit kernel files (FX_TARGET is FX_AVX512 there).
#pragma once

#include <array>
#include <cstdint>

#include "pixels/avx512_intrinsics.h"
#include "pixels/round_to_nearest.h"
#include "pixels/vector_target.h"

namespace pixels {
namespace {

// Lane e of a transposed vector holds pixel 4 (e % 4) + e / 4: pixels 0 4 8
// 12 | 1 5 9 13 | 2 6 10 14 | 3 7 11 15.
[[gnu::always_inline]] FX_AVX512 inline __m512i TransposedPixels() {
  return _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
}

// Byte permute from the packed quotients (lane L: B G R A of its four pixels,
// four bytes each) to pixel order.
constexpr std::array<uint8_t, 64> PixelOrderBytes() {
  std::array<uint8_t, 64> indices{};
  for (int pixel = 0; pixel < 16; ++pixel) {
    for (int channel = 0; channel < 4; ++channel) {
      indices[size_t(4 * pixel + channel)] = uint8_t(16 * (pixel % 4) + 4 * channel + pixel / 4);
    }
  }
  return indices;
}

// Windows of at most this many pixels keep every sum below 2^24 (255 * 255 *
// 258 < 2^24).
constexpr int64_t kExactWindow = 258;

struct tPixelOrder {
  alignas(64) static constexpr std::array<uint8_t, 64> kBytes = PixelOrderBytes();
};

// The estimate q of floor(c / d) (or one more) and the remainder c - q d.
struct tEstimate512 {
  __m512i quotient, remainder;
};

// Needs round-to-nearest (pixels/round_to_nearest.h). With kExact, c and d
// are below 2^24 and so exact as floats, and the remainder is worked out in
// floats by one fused multiply-add: exact, since it is a whole number below
// 2^25, and its bits as a word have its sign (an exact zero is +0).
template <bool kExact>
[[gnu::always_inline]] FX_AVX512 inline tEstimate512 Estimate(__m512 c_floats, __m512 reciprocals,
                                                              __m512i c, __m512i d,
                                                              __m512 d_floats) {
  const __m512i q = _mm512_cvtps_epi32(_mm512_mul_ps(c_floats, reciprocals));
  if constexpr (kExact) {
    return {q, _mm512_castps_si512(_mm512_fnmadd_ps(_mm512_cvtepi32_ps(q), d_floats, c_floats))};
  }
  return {q, _mm512_sub_epi32(c, _mm512_mullo_epi32(q, d))};
}

// Sixteen pixels from the window sums of pixels 0-3, 4-7, 8-11 and 12-15 in
// `sums`. `counts` holds each pixel's window size n and `count_reciprocals` an
// estimate of 1 / n good to 1.5 * 2^-12, both in transposed order
// (TransposedPixels); `original` holds the pixels as they were. kExact says
// that every sum is below 2^24, as in windows of at most kExactWindow pixels.
template <bool kExact>
[[gnu::always_inline]] FX_AVX512 inline __m512i WeightedMeans(const __m512i sums[4], __m512i counts,
                                                              __m512 count_reciprocals,
                                                              __m512i original) {
  const __m512i low01 = _mm512_unpacklo_epi32(sums[0], sums[1]);
  const __m512i high01 = _mm512_unpackhi_epi32(sums[0], sums[1]);
  const __m512i low23 = _mm512_unpacklo_epi32(sums[2], sums[3]);
  const __m512i high23 = _mm512_unpackhi_epi32(sums[2], sums[3]);
  const __m512i blue = _mm512_unpacklo_epi64(low01, low23);
  const __m512i green = _mm512_unpackhi_epi64(low01, low23);
  const __m512i red = _mm512_unpacklo_epi64(high01, high23);
  const __m512i alpha = _mm512_unpackhi_epi64(high01, high23);

  // Alpha sums stay below 2^24, so their conversion is exact.
  const __m512 alpha_floats = _mm512_cvtepi32_ps(alpha);
  const __m512 alpha_reciprocals = _mm512_rcp14_ps(alpha_floats);
  const tEstimate512 b =
      Estimate<kExact>(_mm512_cvtepu32_ps(blue), alpha_reciprocals, blue, alpha, alpha_floats);
  const tEstimate512 g =
      Estimate<kExact>(_mm512_cvtepu32_ps(green), alpha_reciprocals, green, alpha, alpha_floats);
  const tEstimate512 r =
      Estimate<kExact>(_mm512_cvtepu32_ps(red), alpha_reciprocals, red, alpha, alpha_floats);
  const tEstimate512 a =
      Estimate<kExact>(alpha_floats, count_reciprocals, alpha, counts, _mm512_cvtepi32_ps(counts));

  // Bytes B G R A of four pixels a lane; a negative remainder takes one off.
  const __m512i quotients = _mm512_packus_epi16(_mm512_packus_epi32(b.quotient, g.quotient),
                                                _mm512_packus_epi32(r.quotient, a.quotient));
  const __m512i remainders = _mm512_packs_epi16(_mm512_packs_epi32(b.remainder, g.remainder),
                                                _mm512_packs_epi32(r.remainder, a.remainder));
  const __m512i bytes = _mm512_mask_sub_epi8(quotients, _mm512_movepi8_mask(remainders), quotients,
                                             _mm512_set1_epi8(1));
  const __m512i pixels =
      _mm512_permutexvar_epi8(_mm512_load_si512(tPixelOrder::kBytes.data()), bytes);
  // Where the alpha sum is 0 the pixel stays (its own alpha, inside its
  // window, is 0 too). The transposition is its own inverse.
  const __mmask16 kept = _mm512_testn_epi32_mask(
      _mm512_permutexvar_epi32(TransposedPixels(), alpha), _mm512_set1_epi32(-1));
  return _mm512_mask_mov_epi32(pixels, kept, original);
}

}  // namespace
}  // namespace pixels
