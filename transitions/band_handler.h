// Base of the band transition handlers: reference counting, the held option
// source, the turning of clock ticks into a phase 0..maxPhase, the end-of-step
// answer, the pass-through of a source at both ends, and the final image.
#pragma once

#include <cstdint>

#include "frame/host_ref.h"
#include "hostapi/transition.h"
#include "transitions/counted.h"

class tBandTransHandler : public tCounted<iZANBandTransHandler> {
 public:
  // Takes a reference on `options` when not null. `time` is in host ticks and
  // taken as unsigned; `maxPhase` must not be negative.
  tBandTransHandler(iZANOptionSource *options, orn_int layerType, uint64_t time, orn_int maxPhase);
  orn_int SetOptionSource(iZANOptionSource *options) override;
  // phase := elapsed * maxPhase / time, truncated and capped at maxPhase; the
  // first step latches the start tick and has phase 0. A time of 0 completes at
  // once; a tick before the start (a clock gone back) counts as complete.
  orn_int BeginStep(uint64_t tick) override;
  // 1 while phase < maxPhase, then 2.
  orn_int EndStep() override;
  // Phase 0 redirects the band to the first source, maxPhase to the second;
  // in between the transition's Blend writes it.
  orn_int ProcessBand(tZANBandData *band) override;
  // Names the second source; takes no reference.
  orn_int ChooseFinalImage(iZANLineSource **out, iZANLineSource *first,
                           iZANLineSource *second) override;

  // The pixel work of one band while 0 < phase < maxPhase.
  virtual void Blend(tZANBandData *band) = 0;

 protected:
  tHostRef<iZANOptionSource> optionSource;
  uint8_t layerTypeFlag;
  uint64_t startTick = 0;
  uint64_t time;
  bool firstStep = true;
  orn_int maxPhase;
  orn_int phase = 0;
};
