// StretchLevels on every path against the exact quotients.
#include "pixels/stretch_levels.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/pixels/kernel_path_test.h"

namespace pixels {
namespace {

struct StretchCase {
  std::vector<uint8_t> levels;
  std::vector<uint8_t> expected;
};

std::vector<uint8_t> Inverted(std::vector<uint8_t> levels) {
  for (uint8_t &v : levels) {
    v = static_cast<uint8_t>(255 - v);
  }
  return levels;
}

class StretchLevelsPathTest : public fxtest::KernelPathTest {};

TEST_P(StretchLevelsPathTest, StretchesToFullRangeUnlessUniformOrFull) {
  const StretchCase cases[] = {
      {{10, 20, 30}, {0, 127, 255}},   // (v - 10) * 255 / 20
      {{7, 7, 7}, {7, 7, 7}},          // uniform: no division by zero
      {{0, 128, 255}, {0, 128, 255}},  // already full range
      {{1, 2}, {0, 255}},
      {{0, 100, 200}, {0, 127, 255}},  // 100 * 255 / 200 = 127.5
      {{}, {}},
  };
  for (const StretchCase &c : cases) {
    for (bool invert : {false, true}) {
      std::vector<uint8_t> levels = c.levels;
      StretchLevels(levels.data(), levels.size(), invert, GetParam());
      EXPECT_EQ(levels, invert ? Inverted(c.expected) : c.expected);
    }
  }
}

// Every span the stretch can meet and every level in it, from several lowest
// levels, repeated so that every level also passes through the vector loop:
// the result must be the exact integer quotient, inverted on request.
TEST_P(StretchLevelsPathTest, EverySpanAndLevelGivesExactQuotient) {
  for (unsigned low : {0u, 1u, 37u}) {
    for (unsigned span = 0; span + low <= 255; ++span) {
      std::vector<uint8_t> levels, expected;
      const bool keep = span == 0 || span == 255;
      while (levels.size() < 48) {
        for (unsigned v = low; v <= low + span; ++v) {
          levels.push_back(static_cast<uint8_t>(v));
          expected.push_back(static_cast<uint8_t>(keep ? v : (v - low) * 255 / span));
        }
      }
      for (bool invert : {false, true}) {
        std::vector<uint8_t> stretched = levels;
        StretchLevels(stretched.data(), stretched.size(), invert, GetParam());
        ASSERT_EQ(stretched, invert ? Inverted(expected) : expected)
            << "lowest " << low << ", span " << span << ", inverted " << invert;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, StretchLevelsPathTest, fxtest::EveryKernelPath(), fxtest::PathName);

}  // namespace
}  // namespace pixels
