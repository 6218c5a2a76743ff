#include "layerfx/distortion_rows.h"

#include <cmath>

#include "layerfx/trig_tables.h"

namespace {

// Truncation toward zero, clamped to low..high before converting so that no
// value (huge, infinite or not a number, which gives low) is converted out of range.
int32_t ClampedTrunc(double value, int32_t low, int32_t high) {
  if (!(value > low)) {
    return low;
  }
  if (value >= high) {
    return high;
  }
  return static_cast<int32_t>(value);
}

// The low 10 bits of trunc(value); a value beyond 64-bit range is a multiple of
// 1024 (or not a number), giving 0.
int TableIndex(double value) {
  if (!(std::fabs(value) < 9.2e18)) {
    return 0;
  }
  return static_cast<int>(static_cast<int64_t>(value) & (trigTableSize - 1));
}

}  // namespace

tRowDisplacement DisplaceRow(const tWave &wave, int32_t top, int32_t y, int32_t sourceHeight,
                             int32_t width) {
  const double difference = wave.periodBottom - wave.periodTop;
  const double t =
      static_cast<double>(int64_t{top} + y) * difference / static_cast<double>(wave.screenHeight) +
      wave.periodTop;
  const int32_t lastRow = sourceHeight - 1;
  if (t == 0 || !std::isfinite(t)) {
    return {y < 0 ? 0 : (y > lastRow ? lastRow : y), 0};
  }
  const int k = TableIndex((y + t * wave.phase) * 1024 / t);
  const int32_t row = ClampedTrunc(y + t * sineTable[k] * 0.0625, 0, lastRow);
  const int32_t shift = ClampedTrunc(t * 0.03125 * cosineTable[k], -width, width);
  return {row, shift};
}
