// Base of the providers of the band transitions ("add", "brightness"): reference
// counting and the shared start of a transition with its size check. Each
// transition supplies its name and CreateHandler.
#pragma once

#include "hostapi/transition.h"
#include "transitions/counted.h"

class tBandTransHandlerProvider : public tCounted<iZANTransHandlerProvider> {
 public:
  // Sets both result words to 1 first, whatever follows. Returns -1 for a null
  // handler slot or option source; raises "layer size mismatch" (second size,
  // first size) for sources of different sizes; otherwise stores what
  // CreateHandler made (null when out of memory) and returns 0.
  orn_int BeginTransition(iZANOptionSource *options, iZANImageSource *images, orn_int layerType,
                          orn_int src1Width, orn_int src1Height, orn_int src2Width,
                          orn_int src2Height, orn_int *resultFlag1, orn_int *resultFlag2,
                          iZANBandTransHandler **handler) override;

  // Reads the options and makes a handler with one reference for the caller;
  // null when its memory cannot be had. Bad options are raised.
  virtual iZANBandTransHandler *CreateHandler(iZANOptionSource *options, iZANImageSource *images,
                                              orn_int layerType, orn_int src1Width,
                                              orn_int src1Height, orn_int src2Width,
                                              orn_int src2Height) = 0;

 protected:
  // GetName for a provider called `ownName`: -1 for a null slot.
  static orn_int AnswerName(const orn_char *ownName, const orn_char **name);
};
