#include "tools/layer_calls.h"

#include <algorithm>
#include <cstring>

#include "host/utf16_text.h"
#include "tools/cli_error.h"
#include "tools/console.h"
#include "tools/conversion_watch.h"
#include "tools/script_values.h"

namespace zanhost::cli {
namespace {

void CopyPixels(const PixelBuffer &from, PixelBuffer &to) {
  const size_t rowBytes = static_cast<size_t>(from.Width()) * 4;
  for (int y = 0; y < from.Height(); ++y) {
    std::memcpy(to.Row(y), from.Row(y), rowBytes);
  }
}

std::string StatusMeaning(orn_int status) {
  switch (status) {
    case ResultNoSuchMember:
      return " (the module has no such function)";
    case ResultBadArgumentCount:
      return " (wrong number of arguments)";
    case ResultBadArgument:
      return " (bad argument)";
    default:
      return "";
  }
}

}  // namespace

Ref<LayerObject> MakeLayer(const PixelBuffer &picture) {
  Ref<LayerObject> layer =
      Ref<LayerObject>::Adopt(LayerObject::Create(picture.Width(), picture.Height()));
  CopyPixels(picture, *layer->Pixels());
  return layer;
}

PixelBuffer PictureOf(LayerObject &layer) {
  const PixelBuffer &pixels = *layer.Pixels();
  PixelBuffer copy(pixels.Width(), pixels.Height(), 32);
  CopyPixels(pixels, copy);
  return copy;
}

void CallGlobalFunction(Environment &host, const std::string &name,
                        std::vector<Variant> arguments) {
  std::vector<tORNVariant *> params(arguments.size());
  std::transform(arguments.begin(), arguments.end(), params.begin(),
                 [](Variant &argument) { return argument.Raw(); });
  Variant result;
  TakeChangedConversions();
  const orn_int status =
      host.Global().CallMember(0, Utf8ToUtf16(name).c_str(), nullptr, result.Raw(),
                               static_cast<orn_int>(params.size()), params.data(), &host.Global());
  if (status < 0) {
    throw RunError(name + " failed with status " + std::to_string(status) + StatusMeaning(status));
  }
  std::vector<std::string> cautions;
  for (const ChangedConversion &conversion : TakeChangedConversions()) {
    const auto given = std::find(params.begin(), params.end(), conversion.variant);
    if (given != params.end()) {
      cautions.push_back("argument " + std::to_string(given - params.begin() + 1) + " of " + name +
                         ", " +
                         ToUtf8(arguments[static_cast<size_t>(given - params.begin())].AsText()) +
                         ", was taken as " + std::to_string(conversion.used));
    }
  }
  Caution(cautions);
}

PixelBuffer BlurredPicture(Environment &host, const std::string &function,
                           const PixelBuffer &picture, const std::vector<Variant> &radii) {
  const Ref<LayerObject> layer = MakeLayer(picture);
  std::vector<Variant> arguments{Variant::Object(layer.get())};
  arguments.insert(arguments.end(), radii.begin(), radii.end());
  CallGlobalFunction(host, function, std::move(arguments));
  return PictureOf(*layer);
}

PixelBuffer DistortedPicture(Environment &host, const PixelBuffer &source,
                             const PixelBuffer &destination, const std::vector<Variant> &numbers) {
  const Ref<LayerObject> sourceLayer = MakeLayer(source);
  const Ref<LayerObject> destinationLayer = MakeLayer(destination);
  std::vector<Variant> arguments{Variant::Object(sourceLayer.get()),
                                 Variant::Object(destinationLayer.get())};
  arguments.insert(arguments.end(), numbers.begin(), numbers.end());
  CallGlobalFunction(host, "distortion", std::move(arguments));
  return PictureOf(*destinationLayer);
}

}  // namespace zanhost::cli
