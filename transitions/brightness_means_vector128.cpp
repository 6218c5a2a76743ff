// Brightness means on 128-bit vectors (SSE2), four pixels a vector; chosen at
// run time, compiled to nothing off x86, instruction set given as a function
// attribute (32-bit x86 builds need not enable it globally). Brightness is computed once per line
// as it enters the ring; the line leaving the window is read back from the ring in the same pass.
// Along a line, four column-sum differences are prefix-summed in a vector, so the running sum's
// chain is one add per eight pixels. Divisions are exact double reciprocal multiplies: for s <= 255
// d with d <= 2^23, floor(s * fl(1/d) + 2^-30) = floor(s / d), since the product is within 2^-44 of
// s / d while a quotient that is not whole lies at least 1/d >= 2^-23 below the next one.
#include "transitions/brightness_means_kernels.h"

#ifdef FX_X86_KERNELS

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "frame/try_allocate.h"

#define FX_SSE2 __attribute__((target("sse2")))

namespace transitions {
namespace {

constexpr double kQuotientBias = 0x1p-30;

// Brightness of four pixels, one per word.
FX_SSE2 inline __m128i Brightness4(const orn_uint32 *pixels) {
  const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pixels));
  const __m128i blue_red = _mm_and_si128(p, _mm_set1_epi32(0x00FF00FF));
  const __m128i green = _mm_and_si128(_mm_srli_epi32(p, 8), _mm_set1_epi32(0xFF));
  const __m128i sum = _mm_add_epi32(_mm_madd_epi16(blue_red, _mm_set1_epi32(19 << 16 | 54)),
                                    _mm_madd_epi16(green, _mm_set1_epi32(183)));
  return _mm_srli_epi32(sum, 8);
}

// Four words, each at most 255, as four bytes.
FX_SSE2 inline int32_t PackBytes(__m128i words) {
  const __m128i halves = _mm_packs_epi32(words, words);
  return _mm_cvtsi128_si32(_mm_packus_epi16(halves, halves));
}

FX_SSE2 inline __m128i LoadBytes4(const uint8_t *p) {
  int32_t word;
  std::memcpy(&word, p, 4);
  const __m128i zero = _mm_setzero_si128();
  return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero);
}

FX_SSE2 inline __m128i Quotients2(__m128i sums, __m128d reciprocal) {
  return _mm_cvttpd_epi32(
      _mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(sums), reciprocal), _mm_set1_pd(kQuotientBias)));
}

template <bool kEnter, bool kLeave>
FX_SSE2 void UpdateColumns(uint32_t *col, const orn_uint32 *entering, uint8_t *slot, int64_t w) {
  int64_t k = 0;
  for (; k + 4 <= w; k += 4) {
    __m128i *sums = reinterpret_cast<__m128i *>(col + k);
    __m128i s = _mm_loadu_si128(sums);
    if (kLeave) {
      s = _mm_sub_epi32(s, LoadBytes4(slot + k));
    }
    if (kEnter) {
      const __m128i b = Brightness4(entering + k);
      const int32_t bytes = PackBytes(b);
      std::memcpy(slot + k, &bytes, 4);
      s = _mm_add_epi32(s, b);
    }
    _mm_storeu_si128(sums, s);
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

  FX_SSE2 void Line(const uint32_t *col, uint8_t *out) const {
    uint32_t sum = 0;
    for (int64_t k = 0; k < r_; ++k) {
      sum += col[k];
    }
    int64_t j = 0;
    for (; j <= r_ && j < w_; ++j) {
      sum = Step(sum, col, j);
      out[j] = Quotient(sum, ReciprocalAt(j));
    }
    const __m128d reciprocal = _mm_set1_pd(middle_reciprocal_);
    __m128i running = _mm_set1_epi32(int32_t(sum));
    for (; j + 4 <= w_ - r_; j += 4) {
      __m128i d =
          _mm_sub_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(col + j + r_)),
                        _mm_loadu_si128(reinterpret_cast<const __m128i *>(col + j - r_ - 1)));
      d = _mm_add_epi32(d, _mm_slli_si128(d, 4));
      d = _mm_add_epi32(d, _mm_slli_si128(d, 8));
      const __m128i s = _mm_add_epi32(running, d);
      running = _mm_add_epi32(running, _mm_shuffle_epi32(d, 0xFF));
      const __m128i q = _mm_unpacklo_epi64(Quotients2(s, reciprocal),
                                           Quotients2(_mm_srli_si128(s, 8), reciprocal));
      const int32_t bytes = PackBytes(q);
      std::memcpy(out + j, &bytes, 4);
    }
    sum = uint32_t(_mm_cvtsi128_si32(running));
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

FX_SSE2 void Walk(const orn_uint32 *const *rows, int64_t w, int64_t h, int64_t r, uint8_t *ring,
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

bool BrightnessMeansVector128(const orn_uint32 *const *rows, int32_t width, int32_t height,
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
