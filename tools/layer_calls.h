// Calls the module's global functions as a script does: CallMember on the
// host's global object with the function's name, the arguments as script
// values and Layer objects wrapping pictures.
#pragma once

#include <string>
#include <vector>

#include "host/environment.h"
#include "host/host_ref.h"
#include "host/layer_object.h"
#include "host/script_value.h"

namespace zanhost::cli {

// A new Layer holding a copy of the 32-bit picture.
Ref<LayerObject> MakeLayer(const PixelBuffer &picture);

// A packed copy of the Layer's pixels.
PixelBuffer PictureOf(LayerObject &layer);

// Script errors the function raises pass through; a negative status (for
// instance an argument count the function refuses) is a RunError. Arguments
// that a conversion changed (2.9 read as 2) are cautioned about (console.h).
void CallGlobalFunction(Environment &host, const std::string &name, std::vector<Variant> arguments);

}  // namespace zanhost::cli
