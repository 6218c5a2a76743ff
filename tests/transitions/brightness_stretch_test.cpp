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

}  // namespace
