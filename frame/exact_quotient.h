// Exact integer quotients of window sums from tabled double reciprocals, so
// that no division runs per pixel.
//
// floor(c / d) = floor(c * fl(1/d) + 2^-30) for c <= 255 d and d < 2^24.1 (the
// 32-bit window limits): the product is within 2^-43 of c / d, while a quotient
// that is not a whole number lies at least 1/d > 2^-24.1 below the next one;
// the bias lifts exact quotients clear of their rounding error without
// reaching the next whole number.
#pragma once

#include <cstdint>

namespace frame {

constexpr double kQuotientBias = 0x1p-30;

inline uint8_t ExactQuotient(uint32_t numerator, double reciprocal) {
  return static_cast<uint8_t>(double(numerator) * reciprocal + kQuotientBias);
}

// Factor rule of tWindowFactors: the reciprocal of the window's cell count.
struct tReciprocals {
  using Factor = double;
  static Factor FactorFor(uint64_t cells) { return 1.0 / double(cells); }
};

}  // namespace frame
