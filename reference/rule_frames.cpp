#include "reference/rule_frames.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "reference/brightness_levels.h"

namespace fxref {
namespace {

using zanhost::PixelBuffer;

uint32_t Channel(uint32_t pixel, int shift) {
  return (pixel >> shift) & 0xFFu;
}

// The blend table's entry for `level`: the weight of the second picture.
uint32_t Weight(const tRuleStep &step, int level) {
  const int64_t ahead = int64_t{step.phase} - level;
  if (step.vague <= 0) {
    return ahead > 0 ? 255 : 0;
  }
  return static_cast<uint32_t>(std::clamp<int64_t>(ahead * 255 / step.vague, 0, 255));
}

uint32_t Mix(uint32_t a, uint32_t b, uint32_t weight, bool withAlpha) {
  uint32_t out = withAlpha ? 0 : 0xFF000000u;
  for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8) {
    out |= (Channel(a, shift) * (255 - weight) + Channel(b, shift) * weight + 127) / 255 << shift;
  }
  return out;
}

// An opaque grey of `grey` per colour with the picture's colours added, each
// saturating at 255.
uint32_t Brightened(uint32_t pixel, uint32_t grey) {
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= std::min<uint32_t>(Channel(pixel, shift) + grey, 255) << shift;
  }
  return out;
}

// `first` and `second` mixed through the rule; the picture `brightened` names
// (1 or 2; 0: none) has `grey` added first.
PixelBuffer Mixed(const PixelBuffer &first, const PixelBuffer &second, const PixelBuffer &rule,
                  const tRuleStep &step, int brightened, uint32_t grey) {
  if (step.phase == 0) {
    return first;
  }
  if (step.phase == 255 + step.vague) {
    return second;
  }
  PixelBuffer frame(first.Width(), first.Height(), 32);
  for (int y = 0; y < first.Height(); ++y) {
    for (int x = 0; x < first.Width(); ++x) {
      uint32_t a = first.Row32(y)[x];
      uint32_t b = second.Row32(y)[x];
      if (brightened == 1) {
        a = Brightened(a, grey);
      } else if (brightened == 2) {
        b = Brightened(b, grey);
      }
      frame.Row32(y)[x] = Mix(a, b, Weight(step, rule.Row(y)[x]), step.withAlpha);
    }
  }
  return frame;
}

}  // namespace

PixelBuffer BrightnessRule(const PixelBuffer &source, int radius, bool invert) {
  const int width = source.Width();
  const int height = source.Height();
  std::vector<const uint32_t *> rows;
  for (int y = 0; y < height; ++y) {
    rows.push_back(source.Row32(y));
  }
  const std::vector<uint8_t> levels =
      NaiveStretchLevels(NaiveMeans(rows.data(), width, height, radius), invert);
  PixelBuffer rule(width, height, 8);
  for (int y = 0; y < height; ++y) {
    std::copy_n(levels.begin() + ptrdiff_t(y) * width, width, rule.Row(y));
  }
  return rule;
}

PixelBuffer RuleFrame(const PixelBuffer &first, const PixelBuffer &second, const PixelBuffer &rule,
                      const tRuleStep &step) {
  return Mixed(first, second, rule, step, 0, 0);
}

PixelBuffer AddFrame(const PixelBuffer &first, const PixelBuffer &second, const PixelBuffer &rule,
                     bool addIn, const tRuleStep &step) {
  const int32_t maxPhase = 255 + step.vague;
  int32_t level = maxPhase > 0 ? static_cast<int32_t>(int64_t{step.phase} * 255 / maxPhase) : 0;
  if (!addIn) {
    level = 255 - level;
  }
  return Mixed(first, second, rule, step, addIn ? 1 : 2, static_cast<uint32_t>(level / 2));
}

}  // namespace fxref
