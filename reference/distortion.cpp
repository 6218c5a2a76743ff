#include "reference/distortion.h"

#include <algorithm>
#include <cmath>

#include "host/pixel_routines.h"

namespace fxref {
namespace {

constexpr int kTableSize = 1024;

struct tTrigTables {
  double sine[kTableSize];
  double cosine[kTableSize];
  tTrigTables() {
    for (int i = 0; i < kTableSize; ++i) {
      sine[i] = std::sin(i * 0.006135923151542565);
      cosine[i] = std::cos(i * 0.006135923151542565);
    }
  }
};

// trunc(value) limited to low..high.
int32_t TruncateInto(double value, int32_t low, int32_t high) {
  if (std::isnan(value) || value <= low) {
    return low;
  }
  if (value >= high) {
    return high;
  }
  return static_cast<int32_t>(value);
}

// The low 10 bits of trunc(value); 0 beyond 64-bit range, where every double
// is a multiple of 1024.
int TableIndex(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 9223372036854775808.0) {
    return 0;
  }
  return static_cast<int>(static_cast<int64_t>(value) & (kTableSize - 1));
}

}  // namespace

void ReferenceDistortion(zanhost::PixelBuffer &dest, const zanhost::PixelBuffer &source,
                         const tWaveCall &call) {
  static const tTrigTables tables;
  const int32_t width = dest.Width();
  const int32_t sourceWidth = source.Width();
  const int32_t lastRow = source.Height() - 1;
  if (width <= 0 || dest.Height() <= 0 || sourceWidth <= 0 || lastRow < 0) {
    return;
  }
  const double difference = call.periodBottom - call.periodTop;
  for (int32_t y = 0; y < dest.Height(); ++y) {
    const double t = static_cast<double>(int64_t{call.destTop} + y) * difference /
                         static_cast<double>(call.screenHeight) +
                     call.periodTop;
    int32_t row = std::clamp(y, 0, lastRow);
    int32_t shift = 0;
    if (t != 0 && std::isfinite(t)) {
      const int k = TableIndex((y + t * call.phase) * 1024 / t);
      row = TruncateInto(y + t * tables.sine[k] * 0.0625, 0, lastRow);
      shift = TruncateInto(t * 0.03125 * tables.cosine[k], -width, width);
    }
    uint32_t *to = dest.Row32(y);
    const uint32_t *from = source.Row32(row);
    // The source row, its last pixel repeated past its end; read as the
    // buffer is now.
    auto sourcePixel = [&](int32_t x) { return from[std::min(x, sourceWidth - 1)]; };
    auto put = [&](int32_t x, uint32_t pixel) {
      if (call.opacity == 255) {
        to[x] = pixel;
      } else {
        zanhost::ZANConstAlphaBlend(&to[x], &pixel, 1, call.opacity);
      }
    };
    if (shift < 0) {
      const uint32_t edge = sourcePixel(0);
      for (int32_t x = 0; x < -shift; ++x) {
        put(x, edge);
      }
      for (int32_t x = -shift; x < width; ++x) {
        put(x, sourcePixel(x + shift));
      }
    } else {
      const uint32_t edge = sourcePixel(width - 1);
      for (int32_t x = width - shift; x < width; ++x) {
        put(x, edge);
      }
      for (int32_t x = 0; x < width - shift; ++x) {
        put(x, sourcePixel(x + shift));
      }
    }
  }
}

}  // namespace fxref
