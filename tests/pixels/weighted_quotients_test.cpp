// The eight-pixel quotients of "blur_alpha" on 256-bit vectors against integer
// division where an estimate fails first: at and just below every multiple of
// the divisor, for divisors across their whole range, colour sums up to 2^32 - 1.
#include "pixels/instruction_sets.h"

#ifdef FX_X86_KERNELS

#include <gtest/gtest.h>
#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#define FX_TARGET FX_AVX2

#include "pixels/weighted_quotients256.h"

namespace pixels {
namespace {

// One pixel's window: sums of b*a, g*a, r*a and a, and the window size n.
struct tWindow {
  uint32_t sums[4];
  uint32_t count;
};

// The bytes WeightedMeans gives for eight windows, the window sizes' reciprocals
// estimated as at the row ends; pixel k was 0x5A5A5A00 + k, kept where the
// alpha sum is 0.
template <bool kWide>
FX_AVX2 std::vector<uint8_t> Means(const tWindow windows[8]) {
  const tRoundToNearest rounding;
  __m256i sums[4];
  for (int k = 0; k < 4; ++k) {
    sums[k] = _mm256_loadu2_m128i(reinterpret_cast<const __m128i *>(windows[2 * k + 1].sums),
                                  reinterpret_cast<const __m128i *>(windows[2 * k].sums));
  }
  // Counts in the order pixels 0 2 4 6 1 3 5 7.
  alignas(32) int32_t counts[8];
  for (int k = 0; k < 8; ++k) {
    counts[k] = int32_t(windows[k % 4 * 2 + k / 4].count);
  }
  const __m256i count_words = _mm256_load_si256(reinterpret_cast<const __m256i *>(counts));
  const __m256i original =
      _mm256_add_epi32(_mm256_set1_epi32(0x5A5A5A00), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  const __m256i pixels = WeightedMeans<kWide>(
      sums, count_words, _mm256_rcp_ps(_mm256_cvtepi32_ps(count_words)), original);
  std::vector<uint8_t> bytes(32);
  std::memcpy(bytes.data(), &pixels, 32);
  return bytes;
}

std::vector<uint8_t> Expected(const tWindow windows[8]) {
  std::vector<uint8_t> bytes(32);
  for (int k = 0; k < 8; ++k) {
    const uint32_t alpha = windows[k].sums[3];
    if (alpha == 0) {
      bytes[4 * k] = uint8_t(k);
      bytes[4 * k + 1] = bytes[4 * k + 2] = bytes[4 * k + 3] = 0x5A;
      continue;
    }
    for (int c = 0; c < 3; ++c) {
      bytes[4 * k + c] = uint8_t(windows[k].sums[c] / alpha);
    }
    bytes[4 * k + 3] = uint8_t(alpha / windows[k].count);
  }
  return bytes;
}

// Alpha sums d from 1 to 255 * 66,051 (the largest 32-bit window): all small
// ones, those around powers of two, the largest, and random ones.
std::vector<uint32_t> AlphaSums() {
  std::vector<uint32_t> sums;
  for (uint32_t d = 1; d <= 600; ++d) {
    sums.push_back(d);
  }
  for (int bit = 10; bit <= 23; ++bit) {
    for (int64_t e = -2; e <= 2; ++e) {
      sums.push_back(uint32_t((int64_t{1} << bit) + e));
    }
  }
  const uint32_t largest = 255 * 66051;
  sums.push_back(largest);
  std::mt19937 rng(31);
  for (int i = 0; i < 1500; ++i) {
    sums.push_back(uint32_t(1 + rng() % largest));
  }
  return sums;
}

class WeightedQuotientsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!__builtin_cpu_supports("avx2")) {
      GTEST_SKIP() << "processor lacks AVX2";
    }
  }

  // For each alpha sum d, colour sums q d - 1 and q d for every q <= 255
  // (those below 2^31 unless kWide), eight windows at a time; the alpha
  // quotients take d against window sizes d / 255 and up.
  template <bool kWide>
  void CheckEveryBoundary() {
    std::vector<tWindow> windows;
    for (uint32_t d : AlphaSums()) {
      for (uint64_t q = 0; q <= 255; ++q) {
        for (uint64_t c : {q * d - (q > 0 ? 1 : 0), q * d}) {
          if (!kWide && c >= (uint64_t{1} << 31)) {
            continue;
          }
          const uint32_t count = (d + 254) / 255 + uint32_t(q % 7);
          windows.push_back({{uint32_t(c), uint32_t(q * d), uint32_t(c / 2), d}, count});
        }
      }
    }
    windows.push_back({{0, 0, 0, 0}, 9});
    while (windows.size() % 8 != 0) {
      windows.push_back({{7, 8, 9, 0}, 3});
    }
    for (size_t k = 0; k < windows.size(); k += 8) {
      ASSERT_EQ(Means<kWide>(&windows[k]), Expected(&windows[k]))
          << "colour sum " << windows[k].sums[0] << ", alpha sum " << windows[k].sums[3];
    }
  }
};

TEST_F(WeightedQuotientsTest, SumsBelowTwoToThe31) {
  CheckEveryBoundary<false>();
}

TEST_F(WeightedQuotientsTest, SumsUpToTwoToThe32) {
  CheckEveryBoundary<true>();
}

}  // namespace
}  // namespace pixels

#endif  // FX_X86_KERNELS
