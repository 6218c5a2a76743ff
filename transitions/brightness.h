// The "brightness" transition: a rule blend whose rule is the blurred,
// stretched (and for the "_light" rules inverted) brightness of one source.
#pragma once

#include "transitions/band_provider.h"

class tBrightnessTransHandlerProvider : public tBandTransHandlerProvider {
 public:
  orn_int GetName(const orn_char **name) override;
  // Reads "time", "vague" (64), "blur" (0; 0..half the smaller side) and "rule"
  // ("fore_light", "fore_dark", "back_light", "back_dark") in that order and
  // raises the option's message for a missing or bad one.
  iZANBandTransHandler *CreateHandler(iZANOptionSource *options, iZANImageSource *images,
                                      orn_int layerType, orn_int src1Width, orn_int src1Height,
                                      orn_int src2Width, orn_int src2Height) override;
};
