#include "host/pixel_routines.h"

#include <algorithm>
#include <cstdint>

namespace zanhost {
namespace {

constexpr orn_uint32 kAlphaMask = 0xFF000000u;
constexpr orn_uint32 kColorMask = 0x00FFFFFFu;

orn_uint32 Channel(orn_uint32 pixel, int shift) {
  return (pixel >> shift) & 0xFFu;
}

orn_uint32 Mix(orn_uint32 a, orn_uint32 b, orn_uint32 weight) {
  return (a * (255 - weight) + b * weight + 127) / 255;
}

// Mixes the channels selected by `mask` (whole bytes); the rest come from a.
orn_uint32 MixPixel(orn_uint32 a, orn_uint32 b, orn_uint32 weight, orn_uint32 mask) {
  orn_uint32 out = a & ~mask;
  for (int shift = 0; shift < 32; shift += 8) {
    if (((mask >> shift) & 0xFFu) != 0) {
      out |= Mix(Channel(a, shift), Channel(b, shift), weight) << shift;
    }
  }
  return out;
}

constexpr orn_uint32 kLaneMask = 0x00FF00FFu;

// Mix in both 16-bit lanes of a word (each lane a channel in 0..255), with the
// exact quotient by 255 of n <= 65152 as (n + 1 + (n >> 8)) >> 8.
orn_uint32 MixLanes(orn_uint32 a, orn_uint32 b, orn_uint32 weight) {
  const orn_uint32 n = a * (255 - weight) + b * weight + 0x007F007Fu;
  return ((n + 0x00010001u + ((n >> 8) & kLaneMask)) >> 8) & kLaneMask;
}

// Red, green and blue mixed; alpha 0.
orn_uint32 FastMixColor(orn_uint32 a, orn_uint32 b, orn_uint32 weight) {
  return MixLanes(a & kLaneMask, b & kLaneMask, weight) |
         ((MixLanes((a >> 8) & kLaneMask, (b >> 8) & kLaneMask, weight) << 8) & 0x0000FF00u);
}

// All four channels mixed.
orn_uint32 FastMix(orn_uint32 a, orn_uint32 b, orn_uint32 weight) {
  return MixLanes(a & kLaneMask, b & kLaneMask, weight) |
         (MixLanes((a >> 8) & kLaneMask, (b >> 8) & kLaneMask, weight) << 8);
}

orn_uint32 ClampWeight(orn_int value) {
  return static_cast<orn_uint32>(std::clamp<orn_int>(value, 0, 255));
}

orn_uint32 TableWeight(const orn_uint32 *table, orn_uint8 level) {
  return std::min<orn_uint32>(table[level], 255);
}

// The plain rule blend: opaque colour mix, or all four channels for "_d".
orn_uint32 RuleMix(orn_uint32 a, orn_uint32 b, orn_uint32 weight, bool withAlpha) {
  return withAlpha ? MixPixel(a, b, weight, 0xFFFFFFFFu)
                   : MixPixel(a, b, weight, kColorMask) | kAlphaMask;
}

void RuleBlend(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
               const orn_uint8 *rule, const orn_uint32 *table, orn_int count, bool withAlpha) {
  for (orn_int i = 0; i < count; ++i) {
    dest[i] = RuleMix(src1[i], src2[i], TableWeight(table, rule[i]), withAlpha);
  }
}

// Copies a source where the weight is 0 or 255: Mix gives a or b exactly there.
void RuleBlendSwitch(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                     const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                     bool withAlpha) {
  const orn_uint32 forcedAlpha = withAlpha ? 0 : kAlphaMask;
  for (orn_int i = 0; i < count; ++i) {
    const orn_uint32 weight = TableWeight(table, rule[i]);
    if (weight == 0) {
      dest[i] = src1[i] | forcedAlpha;
    } else if (weight == 255) {
      dest[i] = src2[i] | forcedAlpha;
    } else {
      dest[i] = RuleMix(src1[i], src2[i], weight, withAlpha);
    }
  }
}

}  // namespace

void ZANFillARGB(orn_uint32 *dest, orn_int count, orn_uint32 color) {
  if (count > 0) {
    std::fill(dest, dest + count, color);
  }
}

void ZANAddBlendRef(orn_uint32 *dest, const orn_uint32 *src, orn_int count) {
  for (orn_int i = 0; i < count; ++i) {
    orn_uint32 out = dest[i] & kAlphaMask;
    for (int shift = 0; shift < 24; shift += 8) {
      out |= std::min<orn_uint32>(Channel(dest[i], shift) + Channel(src[i], shift), 255) << shift;
    }
    dest[i] = out;
  }
}

void ZANConstAlphaBlendRef(orn_uint32 *dest, const orn_uint32 *src, orn_int count,
                           orn_int opacity) {
  const orn_uint32 weight = ClampWeight(opacity);
  for (orn_int i = 0; i < count; ++i) {
    dest[i] = MixPixel(dest[i], src[i], weight, kColorMask);
  }
}

void ZANConstColorAlphaBlendRef(orn_uint32 *dest, orn_int count, orn_uint32 color,
                                orn_int opacity) {
  const orn_uint32 weight = ClampWeight(opacity);
  for (orn_int i = 0; i < count; ++i) {
    dest[i] = MixPixel(dest[i], color, weight, kColorMask);
  }
}

void ZANInitUnivTransBlendTable(orn_uint32 *table, orn_int phase, orn_int vague) {
  for (int level = 0; level < 256; ++level) {
    // 64 bits: (phase - level) * 255 overflows 32 bits for large phases.
    const int64_t ahead = int64_t{phase} - level;
    const int64_t weight = vague > 0 ? ahead * 255 / vague : (ahead > 0 ? 255 : 0);
    table[level] = static_cast<orn_uint32>(std::clamp<int64_t>(weight, 0, 255));
  }
}

void ZANInitUnivTransBlendTable_d(orn_uint32 *table, orn_int phase, orn_int vague) {
  ZANInitUnivTransBlendTable(table, phase, vague);
}

void ZANUnivTransBlendRef(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                          const orn_uint8 *rule, const orn_uint32 *table, orn_int count) {
  RuleBlend(dest, src1, src2, rule, table, count, false);
}

void ZANUnivTransBlend_dRef(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                            const orn_uint8 *rule, const orn_uint32 *table, orn_int count) {
  RuleBlend(dest, src1, src2, rule, table, count, true);
}

void ZANUnivTransBlend_switchRef(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                 const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                                 orn_int, orn_int) {
  RuleBlendSwitch(dest, src1, src2, rule, table, count, false);
}

void ZANUnivTransBlend_switch_dRef(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                   const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                                   orn_int, orn_int) {
  RuleBlendSwitch(dest, src1, src2, rule, table, count, true);
}

// The fast forms work on two channels of a pixel at once: red and blue (or
// green and alpha, shifted down) sit in the 16-bit lanes of one word, where a
// channel times a weight (at most 255 * 255) plus the rounding term stays
// below 65536, so no lane carries into the other.

void ZANAddBlend(orn_uint32 *dest, const orn_uint32 *src, orn_int count) {
  for (orn_int i = 0; i < count; ++i) {
    const orn_uint32 a = dest[i];
    const orn_uint32 b = src[i];
    // Red and blue sums reach at most 9 bits; a set ninth bit saturates its lane.
    orn_uint32 redBlue = (a & kLaneMask) + (b & kLaneMask);
    const orn_uint32 redBlueOver = redBlue & 0x01000100u;
    redBlue = (redBlue | (redBlueOver - (redBlueOver >> 8))) & kLaneMask;
    const orn_uint32 green = std::min<orn_uint32>((a & 0xFF00u) + (b & 0xFF00u), 0xFF00u);
    dest[i] = (a & kAlphaMask) | redBlue | green;
  }
}

void ZANConstAlphaBlend(orn_uint32 *dest, const orn_uint32 *src, orn_int count, orn_int opacity) {
  const orn_uint32 weight = ClampWeight(opacity);
  for (orn_int i = 0; i < count; ++i) {
    dest[i] = FastMixColor(dest[i], src[i], weight) | (dest[i] & kAlphaMask);
  }
}

void ZANConstColorAlphaBlend(orn_uint32 *dest, orn_int count, orn_uint32 color, orn_int opacity) {
  const orn_uint32 weight = ClampWeight(opacity);
  for (orn_int i = 0; i < count; ++i) {
    dest[i] = FastMixColor(dest[i], color, weight) | (dest[i] & kAlphaMask);
  }
}

void ZANUnivTransBlend(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                       const orn_uint8 *rule, const orn_uint32 *table, orn_int count) {
  for (orn_int i = 0; i < count; ++i) {
    dest[i] = FastMixColor(src1[i], src2[i], TableWeight(table, rule[i])) | kAlphaMask;
  }
}

void ZANUnivTransBlend_d(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                         const orn_uint8 *rule, const orn_uint32 *table, orn_int count) {
  for (orn_int i = 0; i < count; ++i) {
    dest[i] = FastMix(src1[i], src2[i], TableWeight(table, rule[i]));
  }
}

// FastMix gives either source exactly at weight 0 or 255, so the switch forms
// share the blends' pixels; they only skip the arithmetic there.
void ZANUnivTransBlend_switch(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                              const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                              orn_int, orn_int) {
  for (orn_int i = 0; i < count; ++i) {
    const orn_uint32 weight = TableWeight(table, rule[i]);
    dest[i] = (weight == 0     ? src1[i]
               : weight == 255 ? src2[i]
                               : FastMixColor(src1[i], src2[i], weight)) |
              kAlphaMask;
  }
}

void ZANUnivTransBlend_switch_d(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                                orn_int, orn_int) {
  for (orn_int i = 0; i < count; ++i) {
    const orn_uint32 weight = TableWeight(table, rule[i]);
    dest[i] = weight == 0 ? src1[i] : weight == 255 ? src2[i] : FastMix(src1[i], src2[i], weight);
  }
}

}  // namespace zanhost
