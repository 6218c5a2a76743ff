// The screen's inner size, read from the game object "vel" of the host's
// global script object. Serves the "add" transition and "distortion".
#pragma once

#include "hostapi/types.h"

struct tInnerSize {
  orn_int width;
  orn_int height;
};

// Raises "invoking of global.vel failed.", "invoking of vel.innerWidth failed."
// or "invoking of vel.innerHeight failed." when a read fails; everything it
// obtained is released on every path.
tInnerSize QueryInnerSize();
