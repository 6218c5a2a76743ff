#include "reference/layer_view_reads.h"

namespace fxref {

using zanhost::LayerProperty;

std::vector<LayerProperty> ViewReadOrder(bool writeView) {
  return {LayerProperty::kLeft,
          LayerProperty::kTop,
          LayerProperty::kWidth,
          LayerProperty::kHeight,
          LayerProperty::kImageWidth,
          LayerProperty::kImageHeight,
          writeView ? LayerProperty::kMainImageBufferForWrite : LayerProperty::kMainImageBuffer,
          LayerProperty::kMainImageBufferPitch};
}

std::u16string FailedReadMessage(LayerProperty property) {
  return u"invoking of Layer." + std::u16string(zanhost::LayerPropertyName(property)) + u" failed.";
}

}  // namespace fxref
