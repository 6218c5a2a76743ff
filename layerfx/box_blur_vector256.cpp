// Box filter kernels on 256-bit vectors (AVX2), chosen at run time; the file
// compiles to nothing off x86 and carries its instruction set as a function
// attribute, so no other code in the module needs the processor feature.
//
// Layout: one column-sum row of W four-word entries, a pixel's four channels
// side by side, so one 128-bit lane serves a whole pixel and a 256-bit vector
// two ("blur" keeps 16-bit words where columns are short enough and widens
// them as it reads them along the row). The entering and leaving source rows
// are applied in one pass. Along a row, the window sum s(j) = s(j-1) +
// col(j+x) - col(j-x-1); "blur" steps it two pixels at a time, "blur_alpha"
// prefix-sums the differences of a block of eight pixels off the dependency
// chain; either way the chain is one add a step. Edge multipliers are tabled
// per vertical count, so no division runs per pixel.
#include "layerfx/box_blur_kernels.h"

#ifdef FX_X86_KERNELS

#include <immintrin.h>

#include <algorithm>

#include "frame/exact_quotient.h"
#include "layerfx/box_blur_pixel_vectors.h"
#include "layerfx/box_filter_run.h"

#define FX_AVX2 __attribute__((target("avx2")))

namespace layerfx {
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

// Adds the entering row's terms and removes those of the leaving row's copy,
// in one pass over the column sums; `Terms`
// turns four pixels' bytes into their two vectors of terms, one pixel's into
// one. The row after the entering one is fetched into the cache meanwhile: the
// image rows come from memory, and one row ahead hides their latency that the
// other streams of the walk would leave exposed.
template <typename Terms>
struct tColumns {
  using Sum = uint32_t;

  template <bool kEnter, bool kLeave>
  FX_AVX2 static void Update(uint32_t *col, const uint8_t *entering, const uint8_t *leaving,
                             int64_t w, const uint8_t *next) {
    int64_t k = 0;
    for (; k + 4 <= w; k += 4) {
      if (next != nullptr) {
        _mm_prefetch(reinterpret_cast<const char *>(next + 4 * k), _MM_HINT_T0);
      }
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
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(entering + 4 * k));
        __m256i terms[2];
        Terms::Four(bytes, terms);
        a = _mm256_add_epi32(a, terms[0]);
        b = _mm256_add_epi32(b, terms[1]);
      }
      _mm256_storeu_si256(sums, a);
      _mm256_storeu_si256(sums + 1, b);
    }
    for (; k < w; ++k) {
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
  }
};

// ---- "blur": every channel summed as it is, scaled by q = floor(2^32 / n).

struct tPlainTerms {
  // Four pixels' bytes as words, two pixels a vector.
  FX_AVX2 static void Four(__m128i bytes, __m256i out[2]) {
    out[0] = _mm256_cvtepu8_epi32(bytes);
    out[1] = _mm256_cvtepu8_epi32(_mm_srli_si128(bytes, 8));
  }
  FX_AVX2 static __m128i One(__m128i bytes) { return _mm_cvtepu8_epi32(bytes); }
};

// Column sums of "blur" in 16 bits, exact while a column spans at most 257
// rows (255 * 257 = 65535): half the memory traffic of 32-bit sums. Eight
// pixels' sums fill two vectors.
constexpr int64_t kNarrowColumnRows = 257;

struct tNarrowColumns {
  using Sum = uint16_t;

  // The next entering row is fetched by Row instead (see WriteBlocks).
  template <bool kEnter, bool kLeave>
  FX_AVX2 static void Update(uint16_t *col, const uint8_t *entering, const uint8_t *leaving,
                             int64_t w, const uint8_t *) {
    int64_t k = 0;
    for (; k + 8 <= w; k += 8) {
      __m256i *sums = reinterpret_cast<__m256i *>(col + 4 * k);
      __m256i a = _mm256_loadu_si256(sums);
      __m256i b = _mm256_loadu_si256(sums + 1);
      if (kLeave) {
        const __m128i *copy = reinterpret_cast<const __m128i *>(leaving + 4 * k);
        a = _mm256_sub_epi16(a, _mm256_cvtepu8_epi16(_mm_loadu_si128(copy)));
        b = _mm256_sub_epi16(b, _mm256_cvtepu8_epi16(_mm_loadu_si128(copy + 1)));
      }
      if (kEnter) {
        const __m128i *source = reinterpret_cast<const __m128i *>(entering + 4 * k);
        a = _mm256_add_epi16(a, _mm256_cvtepu8_epi16(_mm_loadu_si128(source)));
        b = _mm256_add_epi16(b, _mm256_cvtepu8_epi16(_mm_loadu_si128(source + 1)));
      }
      _mm256_storeu_si256(sums, a);
      _mm256_storeu_si256(sums + 1, b);
    }
    for (; k < w; ++k) {
      __m128i *sums = reinterpret_cast<__m128i *>(col + 4 * k);
      __m128i sum = _mm_loadl_epi64(sums);
      if (kLeave) {
        sum = _mm_sub_epi16(sum, _mm_cvtepu8_epi16(LoadPixel(leaving + 4 * k)));
      }
      if (kEnter) {
        sum = _mm_add_epi16(sum, _mm_cvtepu8_epi16(LoadPixel(entering + 4 * k)));
      }
      _mm_storel_epi64(sums, sum);
    }
  }
};

// Two pixels' column sums as 32-bit words, one pixel a lane.
FX_AVX2 inline __m256i LoadPair(const uint32_t *p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
}

FX_AVX2 inline __m256i LoadPair(const uint16_t *p) {
  const __m256i both =
      _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)));
  return _mm256_shuffle_epi8(
      both, _mm256_setr_epi8(0, 1, -1, -1, 2, 3, -1, -1, 4, 5, -1, -1, 6, 7, -1, -1, 8, 9, -1, -1,
                             10, 11, -1, -1, 12, 13, -1, -1, 14, 15, -1, -1));
}

// floor(s * q / 2^32) of the even words (channels 0 and 2) and of the odd
// words (channels 1 and 3) of two pixels' sums, each in the upper half of its
// 64-bit product; q holds each pixel's factor in the low words of its lane.
struct tScaledPair {
  __m256i even, odd;
};

FX_AVX2 inline tScaledPair ScaleDownPair(__m256i s, __m256i q) {
  return {_mm256_mul_epu32(s, q),
          _mm256_mul_epu32(_mm256_shuffle_epi32(s, _MM_SHUFFLE(3, 3, 1, 1)), q)};
}

// The upper words of two vectors of products: a's in words 0, 1 and b's in
// words 2, 3 of each 128-bit lane.
FX_AVX2 inline __m256i UpperWords(__m256i a, __m256i b) {
  return _mm256_castps_si256(
      _mm256_shuffle_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b), _MM_SHUFFLE(3, 1, 3, 1)));
}

// Eight pixels' bytes from their scaled pairs: the upper words of the
// products packed to 16 bits, the odd channels shifted into the high bytes.
// Work within 128-bit lanes leaves the pixels as 0 2 4 6 1 3 5 7; one
// permutation puts them in order.
FX_AVX2 inline __m256i PackEight(const tScaledPair r[4]) {
  const __m256i even =
      _mm256_packus_epi32(UpperWords(r[0].even, r[1].even), UpperWords(r[2].even, r[3].even));
  const __m256i odd =
      _mm256_packus_epi32(UpperWords(r[0].odd, r[1].odd), UpperWords(r[2].odd, r[3].odd));
  const __m256i bytes = _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
  return _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

// Two pixels' factors q(j), q(j + 1), each in the low words of its lane.
FX_AVX2 inline __m256i PairFactors(__m128i factors) {
  return _mm256_cvtepu32_epi64(factors);
}

// The spans of a row that run on vectors. Each gives D(j), the steps
// s(j) - s(j - 1) and s(j + 1) - s(j) of pixels j and j + 1, and their factors.
//
// Pixels j < x: windows cut on the left, column j + x enters, none leaves.
template <typename Sum>
struct tLeftEnd {
  const Sum *col;
  int64_t x;
  const uint32_t *edges;

  FX_AVX2 __m256i Steps(int64_t j) const { return LoadPair(col + 4 * (j + x)); }
  // A window of j + x + 1 columns.
  FX_AVX2 __m256i Factors(int64_t j) const {
    const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(edges + j));
    return PairFactors(_mm_unpacklo_epi32(two, two));
  }
};

// Whole windows: column j + x enters and column j - x - 1 leaves.
template <typename Sum>
struct tWholeWindows {
  const Sum *col;
  int64_t x;
  __m256i q;

  FX_AVX2 __m256i Steps(int64_t j) const {
    return _mm256_sub_epi32(LoadPair(col + 4 * (j + x)), LoadPair(col + 4 * (j - x - 1)));
  }
  FX_AVX2 __m256i Factors(int64_t) const { return q; }
};

// Pixels j >= w - x with j > x: windows cut on the right, column j - x - 1
// leaves, none enters.
template <typename Sum>
struct tRightEnd {
  const Sum *col;
  int64_t x, w;
  const uint32_t *edges;

  FX_AVX2 __m256i Steps(int64_t j) const {
    return _mm256_sub_epi32(_mm256_setzero_si256(), LoadPair(col + 4 * (j - x - 1)));
  }
  // A window of w - j + x columns: the table read backwards.
  FX_AVX2 __m256i Factors(int64_t j) const {
    const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(edges + (w - j - 2)));
    return PairFactors(_mm_shuffle_epi32(two, _MM_SHUFFLE(0, 0, 1, 1)));
  }
};

// Writes pixels j, j + 1, ... of `span` in blocks of eight while the block
// ends by `end`, from s(j - 1) in `sum`; returns the sum of the last pixel
// written. The same stretch of the row entering next (`next`, unless null) is
// fetched into the cache meanwhile: this work is all arithmetic, so the
// fetches overlap it rather than the column update that needs the row. The
// sums of pixels j + 2, j + 3 are those of j, j + 1 plus D(j + 1) + D(j + 2),
// where D(j + 1) is one lane swap of D(j) and D(j + 2): the chain from pair to
// pair is one add.
template <typename Span>
FX_AVX2 inline __m128i WriteBlocks(const Span &span, __m128i sum, int64_t &j, int64_t end,
                                   uint8_t *out, const uint8_t *next) {
  // {s(j - 1), s(j - 1)} with D(j - 2) taken as {-, 0}: the first step gives
  // {s(j), s(j + 1)}.
  __m256i pair = _mm256_broadcastsi128_si256(sum);
  __m256i last = _mm256_setzero_si256();
  for (; j + 8 <= end; j += 8) {
    if (next != nullptr) {
      _mm_prefetch(reinterpret_cast<const char *>(next + 4 * j), _MM_HINT_T0);
    }
    tScaledPair r[4];
    for (int k = 0; k < 4; ++k) {
      const __m256i d = span.Steps(j + 2 * k);
      pair = _mm256_add_epi32(pair, _mm256_add_epi32(_mm256_permute2x128_si256(last, d, 0x21), d));
      last = d;
      r[k] = ScaleDownPair(pair, span.Factors(j + 2 * k));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + 4 * j), PackEight(r));
  }
  return _mm256_extracti128_si256(pair, 1);
}

// "blur" on column sums kept by `Columns`.
template <typename Columns>
struct tPlainKernel : Columns {
  using Sum = typename Columns::Sum;
  using Rule = tBlurScales;

  FX_AVX2 static void Row(const Sum *col, int64_t w, int64_t x,
                          const frame::tWindowFactors<Rule> &scales, uint8_t *out,
                          const uint8_t *next) {
    const tLeftEnd<Sum> left = {col, x, scales.Edges()};
    const tWholeWindows<Sum> whole = {col, x, _mm256_set1_epi32(int32_t(scales.Middle()))};
    const tRightEnd<Sum> right = {col, x, w, scales.Edges()};
    int64_t j = 0;
    __m128i sum = WriteBlocks(left, FirstSum(col, x), j, x, out, next);
    sum = WriteSingles(col, w, x, scales, sum, j, std::min(x + 1, w), out);
    sum = WriteBlocks(whole, sum, j, w - x, out, next);
    sum = WriteSingles(col, w, x, scales, sum, j, w - x, out);
    sum = WriteBlocks(right, sum, j, w, out, next);
    WriteSingles(col, w, x, scales, sum, j, w, out);
  }

  // Pixels between and after the blocks, one at a time, up to `end`.
  FX_AVX2 static __m128i WriteSingles(const Sum *col, int64_t w, int64_t x,
                                      const frame::tWindowFactors<Rule> &scales, __m128i sum,
                                      int64_t &j, int64_t end, uint8_t *out) {
    for (; j < end; ++j) {
      sum = StepSum(sum, col, j, x, w);
      StorePixel(out + 4 * j, ScaleDownPixel(sum, _mm_set1_epi32(int32_t(scales.At(j)))));
    }
    return sum;
  }
};

// ---- "blur_alpha": colour weighted by alpha, divided exactly.
//
// Every quotient is floor(c / d) with c <= 255 d and d < 2^24.1 (true within
// the 32-bit window limit: alpha sums <= 255 * 66,051, counts <= 66,051).
//
// The full windows of a row take eight quotients a vector from an estimate
// and a correction: c * rcp(d) in single precision is within 256 * (2^-23 +
// 2^-23 + 2^-24 + 1.5 * 2^-12) < 0.1 of c / d (the processor's reciprocal is
// good to 1.5 * 2^-12, each conversion to 2^-23, the product to 2^-24), so its
// truncation is the quotient or one off either way; the remainder c - q d,
// exact in 32 bits since it lies between -d and 2d, tells which, and one step
// fixes it.
//
// The pixels at the row's ends are taken one at a time in double precision,
// exact from tabled reciprocals (frame/exact_quotient.h).

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

FX_AVX2 inline __m128i Quotients(__m256d numerators, __m256d reciprocals) {
  const __m256d bias = _mm256_set1_pd(frame::kQuotientBias);
  return _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(numerators, reciprocals), bias));
}

// Eight unsigned words as floats, within 2^-23 of their value.
FX_AVX2 inline __m256 ToFloats(__m256i words) {
  const __m256 as_signed = _mm256_cvtepi32_ps(words);
  const __m256 wrapped = _mm256_castsi256_ps(_mm256_srai_epi32(words, 31));
  return _mm256_add_ps(as_signed, _mm256_and_ps(wrapped, _mm256_set1_ps(0x1p32f)));
}

// floor(c / d) per word, exact for the sums above with d > 0 (lanes with d = 0
// give garbage, which the caller discards).
FX_AVX2 inline __m256i Quotients(__m256i numerators, __m256i divisors) {
  const __m256 estimate = _mm256_mul_ps(ToFloats(numerators), _mm256_rcp_ps(ToFloats(divisors)));
  __m256i q = _mm256_cvttps_epi32(estimate);
  const __m256i remainder = _mm256_sub_epi32(numerators, _mm256_mullo_epi32(q, divisors));
  q = _mm256_add_epi32(q, _mm256_cmpgt_epi32(_mm256_setzero_si256(), remainder));
  const __m256i too_small =
      _mm256_cmpgt_epi32(remainder, _mm256_sub_epi32(divisors, _mm256_set1_epi32(1)));
  return _mm256_sub_epi32(q, too_small);
}

struct tWeightedKernel : tColumns<tWeightedTerms> {
  using Rule = frame::tReciprocals;

  FX_AVX2 static void Row(const uint32_t *col, int64_t w, int64_t x,
                          const frame::tWindowFactors<Rule> &reciprocals, uint8_t *out,
                          const uint8_t *) {
    __m128i sum = FirstSum(col, x);
    int64_t j = 0;
    for (; j <= x && j < w; ++j) {
      sum = StepSum(sum, col, j, x, w);
      WritePixel(sum, reciprocals.At(j), out + 4 * j);
    }
    const __m256i count = _mm256_set1_epi32(int32_t(reciprocals.MiddleCells()));
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    __m256i running = _mm256_broadcastsi128_si256(sum);
    for (; j + 8 <= w - x; j += 8) {
      __m256i p[4];
      PrefixSums(col + 4 * (j + x), col + 4 * (j - x - 1), p);
      __m256i q[4], keep[4];
      for (int k = 0; k < 4; ++k) {
        const __m256i s = _mm256_add_epi32(running, p[k]);
        const __m256i alpha_sum = _mm256_shuffle_epi32(s, 0xFF);
        q[k] = Quotients(s, _mm256_blend_epi32(alpha_sum, count, 0x88));
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
    for (; j < w; ++j) {
      sum = StepSum(sum, col, j, x, w);
      WritePixel(sum, reciprocals.At(j), out + 4 * j);
    }
  }

  FX_AVX2 static void WritePixel(__m128i sum, double count_reciprocal, uint8_t *pixel) {
    const uint32_t alpha_sum = uint32_t(_mm_extract_epi32(sum, 3));
    if (alpha_sum == 0) {
      return;
    }
    const double r = 1.0 / double(alpha_sum);
    StorePixel(pixel, Quotients(ToDoubles(sum), _mm256_setr_pd(r, r, r, count_reciprocal)));
  }
};

}  // namespace

bool BoxBlurVector256(const tPixelRows &image, int32_t x, int32_t y) {
  if (2 * int64_t(y) + 1 <= kNarrowColumnRows) {
    return RunBoxFilter<tPlainKernel<tNarrowColumns>>(image, x, y);
  }
  return RunBoxFilter<tPlainKernel<tColumns<tPlainTerms>>>(image, x, y);
}

bool BoxBlurAlphaVector256(const tPixelRows &image, int32_t x, int32_t y) {
  return RunBoxFilter<tWeightedKernel>(image, x, y);
}

}  // namespace layerfx

#endif  // FX_X86_KERNELS
