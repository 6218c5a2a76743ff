// The last step of the "brightness" rule: its levels stretched to the full
// range and optionally inverted, in one pass.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pixels/kernel_path.h"
#include "pixels/level_range.h"

namespace pixels {

// Stretches levels so that they span 0..255 (v -> floor((v - low) * 255 /
// (high - low))), unless they are uniform or span it already, then inverts them
// (255 - v) when `invert` is set. `path` chooses the implementation of the
// mapping.
void StretchLevels(uint8_t *levels, size_t count, bool invert,
                   tKernelPath path = tKernelPath::Auto);

// The same for levels whose range is known (as the brightness means report
// it), which saves a pass over them.
void StretchLevels(uint8_t *levels, size_t count, tLevelRange range, bool invert,
                   tKernelPath path = tKernelPath::Auto);

}  // namespace pixels
