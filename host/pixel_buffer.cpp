#include "host/pixel_buffer.h"

#include <cstdlib>
#include <stdexcept>

namespace zanhost {

PixelBuffer::PixelBuffer(int width, int height, int bitsPerPixel, int pitch)
    : width_(width), height_(height), bitsPerPixel_(bitsPerPixel), pitch_(pitch) {
  if (width < 0 || height < 0) {
    throw std::invalid_argument("negative image size");
  }
  if (bitsPerPixel != 8 && bitsPerPixel != 32) {
    throw std::invalid_argument("images have 8 or 32 bits per pixel");
  }
  const long rowBytes = static_cast<long>(width) * (bitsPerPixel / 8);
  if (pitch_ == 0) {
    pitch_ = static_cast<int>(rowBytes);
  }
  const long stride = std::labs(static_cast<long>(pitch_));
  if (stride < rowBytes) {
    throw std::invalid_argument("pitch narrower than a row");
  }
  if (bitsPerPixel == 32 && stride % 4 != 0) {
    throw std::invalid_argument("32-bit rows must stay 4-byte aligned");
  }
  bytes_.assign(static_cast<size_t>(stride * height), 0);
  if (pitch_ < 0 && height > 0) {
    originOffset_ = static_cast<std::ptrdiff_t>(stride) * (height - 1);
  }
}

}  // namespace zanhost
