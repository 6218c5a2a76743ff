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

// blur or blur_alpha (`function`) on a Layer holding the picture, with the
// radii after the Layer; the Layer's pixels afterwards.
PixelBuffer BlurredPicture(Environment &host, const std::string &function,
                           const PixelBuffer &picture, const std::vector<Variant> &radii);

// distortion from a Layer holding `source` into one holding `destination`,
// with the numbers (phase, periods, opacity) after the Layers; the
// destination's pixels afterwards.
PixelBuffer DistortedPicture(Environment &host, const PixelBuffer &source,
                             const PixelBuffer &destination, const std::vector<Variant> &numbers);

}  // namespace zanhost::cli
