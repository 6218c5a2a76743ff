#include "layerfx/layer_view.h"

#include "frame/owned_variant.h"
#include "frame/raise.h"

namespace {

struct tLayerProperty {
  const orn_char *name;
  const orn_char *failure;
  orn_uint32 hint;  // the host's lookup hint for this name, kept for the module's life
};

tLayerProperty leftProperty{u"left", u"invoking of Layer.left failed.", 0};
tLayerProperty topProperty{u"top", u"invoking of Layer.top failed.", 0};
tLayerProperty widthProperty{u"width", u"invoking of Layer.width failed.", 0};
tLayerProperty heightProperty{u"height", u"invoking of Layer.height failed.", 0};
tLayerProperty imageWidthProperty{u"imageWidth", u"invoking of Layer.imageWidth failed.", 0};
tLayerProperty imageHeightProperty{u"imageHeight", u"invoking of Layer.imageHeight failed.", 0};
tLayerProperty bufferProperty{u"mainImageBuffer", u"invoking of Layer.mainImageBuffer failed.", 0};
tLayerProperty bufferForWriteProperty{u"mainImageBufferForWrite",
                                      u"invoking of Layer.mainImageBufferForWrite failed.", 0};
tLayerProperty pitchProperty{u"mainImageBufferPitch",
                             u"invoking of Layer.mainImageBufferPitch failed.", 0};

// Reads one property into `value`, raising its message when the read fails.
void Read(iORNDispatch2 *layer, tLayerProperty &property, tOwnedVariant &value) {
  if (layer == nullptr ||
      layer->GetMember(0, property.name, &property.hint, value.get(), layer) < 0) {
    RaiseMessage(property.failure);
  }
}

orn_int ReadInt(iORNDispatch2 *layer, tLayerProperty &property, tOwnedVariant &value) {
  Read(layer, property, value);
  return value.ToInt();
}

// Addresses wider than 32 bits travel as 64-bit script integers.
uint8_t *ReadAddress(iORNDispatch2 *layer, tLayerProperty &property, tOwnedVariant &value) {
  Read(layer, property, value);
  if constexpr (sizeof(void *) > 4) {
    return reinterpret_cast<uint8_t *>(static_cast<uintptr_t>(VariantToInteger(*value.get())));
  } else {
    return reinterpret_cast<uint8_t *>(static_cast<uintptr_t>(value.ToInt()));
  }
}

}  // namespace

iORNDispatch2 *LayerOf(const tORNVariant &argument) {
  return VariantAsObjectNoAddRef(argument);
}

LayerView ReadLayerView(iORNDispatch2 *layer, tViewKind kind) {
  LayerView view;
  view.layer = layer;
  tOwnedVariant value;
  view.left = ReadInt(layer, leftProperty, value);
  view.top = ReadInt(layer, topProperty, value);
  view.width = ReadInt(layer, widthProperty, value);
  view.height = ReadInt(layer, heightProperty, value);
  view.imageWidth = ReadInt(layer, imageWidthProperty, value);
  view.imageHeight = ReadInt(layer, imageHeightProperty, value);
  view.buffer =
      ReadAddress(layer, kind == tViewKind::Read ? bufferProperty : bufferForWriteProperty, value);
  view.pitch = ReadInt(layer, pitchProperty, value);
  return view;
}

void RequireBuffer(const LayerView &view) {
  if (view.buffer == nullptr && view.width > 0 && view.height > 0) {
    RaiseMessage(u"Layer has no image buffer.");
  }
}
