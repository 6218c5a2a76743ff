#include "host/layer_object.h"

#include <cstdint>
#include <string_view>

#include "host/script_value.h"
#include "host/utf16_text.h"

namespace zanhost {
namespace {

constexpr std::array<const orn_char *, kLayerPropertyCount> kPropertyNames = {
    u"left",
    u"top",
    u"width",
    u"height",
    u"imageWidth",
    u"imageHeight",
    u"mainImageBuffer",
    u"mainImageBufferForWrite",
    u"mainImageBufferPitch",
};

size_t IndexOf(LayerProperty property) {
  return static_cast<size_t>(property);
}

std::optional<LayerProperty> PropertyNamed(std::u16string_view name) {
  for (size_t i = 0; i < kPropertyNames.size(); ++i) {
    if (name == kPropertyNames[i]) {
      return static_cast<LayerProperty>(i);
    }
  }
  return std::nullopt;
}

}  // namespace

const orn_char *LayerPropertyName(LayerProperty property) {
  return kPropertyNames[IndexOf(property)];
}

LayerObject *LayerObject::Create(int width, int height, int pitch) {
  return new LayerObject(width, height, PixelBuffer(width, height, 32, pitch));
}

LayerObject *LayerObject::CreateWithoutBuffer(int width, int height) {
  return new LayerObject(width, height, std::nullopt);
}

LayerObject::LayerObject(int width, int height, std::optional<PixelBuffer> pixels)
    : pixels_(std::move(pixels)) {
  const auto address =
      static_cast<tOVInteger>(reinterpret_cast<intptr_t>(pixels_ ? pixels_->Origin() : nullptr));
  SetProperty(LayerProperty::kWidth, width);
  SetProperty(LayerProperty::kHeight, height);
  SetProperty(LayerProperty::kImageWidth, width);
  SetProperty(LayerProperty::kImageHeight, height);
  SetProperty(LayerProperty::kMainImageBuffer, address);
  SetProperty(LayerProperty::kMainImageBufferForWrite, address);
  SetProperty(LayerProperty::kMainImageBufferPitch, pixels_ ? pixels_->Pitch() : width * 4);
}

orn_int LayerObject::GetMember(orn_uint32, const orn_char *name, orn_uint32 *hint,
                               tORNVariant *result, iORNDispatch2 *) {
  if (name == nullptr) {
    return ResultNotSupported;
  }
  const std::optional<LayerProperty> property = PropertyNamed(TextView(name));
  if (!property) {
    return ResultNoSuchMember;
  }
  ++readCount_;
  readOrder_.push_back(*property);
  NoteHint(*property, hint);
  if (property == failingProperty_ || readCount_ == failingRead_) {
    return ResultNotSupported;
  }
  if (result != nullptr) {
    VariantAssignInteger(result, Property(*property));
  }
  return 0;
}

orn_int LayerObject::CallMember(orn_uint32, const orn_char *name, orn_uint32 *, tORNVariant *,
                                orn_int count, tORNVariant **params, iORNDispatch2 *) {
  if (name == nullptr) {
    return ResultNotSupported;
  }
  if (TextView(name) != u"update") {
    return ResultNoSuchMember;
  }
  if (count != 4 || params == nullptr) {
    return ResultBadArgumentCount;
  }
  for (int i = 0; i < count; ++i) {
    if (params[i] == nullptr) {
      return ResultBadArgument;
    }
  }
  updates_.push_back(UpdateRequest{VariantToInt(params[0]), VariantToInt(params[1]),
                                   VariantToInt(params[2]), VariantToInt(params[3])});
  return 0;
}

void LayerObject::SetProperty(LayerProperty property, tOVInteger value) {
  values_[IndexOf(property)] = value;
}

tOVInteger LayerObject::Property(LayerProperty property) const {
  return values_[IndexOf(property)];
}

void LayerObject::NoteHint(LayerProperty property, orn_uint32 *hint) {
  if (hint == nullptr) {
    return;
  }
  const auto expected = static_cast<orn_uint32>(IndexOf(property) + 1);
  if (*hint == 0) {
    *hint = expected;
  } else if (*hint == expected) {
    ++hintedReads_;
  } else {
    ++mismatchedHints_;
  }
}

}  // namespace zanhost
