#include "layerfx/box_filter_functions.h"

#include "frame/raise.h"
#include "frame/variant_access.h"
#include "layerfx/layer_view.h"
#include "pixels/box_filter.h"

namespace {

using tBoxFilter = bool (*)(const pixels::tPixelRows &, int32_t, int32_t, pixels::tKernelPath);

// The shared body: -1004 for a count other than 2 or 3 (nothing read); the
// write view; x and y (y = x when absent), checked against the Layer's size;
// then the filter in place. Range errors and a missing buffer are raised before
// any pixel is written.
orn_int CallBoxFilter(orn_int count, tORNVariant **params, tBoxFilter filter) {
  if (count != 2 && count != 3) {
    return ResultBadArgumentCount;
  }
  const LayerView view = ReadLayerView(LayerOf(*params[0]), tViewKind::Write);
  const auto x = static_cast<int32_t>(VariantAsInteger(*params[1]));
  const auto y = count == 3 ? static_cast<int32_t>(VariantAsInteger(*params[2])) : x;
  if (x < 0 || int64_t{x} * 2 > view.width) {
    RaiseMessage(u"invalid size of x blur.");
  }
  if (y < 0 || int64_t{y} * 2 > view.height) {
    RaiseMessage(u"invalid size of y blur.");
  }
  if (x == 0 && y == 0) {
    return 0;
  }
  RequireBuffer(view);
  const pixels::tPixelRows image{view.buffer, view.pitch, view.width, view.height};
  if (!filter(image, x, y, pixels::tKernelPath::Auto)) {
    RaiseMessage(u"not enough memory to blur the Layer.");
  }
  return 0;
}

}  // namespace

orn_int tBlurFunction::CallMember(orn_uint32, const orn_char *, orn_uint32 *, tORNVariant *,
                                  orn_int count, tORNVariant **params, iORNDispatch2 *) {
  return CallBoxFilter(count, params, pixels::BoxFilter);
}

orn_int tBlurAlphaFunction::CallMember(orn_uint32, const orn_char *, orn_uint32 *, tORNVariant *,
                                       orn_int count, tORNVariant **params, iORNDispatch2 *) {
  return CallBoxFilter(count, params, pixels::BoxFilterAlpha);
}
