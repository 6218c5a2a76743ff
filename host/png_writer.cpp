#include "host/png_writer.h"

#include <png.h>

#include <cstring>
#include <memory>
#include <stdexcept>

namespace zanhost {
namespace {

// The byte order in which each native ARGB word is laid out in memory.
constexpr png_uint_32 kArgbWordFormat =
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;

struct ImageFreer {
  void operator()(png_image *image) const { png_image_free(image); }
};

}  // namespace

void WritePng(const std::string &path, const PixelBuffer &picture) {
  if (picture.BitsPerPixel() != 32 || picture.Width() < 1 || picture.Height() < 1) {
    throw std::invalid_argument("only 32-bit pictures with pixels are written as PNG");
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.Width());
  image.height = static_cast<png_uint_32>(picture.Height());
  image.format = kArgbWordFormat;
  const std::unique_ptr<png_image, ImageFreer> release(&image);
  // The row stride counts bytes here (8-bit components); a negative one tells
  // libpng that row 0 is the last in memory, so it gets the lowest row's address.
  const uint8_t *lowest =
      picture.Pitch() >= 0 ? picture.Origin() : picture.Row(picture.Height() - 1);
  if (png_image_write_to_file(&image, path.c_str(), 0, lowest, picture.Pitch(), nullptr) == 0) {
    throw std::runtime_error("cannot write PNG " + path + ": " + image.message);
  }
}

}  // namespace zanhost
