// The stretch as an exact 16-bit fixed-point multiply: plain code, with 16
// levels a step on 128-bit vectors (SSE2) and 32 on 256-bit ones (AVX2), x86
// only.
#include "pixels/stretch_levels.h"

#ifdef FX_X86_KERNELS
#include <immintrin.h>
#endif

namespace pixels {
namespace {

// v -> (floor((v - base) * f / 2^16)) ^ flip, with f split into 16-bit halves:
// (v - base) * high + floor((v - base) * low / 2^16).
struct tLevelMap {
  uint8_t base;
  uint16_t high;
  uint16_t low;
  uint8_t flip;

  uint8_t operator()(uint8_t v) const {
    const auto t = static_cast<uint16_t>(v - base);
    const auto carried = static_cast<uint16_t>((uint32_t{t} * low) >> 16);
    return static_cast<uint8_t>((t * high + carried) ^ flip);
  }
};

using tMapLevelsKernel = void(uint8_t *levels, size_t count, const tLevelMap &map);

void MapLevelsRef(uint8_t *levels, size_t count, const tLevelMap &map) {
  for (size_t i = 0; i < count; ++i) {
    levels[i] = map(levels[i]);
  }
}

#ifdef FX_X86_KERNELS
// Whole vectors from the first level on, the rest left to the plain loop.
FX_SSE2 void MapLevelsVector128(uint8_t *levels, size_t count, const tLevelMap &map) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i base = _mm_set1_epi16(map.base);
  const __m128i high = _mm_set1_epi16(static_cast<int16_t>(map.high));
  const __m128i low = _mm_set1_epi16(static_cast<int16_t>(map.low));
  const __m128i flip = _mm_set1_epi8(static_cast<char>(map.flip));
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    __m128i *p = reinterpret_cast<__m128i *>(levels + i);
    const __m128i v = _mm_loadu_si128(p);
    __m128i halves[2] = {_mm_unpacklo_epi8(v, zero), _mm_unpackhi_epi8(v, zero)};
    for (__m128i &h : halves) {
      const __m128i t = _mm_sub_epi16(h, base);
      h = _mm_add_epi16(_mm_mullo_epi16(t, high), _mm_mulhi_epu16(t, low));
    }
    _mm_storeu_si128(p, _mm_xor_si128(_mm_packus_epi16(halves[0], halves[1]), flip));
  }
  MapLevelsRef(levels + i, count - i, map);
}

FX_AVX2 void MapLevelsVector256(uint8_t *levels, size_t count, const tLevelMap &map) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i base = _mm256_set1_epi16(map.base);
  const __m256i high = _mm256_set1_epi16(static_cast<int16_t>(map.high));
  const __m256i low = _mm256_set1_epi16(static_cast<int16_t>(map.low));
  const __m256i flip = _mm256_set1_epi8(static_cast<char>(map.flip));
  size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    __m256i *p = reinterpret_cast<__m256i *>(levels + i);
    const __m256i v = _mm256_loadu_si256(p);
    // Unpacking and packing within each half keep the levels in place.
    __m256i halves[2] = {_mm256_unpacklo_epi8(v, zero), _mm256_unpackhi_epi8(v, zero)};
    for (__m256i &h : halves) {
      const __m256i t = _mm256_sub_epi16(h, base);
      h = _mm256_add_epi16(_mm256_mullo_epi16(t, high), _mm256_mulhi_epu16(t, low));
    }
    _mm256_storeu_si256(p, _mm256_xor_si256(_mm256_packus_epi16(halves[0], halves[1]), flip));
  }
  MapLevelsRef(levels + i, count - i, map);
}
#endif

}  // namespace

void StretchLevels(uint8_t *levels, size_t count, bool invert, tKernelPath path) {
  tLevelRange range;
  WidenRange(levels, count, range);
  StretchLevels(levels, count, range, invert, path);
}

void StretchLevels(uint8_t *levels, size_t count, tLevelRange range, bool invert,
                   tKernelPath path) {
  if (count == 0) {
    return;
  }
  const uint8_t low = range.low;
  const unsigned span = unsigned(range.high - low);
  // floor(t * 255 / span) for t = v - low as floor(t * f / 2^16), f =
  // ceil(255 * 2^16 / span): the product overshoots t * 255 / span by less
  // than t / 2^16 <= span / 2^16, and a quotient that is not whole lies at
  // least 1/span below the next one, which is more for span < 256. Uniform and
  // full-range levels keep their values (t = v, f = 2^16).
  const bool keep = span == 0 || span == 255;
  if (keep && !invert) {
    return;
  }
  const uint32_t f = keep ? 1u << 16 : ((255u << 16) + span - 1) / span;
  const tLevelMap map{keep ? uint8_t{0} : low, static_cast<uint16_t>(f >> 16),
                      static_cast<uint16_t>(f), invert ? uint8_t{0xFF} : uint8_t{0}};
  const tKernelSet<tMapLevelsKernel> kernels = {MapLevelsRef, FX_VECTOR_KERNEL(MapLevelsVector128),
                                                FX_VECTOR_KERNEL(MapLevelsVector256), nullptr};
  ChooseKernel(kernels, path)(levels, count, map);
}

}  // namespace pixels
