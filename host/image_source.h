// The image source of a transition: loads a named picture, converts it to the
// requested depth and fits it to the requested size by nearest neighbour. A
// name is looked up first among the pictures registered in memory, then as a
// PNG file in the source's directory, as given and with ".png" appended.
//
// 8-bit images are grey levels (R*77 + G*150 + B*29) >> 8; 32-bit images are
// the ARGB pixels. Every failure (null arguments, a depth other than 8 or 32, a
// size below 1, an unknown name, an unreadable file) is a negative status with
// `*image` untouched.
#pragma once

#include <map>
#include <string>

#include "host/pixel_buffer.h"
#include "hostapi/transition.h"

namespace zanhost {

class ImageSource : public iZANImageSource {
 public:
  explicit ImageSource(std::string directory = ".") : directory_(std::move(directory)) {}

  // `picture` must be 32-bit; a name registered again is replaced.
  void AddPicture(std::u16string name, PixelBuffer picture);

  orn_int LoadImage(const orn_char *name, orn_int bitsPerPixel, orn_uint32 key, orn_int width,
                    orn_int height, iZANLineSource **image) override;
  // Successful loads so far.
  int LoadCount() const { return loadCount_; }

 private:
  const PixelBuffer *Find(const std::u16string &name, PixelBuffer &fromFile) const;

  std::string directory_;
  std::map<std::u16string, PixelBuffer> pictures_;
  int loadCount_ = 0;
};

// The picture fitted to width x height at the depth (nearest neighbour).
PixelBuffer FitPicture(const PixelBuffer &picture, int bitsPerPixel, int width, int height);

}  // namespace zanhost
