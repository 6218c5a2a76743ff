// Box filter kernels on 256-bit vectors (AVX2), chosen at run time; the file
// compiles to nothing off x86 and carries its instruction set as a function
// attribute, so no other code in the module needs the processor feature.
//
// Layout: one column-sum row of W four-word entries, a pixel's four channels
// side by side, so one 128-bit lane serves a whole pixel and a 256-bit vector
// two. The entering and leaving source rows are applied in one pass. Along a
// row, the window sum s(j) = s(j-1) + col(j+x) - col(j-x-1); inside a block of
// eight pixels the differences are prefix-summed off the dependency chain, so
// the chain from block to block is one add. Edge multipliers are tabled per
// vertical count, so no division runs per pixel.
#include "layerfx/box_blur_kernels.h"

#ifdef FX_X86_KERNELS

#include <immintrin.h>

#include <cstring>

#define FX_AVX2 __attribute__((target("avx2")))

namespace layerfx {
namespace {

FX_AVX2 inline __m128i LoadPixel(const uint8_t *p) {
  int32_t word;
  std::memcpy(&word, p, 4);
  return _mm_cvtsi32_si128(word);
}

// Stores four words, each at most 255, as the pixel's four bytes.
FX_AVX2 inline void StorePixel(uint8_t *p, __m128i words) {
  const __m128i bytes = _mm_packus_epi16(_mm_packus_epi32(words, words), words);
  const int32_t word = _mm_cvtsi128_si32(bytes);
  std::memcpy(p, &word, 4);
}

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

// Window sum of pixel j, stepped on from that of pixel j - 1 at the row's ends.
FX_AVX2 inline __m128i StepSum(__m128i sum, const uint32_t *col, int64_t j, int64_t x, int64_t w) {
  if (j + x < w) {
    sum = _mm_add_epi32(sum, _mm_loadu_si128(reinterpret_cast<const __m128i *>(col + 4 * (j + x))));
  }
  if (j - x - 1 >= 0) {
    sum = _mm_sub_epi32(sum,
                        _mm_loadu_si128(reinterpret_cast<const __m128i *>(col + 4 * (j - x - 1))));
  }
  return sum;
}

FX_AVX2 inline __m128i FirstSum(const uint32_t *col, int64_t x) {
  __m128i sum = _mm_setzero_si128();
  for (int64_t k = 0; k < x; ++k) {
    sum = _mm_add_epi32(sum, _mm_loadu_si128(reinterpret_cast<const __m128i *>(col + 4 * k)));
  }
  return sum;
}

// ---- "blur": every channel summed as it is, scaled by q = floor(2^32 / n).

struct tPlainTerms {
  // Four pixels' bytes as words, two pixels a vector.
  FX_AVX2 static void Four(__m128i bytes, __m256i out[2]) {
    out[0] = _mm256_cvtepu8_epi32(bytes);
    out[1] = _mm256_cvtepu8_epi32(_mm_srli_si128(bytes, 8));
  }
  FX_AVX2 static __m128i One(__m128i bytes) { return _mm_cvtepu8_epi32(bytes); }
};

// floor(s * q / 2^32) per word: the high halves of the 64-bit products.
FX_AVX2 inline __m128i ScaleDown(__m128i s, __m128i q) {
  const __m128i even = _mm_srli_epi64(_mm_mul_epu32(s, q), 32);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(s, 32), q);
  return _mm_blend_epi32(even, odd, 0xA);
}
FX_AVX2 inline __m256i ScaleDown(__m256i s, __m256i q) {
  const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(s, q), 32);
  const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(s, 32), q);
  return _mm256_blend_epi32(even, odd, 0xAA);
}

class tPlainMeanRow {
 public:
  using Terms = tPlainTerms;

  tPlainMeanRow(int64_t w, int64_t x, uint32_t *edge_scales)
      : w_(w), x_(x), edge_scales_(edge_scales) {}

  // Scales of the row's window sizes (c columns times v rows); tabled once per v.
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

  FX_AVX2 void Row(const uint32_t *col, uint8_t *out) const {
    __m128i sum = FirstSum(col, x_);
    int64_t j = 0;
    for (; j <= x_ && j < w_; ++j) {
      sum = StepSum(sum, col, j, x_, w_);
      StorePixel(out + 4 * j, ScaleDown(sum, _mm_set1_epi32(int32_t(ScaleAt(j)))));
    }
    const __m256i q = _mm256_set1_epi32(int32_t(middle_scale_));
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    __m256i running = _mm256_broadcastsi128_si256(sum);
    for (; j + 8 <= w_ - x_; j += 8) {
      __m256i p[4];
      PrefixSums(col + 4 * (j + x_), col + 4 * (j - x_ - 1), p);
      __m256i r[4];
      for (int k = 0; k < 4; ++k) {
        r[k] = ScaleDown(_mm256_add_epi32(running, p[k]), q);
      }
      running = _mm256_add_epi32(running, HighToBoth(p[3]));
      // Packing works per 128-bit lane: the bytes come out as pixels 0 2 4 6 1 3 5 7.
      const __m256i bytes =
          _mm256_packus_epi16(_mm256_packus_epi32(r[0], r[1]), _mm256_packus_epi32(r[2], r[3]));
      _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + 4 * j),
                          _mm256_permutevar8x32_epi32(bytes, order));
    }
    sum = _mm256_castsi256_si128(running);
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

// ---- "blur_alpha": colour weighted by alpha, divided exactly.
//
// Quotients are taken in double precision as floor(c * fl(1/d) + 2^-30). For
// c <= 255 d and d < 2^24.1 (true within the 32-bit window limit: alpha sums
// <= 255 * 66,051, counts <= 66,051) the computed product is within 2^-43 of
// c / d, while a quotient that is not a whole number lies at least 1/d > 2^-24.1
// below the next one; the bias lifts exact quotients clear of their rounding
// error without reaching the next whole number, so the result is exact.

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
  const __m256d bias = _mm256_set1_pd(0x1p-30);
  return _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(numerators, reciprocals), bias));
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

  FX_AVX2 void Row(const uint32_t *col, uint8_t *out) const {
    __m128i sum = FirstSum(col, x_);
    int64_t j = 0;
    for (; j <= x_ && j < w_; ++j) {
      sum = StepSum(sum, col, j, x_, w_);
      WritePixel(sum, ReciprocalAt(j), out + 4 * j);
    }
    const __m256d count_reciprocal = _mm256_set1_pd(middle_reciprocal_);
    __m256i running = _mm256_broadcastsi128_si256(sum);
    for (; j + 8 <= w_ - x_; j += 8) {
      __m256i p[4];
      PrefixSums(col + 4 * (j + x_), col + 4 * (j - x_ - 1), p);
      __m256d sums[8];
      for (int k = 0; k < 4; ++k) {
        const __m256i s = _mm256_add_epi32(running, p[k]);
        sums[2 * k] = ToDoubles(_mm256_castsi256_si128(s));
        sums[2 * k + 1] = ToDoubles(_mm256_extracti128_si256(s, 1));
      }
      running = _mm256_add_epi32(running, HighToBoth(p[3]));
      const __m128i low = FourPixels(sums, count_reciprocal);
      const __m128i high = FourPixels(sums + 4, count_reciprocal);
      const __m256i keep = _mm256_set_m128i(ZeroAlphaMask(sums + 4), ZeroAlphaMask(sums));
      __m256i *target = reinterpret_cast<__m256i *>(out + 4 * j);
      _mm256_storeu_si256(target, _mm256_blendv_epi8(_mm256_set_m128i(high, low),
                                                     _mm256_loadu_si256(target), keep));
    }
    sum = _mm256_castsi256_si128(running);
    for (; j < w_; ++j) {
      sum = StepSum(sum, col, j, x_, w_);
      WritePixel(sum, ReciprocalAt(j), out + 4 * j);
    }
  }

 private:
  // Alpha sums of four pixels (lane 3 of each).
  FX_AVX2 static __m256d AlphaSums(const __m256d sums[4]) {
    return _mm256_permute2f128_pd(_mm256_unpackhi_pd(sums[0], sums[1]),
                                  _mm256_unpackhi_pd(sums[2], sums[3]), 0x31);
  }

  // All-ones words for the pixels whose alpha sum is 0: they stay as they were
  // (their own alpha is 0, and their colour is kept).
  FX_AVX2 static __m128i ZeroAlphaMask(const __m256d sums[4]) {
    const __m256d zero = _mm256_cmp_pd(AlphaSums(sums), _mm256_setzero_pd(), _CMP_EQ_OQ);
    const __m256i words = _mm256_permutevar8x32_epi32(_mm256_castpd_si256(zero),
                                                      _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6));
    return _mm256_castsi256_si128(words);
  }

  // Four pixels' bytes: colour / alpha sum, alpha sum / n (pixels with alpha
  // sum 0 divide by 1 and are masked off by the caller).
  FX_AVX2 static __m128i FourPixels(const __m256d sums[4], __m256d count_reciprocal) {
    const __m256d ones = _mm256_set1_pd(1.0);
    const __m256d r = _mm256_div_pd(ones, _mm256_max_pd(AlphaSums(sums), ones));
    const __m128i q0 =
        Quotients(sums[0], _mm256_blend_pd(_mm256_permute4x64_pd(r, 0x00), count_reciprocal, 0x8));
    const __m128i q1 =
        Quotients(sums[1], _mm256_blend_pd(_mm256_permute4x64_pd(r, 0x55), count_reciprocal, 0x8));
    const __m128i q2 =
        Quotients(sums[2], _mm256_blend_pd(_mm256_permute4x64_pd(r, 0xAA), count_reciprocal, 0x8));
    const __m128i q3 =
        Quotients(sums[3], _mm256_blend_pd(_mm256_permute4x64_pd(r, 0xFF), count_reciprocal, 0x8));
    return _mm_packus_epi16(_mm_packs_epi32(q0, q1), _mm_packs_epi32(q2, q3));
  }

  FX_AVX2 static void WritePixel(__m128i sum, double count_reciprocal, uint8_t *pixel) {
    const uint32_t alpha_sum = uint32_t(_mm_extract_epi32(sum, 3));
    if (alpha_sum == 0) {
      return;
    }
    const double r = 1.0 / double(alpha_sum);
    StorePixel(pixel, Quotients(ToDoubles(sum), _mm256_setr_pd(r, r, r, count_reciprocal)));
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

// Adds the entering row (copied into `slot`) and removes the leaving one (the
// copy `slot` held) in one pass over the column sums.
template <typename Terms, bool kEnter, bool kLeave>
FX_AVX2 void UpdateColumns(uint32_t *col, const uint8_t *entering, uint8_t *slot, int64_t w) {
  int64_t k = 0;
  for (; k + 4 <= w; k += 4) {
    __m256i *sums = reinterpret_cast<__m256i *>(col + 4 * k);
    __m256i a = _mm256_loadu_si256(sums);
    __m256i b = _mm256_loadu_si256(sums + 1);
    __m128i *copy = reinterpret_cast<__m128i *>(slot + 4 * k);
    if (kLeave) {
      __m256i terms[2];
      Terms::Four(_mm_loadu_si128(copy), terms);
      a = _mm256_sub_epi32(a, terms[0]);
      b = _mm256_sub_epi32(b, terms[1]);
    }
    if (kEnter) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(entering + 4 * k));
      _mm_storeu_si128(copy, bytes);
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
      sum = _mm_sub_epi32(sum, Terms::One(LoadPixel(slot + 4 * k)));
    }
    if (kEnter) {
      std::memcpy(slot + 4 * k, entering + 4 * k, 4);
      sum = _mm_add_epi32(sum, Terms::One(LoadPixel(slot + 4 * k)));
    }
    _mm_storeu_si128(sums, sum);
  }
}

template <typename RowKernel>
FX_AVX2 void Walk(const tPixelRows &image, int64_t y, uint8_t *ring, uint32_t *col,
                  RowKernel &kernel) {
  using Terms = typename RowKernel::Terms;
  const int64_t w = image.width;
  const int64_t h = image.height;
  const int64_t slots = 2 * y + 1;
  auto slot = [&](int64_t r) { return ring + (r % slots) * w * 4; };
  for (int64_t r = 0; r < y; ++r) {
    UpdateColumns<Terms, true, false>(col, RowAt(image, r), slot(r), w);
  }
  for (int64_t i = 0; i < h; ++i) {
    // Row i+y enters into the slot of row i-y-1, which leaves.
    const bool enter = i + y < h;
    const bool leave = i - y - 1 >= 0;
    if (enter && leave) {
      UpdateColumns<Terms, true, true>(col, RowAt(image, i + y), slot(i + y), w);
    } else if (enter) {
      UpdateColumns<Terms, true, false>(col, RowAt(image, i + y), slot(i + y), w);
    } else if (leave) {
      UpdateColumns<Terms, false, true>(col, nullptr, slot(i - y - 1), w);
    }
    kernel.Prepare(VerticalCount(i, y, h));
    kernel.Row(col, RowAt(image, i));
  }
}

}  // namespace

bool BoxBlurVector256(const tPixelRows &image, int32_t x, int32_t y) {
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

bool BoxBlurAlphaVector256(const tPixelRows &image, int32_t x, int32_t y) {
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
