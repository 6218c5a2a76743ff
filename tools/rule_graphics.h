// Rule graphics drawn in code: 8-bit grey pictures for the rule transitions,
// whose dark parts change first. Each kind computes a value per pixel that is
// then stretched so that the levels span exactly 0 to 255.
#pragma once

#include <cstdint>
#include <string>

#include "host/pixel_buffer.h"

namespace zanhost::cli {

enum class RuleKind { kLinear, kRadial, kClock, kBlinds, kDiamond, kChecker, kSpiral, kNoise };

struct RuleSettings {
  double angle = 0;   // degrees: linear's and blinds' direction, clock's start
  int count = 8;      // blinds' stripes, checker's cells across
  double turns = 2;   // spiral's turns from the centre to the corners
  uint32_t seed = 1;  // noise
  int smooth = 2;     // noise: radius of the box mean that smooths it
  bool invert = false;
};

// Every kind's name, in the order of RuleKind, e.g. "linear".
const char *const *RuleKindNames();
constexpr int kRuleKindCount = 8;

// The kind for its name; false when there is none.
bool FindRuleKind(const std::string &name, RuleKind &kind);

// A picture of 8-bit levels. Throws std::invalid_argument when the kind draws
// one flat level at this size (nothing to spread over 0..255).
PixelBuffer MakeRule(RuleKind kind, int width, int height, const RuleSettings &settings);

// The levels as opaque grey 32-bit pixels, as a rule picture is registered.
PixelBuffer GreyToArgb(const PixelBuffer &levels);

}  // namespace zanhost::cli
