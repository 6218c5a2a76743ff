// One frame of a transition with its bands cut at random, as an engine may cut
// them: strips of lines, each strip cut into pieces of columns, and now and
// then an empty band. A band the handler redirects is copied from the image it
// names, which must be one of the sources and contain the band.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include "host/line_source.h"

namespace fxfuzz {

struct tFrameImages {
  zanhost::BufferLineSource *dest;
  zanhost::BufferLineSource *src1;
  zanhost::BufferLineSource *src2;
};

// ProcessBand for every band of the frame; the first negative status, else 0.
orn_int ProcessCutFrame(FuzzedDataProvider &in, iZANBandTransHandler &handler,
                        const tFrameImages &images);

}  // namespace fxfuzz
