// Brightness means on 256-bit vectors (AVX2), eight pixels a vector; chosen at
// run time, compiled to nothing off x86, instruction set given as a function
// attribute. Brightness is computed once per line as it enters the ring; the
// line leaving the window is read back from the ring in the same pass. Along
// a line, eight column-sum differences are prefix-summed in a vector, so the
// running sum's chain is one add per eight pixels. Divisions are exact double
// reciprocal multiplies: for s <= 255 d with d <= 2^23, floor(s * fl(1/d) +
// 2^-30) = floor(s / d), since the product is within 2^-44 of s / d while a
// quotient that is not whole lies at least 1/d >= 2^-23 below the next one.
#include "transitions/brightness_means_kernels.h"

#ifdef FX_X86_KERNELS

#include <immintrin.h>

#include <algorithm>
#include <memory>

#include "frame/try_allocate.h"

#define FX_AVX2 __attribute__((target("avx2")))

namespace transitions {
namespace {

constexpr double kQuotientBias = 0x1p-30;

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

template <bool kEnter, bool kLeave>
FX_AVX2 void UpdateColumns(uint32_t *col, const orn_uint32 *entering, uint8_t *slot, int64_t w) {
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
  for (; k < w; ++k) {
    if (kLeave) {
      col[k] -= slot[k];
    }
    if (kEnter) {
      slot[k] = Brightness(entering[k]);
      col[k] += slot[k];
    }
  }
}

class tMeanLine {
 public:
  tMeanLine(int64_t w, int64_t r, double *edge_reciprocals)
      : w_(w), r_(r), edge_reciprocals_(edge_reciprocals) {}

  void Prepare(uint64_t v) {
    if (v == v_) {
      return;
    }
    v_ = v;
    for (int64_t c = r_ + 1; c <= 2 * r_; ++c) {
      edge_reciprocals_[c - r_ - 1] = 1.0 / double(uint64_t(c) * v);
    }
    middle_reciprocal_ = 1.0 / double(uint64_t(2 * r_ + 1) * v);
  }

  FX_AVX2 void Line(const uint32_t *col, uint8_t *out) const {
    uint32_t sum = 0;
    for (int64_t k = 0; k < r_; ++k) {
      sum += col[k];
    }
    int64_t j = 0;
    for (; j <= r_ && j < w_; ++j) {
      sum = Step(sum, col, j);
      out[j] = Quotient(sum, ReciprocalAt(j));
    }
    const __m256d reciprocal = _mm256_set1_pd(middle_reciprocal_);
    const __m256d bias = _mm256_set1_pd(kQuotientBias);
    __m256i running = _mm256_set1_epi32(int32_t(sum));
    for (; j + 8 <= w_ - r_; j += 8) {
      __m256i d =
          _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(col + j + r_)),
                           _mm256_loadu_si256(reinterpret_cast<const __m256i *>(col + j - r_ - 1)));
      d = _mm256_add_epi32(d, _mm256_slli_si256(d, 4));
      d = _mm256_add_epi32(d, _mm256_slli_si256(d, 8));
      const __m256i low_total = _mm256_shuffle_epi32(d, 0xFF);
      d = _mm256_add_epi32(d, _mm256_permute2x128_si256(low_total, low_total, 0x08));
      const __m256i s = _mm256_add_epi32(running, d);
      running = _mm256_add_epi32(running, _mm256_permutevar8x32_epi32(d, _mm256_set1_epi32(7)));
      const __m128i low = _mm256_cvttpd_epi32(_mm256_add_pd(
          _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(s)), reciprocal), bias));
      const __m128i high = _mm256_cvttpd_epi32(_mm256_add_pd(
          _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(s, 1)), reciprocal), bias));
      _mm_storel_epi64(reinterpret_cast<__m128i *>(out + j),
                       PackBytes(_mm256_set_m128i(high, low)));
    }
    sum = uint32_t(_mm256_cvtsi256_si32(running));
    for (; j < w_; ++j) {
      sum = Step(sum, col, j);
      out[j] = Quotient(sum, ReciprocalAt(j));
    }
  }

 private:
  uint32_t Step(uint32_t sum, const uint32_t *col, int64_t j) const {
    if (j + r_ < w_) {
      sum += col[j + r_];
    }
    if (j - r_ - 1 >= 0) {
      sum -= col[j - r_ - 1];
    }
    return sum;
  }
  static uint8_t Quotient(uint32_t sum, double reciprocal) {
    return static_cast<uint8_t>(double(sum) * reciprocal + kQuotientBias);
  }
  double ReciprocalAt(int64_t j) const {
    const int64_t columns = std::min(w_ - 1, j + r_) - std::max<int64_t>(0, j - r_) + 1;
    return columns == 2 * r_ + 1 ? middle_reciprocal_ : edge_reciprocals_[columns - r_ - 1];
  }

  int64_t w_, r_;
  double *edge_reciprocals_;
  uint64_t v_ = 0;
  double middle_reciprocal_ = 0;
};

FX_AVX2 void Walk(const orn_uint32 *const *rows, int64_t w, int64_t h, int64_t r, uint8_t *ring,
                  uint32_t *col, tMeanLine &line, uint8_t *out) {
  const int64_t slots = 2 * r + 1;
  for (int64_t k = 0; k < r; ++k) {
    UpdateColumns<true, false>(col, rows[k], ring + k * w, w);
  }
  for (int64_t i = 0; i < h; ++i) {
    // Line i+r enters into the slot of line i-r-1, which leaves.
    uint8_t *slot = ring + ((i + r) % slots) * w;
    const bool enter = i + r < h;
    const bool leave = i - r - 1 >= 0;
    if (enter && leave) {
      UpdateColumns<true, true>(col, rows[i + r], slot, w);
    } else if (enter) {
      UpdateColumns<true, false>(col, rows[i + r], slot, w);
    } else if (leave) {
      UpdateColumns<false, true>(col, nullptr, slot, w);
    }
    line.Prepare(uint64_t(std::min(h - 1, i + r) - std::max<int64_t>(0, i - r) + 1));
    line.Line(col, out + i * w);
  }
}

}  // namespace

bool BrightnessMeansVector256(const orn_uint32 *const *rows, int32_t width, int32_t height,
                              int32_t radius, uint8_t *out) {
  std::unique_ptr<uint8_t[]> ring =
      frame::TryAllocateRaw<uint8_t>((2 * uint64_t(radius) + 1) * uint64_t(width));
  std::unique_ptr<uint32_t[]> col = frame::TryAllocateZeroed<uint32_t>(uint64_t(width));
  std::unique_ptr<double[]> edge_reciprocals = frame::TryAllocateRaw<double>(uint64_t(radius) + 1);
  if (!ring || !col || !edge_reciprocals) {
    return false;
  }
  tMeanLine line(width, radius, edge_reciprocals.get());
  Walk(rows, width, height, radius, ring.get(), col.get(), line, out);
  return true;
}

}  // namespace transitions

#endif  // FX_X86_KERNELS
