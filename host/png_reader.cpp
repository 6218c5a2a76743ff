#include "host/png_reader.h"

#include <png.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace zanhost {
namespace {

// The byte order that makes each pixel one native ARGB word.
constexpr png_uint_32 kArgbWordFormat =
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;

struct ImageFreer {
  void operator()(png_image *image) const { png_image_free(image); }
};

}  // namespace

PixelBuffer ReadPng(const std::string &path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  const std::unique_ptr<png_image, ImageFreer> release(&image);
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    FailReading(path, std::string("not a readable PNG picture (") + image.message + ")");
  }
  RequireModestSize(path, image.width, image.height);
  image.format = kArgbWordFormat;
  PixelBuffer pixels(static_cast<int>(image.width), static_cast<int>(image.height), 32);
  if (png_image_finish_read(&image, nullptr, pixels.Origin(), pixels.Pitch(), nullptr) == 0) {
    FailReading(path, std::string("the PNG data is damaged (") + image.message + ")");
  }
  return pixels;
}

}  // namespace zanhost
