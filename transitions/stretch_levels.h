// The last step of the "brightness" rule: its levels stretched to the full
// range and optionally inverted, in one pass.
#pragma once

#include <cstddef>
#include <cstdint>

// Stretches levels so that they span 0..255 (v -> floor((v - low) * 255 /
// (high - low))), unless they are uniform or span it already, then inverts them
// (255 - v) when `invert` is set.
void StretchLevels(uint8_t *levels, size_t count, bool invert);
