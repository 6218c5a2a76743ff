// A line source over an owned PixelBuffer (8 or 32 bits, any pitch). Counted
// (one reference for the creator). A line outside the image, or a null out
// argument, gives a negative status and writes nothing. GetLine and
// GetLineForWrite can be made to fail, for tests.
#pragma once

#include "host/pixel_buffer.h"
#include "host/ref_counted.h"
#include "hostapi/transition.h"

namespace zanhost {

class BufferLineSource : public iZANLineSource, public RefCounted {
 public:
  static BufferLineSource *Create(PixelBuffer pixels) {
    return new BufferLineSource(std::move(pixels));
  }

  orn_int AddRef() override { return Retain(); }
  orn_int Release() override { return Drop(); }
  orn_int GetWidth(orn_int *width) override;
  orn_int GetHeight(orn_int *height) override;
  orn_int GetPixelFormat(orn_int *bitsPerPixel) override;
  orn_int GetPitch(orn_int *pitch) override;
  orn_int GetLine(orn_int y, const void **line) override;
  orn_int GetLineForWrite(orn_int y, void **line) override;

  PixelBuffer &Pixels() { return pixels_; }
  void FailGetLine(bool fail) { failGetLine_ = fail; }
  void FailGetLineForWrite(bool fail) { failGetLineForWrite_ = fail; }

 private:
  explicit BufferLineSource(PixelBuffer pixels) : pixels_(std::move(pixels)) {}
  bool HasLine(orn_int y) const { return y >= 0 && y < pixels_.Height(); }

  PixelBuffer pixels_;
  bool failGetLine_ = false;
  bool failGetLineForWrite_ = false;
};

}  // namespace zanhost
