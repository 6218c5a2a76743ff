// The sixteen-pixel quotients of "blur_alpha" on 512-bit vectors against
// integer division at every boundary window (tests/pixels/weighted_windows.h),
// colour sums up to 2^32 - 1.
#include "pixels/instruction_sets.h"

#ifdef FX_X86_KERNELS

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "pixels/avx512_intrinsics.h"

#define FX_TARGET FX_AVX512

#include "pixels/kernel_path.h"
#include "pixels/weighted_quotients512.h"
#include "tests/pixels/weighted_windows.h"

namespace pixels {
namespace {

using fxtest::tWindow;

// The bytes WeightedMeans gives for sixteen windows, the window sizes'
// reciprocals estimated as at the row ends; pixel k was OriginalPixel(k).
template <bool kExact>
FX_AVX512 std::vector<uint8_t> Means(const tWindow windows[16]) {
  const tRoundToNearest rounding;
  __m512i sums[4];
  for (int k = 0; k < 4; ++k) {
    alignas(64) uint32_t words[16];
    for (int p = 0; p < 4; ++p) {
      std::memcpy(words + 4 * p, windows[4 * k + p].sums, 16);
    }
    sums[k] = _mm512_load_si512(words);
  }
  // Counts in transposed order: lane e holds pixel 4 (e % 4) + e / 4.
  alignas(64) int32_t counts[16];
  for (int e = 0; e < 16; ++e) {
    counts[e] = int32_t(windows[4 * (e % 4) + e / 4].count);
  }
  const __m512i count_words = _mm512_load_si512(counts);
  const __m512i original =
      _mm512_add_epi32(_mm512_set1_epi32(int32_t(fxtest::OriginalPixel(0))),
                       _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
  const __m512i pixels = WeightedMeans<kExact>(
      sums, count_words, _mm512_rcp14_ps(_mm512_cvtepi32_ps(count_words)), original);
  std::vector<uint8_t> bytes(64);
  std::memcpy(bytes.data(), &pixels, 64);
  return bytes;
}

class WeightedQuotients512Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!KernelPathAvailable(tKernelPath::Vector512)) {
      GTEST_SKIP() << "processor lacks the 512-bit path";
    }
  }

  // Every boundary window (tests/pixels/weighted_windows.h), sixteen at a time;
  // with kExact only those whose sums stay below 2^24.
  template <bool kExact>
  void CheckEveryBoundary() {
    std::vector<tWindow> windows = fxtest::BoundaryWindows(true, 1);
    if (kExact) {
      windows.erase(std::remove_if(windows.begin(), windows.end(),
                                   [](const tWindow &window) {
                                     return window.sums[0] >= 1u << 24 ||
                                            window.sums[1] >= 1u << 24 ||
                                            window.sums[3] >= 1u << 24;
                                   }),
                    windows.end());
    }
    while (windows.size() % 16 != 0) {
      windows.push_back({{7, 8, 9, 0}, 3});
    }
    for (size_t k = 0; k < windows.size(); k += 16) {
      ASSERT_EQ(Means<kExact>(&windows[k]), fxtest::ExpectedMeans(&windows[k], 16))
          << "colour sum " << windows[k].sums[0] << ", alpha sum " << windows[k].sums[3];
    }
  }
};

TEST_F(WeightedQuotients512Test, AnySums) {
  CheckEveryBoundary<false>();
}

TEST_F(WeightedQuotients512Test, SumsBelowTwoToThe24) {
  CheckEveryBoundary<true>();
}

}  // namespace
}  // namespace pixels

#endif  // FX_X86_KERNELS
