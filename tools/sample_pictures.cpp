#include "tools/sample_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/rule_graphics.h"

namespace zanhost::cli {
namespace {

uint32_t Argb(int alpha, int red, int green, int blue) {
  auto byte = [](int value) { return static_cast<uint32_t>(std::clamp(value, 0, 255)); };
  return byte(alpha) << 24 | byte(red) << 16 | byte(green) << 8 | byte(blue);
}

PixelBuffer WarmPicture(int width, int height) {
  PixelBuffer picture(width, height, 32);
  const int stripe = std::max(2, width / 12);
  const double holeRadius = std::min(width, height) / 6.0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool light = ((x + y) / stripe) % 2 == 0;
      const int red = 230;
      const int green = 60 + 120 * y / height + (light ? 50 : 0);
      const int blue = 40 + 150 * x / width;
      int alpha = 255 - std::max(0, 255 * (x - width * 3 / 4) / std::max(1, width / 4));
      const double dx = x - width / 4.0;
      const double dy = y - height / 3.0;
      if (dx * dx + dy * dy < holeRadius * holeRadius) {
        alpha = 0;
      }
      picture.Row32(y)[x] = Argb(std::max(alpha, 0), red, green, blue);
    }
  }
  return picture;
}

PixelBuffer CoolPicture(int width, int height) {
  PixelBuffer picture(width, height, 32);
  const double ringWidth = std::max(2.0, std::min(width, height) / 10.0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double distance = std::hypot(x - width * 0.65, y - height * 0.55);
      const bool ring = static_cast<int>(distance / ringWidth) % 2 == 0;
      const int red = 20 + (ring ? 40 : 0);
      const int green = 80 + 100 * x / width;
      const int blue = ring ? 230 : 140 + 60 * y / height;
      const int alpha = y >= height * 4 / 5 ? 128 : 255;
      picture.Row32(y)[x] = Argb(alpha, red, green, blue);
    }
  }
  return picture;
}

}  // namespace

SamplePictures MakeSamplePictures(int width, int height) {
  return SamplePictures{WarmPicture(width, height), CoolPicture(width, height),
                        GreyToArgb(MakeRule(RuleKind::kRadial, width, height, RuleSettings{}))};
}

}  // namespace zanhost::cli
