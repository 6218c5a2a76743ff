// The exact quotients of window sums, against integer division at the places
// where an approximation fails first: just below and at every multiple of the
// divisor, up to the largest sum, for divisors across their whole range.
#include "pixels/exact_quotient.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace pixels {
namespace {

std::vector<uint64_t> Divisors() {
  std::vector<uint64_t> divisors;
  for (uint64_t n = 2; n <= 600; ++n) {
    divisors.push_back(n);
  }
  // Around the powers of two, where the shift steps, and the largest divisor.
  for (int bit = 10; bit <= 23; ++bit) {
    for (int64_t d = -2; d <= 2; ++d) {
      divisors.push_back(uint64_t((int64_t{1} << bit) + d));
    }
  }
  std::mt19937 rng(5);
  for (int i = 0; i < 2000; ++i) {
    divisors.push_back(2 + rng() % ((uint64_t{1} << 23) - 1));
  }
  return divisors;
}

TEST(ExactQuotientTest, MultiplyShiftMatchesDivisionAtEveryBoundary) {
  for (uint64_t n : Divisors()) {
    if (n > (uint64_t{1} << 23)) {
      continue;
    }
    const tExactDivisor divisor = ExactDivisorFor(n);
    ASSERT_GE(divisor.shift, 32);
    for (uint64_t q = 0; q <= 255; ++q) {
      for (uint64_t s : {q * n, q * n + n - 1}) {
        if (s > 255 * n) {
          continue;
        }
        ASSERT_EQ((s * divisor.multiplier) >> divisor.shift, s / n) << "s " << s << ", n " << n;
      }
    }
  }
}

TEST(ExactQuotientTest, TabledReciprocalMatchesDivisionAtEveryBoundary) {
  for (uint64_t n : Divisors()) {
    const double reciprocal = tReciprocals::FactorFor(n);
    for (uint64_t q = 0; q <= 255; ++q) {
      for (uint64_t s : {q * n, q * n + n - 1}) {
        if (s <= 255 * n) {
          ASSERT_EQ(ExactQuotient(uint32_t(s), reciprocal), s / n) << "s " << s << ", n " << n;
        }
      }
    }
  }
}

// Every divisor the single-precision quotients take: the quotient is monotone
// in s, so being right at both ends of each quotient's run proves the run.
TEST(ExactQuotientTest, FloatReciprocalMatchesDivisionForEveryDivisor) {
  for (uint64_t n = 1; n <= kFloatQuotientMaxCells; ++n) {
    const float reciprocal = FloatReciprocalFor(n);
    for (uint64_t q = 0; q <= 255; ++q) {
      for (uint64_t s : {q * n, q * n + n - 1}) {
        if (s <= 255 * n) {
          ASSERT_EQ(uint64_t(float(s) * reciprocal), q) << "s " << s << ", n " << n;
        }
      }
    }
  }
}

}  // namespace
}  // namespace pixels
