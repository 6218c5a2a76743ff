#include "tools/rule_graphics.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

namespace zanhost::cli {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char *kNames[kRuleKindCount] = {"linear",  "radial",  "clock",  "blinds",
                                                "diamond", "checker", "spiral", "noise"};

using Field = std::vector<double>;

// The value of a geometric kind at the pixel whose centre is (x, y).
double GeometricValue(RuleKind kind, double x, double y, int width, int height,
                      const RuleSettings &settings) {
  const double dx = x - width / 2.0;
  const double dy = y - height / 2.0;
  const double radians = settings.angle * kPi / 180;
  const double along = x * std::cos(radians) + y * std::sin(radians);
  // Degrees clockwise from twelve o'clock (rows grow downwards).
  const double bearing = std::atan2(dx, -dy) * 180 / kPi;
  switch (kind) {
    case RuleKind::kLinear:
      return along;
    case RuleKind::kRadial:
      return std::hypot(dx, dy);
    case RuleKind::kClock:
      return std::fmod(bearing - settings.angle + 720, 360);
    case RuleKind::kBlinds: {
      // One stripe of the width of the picture's extent along the angle / count.
      const double corners[] = {0, width * std::cos(radians), height * std::sin(radians),
                                width * std::cos(radians) + height * std::sin(radians)};
      const double low = *std::min_element(std::begin(corners), std::end(corners));
      const double high = *std::max_element(std::begin(corners), std::end(corners));
      const double stripe = (high - low) / settings.count;
      return std::fmod(along - low, stripe) / stripe;
    }
    case RuleKind::kDiamond:
      return std::abs(dx) / width + std::abs(dy) / height;
    case RuleKind::kChecker: {
      // Square cells; the cells of one colour grow from their centres first.
      const double cell = static_cast<double>(width) / settings.count;
      const double column = std::floor(x / cell);
      const double row = std::floor(y / cell);
      const double parity = std::fmod(column + row, 2);
      const double reach =
          std::max(std::abs(x - (column + 0.5) * cell), std::abs(y - (row + 0.5) * cell)) /
          (cell / 2);
      return parity + reach;
    }
    default: {  // spiral
      const double outmost = std::hypot(width / 2.0, height / 2.0);
      return settings.turns * std::hypot(dx, dy) / outmost + (bearing + 180) / 360;
    }
  }
}

// Mean over the (2r+1) pixels around each, cut off at the ends, along rows
// (`step` 1) or columns (`step` width).
void BoxMean(Field &field, int count, int lines, int step, int lineStep, int radius) {
  std::vector<double> line(static_cast<size_t>(count));
  for (int l = 0; l < lines; ++l) {
    double *start = field.data() + static_cast<ptrdiff_t>(l) * lineStep;
    for (int i = 0; i < count; ++i) {
      line[static_cast<size_t>(i)] = start[static_cast<ptrdiff_t>(i) * step];
    }
    for (int i = 0; i < count; ++i) {
      const int from = std::max(0, i - radius);
      const int to = std::min(count - 1, i + radius);
      double sum = 0;
      for (int j = from; j <= to; ++j) {
        sum += line[static_cast<size_t>(j)];
      }
      start[static_cast<ptrdiff_t>(i) * step] = sum / (to - from + 1);
    }
  }
}

Field NoiseField(int width, int height, const RuleSettings &settings) {
  // mt19937's sequence is fixed by the standard: one seed, one picture anywhere.
  std::mt19937 generator(settings.seed);
  Field field(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (double &value : field) {
    value = static_cast<double>(generator() >> 24);
  }
  if (settings.smooth > 0) {
    BoxMean(field, width, height, 1, width, settings.smooth);
    BoxMean(field, height, width, width, 1, settings.smooth);
  }
  return field;
}

}  // namespace

const char *const *RuleKindNames() {
  return kNames;
}

bool FindRuleKind(const std::string &name, RuleKind &kind) {
  for (int i = 0; i < kRuleKindCount; ++i) {
    if (name == kNames[i]) {
      kind = static_cast<RuleKind>(i);
      return true;
    }
  }
  return false;
}

PixelBuffer MakeRule(RuleKind kind, int width, int height, const RuleSettings &settings) {
  Field field;
  if (kind == RuleKind::kNoise) {
    field = NoiseField(width, height, settings);
  } else {
    field.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        field.push_back(GeometricValue(kind, x + 0.5, y + 0.5, width, height, settings));
      }
    }
  }
  const auto [low, high] = std::minmax_element(field.begin(), field.end());
  const double span = *high - *low;
  if (!(span > 0)) {
    throw std::invalid_argument(std::string("rule \"") + kNames[static_cast<int>(kind)] +
                                "\" is one flat level at " + std::to_string(width) + "x" +
                                std::to_string(height));
  }
  PixelBuffer levels(width, height, 8);
  for (int y = 0; y < height; ++y) {
    uint8_t *row = levels.Row(y);
    for (int x = 0; x < width; ++x) {
      const double value = field[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
      const auto level = static_cast<uint8_t>(std::floor((value - *low) / span * 255 + 0.5));
      row[x] = settings.invert ? static_cast<uint8_t>(255 - level) : level;
    }
  }
  return levels;
}

PixelBuffer GreyToArgb(const PixelBuffer &levels) {
  PixelBuffer pixels(levels.Width(), levels.Height(), 32);
  for (int y = 0; y < levels.Height(); ++y) {
    const uint8_t *from = levels.Row(y);
    uint32_t *to = pixels.Row32(y);
    for (int x = 0; x < levels.Width(); ++x) {
      to[x] = 0xFF000000u | from[x] * 0x010101u;
    }
  }
  return pixels;
}

}  // namespace zanhost::cli
