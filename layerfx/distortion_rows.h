// The row geometry of "distortion": which source row and which horizontal
// shift each destination row takes, from the wave's period and phase.
#pragma once

#include <cstdint>

struct tRowDisplacement {
  int32_t sourceRow;  // clamped to 0..sourceHeight-1
  int32_t shift;      // clamped to -width..width: D[x] = S[x + shift]
};

struct tWave {
  double phase;         // turns of the wave
  double periodTop;     // rows, at screen row 0
  double periodBottom;  // rows, at screen row screenHeight
  int32_t screenHeight;
};

// For destination row `y` of a Layer at vertical position `top`: the period t
// runs linearly from periodTop to periodBottom over the screen; the angle is
// 2 pi (y / t + phase), looked up in 1024ths of a turn; the row moves by
// t/16 sin and shifts by t/32 cos. A period of 0, or one that is not finite (a
// screen of height 0), leaves the row in place.
tRowDisplacement DisplaceRow(const tWave &wave, int32_t top, int32_t y, int32_t sourceHeight,
                             int32_t width);
