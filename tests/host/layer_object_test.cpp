#include "host/layer_object.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/host_ref.h"
#include "host/script_value.h"
#include "host_fixture.h"

namespace zanhost {
namespace {

using LayerObjectTest = HostTest;

tOVInteger Read(LayerObject &layer, LayerProperty property, orn_uint32 *hint = nullptr) {
  Variant value;
  EXPECT_EQ(layer.GetMember(0, LayerPropertyName(property), hint, value.Raw(), &layer), 0);
  return value.AsInteger();
}

const LayerProperty kAll[] = {
    LayerProperty::kLeft,
    LayerProperty::kTop,
    LayerProperty::kWidth,
    LayerProperty::kHeight,
    LayerProperty::kImageWidth,
    LayerProperty::kImageHeight,
    LayerProperty::kMainImageBuffer,
    LayerProperty::kMainImageBufferForWrite,
    LayerProperty::kMainImageBufferPitch,
};

TEST_F(LayerObjectTest, PropertiesDescribeTheBufferWithAnyPitch) {
  for (int pitch : {0, 4 * 5 + 8, -4 * 5}) {
    SCOPED_TRACE(pitch);
    const Ref<LayerObject> layer = Ref<LayerObject>::Adopt(LayerObject::Create(5, 3, pitch));
    PixelBuffer &pixels = *layer->Pixels();
    pixels.Row32(2)[4] = 0xCAFEF00Du;
    EXPECT_EQ(Read(*layer, LayerProperty::kWidth), 5);
    EXPECT_EQ(Read(*layer, LayerProperty::kImageHeight), 3);
    const tOVInteger rowPitch = Read(*layer, LayerProperty::kMainImageBufferPitch);
    EXPECT_EQ(rowPitch, pitch == 0 ? 20 : pitch);
    // The address is a whole pointer: row 2 reached from it by the pitch.
    const auto origin = reinterpret_cast<uint8_t *>(
        static_cast<intptr_t>(Read(*layer, LayerProperty::kMainImageBuffer)));
    EXPECT_EQ(reinterpret_cast<uint32_t *>(origin + 2 * rowPitch)[4], 0xCAFEF00Du);
    EXPECT_EQ(Read(*layer, LayerProperty::kMainImageBufferForWrite),
              Read(*layer, LayerProperty::kMainImageBuffer));
  }
}

TEST_F(LayerObjectTest, TestCodeSetsAnyValueAndNullBuffers) {
  const Ref<LayerObject> layer = Ref<LayerObject>::Adopt(LayerObject::CreateWithoutBuffer(7, 2));
  EXPECT_EQ(layer->Pixels(), nullptr);
  EXPECT_EQ(Read(*layer, LayerProperty::kMainImageBuffer), 0);
  EXPECT_EQ(Read(*layer, LayerProperty::kMainImageBufferPitch), 28);
  layer->SetProperty(LayerProperty::kLeft, -3);
  layer->SetProperty(LayerProperty::kHeight, 0x100000002);
  EXPECT_EQ(Read(*layer, LayerProperty::kLeft), -3);
  Variant height;
  layer->GetMember(0, u"height", nullptr, height.Raw(), layer.get());
  EXPECT_EQ(height.AsInt(), 2);
}

TEST_F(LayerObjectTest, ReadsAreCountedInOrderAndCanFail) {
  const Ref<LayerObject> layer = Ref<LayerObject>::Adopt(LayerObject::Create(2, 2));
  for (LayerProperty property : kAll) {
    Read(*layer, property);
  }
  EXPECT_EQ(layer->ReadCount(), 9);
  EXPECT_EQ(layer->ReadOrder(), std::vector<LayerProperty>(std::begin(kAll), std::end(kAll)));

  layer->FailProperty(LayerProperty::kTop);
  Variant value;
  EXPECT_LT(layer->GetMember(0, u"top", nullptr, value.Raw(), layer.get()), 0);
  layer->FailProperty(std::nullopt);
  layer->FailNthRead(2);
  EXPECT_EQ(layer->GetMember(0, u"top", nullptr, value.Raw(), layer.get()), 0);
  EXPECT_LT(layer->GetMember(0, u"left", nullptr, value.Raw(), layer.get()), 0);
  EXPECT_EQ(layer->GetMember(0, u"left", nullptr, value.Raw(), layer.get()), 0);
  EXPECT_EQ(layer->GetMember(0, u"nothing", nullptr, value.Raw(), layer.get()), ResultNoSuchMember);
  EXPECT_EQ(layer->ReadCount(), 13);
}

TEST_F(LayerObjectTest, HintWordsAreFilledThenCounted) {
  const Ref<LayerObject> first = Ref<LayerObject>::Adopt(LayerObject::Create(2, 2));
  const Ref<LayerObject> second = Ref<LayerObject>::Adopt(LayerObject::Create(2, 2));
  orn_uint32 widthHint = 0;
  orn_uint32 heightHint = 0;
  Read(*first, LayerProperty::kWidth, &widthHint);
  EXPECT_NE(widthHint, 0u);
  EXPECT_EQ(first->HintedReads(), 0);
  Read(*second, LayerProperty::kWidth, &widthHint);
  Read(*second, LayerProperty::kHeight, &heightHint);
  EXPECT_EQ(second->HintedReads(), 1);
  Read(*second, LayerProperty::kHeight, &widthHint);
  EXPECT_EQ(second->MismatchedHints(), 1);
}

TEST_F(LayerObjectTest, UpdateRecordsRequests) {
  const Ref<LayerObject> layer = Ref<LayerObject>::Adopt(LayerObject::Create(2, 2));
  Variant args[] = {Variant::Integer(1), Variant::Integer(2), Variant::Integer(30),
                    Variant::Real(40.5)};
  tORNVariant *params[] = {args[0].Raw(), args[1].Raw(), args[2].Raw(), args[3].Raw()};
  EXPECT_EQ(layer->CallMember(0, u"update", nullptr, nullptr, 4, params, layer.get()), 0);
  EXPECT_EQ(layer->CallMember(0, u"update", nullptr, nullptr, 3, params, layer.get()),
            ResultBadArgumentCount);
  EXPECT_EQ(layer->CallMember(0, u"redraw", nullptr, nullptr, 4, params, layer.get()),
            ResultNoSuchMember);
  ASSERT_EQ(layer->Updates().size(), 1u);
  EXPECT_EQ(layer->Updates()[0], (UpdateRequest{1, 2, 30, 40}));
}

}  // namespace
}  // namespace zanhost
