// A looping animated WebP, made with libwebp's animation encoder: one WebP
// frame per frame added, each lasting until the next frame's time, the last
// as long as the one before it. Frames are lossless, so the animation shows
// exactly the pixels of the PNG frames (lossy WebP would blur the soft edges
// and rule levels a preview is there to judge); files are larger for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/pixel_buffer.h"

namespace zanhost::cli {

class AnimationWriter {
 public:
  // Whether this build writes WebP (built with libwebp).
  static bool Available();

  // Throws RunError when this build writes no WebP.
  AnimationWriter(std::string path, int width, int height);
  ~AnimationWriter();
  AnimationWriter(const AnimationWriter &) = delete;
  AnimationWriter &operator=(const AnimationWriter &) = delete;

  // `time` in milliseconds; each frame's later than the one before (RunError
  // otherwise).
  void Add(const PixelBuffer &frame, uint64_t time);
  // Assembles and writes the file; returns its path.
  std::string Finish();

 private:
  struct Encoder;
  std::string path_;
  std::unique_ptr<Encoder> encoder_;
  std::vector<uint64_t> times_;
};

}  // namespace zanhost::cli
