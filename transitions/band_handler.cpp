#include "transitions/band_handler.h"

#include "transitions/progress.h"

tBandTransHandler::tBandTransHandler(iZANOptionSource *options, orn_int layerType, uint64_t time_,
                                     orn_int maxPhase_)
    : optionSource(tHostRef<iZANOptionSource>::Share(options)),
      layerTypeFlag(static_cast<uint8_t>(layerType & 0xff)),
      time(time_),
      maxPhase(maxPhase_) {}

orn_int tBandTransHandler::SetOptionSource(iZANOptionSource *options) {
  optionSource = tHostRef<iZANOptionSource>::Share(options);
  return 0;
}

orn_int tBandTransHandler::BeginStep(uint64_t tick) {
  if (firstStep) {
    startTick = tick;
    firstStep = false;
  }
  const uint64_t elapsed = tick - startTick;
  if (elapsed >= time) {
    // Also covers time 0 and a clock that went back (elapsed wraps to huge).
    phase = maxPhase;
  } else {
    phase = static_cast<orn_int>(ScaledProgress(elapsed, static_cast<uint32_t>(maxPhase), time));
  }
  return 1;
}

orn_int tBandTransHandler::EndStep() {
  return phase < maxPhase ? 1 : 2;
}

orn_int tBandTransHandler::ProcessBand(tZANBandData *band) {
  if (phase == 0) {
    band->dest = band->src1;
    band->destLeft = band->src1Left;
    band->destTop = band->src1Top;
  } else if (phase == maxPhase) {
    band->dest = band->src2;
    band->destLeft = band->src2Left;
    band->destTop = band->src2Top;
  } else {
    Blend(band);
  }
  return 0;
}

orn_int tBandTransHandler::ChooseFinalImage(iZANLineSource **out, iZANLineSource *,
                                            iZANLineSource *second) {
  *out = second;
  return 0;
}
