#include "transitions/band_provider.h"

#include "frame/owned_string.h"
#include "frame/raise.h"

namespace {

// "<width>x<height>", made by the host's string functions.
tOwnedString SizeText(orn_int width, orn_int height) {
  const tOwnedString widthText(width);
  const tOwnedString widthAndX = widthText + u"x";
  const tOwnedString heightText(height);
  return widthAndX + heightText;
}

}  // namespace

orn_int tBandTransHandlerProvider::AnswerName(const orn_char *ownName, const orn_char **name) {
  if (name == nullptr) {
    return -1;
  }
  *name = ownName;
  return 0;
}

orn_int tBandTransHandlerProvider::BeginTransition(iZANOptionSource *options,
                                                   iZANImageSource *images, orn_int layerType,
                                                   orn_int src1Width, orn_int src1Height,
                                                   orn_int src2Width, orn_int src2Height,
                                                   orn_int *resultFlag1, orn_int *resultFlag2,
                                                   iZANBandTransHandler **handler) {
  if (resultFlag1 != nullptr) {
    *resultFlag1 = 1;
  }
  if (resultFlag2 != nullptr) {
    *resultFlag2 = 1;
  }
  if (handler == nullptr || options == nullptr) {
    return -1;
  }
  if (src1Width != src2Width || src1Height != src2Height) {
    const tOwnedString firstSize = SizeText(src1Width, src1Height);
    const tOwnedString secondSize = SizeText(src2Width, src2Height);
    RaiseMessage(u"layer size mismatch", secondSize, firstSize);
  }
  *handler =
      CreateHandler(options, images, layerType, src1Width, src1Height, src2Width, src2Height);
  return 0;
}
