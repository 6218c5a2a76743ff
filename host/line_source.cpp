#include "host/line_source.h"

namespace zanhost {
namespace {

constexpr orn_int kFailed = -1;

orn_int Answer(orn_int *out, orn_int value) {
  if (out == nullptr) {
    return kFailed;
  }
  *out = value;
  return 0;
}

}  // namespace

orn_int BufferLineSource::GetWidth(orn_int *width) {
  return Answer(width, pixels_.Width());
}

orn_int BufferLineSource::GetHeight(orn_int *height) {
  return Answer(height, pixels_.Height());
}

orn_int BufferLineSource::GetPixelFormat(orn_int *bitsPerPixel) {
  return Answer(bitsPerPixel, pixels_.BitsPerPixel());
}

orn_int BufferLineSource::GetPitch(orn_int *pitch) {
  return Answer(pitch, pixels_.Pitch());
}

orn_int BufferLineSource::GetLine(orn_int y, const void **line) {
  if (failGetLine_ || line == nullptr || !HasLine(y)) {
    return kFailed;
  }
  *line = pixels_.Row(y);
  return 0;
}

orn_int BufferLineSource::GetLineForWrite(orn_int y, void **line) {
  if (failGetLineForWrite_ || line == nullptr || !HasLine(y)) {
    return kFailed;
  }
  *line = pixels_.Row(y);
  return 0;
}

}  // namespace zanhost
