// The "distortion" script function:
// distortion(source, destination, phase, periodTop, periodBottom[, opacity])
// draws a wave-distorted copy of the source Layer's image into the destination
// Layer, opaque or at a constant opacity, and asks the destination to update.
#pragma once

#include "frame/dispatch_base.h"

class tDistortionFunction : public tORNDispatchBase {
 public:
  orn_int CallMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                     orn_int count, tORNVariant **params, iORNDispatch2 *objthis) override;
};
