// The Layer view the three functions build, seen from the host's Layer
// objects: which properties are read in which order, the message of each
// failed read, hint words, and missing Layers or buffers. Nothing may be
// written when the view cannot be had.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reference/layer_view_reads.h"
#include "tests/layer_pictures.h"
#include "tests/loaded_module.h"

namespace fxtest {
namespace {

using zanhost::LayerProperty;

const std::vector<LayerProperty> kWriteViewOrder = fxref::ViewReadOrder(true);
const std::vector<LayerProperty> kReadViewOrder = fxref::ViewReadOrder(false);

std::string FailureMessage(LayerProperty property) {
  return zanhost::ToUtf8(fxref::FailedReadMessage(property));
}

class LayerViewTest : public LoadedModuleTest {
 protected:
  std::string Distort(const zanhost::Variant &source, const zanhost::Variant &dest) {
    return CallRaising(u"distortion", {source, dest, Arg(0.0), Arg(64.0), Arg(64.0)});
  }

  std::mt19937 rng_{11};
};

TEST_F(LayerViewTest, FunctionsReadTheirViewsInOrder) {
  LayerRef layer = MakeLayer(4, 4);
  ASSERT_EQ(Call(u"blur", {Arg(layer), Arg(1)}), 0);
  EXPECT_EQ(layer->ReadOrder(), kWriteViewOrder);

  LayerRef source = MakeLayer(4, 4);
  LayerRef dest = MakeLayer(4, 4);
  EXPECT_EQ(Distort(Arg(source), Arg(dest)), "");
  EXPECT_EQ(source->ReadOrder(), kReadViewOrder);
  EXPECT_EQ(dest->ReadOrder(), kWriteViewOrder);
}

TEST_F(LayerViewTest, FailedReadRaisesItsMessageAndStopsThere) {
  for (size_t index = 0; index < kWriteViewOrder.size(); ++index) {
    const LayerProperty property = kWriteViewOrder[index];
    SCOPED_TRACE(FailureMessage(property));
    LayerRef layer = MakeRandomLayer(6, 5, PitchKind::kPacked, rng_, false);
    const Picture before = ReadPicture(*layer);
    layer->FailProperty(property);
    EXPECT_EQ(CallRaising(u"blur", {Arg(layer), Arg(1)}), FailureMessage(property));
    EXPECT_EQ(layer->ReadCount(), static_cast<int>(index + 1));
    EXPECT_EQ(ReadPicture(*layer), before);

    // The destination of "distortion" is read after the whole source view.
    LayerRef source = MakeRandomLayer(6, 5, PitchKind::kPacked, rng_, false);
    LayerRef dest = MakeRandomLayer(6, 5, PitchKind::kPacked, rng_, false);
    const Picture destBefore = ReadPicture(*dest);
    dest->FailProperty(property);
    EXPECT_EQ(Distort(Arg(source), Arg(dest)), FailureMessage(property));
    EXPECT_EQ(source->ReadCount(), 8);
    EXPECT_EQ(dest->ReadCount(), static_cast<int>(index + 1));
    EXPECT_EQ(ReadPicture(*dest), destBefore);
    EXPECT_TRUE(dest->Updates().empty());
  }
  for (size_t index = 0; index < kReadViewOrder.size(); ++index) {
    const LayerProperty property = kReadViewOrder[index];
    SCOPED_TRACE(FailureMessage(property));
    LayerRef source = MakeRandomLayer(6, 5, PitchKind::kPacked, rng_, false);
    LayerRef dest = MakeRandomLayer(6, 5, PitchKind::kPacked, rng_, false);
    const Picture destBefore = ReadPicture(*dest);
    source->FailProperty(property);
    EXPECT_EQ(Distort(Arg(source), Arg(dest)), FailureMessage(property));
    EXPECT_EQ(source->ReadCount(), static_cast<int>(index + 1));
    EXPECT_EQ(dest->ReadCount(), 0);
    EXPECT_EQ(ReadPicture(*dest), destBefore);
  }
}

TEST_F(LayerViewTest, FailedWidthStopsBeforeHeight) {
  LayerRef layer = MakeLayer(4, 4);
  layer->FailProperty(LayerProperty::kHeight);
  layer->FailNthRead(3);  // "width"
  EXPECT_EQ(CallRaising(u"blur_alpha", {Arg(layer), Arg(1)}),
            FailureMessage(LayerProperty::kWidth));
  EXPECT_EQ(layer->ReadCount(), 3);
}

TEST_F(LayerViewTest, NoLayerInTheArgumentRaisesLeftFailure) {
  const std::string left = FailureMessage(LayerProperty::kLeft);
  EXPECT_EQ(CallRaising(u"blur", {zanhost::Variant(), Arg(1)}), left);
  EXPECT_EQ(CallRaising(u"blur_alpha", {Arg(7), Arg(1)}), left);

  LayerRef source = MakeRandomLayer(6, 5, PitchKind::kPacked, rng_, false);
  const Picture before = ReadPicture(*source);
  EXPECT_EQ(Distort(zanhost::Variant(), Arg(source)), left);
  EXPECT_EQ(source->ReadCount(), 0);
  EXPECT_EQ(Distort(Arg(source), zanhost::Variant()), left);
  EXPECT_EQ(source->ReadCount(), 8);
  EXPECT_EQ(ReadPicture(*source), before);
}

TEST_F(LayerViewTest, NullBufferWithPixelsRaisesAndWritesNothing) {
  const std::string noBuffer = "Layer has no image buffer.";
  LayerRef layer = MakeRandomLayer(6, 5, PitchKind::kPacked, rng_, false);
  const Picture before = ReadPicture(*layer);
  layer->SetProperty(LayerProperty::kMainImageBufferForWrite, 0);
  EXPECT_EQ(CallRaising(u"blur", {Arg(layer), Arg(1)}), noBuffer);
  EXPECT_EQ(CallRaising(u"blur_alpha", {Arg(layer), Arg(0), Arg(1)}), noBuffer);
  // Radii of 0 need no pixel.
  EXPECT_EQ(Call(u"blur", {Arg(layer), Arg(0)}), 0);
  EXPECT_EQ(ReadPicture(*layer), before);

  LayerRef source = MakeRandomLayer(6, 5, PitchKind::kPacked, rng_, false);
  source->SetProperty(LayerProperty::kMainImageBuffer, 0);
  LayerRef dest = MakeRandomLayer(6, 5, PitchKind::kPacked, rng_, false);
  const Picture destBefore = ReadPicture(*dest);
  EXPECT_EQ(Distort(Arg(source), Arg(dest)), noBuffer);
  EXPECT_EQ(Distort(Arg(dest), Arg(layer)), noBuffer);
  EXPECT_EQ(ReadPicture(*dest), destBefore);
  EXPECT_EQ(ReadPicture(*layer), before);
}

TEST_F(LayerViewTest, EveryFunctionPassesOneHintWordPerProperty) {
  LayerRef layer = MakeLayer(4, 4);
  ASSERT_EQ(Call(u"blur", {Arg(layer), Arg(1)}), 0);
  const int hintedFirst = layer->HintedReads();
  // The second call passes back each word the host filled in during the first.
  ASSERT_EQ(Call(u"blur_alpha", {Arg(layer), Arg(1)}), 0);
  EXPECT_EQ(layer->HintedReads(), hintedFirst + 8);

  // Another Layer and another function share the words of the same names.
  LayerRef source = MakeLayer(4, 4);
  EXPECT_EQ(Distort(Arg(source), Arg(layer)), "");
  EXPECT_EQ(layer->HintedReads(), hintedFirst + 16);
  EXPECT_GE(source->HintedReads(), 7);  // "mainImageBuffer" may be read for the first time
  EXPECT_EQ(layer->MismatchedHints() + source->MismatchedHints(), 0);
}

}  // namespace
}  // namespace fxtest
