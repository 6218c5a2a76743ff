// Box filter kernels on 128-bit vectors (SSE2), chosen at run time; the file
// compiles to nothing off x86 and carries its instruction set as a function
// attribute (32-bit x86 builds need not enable it globally).
//
// As in the 256-bit kernels: interleaved column sums (one vector a pixel), the
// entering and leaving rows in one pass, block prefix sums so that the running
// sum's chain is one add per four pixels, and tabled edge multipliers.
#include "layerfx/box_blur_kernels.h"

#ifdef FX_X86_KERNELS

#include <emmintrin.h>

#include "frame/exact_quotient.h"
#include "layerfx/box_blur_pixel_vectors.h"
#include "layerfx/box_filter_run.h"

namespace layerfx {
namespace {

// Window sums of four pixels from the running sum before them; returns the
// running sum after them (its chain is a single add).
FX_SSE2 inline __m128i FourSums(__m128i running, const uint32_t *add, const uint32_t *sub,
                                __m128i s[4]) {
  __m128i prefix = _mm_setzero_si128();
  for (int k = 0; k < 4; ++k) {
    prefix = _mm_add_epi32(prefix, _mm_sub_epi32(LoadWords(add + 4 * k), LoadWords(sub + 4 * k)));
    s[k] = _mm_add_epi32(running, prefix);
  }
  return _mm_add_epi32(running, prefix);
}

// Adds the entering row's terms and removes those of the leaving row's copy,
// in one pass over the column sums; `Terms`
// turns four pixels' bytes into their four vectors of terms. The row after the
// entering one is fetched into the cache meanwhile: the image rows come from
// memory, and one row ahead hides their latency that the other streams of the
// walk would leave exposed.
template <typename Terms>
struct tColumns {
  using Sum = uint32_t;

  template <bool kEnter, bool kLeave>
  FX_SSE2 static void Update(uint32_t *col, const uint8_t *entering, const uint8_t *leaving,
                             int64_t w, const uint8_t *next) {
    int64_t k = 0;
    for (; k + 4 <= w; k += 4) {
      if (next != nullptr) {
        _mm_prefetch(reinterpret_cast<const char *>(next + 4 * k), _MM_HINT_T0);
      }
      __m128i *sums = reinterpret_cast<__m128i *>(col + 4 * k);
      __m128i s[4];
      for (int p = 0; p < 4; ++p) {
        s[p] = _mm_loadu_si128(sums + p);
      }
      if (kLeave) {
        __m128i terms[4];
        Terms::Four(_mm_loadu_si128(reinterpret_cast<const __m128i *>(leaving + 4 * k)), terms);
        for (int p = 0; p < 4; ++p) {
          s[p] = _mm_sub_epi32(s[p], terms[p]);
        }
      }
      if (kEnter) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(entering + 4 * k));
        __m128i terms[4];
        Terms::Four(bytes, terms);
        for (int p = 0; p < 4; ++p) {
          s[p] = _mm_add_epi32(s[p], terms[p]);
        }
      }
      for (int p = 0; p < 4; ++p) {
        _mm_storeu_si128(sums + p, s[p]);
      }
    }
    for (; k < w; ++k) {
      __m128i *sums = reinterpret_cast<__m128i *>(col + 4 * k);
      __m128i sum = _mm_loadu_si128(sums);
      __m128i terms[4];
      if (kLeave) {
        Terms::Four(LoadPixel(leaving + 4 * k), terms);
        sum = _mm_sub_epi32(sum, terms[0]);
      }
      if (kEnter) {
        Terms::Four(LoadPixel(entering + 4 * k), terms);
        sum = _mm_add_epi32(sum, terms[0]);
      }
      _mm_storeu_si128(sums, sum);
    }
  }
};

// ---- "blur"

struct tPlainTerms {
  FX_SSE2 static void Four(__m128i bytes, __m128i out[4]) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_unpacklo_epi8(bytes, zero);
    const __m128i high = _mm_unpackhi_epi8(bytes, zero);
    out[0] = _mm_unpacklo_epi16(low, zero);
    out[1] = _mm_unpackhi_epi16(low, zero);
    out[2] = _mm_unpacklo_epi16(high, zero);
    out[3] = _mm_unpackhi_epi16(high, zero);
  }
};

struct tPlainKernel : tColumns<tPlainTerms> {
  using Rule = tBlurScales;

  FX_SSE2 static void Row(const uint32_t *col, int64_t w, int64_t x,
                          const frame::tWindowFactors<Rule> &scales, uint8_t *out,
                          const uint8_t *) {
    __m128i sum = FirstSum(col, x);
    int64_t j = 0;
    for (; j <= x && j < w; ++j) {
      sum = StepSum(sum, col, j, x, w);
      StorePixel(out + 4 * j, ScaleDownPixel(sum, _mm_set1_epi32(int32_t(scales.At(j)))));
    }
    const __m128i q = _mm_set1_epi32(int32_t(scales.Middle()));
    for (; j + 4 <= w - x; j += 4) {
      __m128i s[4];
      sum = FourSums(sum, col + 4 * (j + x), col + 4 * (j - x - 1), s);
      const __m128i low = _mm_packs_epi32(ScaleDownPixel(s[0], q), ScaleDownPixel(s[1], q));
      const __m128i high = _mm_packs_epi32(ScaleDownPixel(s[2], q), ScaleDownPixel(s[3], q));
      _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 4 * j), _mm_packus_epi16(low, high));
    }
    for (; j < w; ++j) {
      sum = StepSum(sum, col, j, x, w);
      StorePixel(out + 4 * j, ScaleDownPixel(sum, _mm_set1_epi32(int32_t(scales.At(j)))));
    }
  }
};

// ---- "blur_alpha". The full windows of a row take a pixel's four quotients
// a vector, {b, g, r} by the alpha sum and alpha by the cell count, from a
// single-precision estimate and a correction (the bound is the one given in
// the 256-bit kernels: the estimate is within 0.1 of the quotient, and the
// remainder, exact in 32 bits, tells which way one step fixes it). The pixels
// at the row's ends are scalar, exact from tabled reciprocals
// (frame/exact_quotient.h).

// Four unsigned words as floats, within 2^-23 of their value.
FX_SSE2 inline __m128 ToFloats(__m128i words) {
  const __m128 as_signed = _mm_cvtepi32_ps(words);
  const __m128 wrapped = _mm_castsi128_ps(_mm_srai_epi32(words, 31));
  return _mm_add_ps(as_signed, _mm_and_ps(wrapped, _mm_set1_ps(0x1p32f)));
}

// The low 32 bits of four products (SSE2 has no 32-bit multiply of its own).
FX_SSE2 inline __m128i MultiplyLow(__m128i a, __m128i b) {
  const __m128i even = _mm_mul_epu32(a, b);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, 0x08), _mm_shuffle_epi32(odd, 0x08));
}

// floor(c / d) per word for c <= 255 d, 0 < d < 2^24.1 (lanes with d = 0 give
// garbage, which the caller discards).
FX_SSE2 inline __m128i Quotients(__m128i numerators, __m128i divisors) {
  const __m128 estimate = _mm_mul_ps(ToFloats(numerators), _mm_rcp_ps(ToFloats(divisors)));
  __m128i q = _mm_cvttps_epi32(estimate);
  const __m128i remainder = _mm_sub_epi32(numerators, MultiplyLow(q, divisors));
  q = _mm_add_epi32(q, _mm_cmpgt_epi32(_mm_setzero_si128(), remainder));
  const __m128i too_small = _mm_cmpgt_epi32(remainder, _mm_sub_epi32(divisors, _mm_set1_epi32(1)));
  return _mm_sub_epi32(q, too_small);
}

struct tWeightedTerms {
  // Four pixels as {b*a, g*a, r*a, a}; the products fit 16 bits before widening.
  FX_SSE2 static void Four(__m128i bytes, __m128i out[4]) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i keep_colour = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i alpha_one = _mm_set_epi16(1, 0, 0, 0, 1, 0, 0, 0);
    for (int half = 0; half < 2; ++half) {
      const __m128i wide =
          half == 0 ? _mm_unpacklo_epi8(bytes, zero) : _mm_unpackhi_epi8(bytes, zero);
      const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(wide, 0xFF), 0xFF);
      const __m128i factor = _mm_or_si128(_mm_and_si128(alpha, keep_colour), alpha_one);
      const __m128i terms = _mm_mullo_epi16(wide, factor);
      out[2 * half] = _mm_unpacklo_epi16(terms, zero);
      out[2 * half + 1] = _mm_unpackhi_epi16(terms, zero);
    }
  }
};

struct tWeightedKernel : tColumns<tWeightedTerms> {
  using Rule = frame::tReciprocals;

  FX_SSE2 static __m128i AlphaLane() { return _mm_setr_epi32(0, 0, 0, -1); }

  FX_SSE2 static void Row(const uint32_t *col, int64_t w, int64_t x,
                          const frame::tWindowFactors<Rule> &reciprocals, uint8_t *out,
                          const uint8_t *) {
    __m128i sum = FirstSum(col, x);
    int64_t j = 0;
    for (; j <= x && j < w; ++j) {
      sum = StepSum(sum, col, j, x, w);
      WritePixel(sum, reciprocals.At(j), out + 4 * j);
    }
    const __m128i count_lane =
        _mm_and_si128(_mm_set1_epi32(int32_t(reciprocals.MiddleCells())), AlphaLane());
    for (; j + 4 <= w - x; j += 4) {
      __m128i s[4], q[4], keep[4];
      sum = FourSums(sum, col + 4 * (j + x), col + 4 * (j - x - 1), s);
      for (int k = 0; k < 4; ++k) {
        const __m128i alpha_sum = _mm_shuffle_epi32(s[k], 0xFF);
        q[k] = Quotients(s[k], _mm_or_si128(_mm_andnot_si128(AlphaLane(), alpha_sum), count_lane));
        keep[k] = _mm_cmpeq_epi32(alpha_sum, _mm_setzero_si128());
      }
      // Pixels whose alpha sum is 0 stay as they were.
      const __m128i bytes =
          _mm_packus_epi16(_mm_packs_epi32(q[0], q[1]), _mm_packs_epi32(q[2], q[3]));
      const __m128i kept =
          _mm_packs_epi16(_mm_packs_epi32(keep[0], keep[1]), _mm_packs_epi32(keep[2], keep[3]));
      __m128i *target = reinterpret_cast<__m128i *>(out + 4 * j);
      _mm_storeu_si128(target, _mm_or_si128(_mm_andnot_si128(kept, bytes),
                                            _mm_and_si128(kept, _mm_loadu_si128(target))));
    }
    for (; j < w; ++j) {
      sum = StepSum(sum, col, j, x, w);
      WritePixel(sum, reciprocals.At(j), out + 4 * j);
    }
  }

  // A pixel whose alpha sum is 0 stays as it was: its colour is kept and its
  // own alpha is 0.
  FX_SSE2 static void WritePixel(__m128i sum, double count_reciprocal, uint8_t *pixel) {
    alignas(16) uint32_t s[4];
    _mm_store_si128(reinterpret_cast<__m128i *>(s), sum);
    if (s[3] == 0) {
      return;
    }
    const double r = 1.0 / double(s[3]);
    for (int c = 0; c < 3; ++c) {
      pixel[c] = frame::ExactQuotient(s[c], r);
    }
    pixel[3] = frame::ExactQuotient(s[3], count_reciprocal);
  }
};

}  // namespace

bool BoxBlurVector128(const tPixelRows &image, int32_t x, int32_t y) {
  return RunBoxFilter<tPlainKernel>(image, x, y);
}

bool BoxBlurAlphaVector128(const tPixelRows &image, int32_t x, int32_t y) {
  return RunBoxFilter<tWeightedKernel>(image, x, y);
}

}  // namespace layerfx

#endif  // FX_X86_KERNELS
