#include "transitions/progress.h"

#include <limits>

uint32_t ScaledProgress(uint64_t elapsed, uint32_t scale, uint64_t time) {
  if (scale == 0 || elapsed <= std::numeric_limits<uint64_t>::max() / scale) {
    return static_cast<uint32_t>(elapsed * scale / time);
  }
  // Long division of the 96-bit product high:low by `time`, one bit at a time.
  const uint64_t low = (elapsed & 0xffffffffu) * scale;
  const uint64_t high = (elapsed >> 32) * scale + (low >> 32);  // bits 32..95
  const uint64_t productLow = (high << 32) | (low & 0xffffffffu);
  const uint32_t productHigh = static_cast<uint32_t>(high >> 32);
  uint64_t remainder = 0;
  uint64_t quotient = 0;
  for (int bit = 95; bit >= 0; --bit) {
    const uint64_t next = bit >= 64 ? (productHigh >> (bit - 64)) & 1u : (productLow >> bit) & 1u;
    const bool carry = (remainder >> 63) != 0;
    remainder = (remainder << 1) | next;
    quotient <<= 1;
    if (carry || remainder >= time) {
      remainder -= time;
      quotient |= 1u;
    }
  }
  // elapsed < time keeps the quotient below scale.
  return static_cast<uint32_t>(quotient);
}
