// The host's pixel routines. Pixels are 32-bit ARGB words (alpha in the top
// byte). All arithmetic is exact integer arithmetic; a count of 0 or less does
// nothing, and no routine touches memory beyond `count` elements.
//
// Mixing rule, used by every blend: for a weight w in 0..255 the mix of a and b
// is (a * (255 - w) + b * w + 127) / 255, the exact value rounded to nearest
// (halves cannot occur). w = 0 gives a exactly, w = 255 gives b exactly.
//
// Each routine below is fast (two channels per 32-bit operation); its plain
// twin with the suffix Ref states the rule channel by channel and gives the
// same pixels bit for bit (the tests compare them).
#pragma once

#include "hostapi/types.h"

namespace zanhost {

// Sets every pixel to `color`.
void ZANFillARGB(orn_uint32 *dest, orn_int count, orn_uint32 color);

// Adds red, green and blue of the source into the destination, each saturating
// at 255; the destination's alpha is kept.
void ZANAddBlend(orn_uint32 *dest, const orn_uint32 *src, orn_int count);

// Mixes the source into the destination's red, green and blue with weight
// `opacity` clamped to 0..255; the destination's alpha is kept.
void ZANConstAlphaBlend(orn_uint32 *dest, const orn_uint32 *src, orn_int count, orn_int opacity);

// The same with one colour for every pixel.
void ZANConstColorAlphaBlend(orn_uint32 *dest, orn_int count, orn_uint32 color, orn_int opacity);

// Fills table[0..255]: table[L] is the weight of the second source for rule
// level L at `phase`. With vague > 0 it is clamp((phase - L) * 255 / vague,
// 0, 255) (quotient truncated); with vague <= 0 it is 255 when phase > L, else
// 0. The "_d" form fills the same table: alpha is treated by the "_d" blends.
void ZANInitUnivTransBlendTable(orn_uint32 *table, orn_int phase, orn_int vague);
void ZANInitUnivTransBlendTable_d(orn_uint32 *table, orn_int phase, orn_int vague);

// dest[i] mixes src1[i] and src2[i] with weight table[rule[i]] (entries above
// 255 count as 255) in red, green and blue; the result is opaque (alpha 255).
void ZANUnivTransBlend(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                       const orn_uint8 *rule, const orn_uint32 *table, orn_int count);
// The same mixing all four channels, alpha included.
void ZANUnivTransBlend_d(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                         const orn_uint8 *rule, const orn_uint32 *table, orn_int count);

// Give exactly the pixels of the forms above; where the weight is 0 or 255 the
// chosen source is copied without arithmetic. The table already encodes the
// phase, so the two phase arguments only complete the signature.
void ZANUnivTransBlend_switch(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                              const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                              orn_int phase, orn_int phaseMinusVague);
void ZANUnivTransBlend_switch_d(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                                orn_int phase, orn_int phaseMinusVague);

// The plain twins.
void ZANAddBlendRef(orn_uint32 *dest, const orn_uint32 *src, orn_int count);
void ZANConstAlphaBlendRef(orn_uint32 *dest, const orn_uint32 *src, orn_int count, orn_int opacity);
void ZANConstColorAlphaBlendRef(orn_uint32 *dest, orn_int count, orn_uint32 color, orn_int opacity);
void ZANUnivTransBlendRef(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                          const orn_uint8 *rule, const orn_uint32 *table, orn_int count);
void ZANUnivTransBlend_dRef(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                            const orn_uint8 *rule, const orn_uint32 *table, orn_int count);
void ZANUnivTransBlend_switchRef(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                 const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                                 orn_int phase, orn_int phaseMinusVague);
void ZANUnivTransBlend_switch_dRef(orn_uint32 *dest, const orn_uint32 *src1, const orn_uint32 *src2,
                                   const orn_uint8 *rule, const orn_uint32 *table, orn_int count,
                                   orn_int phase, orn_int phaseMinusVague);

}  // namespace zanhost
