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

#include <cstring>

#define FX_SSE2 __attribute__((target("sse2")))

namespace layerfx {
namespace {

FX_SSE2 inline __m128i LoadWords(const uint32_t *p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}

FX_SSE2 inline __m128i LoadPixel(const uint8_t *p) {
  int32_t word;
  std::memcpy(&word, p, 4);
  return _mm_cvtsi32_si128(word);
}

// Stores four words, each at most 255, as the pixel's four bytes.
FX_SSE2 inline void StorePixel(uint8_t *p, __m128i words) {
  const __m128i halves = _mm_packs_epi32(words, words);
  const int32_t word = _mm_cvtsi128_si32(_mm_packus_epi16(halves, halves));
  std::memcpy(p, &word, 4);
}

FX_SSE2 inline __m128i StepSum(__m128i sum, const uint32_t *col, int64_t j, int64_t x, int64_t w) {
  if (j + x < w) {
    sum = _mm_add_epi32(sum, LoadWords(col + 4 * (j + x)));
  }
  if (j - x - 1 >= 0) {
    sum = _mm_sub_epi32(sum, LoadWords(col + 4 * (j - x - 1)));
  }
  return sum;
}

FX_SSE2 inline __m128i FirstSum(const uint32_t *col, int64_t x) {
  __m128i sum = _mm_setzero_si128();
  for (int64_t k = 0; k < x; ++k) {
    sum = _mm_add_epi32(sum, LoadWords(col + 4 * k));
  }
  return sum;
}

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

// floor(s * q / 2^32) per word: the high halves of the 64-bit products.
FX_SSE2 inline __m128i ScaleDown(__m128i s, __m128i q) {
  const __m128i even = _mm_srli_epi64(_mm_mul_epu32(s, q), 32);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(s, 32), q);
  return _mm_or_si128(even, _mm_and_si128(odd, _mm_set1_epi64x(int64_t(0xFFFFFFFF00000000))));
}

class tPlainMeanRow {
 public:
  using Terms = tPlainTerms;

  tPlainMeanRow(int64_t w, int64_t x, uint32_t *edge_scales)
      : w_(w), x_(x), edge_scales_(edge_scales) {}

  void Prepare(uint64_t v) {
    if (v == v_) {
      return;
    }
    v_ = v;
    for (int64_t c = x_ + 1; c <= 2 * x_; ++c) {
      edge_scales_[c - x_ - 1] = static_cast<uint32_t>(BlurScale(uint64_t(c) * v));
    }
    middle_scale_ = static_cast<uint32_t>(BlurScale(uint64_t(2 * x_ + 1) * v));
  }

  FX_SSE2 void Row(const uint32_t *col, uint8_t *out) const {
    __m128i sum = FirstSum(col, x_);
    int64_t j = 0;
    for (; j <= x_ && j < w_; ++j) {
      sum = StepSum(sum, col, j, x_, w_);
      StorePixel(out + 4 * j, ScaleDown(sum, _mm_set1_epi32(int32_t(ScaleAt(j)))));
    }
    const __m128i q = _mm_set1_epi32(int32_t(middle_scale_));
    for (; j + 4 <= w_ - x_; j += 4) {
      __m128i s[4];
      sum = FourSums(sum, col + 4 * (j + x_), col + 4 * (j - x_ - 1), s);
      const __m128i low = _mm_packs_epi32(ScaleDown(s[0], q), ScaleDown(s[1], q));
      const __m128i high = _mm_packs_epi32(ScaleDown(s[2], q), ScaleDown(s[3], q));
      _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 4 * j), _mm_packus_epi16(low, high));
    }
    for (; j < w_; ++j) {
      sum = StepSum(sum, col, j, x_, w_);
      StorePixel(out + 4 * j, ScaleDown(sum, _mm_set1_epi32(int32_t(ScaleAt(j)))));
    }
  }

 private:
  uint32_t ScaleAt(int64_t j) const {
    const int64_t columns = std::min(w_ - 1, j + x_) - std::max<int64_t>(0, j - x_) + 1;
    return columns == 2 * x_ + 1 ? middle_scale_ : edge_scales_[columns - x_ - 1];
  }

  int64_t w_, x_;
  uint32_t *edge_scales_;
  uint64_t v_ = 0;
  uint32_t middle_scale_ = 0;
};

// ---- "blur_alpha". Sums run on vectors; the quotients are scalar, in double
// precision as floor(c * fl(1/d) + 2^-30), exact for c <= 255 d and d < 2^24.1
// (the 32-bit window limit): the product is within 2^-43 of c / d, while a
// quotient that is not whole lies at least 1/d > 2^-24.1 below the next one.

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

inline uint8_t ExactQuotient(uint32_t numerator, double reciprocal) {
  return static_cast<uint8_t>(double(numerator) * reciprocal + 0x1p-30);
}

class tWeightedMeanRow {
 public:
  using Terms = tWeightedTerms;

  tWeightedMeanRow(int64_t w, int64_t x, double *edge_reciprocals)
      : w_(w), x_(x), edge_reciprocals_(edge_reciprocals) {}

  void Prepare(uint64_t v) {
    if (v == v_) {
      return;
    }
    v_ = v;
    for (int64_t c = x_ + 1; c <= 2 * x_; ++c) {
      edge_reciprocals_[c - x_ - 1] = 1.0 / double(uint64_t(c) * v);
    }
    middle_reciprocal_ = 1.0 / double(uint64_t(2 * x_ + 1) * v);
  }

  FX_SSE2 void Row(const uint32_t *col, uint8_t *out) const {
    __m128i sum = FirstSum(col, x_);
    int64_t j = 0;
    for (; j <= x_ && j < w_; ++j) {
      sum = StepSum(sum, col, j, x_, w_);
      WritePixel(sum, ReciprocalAt(j), out + 4 * j);
    }
    for (; j + 4 <= w_ - x_; j += 4) {
      __m128i s[4];
      sum = FourSums(sum, col + 4 * (j + x_), col + 4 * (j - x_ - 1), s);
      for (int k = 0; k < 4; ++k) {
        WritePixel(s[k], middle_reciprocal_, out + 4 * (j + k));
      }
    }
    for (; j < w_; ++j) {
      sum = StepSum(sum, col, j, x_, w_);
      WritePixel(sum, ReciprocalAt(j), out + 4 * j);
    }
  }

 private:
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

  double ReciprocalAt(int64_t j) const {
    const int64_t columns = std::min(w_ - 1, j + x_) - std::max<int64_t>(0, j - x_) + 1;
    return columns == 2 * x_ + 1 ? middle_reciprocal_ : edge_reciprocals_[columns - x_ - 1];
  }

  int64_t w_, x_;
  double *edge_reciprocals_;
  uint64_t v_ = 0;
  double middle_reciprocal_ = 0;
};

// ---- The walk down the image, shared by both filters.

template <typename Terms, bool kEnter, bool kLeave>
FX_SSE2 void UpdateColumns(uint32_t *col, const uint8_t *entering, uint8_t *slot, int64_t w) {
  int64_t k = 0;
  for (; k + 4 <= w; k += 4) {
    __m128i *sums = reinterpret_cast<__m128i *>(col + 4 * k);
    __m128i *copy = reinterpret_cast<__m128i *>(slot + 4 * k);
    __m128i s[4];
    for (int p = 0; p < 4; ++p) {
      s[p] = _mm_loadu_si128(sums + p);
    }
    if (kLeave) {
      __m128i terms[4];
      Terms::Four(_mm_loadu_si128(copy), terms);
      for (int p = 0; p < 4; ++p) {
        s[p] = _mm_sub_epi32(s[p], terms[p]);
      }
    }
    if (kEnter) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(entering + 4 * k));
      _mm_storeu_si128(copy, bytes);
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
      Terms::Four(LoadPixel(slot + 4 * k), terms);
      sum = _mm_sub_epi32(sum, terms[0]);
    }
    if (kEnter) {
      std::memcpy(slot + 4 * k, entering + 4 * k, 4);
      Terms::Four(LoadPixel(slot + 4 * k), terms);
      sum = _mm_add_epi32(sum, terms[0]);
    }
    _mm_storeu_si128(sums, sum);
  }
}

template <typename RowKernel>
FX_SSE2 void Walk(const tPixelRows &image, int64_t y, uint8_t *ring, uint32_t *col,
                  RowKernel &kernel) {
  using Terms = typename RowKernel::Terms;
  const int64_t w = image.width;
  const int64_t h = image.height;
  const int64_t slots = 2 * y + 1;
  for (int64_t r = 0; r < y; ++r) {
    UpdateColumns<Terms, true, false>(col, RowAt(image, r), ring + r * w * 4, w);
  }
  for (int64_t i = 0; i < h; ++i) {
    // Row i+y enters into the slot of row i-y-1, which leaves.
    uint8_t *slot = ring + ((i + y) % slots) * w * 4;
    const bool enter = i + y < h;
    const bool leave = i - y - 1 >= 0;
    if (enter && leave) {
      UpdateColumns<Terms, true, true>(col, RowAt(image, i + y), slot, w);
    } else if (enter) {
      UpdateColumns<Terms, true, false>(col, RowAt(image, i + y), slot, w);
    } else if (leave) {
      UpdateColumns<Terms, false, true>(col, nullptr, slot, w);
    }
    kernel.Prepare(VerticalCount(i, y, h));
    kernel.Row(col, RowAt(image, i));
  }
}

}  // namespace

bool BoxBlurVector128(const tPixelRows &image, int32_t x, int32_t y) {
  std::unique_ptr<uint8_t[]> ring = TryAllocateRing(image, y);
  std::unique_ptr<uint32_t[]> col = frame::TryAllocateZeroed<uint32_t>(4 * uint64_t(image.width));
  std::unique_ptr<uint32_t[]> edge_scales = frame::TryAllocateRaw<uint32_t>(uint64_t(x) + 1);
  if (!ring || !col || !edge_scales) {
    return false;
  }
  tPlainMeanRow kernel(image.width, x, edge_scales.get());
  Walk(image, y, ring.get(), col.get(), kernel);
  return true;
}

bool BoxBlurAlphaVector128(const tPixelRows &image, int32_t x, int32_t y) {
  std::unique_ptr<uint8_t[]> ring = TryAllocateRing(image, y);
  std::unique_ptr<uint32_t[]> col = frame::TryAllocateZeroed<uint32_t>(4 * uint64_t(image.width));
  std::unique_ptr<double[]> edge_reciprocals = frame::TryAllocateRaw<double>(uint64_t(x) + 1);
  if (!ring || !col || !edge_reciprocals) {
    return false;
  }
  tWeightedMeanRow kernel(image.width, x, edge_reciprocals.get());
  Walk(image, y, ring.get(), col.get(), kernel);
  return true;
}

}  // namespace layerfx

#endif  // FX_X86_KERNELS
