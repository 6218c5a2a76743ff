#include "fuzz/band_cuts.h"

#include <cstring>

#include "fuzz/loaded_host.h"

namespace fxfuzz {
namespace {

// Copies a redirected band's lines from the image it names into the frame.
void CopyRedirected(const tZANBandData &band, const tFrameImages &images) {
  auto *from = band.dest == images.src1   ? images.src1
               : band.dest == images.src2 ? images.src2
                                          : nullptr;
  Require(from != nullptr, "a band was redirected to an image that is not a source");
  const zanhost::PixelBuffer &pixels = from->Pixels();
  Require(band.destLeft >= 0 && band.destTop >= 0 &&
              int64_t{band.destLeft} + band.width <= pixels.Width() &&
              int64_t{band.destTop} + band.height <= pixels.Height(),
          "a band was redirected outside its image");
  // Rows of an empty band may have no address.
  for (orn_int line = 0; line < band.height && band.width > 0; ++line) {
    std::memmove(images.dest->Pixels().Row32(band.top + line) + band.left,
                 pixels.Row32(band.destTop + line) + band.destLeft,
                 static_cast<size_t>(band.width) * 4);
  }
}

orn_int ProcessBand(iZANBandTransHandler &handler, const tFrameImages &images, orn_int left,
                    orn_int top, orn_int width, orn_int height) {
  tZANBandData band{left,        top,  width, height,      images.dest, left, top,
                    images.src1, left, top,   images.src2, left,        top};
  const orn_int status = handler.ProcessBand(&band);
  if (status >= 0 && (band.dest != images.dest || band.destLeft != left || band.destTop != top)) {
    CopyRedirected(band, images);
  }
  return status;
}

}  // namespace

orn_int ProcessCutFrame(FuzzedDataProvider &in, iZANBandTransHandler &handler,
                        const tFrameImages &images) {
  const int width = images.dest->Pixels().Width();
  const int height = images.dest->Pixels().Height();
  for (int top = 0; top < height;) {
    const int strip = in.ConsumeIntegralInRange(1, height - top);
    for (int left = 0; left < width;) {
      const int piece = in.ConsumeIntegralInRange(1, width - left);
      const orn_int status = ProcessBand(handler, images, left, top, piece, strip);
      if (status < 0) {
        return status;
      }
      left += piece;
    }
    top += strip;
  }
  if (in.ConsumeIntegralInRange(0, 7) == 0) {
    const int left = in.ConsumeIntegralInRange(0, width);
    const int top = in.ConsumeIntegralInRange(0, height);
    const bool flat = in.ConsumeBool();
    return ProcessBand(handler, images, left, top, flat ? width - left : 0,
                       flat ? 0 : height - top);
  }
  return 0;
}

}  // namespace fxfuzz
