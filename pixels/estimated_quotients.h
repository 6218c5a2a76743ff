// Exact quotients floor(c / d) of a vector of 32-bit lanes, from a
// single-precision estimate and one correction, for c <= 255 d and
// 0 < d < 2^24.1 (true within the 32-bit window limits: alpha sums <= 255 *
// 66,051, cell counts <= 66,051).
//
// c * rcp(d) in single precision is within 256 * (2^-23 + 2^-23 + 2^-24 + 1.5
// * 2^-12) < 0.1 of c / d (the processor's reciprocal is good to 1.5 * 2^-12,
// each conversion to 2^-23, the product to 2^-24), so its truncation is the
// quotient or one off either way; the remainder c - q d, exact in 32 bits since
// it lies between -d and 2d, tells which, and one step fixes it. Lanes with
// d = 0 give garbage, which callers discard.
// Compiled for the including file's instruction set (pixels/vector_target.h).
#pragma once

#include <cstdint>

#include "pixels/vector_target.h"

namespace pixels {
namespace {

// Unsigned words as floats, within 2^-23 of their value: signed conversion,
// plus 2^32 (bits 0x4F800000) where the sign bit was set.
template <typename Floats, typename Words>
FX_TARGET inline Floats ToFloats(Words words) {
  using Signed = decltype(words < words);
  const Signed as_signed = Signed(words);
  return __builtin_convertvector(as_signed, Floats) + Floats(as_signed >> 31 & 0x4F800000);
}

// Lanes gives Words, a vector of uint32_t lanes, Floats, of floats of the same
// lane count (both GCC vector types, so that plain operators work lane by
// lane), and Reciprocal(Floats), the processor's estimate of 1 / v.
template <typename Lanes>
FX_TARGET inline typename Lanes::Words EstimatedQuotients(typename Lanes::Words c,
                                                          typename Lanes::Words d) {
  using Words = typename Lanes::Words;
  using Floats = typename Lanes::Floats;
  using Signed = decltype(c < c);
  const Floats estimate = ToFloats<Floats>(c) * Lanes::Reciprocal(ToFloats<Floats>(d));
  Words q = Words(__builtin_convertvector(estimate, Signed));
  const Signed remainder = Signed(c - q * d);
  q += Words(remainder < 0);
  return q - Words(remainder > Signed(d - 1));
}

}  // namespace
}  // namespace pixels
