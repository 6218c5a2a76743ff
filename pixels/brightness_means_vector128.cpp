// Brightness means on 128-bit vectors (SSE2), four pixels a vector; chosen at
// run time, compiled to nothing off x86 (pixels/instruction_sets.h). Along a line,
// four column-sum differences are prefix-summed in a vector, so the running
// sum's chain is one add per four pixels. Quotients are exact from an integer
// multiply and shift (pixels/exact_quotient.h; here d <= 2^23).
#include "pixels/brightness_means_kernels.h"

#ifdef FX_X86_KERNELS

#include <emmintrin.h>

#include <cstring>

#define FX_TARGET FX_SSE2

#include "pixels/brightness_means_rows.h"

namespace pixels {
namespace {

// Brightness of four pixels, one per word.
FX_SSE2 inline __m128i Brightness4(const uint32_t *pixels) {
  const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pixels));
  const __m128i blue_red = _mm_and_si128(p, _mm_set1_epi32(0x00FF00FF));
  const __m128i green = _mm_and_si128(_mm_srli_epi32(p, 8), _mm_set1_epi32(0xFF));
  const __m128i sum = _mm_add_epi32(_mm_madd_epi16(blue_red, _mm_set1_epi32(19 << 16 | 54)),
                                    _mm_madd_epi16(green, _mm_set1_epi32(183)));
  return _mm_srli_epi32(sum, 8);
}

// Four words, each at most 255, as four bytes.
FX_SSE2 inline int32_t PackBytes(__m128i words) {
  const __m128i halves = _mm_packs_epi32(words, words);
  return _mm_cvtsi128_si32(_mm_packus_epi16(halves, halves));
}

FX_SSE2 inline __m128i LoadBytes4(const uint8_t *p) {
  int32_t word;
  std::memcpy(&word, p, 4);
  const __m128i zero = _mm_setzero_si128();
  return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero);
}

// floor(s / n) per word: even words take their whole product shifted down,
// odd ones their product's high word, shifted by shift - 32.
FX_SSE2 inline __m128i Quotients4(__m128i sums, __m128i multiplier, __m128i shift,
                                  __m128i high_shift) {
  const __m128i even = _mm_srl_epi64(_mm_mul_epu32(sums, multiplier), shift);
  const __m128i odd =
      _mm_srl_epi64(_mm_mul_epu32(_mm_srli_epi64(sums, 32), multiplier), high_shift);
  const __m128i low_words = _mm_set_epi32(0, -1, 0, -1);
  return _mm_or_si128(_mm_and_si128(low_words, even), _mm_andnot_si128(low_words, odd));
}

struct tKernel : tScalarColumn {
  static constexpr int64_t kPixels = 4;
  static constexpr int64_t kBlock = 4;
  static constexpr bool kVectorEnds = false;

  template <bool kEnter, bool kLeave>
  FX_SSE2 static void Block(int64_t k, uint32_t *col, const uint32_t *entering, uint8_t *slot) {
    __m128i *sums = reinterpret_cast<__m128i *>(col + k);
    __m128i s = _mm_loadu_si128(sums);
    if (kLeave) {
      s = _mm_sub_epi32(s, LoadBytes4(slot + k));
    }
    if (kEnter) {
      const __m128i b = Brightness4(entering + k);
      const int32_t bytes = PackBytes(b);
      std::memcpy(slot + k, &bytes, 4);
      s = _mm_add_epi32(s, b);
    }
    _mm_storeu_si128(sums, s);
  }

  FX_SSE2 static uint32_t FullWindows(const uint32_t *col, int64_t r, int64_t begin, int64_t end,
                                      tExactDivisor divisor, uint32_t sum, uint8_t *out) {
    const __m128i multiplier = _mm_set1_epi32(int32_t(divisor.multiplier));
    const __m128i shift = _mm_cvtsi32_si128(divisor.shift);
    const __m128i high_shift = _mm_cvtsi32_si128(divisor.shift - 32);
    __m128i running = _mm_set1_epi32(int32_t(sum));
    for (int64_t j = begin; j < end; j += 4) {
      __m128i d =
          _mm_sub_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(col + j + r)),
                        _mm_loadu_si128(reinterpret_cast<const __m128i *>(col + j - r - 1)));
      d = _mm_add_epi32(d, _mm_slli_si128(d, 4));
      d = _mm_add_epi32(d, _mm_slli_si128(d, 8));
      const __m128i s = _mm_add_epi32(running, d);
      running = _mm_add_epi32(running, _mm_shuffle_epi32(d, 0xFF));
      const int32_t bytes = PackBytes(Quotients4(s, multiplier, shift, high_shift));
      std::memcpy(out + j, &bytes, 4);
    }
    return uint32_t(_mm_cvtsi128_si32(running));
  }
};

}  // namespace

bool BrightnessMeansVector128(const uint32_t *const *rows, int32_t width, int32_t height,
                              int32_t radius, uint8_t *out, tLevelRange &range) {
  return RunVectorBrightnessMeans<tKernel>(rows, width, height, radius, out, range);
}

}  // namespace pixels

#endif  // FX_X86_KERNELS
