// Exact integer quotients of window sums, so that no division runs per pixel:
// from tabled double reciprocals, from single-precision ones for small windows,
// and, for vectors of 32-bit lanes, from an integer multiply and shift.
//
// floor(c / d) = floor(c * fl(1/d) + 2^-30) for c <= 255 d and d < 2^24.1 (the
// 32-bit window limits): the product is within 2^-43 of c / d, while a quotient
// that is not a whole number lies at least 1/d > 2^-24.1 below the next one;
// the bias lifts exact quotients clear of their rounding error without
// reaching the next whole number.
#pragma once

#include <cstdint>
#include <cstring>

namespace pixels {

constexpr double kQuotientBias = 0x1p-30;

inline uint8_t ExactQuotient(uint32_t numerator, double reciprocal) {
  return static_cast<uint8_t>(double(numerator) * reciprocal + kQuotientBias);
}

// floor(s / n) as floor(s * multiplier / 2^shift), exact for every s <= 255 n
// when 2 <= n <= 2^23. With 2^shift >= 255 n^2 and multiplier = ceil(2^shift /
// n) = (2^shift + e) / n, 0 <= e < n, s * multiplier / 2^shift exceeds s / n by
// s e / (n 2^shift) < 1 / n, too little to reach the next whole number; the
// smallest such shift keeps multiplier below 510 n + 1 < 2^32. shift is at
// least 32, so a 32-bit lane can take the high word of its 64-bit product and
// shift that by shift - 32.
struct tExactDivisor {
  uint32_t multiplier;
  int shift;
};

inline tExactDivisor ExactDivisorFor(uint64_t n) {
  int shift = 32;
  while ((uint64_t{1} << shift) < 255 * n * n) {
    ++shift;
  }
  return {static_cast<uint32_t>(((uint64_t{1} << shift) + n - 1) / n), shift};
}

// floor(s / n) = trunc(fl(s * m)) in single precision, m the smallest float
// >= 1/n, for s <= 255 n and n <= kFloatQuotientMaxCells: s is exact as a
// float; m >= 1/n and rounding is monotone, so no quotient falls below its
// floor; s * m exceeds s / n by at most 255 * 2^-23 and its rounding adds at
// most 2^-17 (half an ulp below 256), together less than 1/n, the least gap
// between a quotient that is not whole and the next whole number, while
// n < 26296.
constexpr uint64_t kFloatQuotientMaxCells = 26000;

inline float FloatReciprocalFor(uint64_t n) {
  float m = static_cast<float>(1.0 / double(n));
  // m * n is exact in double (24 by at most 40 significant bits); a positive
  // float's successor is the next bit pattern.
  if (double(m) * double(n) < 1.0) {
    uint32_t bits;
    std::memcpy(&bits, &m, sizeof m);
    ++bits;
    std::memcpy(&m, &bits, sizeof m);
  }
  return m;
}

// Factor rule of tWindowFactors: the reciprocal of the window's cell count.
struct tReciprocals {
  using Factor = double;
  static Factor FactorFor(uint64_t cells) { return 1.0 / double(cells); }
};

}  // namespace pixels
