// The "add" transition: a rule-graphic blend in which one picture is brightened
// by a flat grey, growing over the first source (add="in") or fading from the
// second (add="out").
#pragma once

#include "transitions/band_provider.h"

class tAddTransHandlerProvider : public tBandTransHandlerProvider {
 public:
  orn_int GetName(const orn_char **name) override;
  // Reads "time", "vague" (64), "add" ("in" or "out") and "rule" in that order,
  // loads the rule graphic at 8 bits, sizes the scratch line; raises the
  // option's message for a missing or bad option or an unloadable graphic.
  iZANBandTransHandler *CreateHandler(iZANOptionSource *options, iZANImageSource *images,
                                      orn_int layerType, orn_int src1Width, orn_int src1Height,
                                      orn_int src2Width, orn_int src2Height) override;
};
