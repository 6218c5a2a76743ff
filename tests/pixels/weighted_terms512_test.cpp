// The column-sum terms of "blur_alpha" on 512-bit vectors against their
// definition, {b*a, g*a, r*a, a} entering minus leaving, over every span of a
// short row: whole sixteen-pixel groups, cut ones and cut quads, with either
// row absent, added to the sums or replacing them.
#include "pixels/instruction_sets.h"

#ifdef FX_X86_KERNELS

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "pixels/avx512_intrinsics.h"

#define FX_TARGET FX_AVX512

#include "pixels/kernel_path.h"
#include "pixels/weighted_terms512.h"

namespace pixels {
namespace {

constexpr int64_t kWidth = 37;

// The sums after columns begin to end - 1 of `before` take the terms (or, without
// `keep`, are replaced by them); the others stay.
std::vector<uint32_t> ExpectedSums(const std::vector<uint32_t> &before, const uint8_t *entering,
                                   const uint8_t *leaving, int64_t begin, int64_t end, bool keep) {
  std::vector<uint32_t> sums = before;
  for (int64_t k = begin; k < end; ++k) {
    const uint32_t a_in = entering ? entering[4 * k + 3] : 0;
    const uint32_t a_out = leaving ? leaving[4 * k + 3] : 0;
    for (int c = 0; c < 4; ++c) {
      const uint32_t c_in = c < 3 ? (entering ? entering[4 * k + c] : 0) : 1;
      const uint32_t c_out = c < 3 ? (leaving ? leaving[4 * k + c] : 0) : 1;
      const uint32_t term = c_in * a_in - c_out * a_out;
      uint32_t &sum = sums[size_t(4 * k + c)];
      sum = keep ? sum + term : term;
    }
  }
  return sums;
}

template <bool kKeep>
FX_AVX512 void Update(std::vector<uint32_t> &sums, const uint8_t *entering, const uint8_t *leaving,
                      int64_t begin, int64_t end) {
  UpdateWeightedColumns<kKeep>(sums.data(), entering, leaving, begin, end);
}

TEST(WeightedTerms512Test, EverySpanMatchesDefinition) {
  if (!KernelPathAvailable(tKernelPath::Vector512)) {
    GTEST_SKIP() << "processor lacks the 512-bit path";
  }
  std::mt19937 rng(41);
  std::vector<uint8_t> in(4 * kWidth), out(4 * kWidth);
  std::vector<uint32_t> before(4 * kWidth);
  for (int64_t begin = 0; begin <= kWidth; ++begin) {
    for (int64_t end = begin; end <= kWidth; ++end) {
      for (uint8_t &byte : in)
        byte = uint8_t(rng());
      for (uint8_t &byte : out)
        byte = uint8_t(rng());
      for (uint32_t &sum : before)
        sum = uint32_t(rng());
      for (int rows = 0; rows < 4; ++rows) {
        const uint8_t *entering = rows & 1 ? in.data() : nullptr;
        const uint8_t *leaving = rows & 2 ? out.data() : nullptr;
        SCOPED_TRACE(testing::Message()
                     << "columns " << begin << " to " << end << ", rows " << rows);
        std::vector<uint32_t> kept = before;
        Update<true>(kept, entering, leaving, begin, end);
        ASSERT_EQ(kept, ExpectedSums(before, entering, leaving, begin, end, true));
        std::vector<uint32_t> replaced = before;
        Update<false>(replaced, entering, leaving, begin, end);
        ASSERT_EQ(replaced, ExpectedSums(before, entering, leaving, begin, end, false));
      }
    }
  }
}

}  // namespace
}  // namespace pixels

#endif  // FX_X86_KERNELS
