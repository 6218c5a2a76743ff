// The "blur" and "blur_alpha" script functions: blur(layer, x[, y]) and
// blur_alpha(layer, x[, y]) box-filter the Layer's image in place.
#pragma once

#include "frame/dispatch_base.h"

class tBlurFunction : public tORNDispatchBase {
 public:
  orn_int CallMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                     orn_int count, tORNVariant **params, iORNDispatch2 *objthis) override;
};

class tBlurAlphaFunction : public tORNDispatchBase {
 public:
  orn_int CallMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint, tORNVariant *result,
                     orn_int count, tORNVariant **params, iORNDispatch2 *objthis) override;
};
