// Brightness means on 256-bit vectors (AVX2), eight pixels a vector; chosen at
// run time, compiled to nothing off x86, instruction set given as a function
// attribute. Along a line, eight column-sum differences are prefix-summed in a
// vector, so the running sum's chain is one add per eight pixels. Quotients
// are exact from an integer multiply and shift (frame/exact_quotient.h; here
// d <= 2^23).
#include "transitions/brightness_means_kernels.h"

#ifdef FX_X86_KERNELS

#include <immintrin.h>

#include "transitions/brightness_means_run.h"

#define FX_AVX2 __attribute__((target("avx2")))

namespace transitions {
namespace {

// Brightness of eight pixels, one per word.
FX_AVX2 inline __m256i Brightness8(const orn_uint32 *pixels) {
  const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pixels));
  const __m256i blue_red = _mm256_and_si256(p, _mm256_set1_epi32(0x00FF00FF));
  const __m256i green = _mm256_and_si256(_mm256_srli_epi32(p, 8), _mm256_set1_epi32(0xFF));
  const __m256i sum =
      _mm256_add_epi32(_mm256_madd_epi16(blue_red, _mm256_set1_epi32(19 << 16 | 54)),
                       _mm256_madd_epi16(green, _mm256_set1_epi32(183)));
  return _mm256_srli_epi32(sum, 8);
}

// Eight words, each at most 255, as eight bytes.
FX_AVX2 inline __m128i PackBytes(__m256i words) {
  const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(words, words), words);
  return _mm256_castsi256_si128(
      _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0)));
}

FX_AVX2 inline __m256i LoadBytes8(const uint8_t *p) {
  return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p)));
}

// floor(s / n) per word: even words take their whole product shifted down,
// odd ones their product's high word, shifted by shift - 32.
FX_AVX2 inline __m256i Quotients8(__m256i sums, __m256i multiplier, __m128i shift,
                                  __m128i high_shift) {
  const __m256i even = _mm256_srl_epi64(_mm256_mul_epu32(sums, multiplier), shift);
  const __m256i odd =
      _mm256_srl_epi64(_mm256_mul_epu32(_mm256_srli_epi64(sums, 32), multiplier), high_shift);
  return _mm256_blend_epi32(even, odd, 0xAA);
}

struct tKernel {
  static constexpr int64_t kBlock = 8;

  template <bool kEnter, bool kLeave>
  FX_AVX2 static void Update(uint32_t *col, const orn_uint32 *entering, uint8_t *slot, int64_t w) {
    int64_t k = 0;
    for (; k + 8 <= w; k += 8) {
      __m256i *sums = reinterpret_cast<__m256i *>(col + k);
      __m256i s = _mm256_loadu_si256(sums);
      if (kLeave) {
        s = _mm256_sub_epi32(s, LoadBytes8(slot + k));
      }
      if (kEnter) {
        const __m256i b = Brightness8(entering + k);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(slot + k), PackBytes(b));
        s = _mm256_add_epi32(s, b);
      }
      _mm256_storeu_si256(sums, s);
    }
    UpdateLastColumns<kEnter, kLeave>(col, entering, slot, k, w);
  }

  FX_AVX2 static uint32_t FullWindows(const uint32_t *col, int64_t r, int64_t begin, int64_t end,
                                      frame::tExactDivisor divisor, uint32_t sum, uint8_t *out) {
    const __m256i multiplier = _mm256_set1_epi32(int32_t(divisor.multiplier));
    const __m128i shift = _mm_cvtsi32_si128(divisor.shift);
    const __m128i high_shift = _mm_cvtsi32_si128(divisor.shift - 32);
    __m256i running = _mm256_set1_epi32(int32_t(sum));
    for (int64_t j = begin; j < end; j += 8) {
      __m256i d =
          _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(col + j + r)),
                           _mm256_loadu_si256(reinterpret_cast<const __m256i *>(col + j - r - 1)));
      d = _mm256_add_epi32(d, _mm256_slli_si256(d, 4));
      d = _mm256_add_epi32(d, _mm256_slli_si256(d, 8));
      const __m256i low_total = _mm256_shuffle_epi32(d, 0xFF);
      d = _mm256_add_epi32(d, _mm256_permute2x128_si256(low_total, low_total, 0x08));
      const __m256i s = _mm256_add_epi32(running, d);
      running = _mm256_add_epi32(running, _mm256_permutevar8x32_epi32(d, _mm256_set1_epi32(7)));
      _mm_storel_epi64(reinterpret_cast<__m128i *>(out + j),
                       PackBytes(Quotients8(s, multiplier, shift, high_shift)));
    }
    return uint32_t(_mm256_cvtsi256_si32(running));
  }
};

}  // namespace

bool BrightnessMeansVector256(const orn_uint32 *const *rows, int32_t width, int32_t height,
                              int32_t radius, uint8_t *out) {
  return RunBrightnessMeans<tKernel>(rows, width, height, radius, out);
}

}  // namespace transitions

#endif  // FX_X86_KERNELS
