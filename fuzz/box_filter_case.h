// One fuzz case of "blur" or "blur_alpha": a Layer of hostile geometry and
// pixels (or something that is no Layer), hostile radii and argument counts.
// The call must end exactly as defined, and the picture, slack included, must
// be the reference result when the call filters, and untouched otherwise.
#pragma once

#include <cstddef>
#include <cstdint>

#include "reference/box_filter.h"

namespace fxfuzz {

using fxref::tBoxFilter;

void RunBoxFilterCase(const uint8_t *data, size_t size, tBoxFilter filter);

}  // namespace fxfuzz
