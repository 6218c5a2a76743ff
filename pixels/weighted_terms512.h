// The column-sum terms of "blur_alpha" on 512-bit vectors (AVX-512 with byte
// permutes): for each pixel {b*a, g*a, r*a, a} of the row entering the window
// minus those of the row leaving it, one pixel a 128-bit lane, in one
// multiply-add of word pairs: (c_in, c_out) . (a_in, -a_out) for each colour
// and (a_in, a_out) . (1, -1) for alpha. Both the word pairs and the factors
// are picked straight out of the two rows' bytes by byte permutes. A row that
// is absent reads as zero bytes. Included by the 512-bit kernel files
// (FX_TARGET is FX_AVX512 there).
#pragma once

#include <array>
#include <cstdint>

#include "pixels/avx512_intrinsics.h"
#include "pixels/pixel_vectors.h"
#include "pixels/vector_target.h"

namespace pixels {
namespace {

// Byte permute indices for pixels 4q to 4q + 3 of sixteen: output word 8p + 2c
// + s takes byte c of pixel 4q + p from the entering row (s = 0, bytes 0-63)
// or the leaving one (s = 1, bytes 64-127), or that pixel's alpha (kAlphas).
template <bool kAlphas>
constexpr std::array<uint8_t, 64> TermIndices(int q) {
  std::array<uint8_t, 64> indices{};
  for (int word = 0; word < 32; ++word) {
    const int pixel = 4 * q + word / 8;
    const int channel = kAlphas ? 3 : word % 8 / 2;
    indices[size_t(2 * word)] = uint8_t(64 * (word % 2) + 4 * pixel + channel);
  }
  return indices;
}

template <int kQuad>
struct tTermIndices {
  alignas(64) static constexpr std::array<uint8_t, 64> kWords = TermIndices<false>(kQuad);
  alignas(64) static constexpr std::array<uint8_t, 64> kAlphas = TermIndices<true>(kQuad);
};

// The terms of pixels 4 kQuad to 4 kQuad + 3 from the bytes of sixteen pixels
// of each row.
template <int kQuad>
[[gnu::always_inline]] FX_AVX512 inline __m512i WeightedDeltas(__m512i entering, __m512i leaving) {
  // Low bytes of words only; the colour words' alpha factors (words 0-5 of a
  // pixel), the alpha words' none.
  constexpr __mmask64 kLowBytes = 0x5555555555555555;
  constexpr __mmask64 kFactorBytes = 0x0555055505550555;
  const __m512i words = _mm512_maskz_permutex2var_epi8(
      kLowBytes, entering, _mm512_load_si512(tTermIndices<kQuad>::kWords.data()), leaving);
  const __m512i alphas = _mm512_maskz_permutex2var_epi8(
      kFactorBytes, entering, _mm512_load_si512(tTermIndices<kQuad>::kAlphas.data()), leaving);
  // Words 1, 3, 5 (a_out) become -a_out, words 6 and 7 (zero) 1 and -1.
  constexpr __mmask32 kNegated = 0xEAEAEAEA;
  const __m512i factors =
      _mm512_mask_sub_epi16(alphas, kNegated, _mm512_set4_epi32(-65535, 0, 0, 0), alphas);
  return _mm512_madd_epi16(words, factors);
}

// Pixels k to k + count - 1 of a row (count at most 16), zero past them or
// where the row is absent.
FX_AVX512 inline __m512i LoadPixels(const uint8_t *row, int64_t k, int64_t count) {
  if (row == nullptr) {
    return _mm512_setzero_si512();
  }
  return _mm512_maskz_loadu_epi32(__mmask16((1u << count) - 1), row + 4 * k);
}

// Columns begin to end - 1 of the sums `col` (four words a pixel) take the
// terms of `entering` and lose those of `leaving` (either null when absent);
// without kKeep the sums are replaced by the terms instead.
template <bool kKeep>
FX_AVX512 inline void UpdateWeightedColumns(uint32_t *col, const uint8_t *entering,
                                            const uint8_t *leaving, int64_t begin, int64_t end) {
  for (int64_t k = begin; k < end; k += 16) {
    const int64_t count = std::min<int64_t>(16, end - k);
    const __m512i in = LoadPixels(entering, k, count);
    const __m512i out = LoadPixels(leaving, k, count);
    const __m512i terms[4] = {WeightedDeltas<0>(in, out), WeightedDeltas<1>(in, out),
                              WeightedDeltas<2>(in, out), WeightedDeltas<3>(in, out)};
    for (int64_t q = 0; 4 * q < count; ++q) {
      // Four words a pixel: all of a quad but the last, which may be cut.
      const int64_t pixels = std::min<int64_t>(4, count - 4 * q);
      const __mmask16 words = __mmask16((1u << (4 * pixels)) - 1);
      uint32_t *sums = col + 4 * (k + 4 * q);
      _mm512_mask_storeu_epi32(
          sums, words,
          kKeep ? _mm512_add_epi32(_mm512_maskz_loadu_epi32(words, sums), terms[q]) : terms[q]);
    }
  }
}

}  // namespace
}  // namespace pixels
