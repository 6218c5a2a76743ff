// Still WebP pictures through libwebp, decoded straight into native ARGB words.
#include <webp/decode.h>

#include <stdexcept>

#include "host/picture_bytes.h"
#include "host/picture_limits.h"
#include "host/picture_reader.h"

namespace zanhost {
PixelBuffer ReadWebp(const std::string &path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(bytes.data(), bytes.size(), &features) != VP8_STATUS_OK) {
    FailReading(path, "not a readable WebP picture");
  }
  if (features.has_animation != 0) {
    FailReading(path, "an animated WebP picture, which is not read (give one still frame)");
  }
  RequireModestSize(path, features.width, features.height);
  PixelBuffer pixels(features.width, features.height, 32);
  const size_t size = static_cast<size_t>(pixels.Pitch()) * static_cast<size_t>(pixels.Height());
  const uint8_t *decoded =
      __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
          ? WebPDecodeBGRAInto(bytes.data(), bytes.size(), pixels.Origin(), size, pixels.Pitch())
          : WebPDecodeARGBInto(bytes.data(), bytes.size(), pixels.Origin(), size, pixels.Pitch());
  if (decoded == nullptr) {
    FailReading(path, "the WebP data is damaged");
  }
  return pixels;
}

}  // namespace zanhost
