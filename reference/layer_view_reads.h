// What a Layer view reads through the Layer's properties, in order, and the
// message a failed read raises.
#pragma once

#include <string>
#include <vector>

#include "host/layer_object.h"

namespace fxref {

// The eight properties of a read view, or of a write view, in reading order.
std::vector<zanhost::LayerProperty> ViewReadOrder(bool writeView);

// "invoking of Layer.<property> failed."
std::u16string FailedReadMessage(zanhost::LayerProperty property);

}  // namespace fxref
