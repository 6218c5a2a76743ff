// Script values a hostile script can pass: numbers of every kind and size,
// texts that are and are not numbers, empty values and objects.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "host/pixel_buffer.h"
#include "host/script_value.h"

namespace fxfuzz {

// An integer near the interesting range low..high most of the time, else one of
// the 64-bit extremes or values whose low 32 bits wrap.
tOVInteger HostileInteger(FuzzedDataProvider &in, tOVInteger low, tOVInteger high);

// Any double bit pattern, a special value (NaN, infinities, huge, tiny,
// negative zero) or a small ordinary number.
double HostileReal(FuzzedDataProvider &in);

// A number-like script value around low..high: an integer, a real, a numeric or
// non-numeric text, an empty value, or an object (which no number conversion takes).
zanhost::Variant HostileNumber(FuzzedDataProvider &in, tOVInteger low, tOVInteger high,
                               iORNDispatch2 *someObject);

// A text from `words` (index chosen by the input) or a short arbitrary one.
std::u16string HostileText(FuzzedDataProvider &in, const std::u16string *words, size_t count);

// An image width or height: mostly small, sometimes up to `large`.
int PictureSide(FuzzedDataProvider &in, int large);

// A pitch for 32-bit rows of `width` pixels: packed, padded with slack after
// every row, or negative (rows bottom-up).
int HostilePitch(FuzzedDataProvider &in, int width);

// Fills the pixels (not the slack) from the input, then from a generator seeded
// by it, opaque, with scattered transparency, or as they come.
void FillPixels(FuzzedDataProvider &in, zanhost::PixelBuffer &picture);

// What the host's conversions give; false, with the host's message, when they raise.
bool ConvertsToInteger(const zanhost::Variant &value, tOVInteger *out, std::u16string *error);
bool ConvertsToReal(const zanhost::Variant &value, double *out, std::u16string *error);

}  // namespace fxfuzz
