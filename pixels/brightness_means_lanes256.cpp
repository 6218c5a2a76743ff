// Brightness means on 256-bit vectors (AVX2) with each of the eight 32-bit
// lanes walking its own eighth of the line: lane k writes pixels k*S to
// k*S + S - 1. The column sums are laid out lane by lane once per line (an 8x8
// transpose), so a step along the line is one add and one subtract of whole
// vectors, with no prefix sums across lanes. The window runs into the
// neighbouring segments, and past the line's ends into zero columns; each
// pixel's quotient takes its own tabled single-precision reciprocal
// (pixels/exact_quotient.h), so cut windows need no code of their own.
// Chosen by the 256-bit entry where LanesFit; compiled to nothing off x86.
#include "pixels/brightness_means_kernels.h"

#ifdef FX_X86_KERNELS

#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <memory>

#define FX_TARGET FX_AVX2

#include "pixels/brightness_columns256.h"

namespace pixels {
namespace {

constexpr int64_t kLanes = 8;

// Segment length: a multiple of eight, so that steps go in blocks of eight.
int64_t SegmentLength(int64_t w) {
  return (w + 8 * kLanes - 1) / (8 * kLanes) * 8;
}

FX_AVX2 inline __m256i Load8(const uint32_t *p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
}

// Two runs of four words as one vector: p[0..3] low, q[0..3] high.
FX_AVX2 inline __m256i LoadHalves(const uint32_t *p, const uint32_t *q) {
  return _mm256_loadu2_m128i(reinterpret_cast<const __m128i *>(q),
                             reinterpret_cast<const __m128i *>(p));
}

// Four vectors, each holding four words of the low and four of the high half,
// transposed within each half: vector u gets word u of each.
FX_AVX2 inline void Transpose4(__m256i v[4]) {
  const __m256i a = _mm256_unpacklo_epi32(v[0], v[1]);
  const __m256i b = _mm256_unpackhi_epi32(v[0], v[1]);
  const __m256i c = _mm256_unpacklo_epi32(v[2], v[3]);
  const __m256i d = _mm256_unpackhi_epi32(v[2], v[3]);
  v[0] = _mm256_unpacklo_epi64(a, c);
  v[1] = _mm256_unpackhi_epi64(a, c);
  v[2] = _mm256_unpacklo_epi64(b, d);
  v[3] = _mm256_unpackhi_epi64(b, d);
}

// The bytes of a block of eight steps: eight bytes of each lane, lanes 0, 1 |
// 4, 5 in one vector and 2, 3 | 6, 7 in the other.
struct tBlockBytes {
  __m256i lanes0145, lanes2367;
};

// Eight vectors of quotients, vector u holding each lane's step u, as bytes.
FX_AVX2 inline tBlockBytes PackBlock(const __m256i q[8]) {
  // Bytes 4u + k of each half: u = 0..3 in `low`, 4..7 in `high`; k = 0..3 in
  // the low halves, 4..7 in the high ones.
  const __m256i low =
      _mm256_packus_epi16(_mm256_packus_epi32(q[0], q[1]), _mm256_packus_epi32(q[2], q[3]));
  const __m256i high =
      _mm256_packus_epi16(_mm256_packus_epi32(q[4], q[5]), _mm256_packus_epi32(q[6], q[7]));
  const __m256i by_lane = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 0,
                                           4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
  const __m256i a = _mm256_shuffle_epi8(low, by_lane);
  const __m256i b = _mm256_shuffle_epi8(high, by_lane);
  return {_mm256_unpacklo_epi32(a, b), _mm256_unpackhi_epi32(a, b)};
}

// Writes lane k's eight bytes at line + k*s + j, for each lane k.
FX_AVX2 inline void StoreBlock(const tBlockBytes &bytes, uint8_t *line, int64_t s, int64_t j) {
  const __m128i pairs[4] = {
      _mm256_castsi256_si128(bytes.lanes0145), _mm256_castsi256_si128(bytes.lanes2367),
      _mm256_extracti128_si256(bytes.lanes0145, 1), _mm256_extracti128_si256(bytes.lanes2367, 1)};
  for (int64_t h = 0; h < 4; ++h) {
    const __m128i pair = pairs[h];
    _mm_storel_epi64(reinterpret_cast<__m128i *>(line + (2 * h) * s + j), pair);
    // The high half moved down and stored as the low one: the line has no
    // alignment, which a store through a double pointer would claim.
    _mm_storel_epi64(reinterpret_cast<__m128i *>(line + (2 * h + 1) * s + j),
                     _mm_unpackhi_epi64(pair, pair));
  }
}

// The work storage and steps of SlideWindowDown (pixels/sliding_window.h).
// `col` holds the column sums, zero from column w to 8S - 1; `lanes` the same
// laid out lane by lane, lanes[8 t + k] = col[k S + t], for -r - 1 <= t < S + r:
// the columns before and after each segment are its neighbours' (zero past
// the line's ends).
class tLaneMeans {
 public:
  tLaneMeans(const uint32_t *const *rows, int64_t w, int64_t h, int64_t r, uint8_t *ring,
             uint32_t *col, uint32_t *lanes, float *factors, float *edges, uint8_t *line,
             uint8_t *out, tLevelRange &range)
      : rows_(rows),
        w_(w),
        h_(h),
        r_(r),
        s_(SegmentLength(w)),
        ring_(ring),
        col_(col),
        lanes_(lanes),
        factors_(factors),
        edges_(edges),
        line_(line),
        out_(out),
        range_(range) {}

  template <bool kEnter, bool kLeave>
  FX_AVX2 void Update(int64_t line) {
    const int64_t slot = line % (2 * r_ + 1);
    const uint8_t *next =
        line + 1 < h_ ? reinterpret_cast<const uint8_t *>(rows_[line + 1]) : nullptr;
    UpdateColumns<tColumns256, kEnter, kLeave>(w_, next, col_, kEnter ? rows_[line] : nullptr,
                                               ring_ + slot * w_);
  }

  FX_AVX2 void Output(int64_t i, uint64_t v) {
    PrepareFactors(v);
    LayOutLanes();
    WalkLanes(out_ + i * w_);
  }

 private:
  // factors_[8 t + k]: the reciprocal of the cell count of pixel k S + t's
  // window, whose lines number v; 0 past the line's end.
  FX_AVX2 void PrepareFactors(uint64_t v) {
    if (v == v_) {
      return;
    }
    v_ = v;
    const __m256 middle = _mm256_set1_ps(FloatReciprocalFor(uint64_t(2 * r_ + 1) * v));
    for (int64_t t = 0; t < s_; ++t) {
      _mm256_storeu_ps(factors_ + kLanes * t, middle);
    }
    // The cut windows, within r of either end (r + 1 to 2r columns), and the
    // columns past the end.
    for (int64_t c = r_ + 1; c <= 2 * r_; ++c) {
      edges_[c - r_ - 1] = FloatReciprocalFor(uint64_t(c) * v);
    }
    // Columns 0 to r - 1 lie in lane 0 (r < S).
    for (int64_t c = 0; c < r_; ++c) {
      factors_[kLanes * c] = edges_[c];
    }
    // From column w - r on, lane by lane with no division per column.
    const int64_t first = std::max(r_, w_ - r_);
    int64_t lane = first / s_, t = first % s_;
    for (int64_t c = first; c < kLanes * s_; ++c) {
      factors_[kLanes * t + lane] = c < w_ ? edges_[w_ - c - 1] : 0.0f;
      if (++t == s_) {
        t = 0;
        ++lane;
      }
    }
  }

  FX_AVX2 void LayOutLanes() {
    const uint32_t *const col = col_;
    uint32_t *const lanes = lanes_;
    const int64_t s = s_;
    for (int64_t t = 0; t < s; t += 8) {
      for (int64_t half = 0; half < 8; half += 4) {
        __m256i v[4];
        for (int64_t k = 0; k < 4; ++k) {
          v[k] = LoadHalves(col + k * s + t + half, col + (k + 4) * s + t + half);
        }
        Transpose4(v);
        for (int64_t u = 0; u < 4; ++u) {
          _mm256_storeu_si256(reinterpret_cast<__m256i *>(lanes + kLanes * (t + half + u)), v[u]);
        }
      }
    }
    // Column t < 0 of lane k is column S + t of lane k - 1; column t >= S is
    // column t - S of lane k + 1 (r < S).
    const __m256i zero = _mm256_setzero_si256();
    const __m256i from_previous = _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6);
    const __m256i from_next = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 7);
    for (int64_t t = -r_ - 1; t < 0; ++t) {
      const __m256i v = _mm256_permutevar8x32_epi32(Load8(lanes + kLanes * (s + t)), from_previous);
      _mm256_storeu_si256(reinterpret_cast<__m256i *>(lanes + kLanes * t),
                          _mm256_blend_epi32(v, zero, 0x01));
    }
    for (int64_t t = s; t < s + r_; ++t) {
      const __m256i v = _mm256_permutevar8x32_epi32(Load8(lanes + kLanes * (t - s)), from_next);
      _mm256_storeu_si256(reinterpret_cast<__m256i *>(lanes + kLanes * t),
                          _mm256_blend_epi32(v, zero, 0x80));
    }
  }

  // Writes the line's means: the blocks that lie inside the line for every
  // lane straight into `out`, the others through `line_`, whose bytes past the
  // line's end are dropped.
  FX_AVX2 void WalkLanes(uint8_t *out) {
    const uint32_t *lanes = lanes_;
    const int64_t r = r_;
    const int64_t direct_end = std::clamp<int64_t>((w_ - 7 * s_) / 8 * 8, 0, s_);
    __m256i low = _mm256_set1_epi8(-1);
    __m256i high = _mm256_setzero_si256();
    // The window sum before each lane's first pixel: columns -r-1 to r-1,
    // summed on four chains.
    __m256i sums[4] = {};
    for (int64_t t = -r - 1; t < r; ++t) {
      sums[t & 3] = _mm256_add_epi32(sums[t & 3], Load8(lanes + kLanes * t));
    }
    __m256i sum =
        _mm256_add_epi32(_mm256_add_epi32(sums[0], sums[1]), _mm256_add_epi32(sums[2], sums[3]));
    for (int64_t j = 0; j < s_; j += 8) {
      __m256i q[8];
      for (int64_t u = 0; u < 8; ++u) {
        sum = _mm256_add_epi32(sum, _mm256_sub_epi32(Load8(lanes + kLanes * (j + u + r)),
                                                     Load8(lanes + kLanes * (j + u - r - 1))));
        const __m256 factor = _mm256_loadu_ps(factors_ + kLanes * (j + u));
        q[u] = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(sum), factor));
      }
      const tBlockBytes bytes = PackBlock(q);
      if (j < direct_end) {
        low = _mm256_min_epu8(low, _mm256_min_epu8(bytes.lanes0145, bytes.lanes2367));
        high = _mm256_max_epu8(high, _mm256_max_epu8(bytes.lanes0145, bytes.lanes2367));
        StoreBlock(bytes, out, s_, j);
      } else {
        StoreBlock(bytes, line_, s_, j);
      }
    }
    alignas(32) uint8_t lows[32], highs[32];
    _mm256_store_si256(reinterpret_cast<__m256i *>(lows), low);
    _mm256_store_si256(reinterpret_cast<__m256i *>(highs), high);
    range_.low = std::min(range_.low, *std::min_element(lows, lows + 32));
    range_.high = std::max(range_.high, *std::max_element(highs, highs + 32));
    for (int64_t k = 0; k < kLanes; ++k) {
      const int64_t begin = k * s_ + direct_end;
      const int64_t end = std::min(k * s_ + s_, w_);
      if (begin < end) {
        std::memcpy(out + begin, line_ + begin, size_t(end - begin));
        WidenRange(out + begin, size_t(end - begin), range_);
      }
    }
  }

  const uint32_t *const *rows_;
  int64_t w_, h_, r_, s_;
  uint8_t *ring_;
  uint32_t *col_;
  uint32_t *lanes_;
  float *factors_;
  float *edges_;  // r reciprocals of the cut windows, r + 1 to 2r columns
  uint8_t *line_;
  uint8_t *out_;
  tLevelRange &range_;
  uint64_t v_ = 0;
};

}  // namespace

// The single-precision quotients are exact, each segment's windows reach no
// further than its neighbours (r < S), and the radius is small enough for the
// lanes to pay: each line lays out 2r + 1 border columns and sums the first
// windows anew, so at 1080p radius 64 took 1.2 times the prefix-sum walk's
// time where radius 16 took 0.73 of it (they cross near radius 40).
constexpr int32_t kLanesMostRadius = 32;

bool LanesFit(int32_t width, int32_t radius) {
  const uint64_t side = 2 * uint64_t(radius) + 1;
  return radius >= 1 && radius <= kLanesMostRadius && side * side <= kFloatQuotientMaxCells &&
         radius < SegmentLength(width);
}

bool BrightnessMeansLanes256(const uint32_t *const *rows, int32_t width, int32_t height,
                             int32_t radius, uint8_t *out, tLevelRange &range) {
  const int64_t s = SegmentLength(width);
  const uint64_t r = uint64_t(radius);
  std::unique_ptr<uint8_t[]> ring = TryAllocateRaw<uint8_t>((2 * r + 1) * uint64_t(width));
  std::unique_ptr<uint32_t[]> col = TryAllocateZeroed<uint32_t>(uint64_t(kLanes * s));
  std::unique_ptr<uint32_t[]> lanes = TryAllocateRaw<uint32_t>(kLanes * (uint64_t(s) + 2 * r + 1));
  std::unique_ptr<float[]> factors = TryAllocateRaw<float>(uint64_t(kLanes * s));
  std::unique_ptr<float[]> edges = TryAllocateRaw<float>(r);
  std::unique_ptr<uint8_t[]> line = TryAllocateRaw<uint8_t>(uint64_t(kLanes * s));
  if (!ring || !col || !lanes || !factors || !edges || !line) {
    return false;
  }
  tLaneMeans means(rows, width, height, radius, ring.get(), col.get(),
                   lanes.get() + kLanes * (r + 1), factors.get(), edges.get(), line.get(), out,
                   range);
  SlideWindowDown(height, radius, means);
  return true;
}

}  // namespace pixels

#endif  // FX_X86_KERNELS
