// BrightnessMeans against a naive reference that sums every window
// directly, for every kernel path this processor runs.
#include "pixels/brightness_means.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "pixels/brightness_means_kernels.h"
#include "reference/brightness_levels.h"
#include "tests/pixels/kernel_path_test.h"

namespace pixels {
namespace {

// A source picture and the line pointers the kernel reads it through: lines
// `pad` words apart, stored top-down or bottom-up.
struct tSource {
  int32_t width, height;
  std::vector<uint32_t> pixels;
  std::vector<const uint32_t *> lines;

  tSource(int32_t w, int32_t h, std::vector<uint32_t> words, int32_t pad = 0,
          bool bottom_up = false)
      : width(w), height(h), pixels(size_t(w + pad) * size_t(h) + 1, 0xDEADBEEFu) {
    for (int32_t i = 0; i < h; ++i) {
      const size_t line = size_t(bottom_up ? h - 1 - i : i) * size_t(w + pad);
      std::copy_n(words.begin() + ptrdiff_t(i) * w, w, pixels.begin() + ptrdiff_t(line));
      lines.push_back(&pixels[line]);
    }
  }

  size_t Size() const { return size_t(width) * size_t(height); }
};

tSource RandomSource(int32_t w, int32_t h, std::mt19937 &rng) {
  std::vector<uint32_t> words(size_t(w) * h);
  for (uint32_t &word : words) {
    word = static_cast<uint32_t>(rng());
  }
  return tSource(w, h, std::move(words));
}

// Noise over grey tiles of random level, so that the means spread over most
// levels at any radius; every window sum of a white tile is a whole multiple
// of its cell count.
tSource TiledSource(int32_t w, int32_t h, std::mt19937 &rng, int32_t pad, bool bottom_up) {
  const int32_t tile = 1 + int32_t(rng() % 40);
  std::vector<uint32_t> levels(size_t((w / tile + 1) * (h / tile + 1)));
  for (uint32_t &level : levels) {
    level = rng() % 4 == 0 ? 255 : rng() % 256;
  }
  std::vector<uint32_t> words(size_t(w) * h);
  for (int32_t i = 0; i < h; ++i) {
    for (int32_t j = 0; j < w; ++j) {
      const uint32_t level = levels[size_t((i / tile) * (w / tile + 1) + j / tile)];
      const uint32_t noise = level == 255 ? 0 : rng() % 16;
      const uint32_t v = std::min<uint32_t>(255, level + noise);
      words[size_t(i) * w + size_t(j)] = (rng() & 0xFF000000u) | v * 0x010101u;
    }
  }
  return tSource(w, h, std::move(words), pad, bottom_up);
}

std::vector<uint8_t> NaiveMeans(const tSource &src, int32_t r) {
  return fxref::NaiveMeans(src.lines.data(), src.width, src.height, r);
}

// Runs the kernel into a buffer with a guard byte run after it.
std::vector<uint8_t> Means(const tSource &src, int32_t r, tKernelPath path,
                           tLevelRange *range = nullptr) {
  const size_t size = src.Size();
  std::vector<uint8_t> out(size + 16, 0xA5);
  tLevelRange ignored;
  EXPECT_TRUE(BrightnessMeans(src.lines.data(), src.width, src.height, r, out.data(),
                              range != nullptr ? range : &ignored, path));
  EXPECT_TRUE(
      std::all_of(out.begin() + ptrdiff_t(size), out.end(), [](uint8_t b) { return b == 0xA5; }));
  out.resize(size);
  return out;
}

class BrightnessMeansPathTest : public fxtest::KernelPathTest {};

TEST_P(BrightnessMeansPathTest, RandomPicturesMatchReference) {
  struct tCase {
    int32_t w, h;
  };
  // 100x90 at its largest radius takes windows past 4104 cells, where the
  // vector kernels' quotient shift grows past 32.
  const tCase sizes[] = {{1, 1},  {2, 2},   {3, 7},  {7, 3},   {9, 9},   {16, 5},  {17, 4},
                         {33, 9}, {40, 40}, {65, 6}, {130, 3}, {5, 130}, {100, 90}};
  std::mt19937 rng(21);
  for (tCase size : sizes) {
    const int32_t max_r = std::min(size.w, size.h) / 2;
    for (int32_t r : {0, 1, 2, 5, max_r / 2, max_r}) {
      if (r > max_r) {
        continue;
      }
      SCOPED_TRACE(testing::Message() << size.w << "x" << size.h << " r=" << r);
      const tSource src = RandomSource(size.w, size.h, rng);
      ASSERT_EQ(Means(src, r, GetParam()), NaiveMeans(src, r));
    }
  }
}

// W = 5, H = 3, r = 1: lines 0 and 2 divide by 4, 6, 6, 6, 4 and line 1 by
// 6, 9, 9, 9, 6. One white pixel (brightness 255) at each place in turn shows
// the divisor of every pixel whose window holds it.
TEST_P(BrightnessMeansPathTest, DivisorsOfCutWindows) {
  const uint32_t divisors[3][5] = {{4, 6, 6, 6, 4}, {6, 9, 9, 9, 6}, {4, 6, 6, 6, 4}};
  for (int32_t pi = 0; pi < 3; ++pi) {
    for (int32_t pj = 0; pj < 5; ++pj) {
      std::vector<uint32_t> words(15, 0xFF000000u);
      words[size_t(pi) * 5 + pj] = 0xFFFFFFFFu;
      const std::vector<uint8_t> out = Means(tSource(5, 3, words), 1, GetParam());
      for (int32_t i = 0; i < 3; ++i) {
        for (int32_t j = 0; j < 5; ++j) {
          const bool holds = std::abs(i - pi) <= 1 && std::abs(j - pj) <= 1;
          ASSERT_EQ(out[size_t(i) * 5 + j], holds ? 255 / divisors[i][j] : 0)
              << "white at " << pj << "," << pi << " read at " << j << "," << i;
        }
      }
    }
  }
}

// With radius 0 the means are the brightness itself: red weighs 19, green 183,
// blue 54, alpha nothing.
TEST_P(BrightnessMeansPathTest, ChannelWeights) {
  const std::vector<uint32_t> words = {0x00FF0000u, 0x0000FF00u, 0x000000FFu,
                                       0x00FFFFFFu, 0xFF000000u, 0x80102030u};
  const std::vector<uint8_t> expected = {
      18, 182, 53, 255, 0, uint8_t((19 * 0x10 + 183 * 0x20 + 54 * 0x30) >> 8)};
  EXPECT_EQ(Means(tSource(6, 1, words), 0, GetParam()), expected);
}

// Larger pictures against the plain path (itself checked against the naive
// sums above): widths around the 64 columns by which the lanes' segments
// grow, radii from 0 to the largest, up to and past the window sizes where the
// 256-bit path changes its walk, lines padded and stored bottom-up. The range
// reported is that of the means written.
TEST_P(BrightnessMeansPathTest, MatchesPlainPathAndReportsRange) {
  struct tCase {
    int32_t w, h;
  };
  const tCase sizes[] = {{63, 20},   {64, 64},   {65, 31},  {127, 9},  {128, 70},
                         {129, 40},  {191, 100}, {257, 33}, {300, 13}, {511, 60},
                         {641, 163}, {704, 170}, {1000, 7}, {1093, 23}};
  std::mt19937 rng(8);
  for (tCase size : sizes) {
    const int32_t max_r = std::min(size.w, size.h) / 2;
    for (int32_t r : {0, 1, 2, 3, 4, 7, 8, 9, 16, 31, 32, 33, 64, 79, 80, 81, max_r - 1, max_r}) {
      if (r < 0 || r > max_r) {
        continue;
      }
      const int32_t pad = int32_t(rng() % 3) * 7;
      const bool bottom_up = rng() % 2 == 0;
      SCOPED_TRACE(testing::Message() << size.w << "x" << size.h << " r=" << r << " pad=" << pad
                                      << (bottom_up ? " bottom-up" : ""));
      const tSource src = TiledSource(size.w, size.h, rng, pad, bottom_up);
      tLevelRange range;
      const std::vector<uint8_t> out = Means(src, r, GetParam(), &range);
      ASSERT_EQ(out, Means(src, r, tKernelPath::Plain));
      EXPECT_EQ(range.low, *std::min_element(out.begin(), out.end()));
      EXPECT_EQ(range.high, *std::max_element(out.begin(), out.end()));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, BrightnessMeansPathTest, fxtest::EveryKernelPath(),
                         fxtest::PathName);

TEST(BrightnessMeansTest, RadiusOutOfRangeWritesNothing) {
  std::mt19937 rng(2);
  const tSource src = RandomSource(6, 4, rng);
  std::vector<uint8_t> out(24, 7);
  for (int32_t r : {-1, 3}) {
    EXPECT_FALSE(BrightnessMeans(src.lines.data(), 6, 4, r, out.data()));
  }
  EXPECT_EQ(out, std::vector<uint8_t>(24, 7));
}

TEST(BrightnessMeansTest, WideSumKernelMatchesReference) {
  std::mt19937 rng(4);
  const tSource src = RandomSource(37, 21, rng);
  std::vector<uint8_t> out(src.Size());
  tLevelRange range;
  ASSERT_TRUE(BrightnessMeansRefWide(src.lines.data(), 37, 21, 7, out.data(), range));
  EXPECT_EQ(out, NaiveMeans(src, 7));
}

}  // namespace
}  // namespace pixels
