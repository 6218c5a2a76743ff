#include "fuzz/box_filter_case.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "fuzz/hostile_values.h"
#include "fuzz/loaded_host.h"
#include "fuzz/script_call.h"
#include "host/host_ref.h"
#include "host/layer_object.h"
#include "reference/layer_view_reads.h"

namespace fxfuzz {
namespace {

using zanhost::LayerObject;
using zanhost::PixelBuffer;
using zanhost::Variant;

struct tLayerCase {
  bool isLayer;     // the first argument is the Layer
  bool withBuffer;  // the Layer has pixels
  int width;
  int height;
  int failingRead;  // 1..8: the view's read that fails; 0: none
};

// What the call must do; on success `picture` receives the filtered pixels.
tCallOutcome ExpectedOutcome(const std::vector<Variant> &arguments, const tLayerCase &layer,
                             tBoxFilter filter, PixelBuffer &picture) {
  if (arguments.size() != 2 && arguments.size() != 3) {
    return tCallOutcome::Returned(ResultBadArgumentCount);
  }
  if (!layer.isLayer) {
    return tCallOutcome::Raised(u"invoking of Layer.left failed.");
  }
  if (layer.failingRead > 0) {
    return tCallOutcome::Raised(
        fxref::FailedReadMessage(fxref::ViewReadOrder(true)[layer.failingRead - 1]));
  }
  tOVInteger x = 0;
  tOVInteger y = 0;
  std::u16string error;
  if (!ConvertsToInteger(arguments[1], &x, &error)) {
    return tCallOutcome::Raised(error);
  }
  if (arguments.size() == 3) {
    if (!ConvertsToInteger(arguments[2], &y, &error)) {
      return tCallOutcome::Raised(error);
    }
  } else {
    y = x;
  }
  const auto radiusX = static_cast<int32_t>(x);
  const auto radiusY = static_cast<int32_t>(y);
  if (radiusX < 0 || 2 * int64_t{radiusX} > layer.width) {
    return tCallOutcome::Raised(u"invalid size of x blur.");
  }
  if (radiusY < 0 || 2 * int64_t{radiusY} > layer.height) {
    return tCallOutcome::Raised(u"invalid size of y blur.");
  }
  if (radiusX == 0 && radiusY == 0) {
    return tCallOutcome::Returned(0);
  }
  if (!layer.withBuffer && layer.width > 0 && layer.height > 0) {
    return tCallOutcome::Raised(u"Layer has no image buffer.");
  }
  if (layer.withBuffer) {
    fxref::ReferenceBoxFilter(picture, radiusX, radiusY, filter);
  }
  return tCallOutcome::Returned(0);
}

}  // namespace

void RunBoxFilterCase(const uint8_t *data, size_t size, tBoxFilter filter) {
  FuzzedDataProvider in(data, size);
  zanhost::Environment &host = LoadedHost();
  const tLedgerCheck ledger;

  tLayerCase shape{};
  shape.width = PictureSide(in, 300);
  shape.height = PictureSide(in, 300);
  shape.withBuffer = in.ConsumeIntegralInRange(0, 15) != 0;
  auto layer = zanhost::Ref<LayerObject>::Adopt(
      shape.withBuffer
          ? LayerObject::Create(shape.width, shape.height, HostilePitch(in, shape.width))
          : LayerObject::CreateWithoutBuffer(shape.width, shape.height));
  layer->SetProperty(zanhost::LayerProperty::kLeft, HostileInteger(in, -100, 100));
  layer->SetProperty(zanhost::LayerProperty::kTop, HostileInteger(in, -100, 100));
  if (shape.withBuffer) {
    FillPixels(in, *layer->Pixels());
  }

  std::vector<Variant> arguments;
  switch (in.ConsumeIntegralInRange(0, 15)) {
    case 0:
      arguments.push_back(Variant::Integer(7));
      break;
    case 1:
      arguments.push_back(Variant::Object(&host.Vel()));
      break;
    case 2:
      arguments.push_back(Variant());
      break;
    default:
      arguments.push_back(Variant::Object(layer.get()));
      shape.isLayer = true;
  }
  const size_t count = in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegralInRange(0, 5)
                                                            : in.ConsumeIntegralInRange(2, 3);
  const int largestRadius = std::max(shape.width, shape.height) / 2 + 2;
  while (arguments.size() < count) {
    arguments.push_back(HostileNumber(in, -2, largestRadius, layer.get()));
  }
  arguments.resize(count);
  if (in.ConsumeIntegralInRange(0, 7) == 0) {
    shape.failingRead = in.ConsumeIntegralInRange(1, 8);
    layer->FailNthRead(shape.failingRead);
  }

  PixelBuffer expected = shape.withBuffer ? *layer->Pixels() : PixelBuffer(0, 0, 32);
  const tCallOutcome wanted = ExpectedOutcome(arguments, shape, filter, expected);
  const int readsBefore = layer->ReadCount();
  const tCallOutcome outcome =
      CallGlobalFunction(filter == tBoxFilter::Plain ? u"blur" : u"blur_alpha", arguments);
  RequireOutcome(outcome, wanted);
  if (shape.withBuffer) {
    Require(layer->Pixels()->Bytes() == expected.Bytes(), "the picture differs from the reference");
  }
  const bool viewRead = (count == 2 || count == 3) && shape.isLayer;
  const int reads = shape.failingRead > 0 ? shape.failingRead : 8;
  Require(layer->ReadCount() - readsBefore == (viewRead ? reads : 0),
          "the Layer's properties were not each read once, up to the failing one");
}

}  // namespace fxfuzz
