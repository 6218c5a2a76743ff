// "blur" on 512-bit vectors (AVX-512 F, BW, VL and VBMI), chosen at run time;
// the file compiles to nothing off x86 (pixels/instruction_sets.h).
//
// Layout as on 256 bits (pixels/box_filter_vector256.cpp): one row of column
// sums, a pixel's four channels side by side, 16-bit while a column spans at
// most kByteSumNarrowRows rows. A vector holds four pixels' 32-bit window
// sums, one pixel a 128-bit lane. Along a row the sums step four pixels at a
// time, s(j) = s(j - 4) + D(j - 3) + D(j - 2) + D(j - 1) + D(j) with D(j) =
// s(j) - s(j - 1): the four-term sums take two lane shifts off the chain, so
// the chain from quad to quad is one add. The bytes of sixteen pixels are
// picked straight out of their 64-bit products by four byte permutes.
#include "pixels/box_filter_kernels.h"

#ifdef FX_X86_KERNELS

#include "pixels/avx512_intrinsics.h"

#define FX_TARGET FX_AVX512

#include "pixels/box_filter_rows.h"
#include "pixels/column_update.h"
#include "pixels/pixel_vectors.h"
#include "pixels/window_limits.h"

namespace pixels {
namespace {

// The column sums of one width: four pixels' sums widened to 32-bit words,
// one pixel a lane, and the terms of a row's bytes added to them.
template <typename Sum>
struct tSumWords;

template <>
struct tSumWords<uint16_t> {
  static constexpr int64_t kPixels = 8;  // a vector of sums
  FX_AVX512 static __m512i Quad(const uint16_t *p) {
    return _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(p)));
  }
  FX_AVX512 static __m512i Terms(const uint8_t *p) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(p)));
  }
  FX_AVX512 static __m512i Add(__m512i a, __m512i b) { return _mm512_add_epi16(a, b); }
  FX_AVX512 static __m512i Sub(__m512i a, __m512i b) { return _mm512_sub_epi16(a, b); }
  FX_AVX512 static __m128i LoadPixelSums(const uint16_t *p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i *>(p));
  }
  FX_AVX512 static void StorePixelSums(uint16_t *p, __m128i sums) {
    _mm_storel_epi64(reinterpret_cast<__m128i *>(p), sums);
  }
  FX_AVX512 static __m128i PixelTerms(const uint8_t *p) { return _mm_cvtepu8_epi16(LoadPixel(p)); }
  FX_AVX512 static __m128i AddPixel(__m128i a, __m128i b) { return _mm_add_epi16(a, b); }
  FX_AVX512 static __m128i SubPixel(__m128i a, __m128i b) { return _mm_sub_epi16(a, b); }
};

template <>
struct tSumWords<uint32_t> {
  static constexpr int64_t kPixels = 4;
  FX_AVX512 static __m512i Quad(const uint32_t *p) { return _mm512_loadu_si512(p); }
  FX_AVX512 static __m512i Terms(const uint8_t *p) {
    return _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)));
  }
  FX_AVX512 static __m512i Add(__m512i a, __m512i b) { return _mm512_add_epi32(a, b); }
  FX_AVX512 static __m512i Sub(__m512i a, __m512i b) { return _mm512_sub_epi32(a, b); }
  FX_AVX512 static __m128i LoadPixelSums(const uint32_t *p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
  }
  FX_AVX512 static void StorePixelSums(uint32_t *p, __m128i sums) {
    _mm_storeu_si128(reinterpret_cast<__m128i *>(p), sums);
  }
  FX_AVX512 static __m128i PixelTerms(const uint8_t *p) { return _mm_cvtepu8_epi32(LoadPixel(p)); }
  FX_AVX512 static __m128i AddPixel(__m128i a, __m128i b) { return _mm_add_epi32(a, b); }
  FX_AVX512 static __m128i SubPixel(__m128i a, __m128i b) { return _mm_sub_epi32(a, b); }
};

// The column update, sixteen pixels a block. The row entering next is fetched
// by the row walk (see WriteBlocks), whose arithmetic leaves the memory idle.
template <typename SumType>
struct tColumns {
  using Sum = SumType;
  using Words = tSumWords<Sum>;
  static constexpr int64_t kPixels = 16;

  template <bool kEnter, bool kLeave>
  FX_AVX512 static void Update(Sum *col, const uint8_t *entering, const uint8_t *leaving, int64_t w,
                               const uint8_t *) {
    UpdateColumns<tColumns, kEnter, kLeave>(w, nullptr, col, entering, leaving);
  }

  template <bool kEnter, bool kLeave>
  FX_AVX512 static void Block(int64_t k, Sum *col, const uint8_t *entering,
                              const uint8_t *leaving) {
    for (int64_t p = 0; p < kPixels; p += Words::kPixels) {
      Sum *sums = col + 4 * (k + p);
      __m512i s = _mm512_loadu_si512(sums);
      if (kLeave) {
        s = Words::Sub(s, Words::Terms(leaving + 4 * (k + p)));
      }
      if (kEnter) {
        s = Words::Add(s, Words::Terms(entering + 4 * (k + p)));
      }
      _mm512_storeu_si512(sums, s);
    }
  }

  template <bool kEnter, bool kLeave>
  FX_AVX512 static void Pixel(int64_t k, Sum *col, const uint8_t *entering,
                              const uint8_t *leaving) {
    __m128i s = Words::LoadPixelSums(col + 4 * k);
    if (kLeave) {
      s = Words::SubPixel(s, Words::PixelTerms(leaving + 4 * k));
    }
    if (kEnter) {
      s = Words::AddPixel(s, Words::PixelTerms(entering + 4 * k));
    }
    Words::StorePixelSums(col + 4 * k, s);
  }
};

// Four pixels' factors, each across its pixel's lane; `order` picks them from
// `four`.
FX_AVX512 inline __m512i QuadFactors(__m128i four, __m512i order) {
  return _mm512_permutexvar_epi32(order, _mm512_castsi128_si512(four));
}

// The spans of a row that run on vectors. Each gives D(j) to D(j + 3), the
// steps of pixels j to j + 3, and their factors (in the low words of each
// 64-bit lane).
//
// Pixels j < x: windows cut on the left, column j + x enters, none leaves.
template <typename Sum>
struct tLeftEnd {
  const Sum *col;
  int64_t x;
  const uint32_t *edges;

  FX_AVX512 void Prepare(int64_t) const {}
  FX_AVX512 __m512i Steps(int64_t j) const { return tSumWords<Sum>::Quad(col + 4 * (j + x)); }
  // A window of j + x + 1 columns.
  FX_AVX512 __m512i Factors(int64_t j) const {
    return QuadFactors(_mm_loadu_si128(reinterpret_cast<const __m128i *>(edges + j)),
                       _mm512_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3));
  }
};

// Whole windows: column j + x enters and column j - x - 1 leaves. The
// columns kChangeLead pixels past those entering a block (j + x + kChangeLead
// to j + x + kChangeLead + 15) take the row's change (kEnter, kLeave; kClear:
// sums replaced by the entering terms) as the block of j is written, while
// blocks before `changing_end` (in pixels j) remain: so each column sum and
// source byte is read once per row, in the walk's shadow, and the sums the
// walk reads were stored blocks before (not straddling stores still in
// flight, which the processor cannot forward).
constexpr int64_t kChangeLead = 32;

template <typename Sum, bool kEnter, bool kLeave, bool kClear>
struct tWholeWindows {
  Sum *col;
  int64_t x, changing_end;
  __m512i q;
  const uint8_t *entering, *leaving;

  FX_AVX512 void Prepare(int64_t j) const {
    if (j >= changing_end) {
      return;
    }
    const int64_t k = j + x + kChangeLead;
    if (kClear) {
      for (int64_t p = 0; p < 16; p += 64 / int64_t(4 * sizeof(Sum))) {
        _mm512_storeu_si512(col + 4 * (k + p), _mm512_setzero_si512());
      }
    }
    if (kEnter || kLeave) {
      tColumns<Sum>::template Block<kEnter, kLeave>(k, col, entering, leaving);
    }
  }
  FX_AVX512 __m512i Steps(int64_t j) const {
    return _mm512_sub_epi32(tSumWords<Sum>::Quad(col + 4 * (j + x)),
                            tSumWords<Sum>::Quad(col + 4 * (j - x - 1)));
  }
  FX_AVX512 __m512i Factors(int64_t) const { return q; }
};

// Pixels j >= w - x with j > x: windows cut on the right, column j - x - 1
// leaves, none enters.
template <typename Sum>
struct tRightEnd {
  const Sum *col;
  int64_t x, w;
  const uint32_t *edges;

  FX_AVX512 void Prepare(int64_t) const {}
  FX_AVX512 __m512i Steps(int64_t j) const {
    return _mm512_sub_epi32(_mm512_setzero_si512(), tSumWords<Sum>::Quad(col + 4 * (j - x - 1)));
  }
  // A window of w - j + x columns: the table read backwards.
  FX_AVX512 __m512i Factors(int64_t j) const {
    return QuadFactors(_mm_loadu_si128(reinterpret_cast<const __m128i *>(edges + (w - j - 4))),
                       _mm512_setr_epi32(3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1, 0, 0, 0, 0));
  }
};

// Where each output byte of a quad of pixels lies in its products: channel c
// of lane m is byte 4 of 64-bit lane 2m + c/2, of the even products for even
// c and of the odd ones (index bit 6) for odd c. The same 16 indices serve
// each quad's quarter of a 64-byte block.
struct tProductBytes {
  alignas(64) int8_t index[64] = {};
  constexpr tProductBytes() {
    for (int b = 0; b < 64; ++b) {
      const int m = b % 16 / 4;
      const int c = b % 4;
      index[b] = int8_t((2 * m + c / 2) * 8 + 4 + c % 2 * 64);
    }
  }
};
constexpr tProductBytes kProductBytes;

// Writes pixels j, j + 1, ... of `span` in blocks of sixteen while the block
// ends by `end`, from s(j - 1) in `sum`; returns the sum of the last pixel
// written. Each block's original goes to `original` first (unless null), and the
// same stretch of the row entering next (`next`, unless null) is fetched into
// the cache meanwhile. Each quad's sums are those of the quad
// before plus the four-term sums of D; the steps before j count as 0 and the
// quad before as four copies of s(j - 1).
template <typename Span>
FX_AVX512 inline __m128i WriteBlocks(const Span &span, __m128i sum, int64_t &j, int64_t end,
                                     uint8_t *out, uint8_t *original, const uint8_t *next) {
  __m512i quad = _mm512_broadcast_i32x4(sum);
  __m512i last_steps = _mm512_setzero_si512();
  __m512i last_pairs = _mm512_setzero_si512();
  const __m512i product_bytes = _mm512_load_si512(kProductBytes.index);
  for (; j + 16 <= end; j += 16) {
    if (next != nullptr) {
      _mm_prefetch(reinterpret_cast<const char *>(next + 4 * j), _MM_HINT_T0);
    }
    span.Prepare(j);
    __m512i bytes = product_bytes;
    for (int k = 0; k < 4; ++k) {
      // D(j) + D(j - 1), then the sums of four.
      const __m512i steps = span.Steps(j + 4 * k);
      const __m512i pairs = _mm512_add_epi32(steps, _mm512_alignr_epi32(steps, last_steps, 12));
      quad = _mm512_add_epi32(quad,
                              _mm512_add_epi32(pairs, _mm512_alignr_epi32(pairs, last_pairs, 8)));
      last_steps = steps;
      last_pairs = pairs;
      // floor(s * q / 2^32) in byte 4 of each product.
      const __m512i q = span.Factors(j + 4 * k);
      const __m512i even = _mm512_mul_epu32(quad, q);
      const __m512i odd = _mm512_mul_epu32(_mm512_srli_epi64(quad, 32), q);
      bytes = _mm512_mask2_permutex2var_epi8(even, bytes, __mmask64{0xFFFF} << (16 * k), odd);
    }
    if (original != nullptr) {
      _mm512_storeu_si512(original + 4 * j, _mm512_loadu_si512(out + 4 * j));
    }
    _mm512_storeu_si512(out + 4 * j, bytes);
  }
  return _mm512_extracti32x4_epi32(quad, 3);
}

// One output row of "blur", which keeps the row's original and changes the
// column sums of its whole-window blocks as it goes rather than in passes of
// their own.
template <typename Sum>
struct tPlainLine : tBlurRowWalk<Sum> {
  static constexpr int64_t kBlock = 16;
  static constexpr bool kVectorEnds = true;
  static constexpr bool kKeepsRow = true;
  static constexpr bool kChangesColumns = true;
  static constexpr int64_t kChangeLead = pixels::kChangeLead;

  tRowChange change;
  Sum *columns;

  FX_AVX512 void Single(int64_t j) {
    if (this->original != nullptr) {
      std::memcpy(this->original + 4 * j, this->out + 4 * j, 4);
    }
    tBlurRowWalk<Sum>::Single(j);
  }
  FX_AVX512 void LeftBlocks(int64_t end) {
    int64_t j = 0;
    const tLeftEnd<Sum> left = {this->col, this->x, this->factors.Edges()};
    this->sum = WriteBlocks(left, this->sum, j, end, this->out, this->original, this->next);
  }
  // Then the columns after those of the blocks take the change, before the
  // pixels after the blocks read them.
  FX_AVX512 void WholeBlocks(int64_t begin, int64_t end) {
    if (change.clear) {
      Whole<true, false, true>(begin, end);
    } else if (change.entering != nullptr && change.leaving != nullptr) {
      Whole<true, true, false>(begin, end);
    } else if (change.entering != nullptr) {
      Whole<true, false, false>(begin, end);
    } else if (change.leaving != nullptr) {
      Whole<false, true, false>(begin, end);
    } else {
      Whole<false, false, false>(begin, end);
    }
    ChangeColumns<tColumns<Sum>>(change, columns, std::min(end + this->x, this->w), this->w);
  }
  template <bool kEnter, bool kLeave, bool kClear>
  FX_AVX512 void Whole(int64_t begin, int64_t end) {
    const __m512i q = _mm512_set1_epi32(int32_t(this->factors.Middle()));
    const int64_t changing_end = end - kChangeLead;
    const tWholeWindows<Sum, kEnter, kLeave, kClear> whole = {
        columns, this->x, changing_end, q, change.entering, change.leaving};
    this->sum = WriteBlocks(whole, this->sum, begin, end, this->out, this->original, this->next);
  }
  FX_AVX512 void RightBlocks(int64_t begin, int64_t end) {
    const tRightEnd<Sum> right = {this->col, this->x, this->w, this->factors.Edges()};
    this->sum = WriteBlocks(right, this->sum, begin, end, this->out, this->original, this->next);
  }
};

}  // namespace

bool BoxFilterVector512(const tPixelRows &image, int32_t x, int32_t y) {
  if (2 * int64_t(y) + 1 <= kByteSumNarrowRows) {
    return RunVectorBoxFilter<tColumns<uint16_t>, tPlainLine<uint16_t>>(image, x, y);
  }
  return RunVectorBoxFilter<tColumns<uint32_t>, tPlainLine<uint32_t>>(image, x, y);
}

}  // namespace pixels

#endif  // FX_X86_KERNELS
