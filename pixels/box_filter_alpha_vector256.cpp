// "blur_alpha" on 256-bit vectors (AVX2), chosen at run time; the file
// compiles to nothing off x86 (pixels/instruction_sets.h).
//
// Colour weighted by alpha, divided exactly. The column sums are those of
// "blur" (pixels/box_filter_columns256.h). Along a row the differences of a
// block of eight pixels are prefix-summed off the dependency chain, so the
// chain is one add a block. The full windows of a row take eight quotients a
// vector (pixels/estimated_quotients.h); the pixels at the row's ends are
// taken one at a time in double precision, exact from tabled reciprocals
// (pixels/exact_quotient.h).
#include "pixels/box_filter_kernels.h"

#ifdef FX_X86_KERNELS

#include <immintrin.h>

#define FX_TARGET FX_AVX2

#include "pixels/box_filter_columns256.h"
#include "pixels/box_filter_rows.h"
#include "pixels/estimated_quotients.h"
#include "pixels/exact_quotient.h"
#include "pixels/pixel_vectors.h"

namespace pixels {
namespace {

// {0, low half}: the low pixel moved up, for an in-register prefix sum.
FX_AVX2 inline __m256i LowToHigh(__m256i v) {
  return _mm256_permute2x128_si256(v, v, 0x08);
}
// {high half, high half}.
FX_AVX2 inline __m256i HighToBoth(__m256i v) {
  return _mm256_permute2x128_si256(v, v, 0x11);
}

// Inclusive prefix sums of eight column-sum differences, two pixels a vector.
FX_AVX2 inline void PrefixSums(const uint32_t *add, const uint32_t *sub, __m256i p[4]) {
  __m256i carry = _mm256_setzero_si256();
  for (int k = 0; k < 4; ++k) {
    const __m256i d =
        _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(add + 8 * k)),
                         _mm256_loadu_si256(reinterpret_cast<const __m256i *>(sub + 8 * k)));
    p[k] = _mm256_add_epi32(_mm256_add_epi32(d, LowToHigh(d)), carry);
    carry = HighToBoth(p[k]);
  }
}

struct tWeightedTerms {
  // Four pixels as {b*a, g*a, r*a, a}; the products fit 16 bits before widening.
  FX_AVX2 static void Four(__m128i bytes, __m256i out[2]) {
    const __m256i wide = _mm256_cvtepu8_epi16(bytes);
    const __m256i alpha = _mm256_shuffle_epi8(
        wide, _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15, 6, 7, 6, 7,
                               6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15));
    const __m256i factor = _mm256_blend_epi16(alpha, _mm256_set1_epi16(1), 0x88);
    const __m256i terms = _mm256_mullo_epi16(wide, factor);
    out[0] = _mm256_cvtepu16_epi32(_mm256_castsi256_si128(terms));
    out[1] = _mm256_cvtepu16_epi32(_mm256_extracti128_si256(terms, 1));
  }
  FX_AVX2 static __m128i One(__m128i bytes) {
    const __m128i wide = _mm_cvtepu8_epi32(bytes);
    const __m128i factor = _mm_blend_epi32(_mm_shuffle_epi32(wide, 0xFF), _mm_set1_epi32(1), 0x8);
    return _mm_mullo_epi32(wide, factor);
  }
};

// Four 32-bit words, unsigned, as exact doubles.
FX_AVX2 inline __m256d ToDoubles(__m128i words) {
  const __m256i magic = _mm256_set1_epi64x(0x4330000000000000);  // 2^52
  const __m256i bits = _mm256_or_si256(_mm256_cvtepu32_epi64(words), magic);
  return _mm256_sub_pd(_mm256_castsi256_pd(bits), _mm256_castsi256_pd(magic));
}

FX_AVX2 inline __m128i QuotientsByDoubles(__m256d numerators, __m256d reciprocals) {
  const __m256d bias = _mm256_set1_pd(kQuotientBias);
  return _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(numerators, reciprocals), bias));
}

// The lanes of EstimatedQuotients.
struct tLanes {
  typedef uint32_t Words __attribute__((vector_size(32)));
  using Floats = __m256;
  FX_AVX2 static Floats Reciprocal(Floats v) { return _mm256_rcp_ps(v); }
};

// One output row.
struct tWeightedLine : tRowWalk<uint32_t, tReciprocals> {
  static constexpr int64_t kBlock = 8;
  static constexpr bool kVectorEnds = false;

  FX_AVX2 void Single(int64_t j) {
    sum = StepSum(sum, col, j, x, w);
    const uint32_t alpha_sum = uint32_t(_mm_extract_epi32(sum, 3));
    if (alpha_sum == 0) {
      return;
    }
    const double r = 1.0 / double(alpha_sum);
    StorePixel(out + 4 * j,
               QuotientsByDoubles(ToDoubles(sum), _mm256_setr_pd(r, r, r, factors.At(j))));
  }

  FX_AVX2 void WholeBlocks(int64_t begin, int64_t end) {
    const __m256i count = _mm256_set1_epi32(int32_t(factors.MiddleCells()));
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    __m256i running = _mm256_broadcastsi128_si256(sum);
    for (int64_t j = begin; j < end; j += 8) {
      __m256i p[4];
      PrefixSums(col + 4 * (j + x), col + 4 * (j - x - 1), p);
      __m256i q[4], keep[4];
      for (int k = 0; k < 4; ++k) {
        const __m256i s = _mm256_add_epi32(running, p[k]);
        const __m256i alpha_sum = _mm256_shuffle_epi32(s, 0xFF);
        const __m256i divisors = _mm256_blend_epi32(alpha_sum, count, 0x88);
        q[k] = __m256i(EstimatedQuotients<tLanes>(tLanes::Words(s), tLanes::Words(divisors)));
        keep[k] = _mm256_cmpeq_epi32(alpha_sum, _mm256_setzero_si256());
      }
      running = _mm256_add_epi32(running, HighToBoth(p[3]));
      // Packing works per 128-bit lane: pixels come out as 0 2 4 6 1 3 5 7.
      // Pixels whose alpha sum is 0 stay as they were.
      const __m256i bytes =
          _mm256_packus_epi16(_mm256_packus_epi32(q[0], q[1]), _mm256_packus_epi32(q[2], q[3]));
      const __m256i kept = _mm256_packs_epi16(_mm256_packs_epi32(keep[0], keep[1]),
                                              _mm256_packs_epi32(keep[2], keep[3]));
      __m256i *target = reinterpret_cast<__m256i *>(out + 4 * j);
      _mm256_storeu_si256(target, _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(bytes, order),
                                                     _mm256_loadu_si256(target),
                                                     _mm256_permutevar8x32_epi32(kept, order)));
    }
    sum = _mm256_castsi256_si128(running);
  }
};

}  // namespace

bool BoxFilterAlphaVector256(const tPixelRows &image, int32_t x, int32_t y) {
  return RunVectorBoxFilter<tColumns<tWeightedTerms>, tWeightedLine>(image, x, y);
}

}  // namespace pixels

#endif  // FX_X86_KERNELS
