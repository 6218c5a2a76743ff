// Box filter kernels on 128-bit vectors (SSE2), chosen at run time; the file
// compiles to nothing off x86 (pixels/instruction_sets.h).
//
// As in the 256-bit kernels: interleaved column sums (one vector a pixel), the
// entering and leaving rows in one pass, block prefix sums so that the running
// sum's chain is one add per four pixels, and tabled edge multipliers.
#include "pixels/box_filter_kernels.h"

#ifdef FX_X86_KERNELS

#include <emmintrin.h>

#define FX_TARGET FX_SSE2

#include "pixels/box_filter_rows.h"
#include "pixels/column_update.h"
#include "pixels/estimated_quotients.h"
#include "pixels/exact_quotient.h"
#include "pixels/pixel_vectors.h"

namespace pixels {
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

// The column update of a block of four pixels and of one; `Terms` turns four
// pixels' bytes into their four vectors of terms.
template <typename Terms>
struct tColumns {
  using Sum = uint32_t;
  static constexpr int64_t kPixels = 4;

  template <bool kEnter, bool kLeave>
  FX_SSE2 static void Update(uint32_t *col, const uint8_t *entering, const uint8_t *leaving,
                             int64_t w, const uint8_t *next) {
    UpdateColumns<tColumns, kEnter, kLeave>(w, next, col, entering, leaving);
  }

  template <bool kEnter, bool kLeave>
  FX_SSE2 static void Block(int64_t k, uint32_t *col, const uint8_t *entering,
                            const uint8_t *leaving) {
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
      __m128i terms[4];
      Terms::Four(_mm_loadu_si128(reinterpret_cast<const __m128i *>(entering + 4 * k)), terms);
      for (int p = 0; p < 4; ++p) {
        s[p] = _mm_add_epi32(s[p], terms[p]);
      }
    }
    for (int p = 0; p < 4; ++p) {
      _mm_storeu_si128(sums + p, s[p]);
    }
  }

  template <bool kEnter, bool kLeave>
  FX_SSE2 static void Pixel(int64_t k, uint32_t *col, const uint8_t *entering,
                            const uint8_t *leaving) {
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

// One output row of "blur".
struct tPlainLine : tBlurRowWalk<uint32_t> {
  static constexpr int64_t kBlock = 4;
  static constexpr bool kVectorEnds = false;

  FX_SSE2 void WholeBlocks(int64_t begin, int64_t end) {
    const __m128i q = _mm_set1_epi32(int32_t(factors.Middle()));
    for (int64_t j = begin; j < end; j += 4) {
      __m128i s[4];
      sum = FourSums(sum, col + 4 * (j + x), col + 4 * (j - x - 1), s);
      const __m128i low = _mm_packs_epi32(ScaleDownPixel(s[0], q), ScaleDownPixel(s[1], q));
      const __m128i high = _mm_packs_epi32(ScaleDownPixel(s[2], q), ScaleDownPixel(s[3], q));
      _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 4 * j), _mm_packus_epi16(low, high));
    }
  }
};

// ---- "blur_alpha". The full windows of a row take a pixel's four quotients
// a vector, {b, g, r} by the alpha sum and alpha by the cell count
// (pixels/estimated_quotients.h). The pixels at the row's ends are scalar,
// exact from tabled reciprocals (pixels/exact_quotient.h).

// The lanes of EstimatedQuotients.
struct tLanes {
  typedef uint32_t Words __attribute__((vector_size(16)));
  using Floats = __m128;
  FX_SSE2 static Floats Reciprocal(Floats v) { return _mm_rcp_ps(v); }
};

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

// One output row of "blur_alpha".
struct tWeightedLine : tRowWalk<uint32_t, tReciprocals> {
  static constexpr int64_t kBlock = 4;
  static constexpr bool kVectorEnds = false;

  FX_SSE2 static __m128i AlphaLane() { return _mm_setr_epi32(0, 0, 0, -1); }

  FX_SSE2 void Single(int64_t j) {
    sum = StepSum(sum, col, j, x, w);
    WritePixel(sum, factors.At(j), out + 4 * j);
  }

  FX_SSE2 void WholeBlocks(int64_t begin, int64_t end) {
    const __m128i count_lane =
        _mm_and_si128(_mm_set1_epi32(int32_t(factors.MiddleCells())), AlphaLane());
    for (int64_t j = begin; j < end; j += 4) {
      __m128i s[4], q[4], keep[4];
      sum = FourSums(sum, col + 4 * (j + x), col + 4 * (j - x - 1), s);
      for (int k = 0; k < 4; ++k) {
        const __m128i alpha_sum = _mm_shuffle_epi32(s[k], 0xFF);
        const __m128i divisors = _mm_or_si128(_mm_andnot_si128(AlphaLane(), alpha_sum), count_lane);
        q[k] = __m128i(EstimatedQuotients<tLanes>(tLanes::Words(s[k]), tLanes::Words(divisors)));
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
      pixel[c] = ExactQuotient(s[c], r);
    }
    pixel[3] = ExactQuotient(s[3], count_reciprocal);
  }
};

}  // namespace

bool BoxFilterVector128(const tPixelRows &image, int32_t x, int32_t y) {
  return RunVectorBoxFilter<tColumns<tPlainTerms>, tPlainLine>(image, x, y);
}

bool BoxFilterAlphaVector128(const tPixelRows &image, int32_t x, int32_t y) {
  return RunVectorBoxFilter<tColumns<tWeightedTerms>, tWeightedLine>(image, x, y);
}

}  // namespace pixels

#endif  // FX_X86_KERNELS
