// zanhost rule: every kind is an 8-bit grey PNG spanning 0..255 whose change
// starts where its help says; --invert mirrors the levels; noise follows its
// seed; options that do not shape the kind are refused.
#include <algorithm>

#include "host/png_reader.h"
#include "zanhost_fixture.h"

namespace zanhost::cli {
namespace {

using RuleCommandTest = ZanhostTest;

int LevelAt(const PixelBuffer &picture, int x, int y) {
  return static_cast<int>(picture.Row32(y)[x] & 0xFF);
}

struct RuleCase {
  std::vector<std::string> words;  // after "rule"
  int firstX, firstY;              // a pixel that changes early...
  int lateX, lateY;                // ...and one that changes late
};

TEST_F(RuleCommandTest, EveryKindIsGreySpansTheLevelsAndStartsWhereSaid) {
  const RuleCase cases[] = {
      {{"linear"}, 0, 10, 39, 10},
      {{"linear", "--angle", "90"}, 20, 0, 20, 29},
      {{"radial"}, 20, 15, 0, 0},
      {{"clock", "--angle", "90"}, 39, 16, 20, 0},
      {{"blinds", "--count", "4"}, 0, 5, 9, 5},
      {{"diamond"}, 20, 15, 39, 0},
      {{"checker", "--count", "4"}, 5, 5, 15, 5},
      {{"spiral", "--turns", "1"}, 20, 15, 39, 29},
      {{"noise", "--seed", "7", "--smooth", "1"}, -1, 0, 0, 0},
  };
  for (const RuleCase &c : cases) {
    std::vector<std::string> words = {"rule"};
    words.insert(words.end(), c.words.begin(), c.words.end());
    words.insert(words.end(), {"--size", "40x30", "-o", "rule.png"});
    const ProgramResult result = Run(words);
    ASSERT_EQ(result.exitCode, 0) << c.words[0] << ": " << result.err;
    const std::string file = ReadFile("rule.png");
    ASSERT_GT(file.size(), 26u);
    EXPECT_EQ(file[24], 8) << c.words[0] << ": bit depth";
    EXPECT_EQ(file[25], 0) << c.words[0] << ": colour type grey";
    const PixelBuffer rule = ReadPng(Path("rule.png"));
    int low = 255;
    int high = 0;
    for (int y = 0; y < rule.Height(); ++y) {
      for (int x = 0; x < rule.Width(); ++x) {
        low = std::min(low, LevelAt(rule, x, y));
        high = std::max(high, LevelAt(rule, x, y));
      }
    }
    EXPECT_EQ(low, 0) << c.words[0];
    EXPECT_EQ(high, 255) << c.words[0];
    if (c.firstX >= 0) {
      EXPECT_LT(LevelAt(rule, c.firstX, c.firstY) + 64, LevelAt(rule, c.lateX, c.lateY))
          << c.words[0];
    }
    words.push_back("--invert");
    ASSERT_EQ(Run(words).exitCode, 0);
    const PixelBuffer inverted = ReadPng(Path("rule.png"));
    for (int y = 0; y < rule.Height(); ++y) {
      for (int x = 0; x < rule.Width(); ++x) {
        ASSERT_EQ(LevelAt(rule, x, y) + LevelAt(inverted, x, y), 255) << c.words[0];
      }
    }
  }
}

TEST_F(RuleCommandTest, NoiseFollowsItsSeed) {
  const auto noise = [&](const char *seed, const char *name) {
    EXPECT_EQ(Run({"rule", "noise", "--seed", seed, "--size", "16x16", "-o", name}).exitCode, 0);
    return ReadPng(Path(name));
  };
  EXPECT_TRUE(SamePixels(noise("3", "a.png"), noise("3", "b.png")));
  EXPECT_FALSE(SamePixels(noise("3", "a.png"), noise("4", "b.png")));
}

TEST_F(RuleCommandTest, OptionsOutsideTheKindAndFlatSizesAreRefused) {
  const std::vector<std::string> refused[] = {
      {"rule", "radial", "--count", "3", "--size", "8x8", "-o", "r.png"},
      {"rule", "wavy", "--size", "8x8", "-o", "r.png"},
      {"rule", "radial", "--size", "1x1", "-o", "r.png"},
      {"rule", "linear", "--size", "8x8"},
  };
  for (const std::vector<std::string> &words : refused) {
    const ProgramResult result = Run(words);
    EXPECT_EQ(result.exitCode, 2) << words[1];
    EXPECT_FALSE(Exists("r.png"));
  }
}

}  // namespace
}  // namespace zanhost::cli
