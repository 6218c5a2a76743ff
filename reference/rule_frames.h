// The frames of the rule transitions "add" and "brightness" stated plainly from
// the host's documented pixel arithmetic (host/pixel_routines.h) and the rule:
// per pixel the weight of its rule level at the step, the mix of the two
// pictures by it, and for "add" the grey added to one of them first.
#pragma once

#include <cstdint>

#include "host/pixel_buffer.h"

namespace fxref {

struct tRuleStep {
  int32_t phase;   // 0 to 255 + vague
  int32_t vague;   // as the transition keeps it (255 + vague is never negative)
  bool withAlpha;  // a nonzero layer type: alpha is mixed too, else the frame is opaque
};

// The rule "brightness" computes from `source` (8-bit, the source's size): the
// truncated mean brightness of the (2r+1) x (2r+1) window cut at the edges,
// stretched to 0..255 unless uniform or already full, inverted when asked.
zanhost::PixelBuffer BrightnessRule(const zanhost::PixelBuffer &source, int radius, bool invert);

// What a rule transition shows at the step: `first` at phase 0, `second` at the
// last phase, between them `first` and `second` mixed through the 8-bit `rule`
// (all three of one size).
zanhost::PixelBuffer RuleFrame(const zanhost::PixelBuffer &first,
                               const zanhost::PixelBuffer &second, const zanhost::PixelBuffer &rule,
                               const tRuleStep &step);

// The same for "add": between the ends the first picture ("in") or the second
// ("out") is brightened by the step's grey before the mix.
zanhost::PixelBuffer AddFrame(const zanhost::PixelBuffer &first, const zanhost::PixelBuffer &second,
                              const zanhost::PixelBuffer &rule, bool addIn, const tRuleStep &step);

}  // namespace fxref
