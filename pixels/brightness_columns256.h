// The column update of the 256-bit brightness-mean kernels (AVX2), 32 pixels a
// block: each entering pixel's brightness is added to its column sum and kept
// in the ring slot, and the brightness the slot held leaves the sum. A block
// packs its 32 brightness bytes for the ring in four instructions.
// Included by those kernel files after FX_TARGET (pixels/vector_target.h).
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "pixels/brightness_means_rows.h"

namespace pixels {
namespace {

// Brightness of eight pixels, one per word: 183 G = 256 G - 73 G, so the sum
// is 256 G plus 54 B - 73 G + 19 R, whose byte products fit the signed 16-bit
// pairs of one multiply-add of bytes.
FX_AVX2 inline __m256i Brightness8(const uint32_t *pixels) {
  const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pixels));
  const __m256i pairs =
      _mm256_maddubs_epi16(p, _mm256_set1_epi32(19 << 16 | (-73 & 0xFF) << 8 | 54));
  const __m256i rest = _mm256_madd_epi16(pairs, _mm256_set1_epi16(1));
  const __m256i sum = _mm256_add_epi32(rest, _mm256_and_si256(p, _mm256_set1_epi32(0xFF00)));
  return _mm256_srli_epi32(sum, 8);
}

FX_AVX2 inline __m256i LoadBytes8(const uint8_t *p) {
  return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p)));
}

// The block and pixel steps of UpdateColumns (pixels/column_update.h).
struct tColumns256 : tScalarColumn {
  static constexpr int64_t kPixels = 32;

  template <bool kEnter, bool kLeave>
  FX_AVX2 static void Block(int64_t k, uint32_t *col, const uint32_t *entering, uint8_t *slot) {
    __m256i s[4];
    for (int64_t q = 0; q < 4; ++q) {
      s[q] = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(col + k + 8 * q));
      if (kLeave) {
        s[q] = _mm256_sub_epi32(s[q], LoadBytes8(slot + k + 8 * q));
      }
    }
    if (kEnter) {
      __m256i b[4];
      for (int64_t q = 0; q < 4; ++q) {
        b[q] = Brightness8(entering + k + 8 * q);
        s[q] = _mm256_add_epi32(s[q], b[q]);
      }
      // Four bytes of each vector per half; the permute puts them in order.
      const __m256i bytes =
          _mm256_packus_epi16(_mm256_packus_epi32(b[0], b[1]), _mm256_packus_epi32(b[2], b[3]));
      _mm256_storeu_si256(
          reinterpret_cast<__m256i *>(slot + k),
          _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7)));
    }
    for (int64_t q = 0; q < 4; ++q) {
      _mm256_storeu_si256(reinterpret_cast<__m256i *>(col + k + 8 * q), s[q]);
    }
  }
};

}  // namespace
}  // namespace pixels
