// Brightness means on 256-bit vectors (AVX2), eight pixels a vector; chosen at
// run time, compiled to nothing off x86 (pixels/instruction_sets.h). The entry
// takes the lane kernel (pixels/brightness_means_lanes256.cpp) where it fits;
// the walk here serves the rest: larger windows, and lines too short for eight
// segments longer than r. Along a line, eight column-sum differences are
// prefix-summed in a vector, so the running sum's chain is one add per eight
// pixels. Quotients are exact from an integer multiply and shift
// (pixels/exact_quotient.h; here d <= 2^23).
#include "pixels/brightness_means_kernels.h"

#ifdef FX_X86_KERNELS

#include <immintrin.h>

#define FX_TARGET FX_AVX2

#include "pixels/brightness_columns256.h"

namespace pixels {
namespace {

// Eight words, each at most 255, as eight bytes.
FX_AVX2 inline __m128i PackBytes(__m256i words) {
  const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(words, words), words);
  return _mm256_castsi256_si128(
      _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0)));
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

// Eight quotients floor(s / n) from tabled reciprocals of their n, four a
// vector (pixels/exact_quotient.h).
FX_AVX2 inline __m256i QuotientsByTable(__m256i sums, __m256d low, __m256d high) {
  const __m256d bias = _mm256_set1_pd(kQuotientBias);
  const __m128i a = _mm256_cvttpd_epi32(
      _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(sums)), low), bias));
  const __m128i b = _mm256_cvttpd_epi32(_mm256_add_pd(
      _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(sums, 1)), high), bias));
  return _mm256_set_m128i(b, a);
}

FX_AVX2 inline __m256i LoadWords8(const uint32_t *p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
}

// The spans of a line that run on vectors. Each gives the steps s(j) - s(j-1)
// of eight pixels from j, and their quotients.
//
// Whole windows: column j + r enters, column j - r - 1 leaves.
struct tWholeWindows {
  const uint32_t *col;
  int64_t r;
  __m256i multiplier;
  __m128i shift, high_shift;

  FX_AVX2 __m256i Steps(int64_t j) const {
    return _mm256_sub_epi32(LoadWords8(col + j + r), LoadWords8(col + j - r - 1));
  }
  FX_AVX2 __m256i Quotients(__m256i sums, int64_t) const {
    return Quotients8(sums, multiplier, shift, high_shift);
  }
};

// Pixels j < r: windows cut on the left, column j + r enters, none leaves;
// pixel j's window has j + r + 1 columns, reciprocal reciprocals[j].
struct tLeftEnd {
  const uint32_t *col;
  int64_t r;
  const double *reciprocals;

  FX_AVX2 __m256i Steps(int64_t j) const { return LoadWords8(col + j + r); }
  FX_AVX2 __m256i Quotients(__m256i sums, int64_t j) const {
    return QuotientsByTable(sums, _mm256_loadu_pd(reciprocals + j),
                            _mm256_loadu_pd(reciprocals + j + 4));
  }
};

// Pixels j >= w - r with j > r: windows cut on the right, column j - r - 1
// leaves, none enters; pixel j's window has w - j + r columns, reciprocal
// reciprocals[w - j - 1]: the table read backwards.
struct tRightEnd {
  const uint32_t *col;
  int64_t r, w;
  const double *reciprocals;

  FX_AVX2 __m256i Steps(int64_t j) const {
    return _mm256_sub_epi32(_mm256_setzero_si256(), LoadWords8(col + j - r - 1));
  }
  FX_AVX2 __m256i Quotients(__m256i sums, int64_t j) const {
    return QuotientsByTable(sums,
                            _mm256_permute4x64_pd(_mm256_loadu_pd(reciprocals + w - j - 4), 0x1B),
                            _mm256_permute4x64_pd(_mm256_loadu_pd(reciprocals + w - j - 8), 0x1B));
  }
};

// Writes pixels begin to end - 1 of `span`, eight at a time, from `sum`, the
// window sum before pixel begin; returns the window sum of pixel end - 1. The
// eight steps are prefix-summed in a vector, so the running sum's chain is
// one add per eight pixels.
template <typename Span>
FX_AVX2 inline uint32_t WriteBlocks(const Span &span, int64_t begin, int64_t end, uint32_t sum,
                                    uint8_t *out) {
  __m256i running = _mm256_set1_epi32(int32_t(sum));
  for (int64_t j = begin; j < end; j += 8) {
    __m256i d = span.Steps(j);
    d = _mm256_add_epi32(d, _mm256_slli_si256(d, 4));
    d = _mm256_add_epi32(d, _mm256_slli_si256(d, 8));
    const __m256i low_total = _mm256_shuffle_epi32(d, 0xFF);
    d = _mm256_add_epi32(d, _mm256_permute2x128_si256(low_total, low_total, 0x08));
    const __m256i s = _mm256_add_epi32(running, d);
    running = _mm256_add_epi32(running, _mm256_permutevar8x32_epi32(d, _mm256_set1_epi32(7)));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(out + j), PackBytes(span.Quotients(s, j)));
  }
  return uint32_t(_mm256_cvtsi256_si32(running));
}

struct tKernel : tColumns256 {
  static constexpr int64_t kBlock = 8;
  static constexpr bool kVectorEnds = true;

  FX_AVX2 static uint32_t FullWindows(const uint32_t *col, int64_t r, int64_t begin, int64_t end,
                                      tExactDivisor divisor, uint32_t sum, uint8_t *out) {
    const tWholeWindows whole = {col, r, _mm256_set1_epi32(int32_t(divisor.multiplier)),
                                 _mm_cvtsi32_si128(divisor.shift),
                                 _mm_cvtsi32_si128(divisor.shift - 32)};
    return WriteBlocks(whole, begin, end, sum, out);
  }

  FX_AVX2 static uint32_t LeftEnd(const uint32_t *col, int64_t r, int64_t end,
                                  const double *reciprocals, uint32_t sum, uint8_t *out) {
    return WriteBlocks(tLeftEnd{col, r, reciprocals}, 0, end, sum, out);
  }

  FX_AVX2 static uint32_t RightEnd(const uint32_t *col, int64_t r, int64_t w, int64_t begin,
                                   int64_t end, const double *reciprocals, uint32_t sum,
                                   uint8_t *out) {
    return WriteBlocks(tRightEnd{col, r, w, reciprocals}, begin, end, sum, out);
  }
};

}  // namespace

bool BrightnessMeansVector256(const uint32_t *const *rows, int32_t width, int32_t height,
                              int32_t radius, uint8_t *out, tLevelRange &range) {
  if (LanesFit(width, radius)) {
    return BrightnessMeansLanes256(rows, width, height, radius, out, range);
  }
  return RunVectorBrightnessMeans<tKernel>(rows, width, height, radius, out, range);
}

}  // namespace pixels

#endif  // FX_X86_KERNELS
