#include "host/image_source.h"

#include <fstream>
#include <stdexcept>

#include "host/line_source.h"
#include "host/picture_reader.h"
#include "host/utf16_text.h"

namespace zanhost {
namespace {

constexpr orn_int kFailed = -1;

orn_uint8 Grey(orn_uint32 pixel) {
  const orn_uint32 red = (pixel >> 16) & 0xFFu;
  const orn_uint32 green = (pixel >> 8) & 0xFFu;
  const orn_uint32 blue = pixel & 0xFFu;
  return static_cast<orn_uint8>((red * 77 + green * 150 + blue * 29) >> 8);
}

bool FileExists(const std::string &path) {
  return std::ifstream(path).good();
}

}  // namespace

PixelBuffer FitPicture(const PixelBuffer &picture, int bitsPerPixel, int width, int height) {
  PixelBuffer fitted(width, height, bitsPerPixel);
  for (int y = 0; y < height; ++y) {
    const orn_uint32 *from =
        picture.Row32(static_cast<int>(int64_t{y} * picture.Height() / height));
    for (int x = 0; x < width; ++x) {
      const orn_uint32 pixel = from[int64_t{x} * picture.Width() / width];
      if (bitsPerPixel == 8) {
        fitted.Row(y)[x] = Grey(pixel);
      } else {
        fitted.Row32(y)[x] = pixel;
      }
    }
  }
  return fitted;
}

void ImageSource::AddPicture(std::u16string name, PixelBuffer picture) {
  if (picture.BitsPerPixel() != 32) {
    throw std::invalid_argument("pictures are registered at 32 bits");
  }
  pictures_.insert_or_assign(std::move(name), std::move(picture));
}

const PixelBuffer *ImageSource::Find(const std::u16string &name, PixelBuffer &fromFile) const {
  const auto registered = pictures_.find(name);
  if (registered != pictures_.end()) {
    return &registered->second;
  }
  const std::string path = directory_ + "/" + ToUtf8(name);
  for (const std::string &candidate : {path, path + ".png"}) {
    if (FileExists(candidate)) {
      try {
        fromFile = ReadPicture(candidate);
        return &fromFile;
      } catch (const std::runtime_error &) {
        return nullptr;
      }
    }
  }
  return nullptr;
}

orn_int ImageSource::LoadImage(const orn_char *name, orn_int bitsPerPixel, orn_uint32,
                               orn_int width, orn_int height, iZANLineSource **image) {
  if (name == nullptr || image == nullptr || (bitsPerPixel != 8 && bitsPerPixel != 32) ||
      width < 1 || height < 1) {
    return kFailed;
  }
  PixelBuffer fromFile(0, 0, 32);
  const PixelBuffer *picture = Find(std::u16string(TextView(name)), fromFile);
  if (picture == nullptr || picture->Width() < 1 || picture->Height() < 1) {
    return kFailed;
  }
  *image = BufferLineSource::Create(FitPicture(*picture, bitsPerPixel, width, height));
  ++loadCount_;
  return 0;
}

}  // namespace zanhost
