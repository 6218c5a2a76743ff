// Runs one of the module's transitions in the reference host as the engine
// does: both pictures as 32-bit line sources, the options as a script gave
// them, an image source for rule graphics (pictures registered in memory,
// then PNG files in the current directory), and the band driver on a clock.
// The screen ("vel") takes the pictures' size.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/band_driver.h"
#include "host/environment.h"
#include "host/image_source.h"
#include "host/line_source.h"
#include "host/option_source.h"
#include "tools/frame_clock.h"

namespace zanhost::cli {

struct TransitionSetup {
  std::string name;
  PixelBuffer from{0, 0, 32};
  PixelBuffer to{0, 0, 32};
  OptionList options;
  // Rule graphics the image source offers by name before looking for files.
  std::vector<std::pair<std::u16string, PixelBuffer>> rulePictures;
  int bandHeight = 32;
  orn_int layerType = 0;
};

// The duration the frames are spread over: the integer (or truncated real)
// option "time" when it is at least 0, else 0, so that the module alone
// decides what a missing or odd "time" means.
uint64_t ClockSpan(const OptionList &options);

class TransitionRun {
 public:
  // Starts the transition (the pictures must be of one size). RunError when
  // the module has no transition of that name or refuses to start it; script
  // errors it raises pass through.
  TransitionRun(Environment &host, const TransitionSetup &setup);

  // One frame at the tick; RunError on a failed step. After the frame that
  // finishes, the frame stays as it is and further ticks change nothing.
  void RenderFrame(uint64_t tick);
  const PixelBuffer &Frame() { return frame_->Pixels(); }
  bool Finished() const { return driver_.Finished(); }
  // One line per option the transition never read or did not take as given.
  std::vector<std::string> OptionCautions() const;

 private:
  std::string name_;
  ImageSource images_;
  Ref<OptionSource> options_;
  Ref<BufferLineSource> from_;
  Ref<BufferLineSource> to_;
  Ref<BufferLineSource> frame_;
  // Last: it holds the handler, which may hold the sources and options above.
  BandDriver driver_;
};

using FrameSink = std::function<void(const FrameTime &time, const PixelBuffer &frame)>;

// One run across the times in order, each frame handed to the sink; stops
// after the frame at which the transition finishes. Returns whether it did.
// Both renderers caution (console.h) about the options once the transition
// has started.
bool RenderContinuous(Environment &host, const TransitionSetup &setup,
                      const std::vector<FrameTime> &times, const FrameSink &sink);

// Each moment from a fresh start whose first step is at tick 0, so every frame
// shows the transition that long after it began.
void RenderMoments(Environment &host, const TransitionSetup &setup,
                   const std::vector<FrameTime> &times, const FrameSink &sink);

}  // namespace zanhost::cli
