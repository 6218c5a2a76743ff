#include <gtest/gtest.h>

#include <vector>

#include "transitions/brightness_rule.h"

namespace {

struct StretchCase {
  std::vector<uint8_t> levels;
  std::vector<uint8_t> expected;
};

TEST(BrightnessStretchTest, StretchesToFullRangeUnlessUniformOrFull) {
  const StretchCase cases[] = {
      {{10, 20, 30}, {0, 127, 255}},   // (v - 10) * 255 / 20
      {{7, 7, 7}, {7, 7, 7}},          // uniform: no division by zero
      {{0, 128, 255}, {0, 128, 255}},  // already full range
      {{1, 2}, {0, 255}},
      {{0, 100, 200}, {0, 127, 255}},  // 100 * 255 / 200 = 127.5
      {{}, {}},
  };
  for (const StretchCase &c : cases) {
    std::vector<uint8_t> levels = c.levels;
    StretchLevels(levels.data(), levels.size());
    EXPECT_EQ(levels, c.expected);
  }
}

// Every span the stretch can meet and every level in it, from two lowest
// levels: the result must be the exact integer quotient.
TEST(BrightnessStretchTest, EverySpanAndLevelGivesExactQuotient) {
  for (unsigned low : {0u, 1u}) {
    for (unsigned span = 1; span + low <= 255 && span < 255; ++span) {
      std::vector<uint8_t> levels, expected;
      for (unsigned v = low; v <= low + span; ++v) {
        levels.push_back(static_cast<uint8_t>(v));
        expected.push_back(static_cast<uint8_t>((v - low) * 255 / span));
      }
      StretchLevels(levels.data(), levels.size());
      ASSERT_EQ(levels, expected) << "lowest " << low << ", span " << span;
    }
  }
}

}  // namespace
