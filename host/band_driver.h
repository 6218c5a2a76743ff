// Drives one transition the way the engine does. Start finds the provider by
// name and calls BeginTransition; each frame then runs BeginStep at the frame's
// tick, ProcessBand for every band, and EndStep. Once EndStep answers 2 the
// driver asks ChooseFinalImage and releases the handler.
//
// Bands: the frame (the sources' size) is cut into bands of `bandHeight` lines
// (the last may be shorter), each the full width, with the same coordinates in
// the transition, the destination and both sources. A handler that redirects a
// band (rewrites dest, destLeft, destTop) has those lines copied from the named
// image into the destination. Script errors raised by the handler pass through;
// the driver releases what it holds as they do, and on destruction.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "host/host_ref.h"
#include "host/transition_registry.h"
#include "hostapi/transition.h"

namespace zanhost {

struct FrameReport {
  orn_int status;  // negative when a call failed or a redirected band could not be copied
  bool finished;
};

class BandDriver {
 public:
  // Throws std::invalid_argument for a band height below 1.
  BandDriver(TransitionRegistry &registry, int bandHeight);

  // All three images are 32-bit; the destination at least the sources' size.
  // Returns BeginTransition's status; -1 without calling it when no provider has
  // the name or an image does not fit, and -1 when it succeeded without a
  // handler. A running transition is released first.
  orn_int Start(std::u16string_view name, iZANOptionSource *options, iZANImageSource *images,
                orn_int layerType, iZANLineSource *src1, iZANLineSource *src2,
                iZANLineSource *dest);

  // One frame at `tick`. Without a running transition: {-1, Finished()}.
  FrameReport RunFrame(uint64_t tick);
  // Frames at each tick in turn until one finishes or fails; the last report.
  FrameReport RunOnClock(const std::vector<uint64_t> &ticks);
  // The same at start, start + step, ... for at most `maxFrames` frames.
  FrameReport RunOnClock(uint64_t start, uint64_t step, int maxFrames);

  bool Running() const { return static_cast<bool>(handler_); }
  bool Finished() const { return finished_; }
  int FramesRun() const { return framesRun_; }
  // What ChooseFinalImage named; null before the end.
  iZANLineSource *FinalImage() const { return finalImage_; }
  orn_int ResultFlag1() const { return resultFlags_[0]; }
  orn_int ResultFlag2() const { return resultFlags_[1]; }

 private:
  orn_int ProcessBands();
  orn_int CopyRedirected(const tZANBandData &band);

  TransitionRegistry &registry_;
  int bandHeight_;
  Ref<iZANBandTransHandler> handler_;
  Ref<iZANLineSource> src1_;
  Ref<iZANLineSource> src2_;
  Ref<iZANLineSource> dest_;
  orn_int width_ = 0;
  orn_int height_ = 0;
  bool finished_ = false;
  int framesRun_ = 0;
  iZANLineSource *finalImage_ = nullptr;
  orn_int resultFlags_[2] = {0, 0};
};

}  // namespace zanhost
