// Fuzz target "distortion": hostile geometry for both Layers (the same Layer
// too), hostile phase, periods and opacity, screens of any height, and failing
// reads of the screen and of either Layer's properties. The call must end as
// defined; on success the destination, slack included, must be the reference
// drawing, the source untouched and one update requested; otherwise nothing
// may change.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "fuzz/hostile_values.h"
#include "fuzz/loaded_host.h"
#include "fuzz/script_call.h"
#include "host/host_ref.h"
#include "host/layer_object.h"
#include "reference/distortion.h"
#include "reference/layer_view_reads.h"

namespace {

using fxfuzz::tCallOutcome;
using zanhost::LayerObject;
using zanhost::PixelBuffer;
using zanhost::Variant;

struct tLayerSlot {
  zanhost::Ref<LayerObject> layer;
  bool withBuffer = false;
  bool passed = false;  // the argument for this slot is its Layer
  int failingRead = 0;  // 1..8: the read of this slot's view that fails; 0: none
};

tLayerSlot MakeLayer(FuzzedDataProvider &in) {
  tLayerSlot slot;
  const int width = fxfuzz::PictureSide(in, 160);
  const int height = fxfuzz::PictureSide(in, 160);
  slot.withBuffer = in.ConsumeIntegralInRange(0, 15) != 0;
  slot.layer = zanhost::Ref<LayerObject>::Adopt(
      slot.withBuffer ? LayerObject::Create(width, height, fxfuzz::HostilePitch(in, width))
                      : LayerObject::CreateWithoutBuffer(width, height));
  slot.layer->SetProperty(zanhost::LayerProperty::kTop, fxfuzz::HostileInteger(in, -300, 300));
  if (slot.withBuffer) {
    fxfuzz::FillPixels(in, *slot.layer->Pixels());
  }
  return slot;
}

// The first or second argument: mostly the Layer, sometimes no Layer at all;
// `passed` tells which. Now and then one read of the view fails.
Variant LayerArgument(FuzzedDataProvider &in, tLayerSlot &slot) {
  slot.passed = false;
  slot.failingRead = in.ConsumeIntegralInRange(0, 15) == 0 ? in.ConsumeIntegralInRange(1, 8) : 0;
  switch (in.ConsumeIntegralInRange(0, 31)) {
    case 0:
      return Variant::Integer(3);
    case 1:
      return Variant::Object(&fxfuzz::LoadedHost().Vel());
    default:
      slot.passed = true;
      return Variant::Object(slot.layer.get());
  }
}

// The failure of a view, read view first: empty when both views can be read.
std::u16string ViewFailure(const tLayerSlot &source, const tLayerSlot &dest) {
  for (const tLayerSlot *slot : {&source, &dest}) {
    if (!slot->passed) {
      return u"invoking of Layer.left failed.";
    }
    if (slot->failingRead > 0) {
      return fxref::FailedReadMessage(fxref::ViewReadOrder(slot == &dest)[slot->failingRead - 1]);
    }
  }
  return {};
}

Variant PeriodOrPhase(FuzzedDataProvider &in, iORNDispatch2 *someObject) {
  if (in.ConsumeIntegralInRange(0, 7) == 0) {
    return fxfuzz::HostileNumber(in, -100, 100, someObject);
  }
  return Variant::Real(fxfuzz::HostileReal(in));
}

int32_t Dimension(const LayerObject &layer, zanhost::LayerProperty property) {
  return static_cast<int32_t>(layer.Property(property));
}

// What the call must do; on success `expected` receives the drawing.
tCallOutcome ExpectedOutcome(const std::vector<Variant> &arguments, const tLayerSlot &source,
                             const tLayerSlot &dest, bool sameLayer,
                             const std::u16string &velFailure, int32_t screenHeight,
                             PixelBuffer &expected) {
  if (arguments.size() != 5 && arguments.size() != 6) {
    return tCallOutcome::Returned(ResultBadArgumentCount);
  }
  const std::u16string viewFailure = ViewFailure(source, dest);
  if (!viewFailure.empty()) {
    return tCallOutcome::Raised(viewFailure);
  }
  if (!velFailure.empty()) {
    return tCallOutcome::Raised(u"invoking of vel." + velFailure + u" failed.");
  }
  fxref::tWaveCall call{};
  double *reals[] = {&call.phase, &call.periodTop, &call.periodBottom};
  std::u16string error;
  for (size_t i = 0; i < 3; ++i) {
    if (!fxfuzz::ConvertsToReal(arguments[2 + i], reals[i], &error)) {
      return tCallOutcome::Raised(error);
    }
  }
  tOVInteger opacity = 255;
  if (arguments.size() == 6 && !fxfuzz::ConvertsToInteger(arguments[5], &opacity, &error)) {
    return tCallOutcome::Raised(error);
  }
  call.opacity = static_cast<int32_t>(opacity);
  call.screenHeight = screenHeight;
  const LayerObject &from = *source.layer;
  const LayerObject &to = *dest.layer;
  call.destTop = Dimension(to, zanhost::LayerProperty::kTop);
  const bool draws = Dimension(from, zanhost::LayerProperty::kWidth) > 0 &&
                     Dimension(from, zanhost::LayerProperty::kHeight) > 0 &&
                     Dimension(to, zanhost::LayerProperty::kWidth) > 0 &&
                     Dimension(to, zanhost::LayerProperty::kHeight) > 0;
  if (draws && (!source.withBuffer || !dest.withBuffer)) {
    return tCallOutcome::Raised(u"Layer has no image buffer.");
  }
  if (draws) {
    fxref::ReferenceDistortion(expected, sameLayer ? expected : *source.layer->Pixels(), call);
  }
  return tCallOutcome::Returned(0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fxfuzz::LoadedHost();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider in(data, size);
  zanhost::Environment &host = fxfuzz::LoadedHost();
  const fxfuzz::tLedgerCheck ledger;

  tLayerSlot source = MakeLayer(in);
  const bool sameLayer = in.ConsumeIntegralInRange(0, 3) == 0;
  tLayerSlot dest = sameLayer ? source : MakeLayer(in);  // one Layer in both slots, or two

  const auto screenWidth = static_cast<orn_int>(fxfuzz::HostileInteger(in, -2, 800));
  const auto screenHeight = static_cast<orn_int>(fxfuzz::HostileInteger(in, -2, 600));
  host.Vel().SetInnerSize(screenWidth, screenHeight);
  std::u16string velFailure;
  if (in.ConsumeIntegralInRange(0, 31) == 0) {
    velFailure = in.ConsumeBool() ? u"innerWidth" : u"innerHeight";
  }
  host.Vel().FailProperty(velFailure);

  std::vector<Variant> arguments;
  arguments.push_back(LayerArgument(in, source));
  arguments.push_back(LayerArgument(in, dest));
  if (sameLayer) {
    // One Layer counts the reads of both views, the read view's eight first.
    source.layer->FailNthRead(source.failingRead > 0 ? source.failingRead
                              : dest.failingRead > 0 ? 8 + dest.failingRead
                                                     : 0);
  } else {
    source.layer->FailNthRead(source.failingRead);
    dest.layer->FailNthRead(dest.failingRead);
  }
  for (int i = 0; i < 3; ++i) {
    arguments.push_back(PeriodOrPhase(in, source.layer.get()));
  }
  if (in.ConsumeBool()) {
    arguments.push_back(fxfuzz::HostileNumber(in, -10, 300, source.layer.get()));
  }
  if (in.ConsumeIntegralInRange(0, 15) == 0) {
    arguments.resize(in.ConsumeIntegralInRange<size_t>(0, 8));
  }

  const bool separate = !sameLayer && source.withBuffer;
  const PixelBuffer sourceBefore = separate ? *source.layer->Pixels() : PixelBuffer(0, 0, 32);
  PixelBuffer expected = dest.withBuffer ? *dest.layer->Pixels() : PixelBuffer(0, 0, 32);
  const tCallOutcome wanted =
      ExpectedOutcome(arguments, source, dest, sameLayer, velFailure, screenHeight, expected);
  const size_t updatesBefore = dest.layer->Updates().size();
  const tCallOutcome outcome = fxfuzz::CallGlobalFunction(u"distortion", arguments);
  host.Vel().FailProperty(u"");

  fxfuzz::RequireOutcome(outcome, wanted);
  if (dest.withBuffer) {
    fxfuzz::Require(dest.layer->Pixels()->Bytes() == expected.Bytes(),
                    "the destination differs from the reference");
  }
  if (separate) {
    fxfuzz::Require(source.layer->Pixels()->Bytes() == sourceBefore.Bytes(),
                    "the source was written");
  }
  const bool succeeded = !outcome.raised && outcome.status == 0;
  fxfuzz::Require(dest.layer->Updates().size() == updatesBefore + (succeeded ? 1 : 0),
                  "not exactly one update after success, or one after failure");
  if (succeeded) {
    const LayerObject &to = *dest.layer;
    const zanhost::UpdateRequest whole{0, 0, Dimension(to, zanhost::LayerProperty::kWidth),
                                       Dimension(to, zanhost::LayerProperty::kHeight)};
    fxfuzz::Require(to.Updates().back() == whole, "the update is not of the whole Layer");
  }
  return 0;
}
