// The "test" transition: a hard-edged wipe from top to bottom. Rows down to a
// boundary show the second source, the rows below it the first; the boundary
// moves down with the elapsed time. Failures are answered with -1, never raised
// by the module itself.
#pragma once

#include "hostapi/transition.h"
#include "transitions/counted.h"

class tTestTransHandlerProvider final : public tCounted<iZANTransHandlerProvider> {
 public:
  // Stores "test" when `name` is not null; 0 either way.
  orn_int GetName(const orn_char **name) override;
  // -1 for a null handler slot or option source, sources of different sizes, or
  // a missing or empty "time"; otherwise 0 with the handler (null when out of
  // memory). Options are read as variants: "time", then "maxh", "maxomega",
  // "bgcolor1", "bgcolor2", "testtype", which change nothing of the output.
  orn_int BeginTransition(iZANOptionSource *options, iZANImageSource *images, orn_int layerType,
                          orn_int src1Width, orn_int src1Height, orn_int src2Width,
                          orn_int src2Height, orn_int *resultFlag1, orn_int *resultFlag2,
                          iZANBandTransHandler **handler) override;
};
