// The eight-pixel quotients of "blur_alpha" on 256-bit vectors against integer
// division where an estimate fails first: at and just below every multiple of
// the divisor, for divisors across their whole range, colour sums up to 2^32 - 1.
#include "pixels/instruction_sets.h"

#ifdef FX_X86_KERNELS

#include <gtest/gtest.h>
#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <vector>

#define FX_TARGET FX_AVX2

#include "pixels/weighted_quotients256.h"
#include "tests/pixels/weighted_windows.h"

namespace pixels {
namespace {

using fxtest::tWindow;

// The bytes WeightedMeans gives for eight windows, the window sizes' reciprocals
// estimated as at the row ends; pixel k was OriginalPixel(k), kept where
// the alpha sum is 0.
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
  const __m256i original = _mm256_add_epi32(_mm256_set1_epi32(int32_t(fxtest::OriginalPixel(0))),
                                            _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  const __m256i pixels = WeightedMeans<kWide>(
      sums, count_words, _mm256_rcp_ps(_mm256_cvtepi32_ps(count_words)), original);
  std::vector<uint8_t> bytes(32);
  std::memcpy(bytes.data(), &pixels, 32);
  return bytes;
}

class WeightedQuotientsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!__builtin_cpu_supports("avx2")) {
      GTEST_SKIP() << "processor lacks AVX2";
    }
  }

  // Every boundary window (tests/pixels/weighted_windows.h), eight at a time.
  template <bool kWide>
  void CheckEveryBoundary() {
    const std::vector<tWindow> windows = fxtest::BoundaryWindows(kWide, 8);
    for (size_t k = 0; k < windows.size(); k += 8) {
      ASSERT_EQ(Means<kWide>(&windows[k]), fxtest::ExpectedMeans(&windows[k], 8))
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
