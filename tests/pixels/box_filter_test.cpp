// BoxFilter and BoxFilterAlpha against the plain summed-area reference, for
// every kernel path this processor runs.
#include "pixels/box_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "host/pixel_buffer.h"
#include "pixels/box_filter_kernels.h"
#include "reference/box_filter.h"
#include "tests/pixels/fenced_picture.h"
#include "tests/pixels/kernel_path_test.h"

// Allocation-failure tests ask for impossible sizes; let them fail quietly
// under AddressSanitizer too.
extern "C" const char *__asan_default_options() {
  return "allocator_may_return_null=1";
}

namespace pixels {
namespace {

using fxref::tBoxFilter;
using fxtest::RandomPixels;
using fxtest::tBytes;
using fxtest::tFencedPicture;

// The number of pixels in the window around (j, i), cut at the edges.
uint64_t WindowPixels(int32_t w, int32_t h, int32_t x, int32_t y, int32_t i, int32_t j) {
  const auto rows = uint64_t(std::min(h - 1, i + y) - std::max(0, i - y) + 1);
  return rows * uint64_t(std::min(w - 1, j + x) - std::max(0, j - x) + 1);
}

// Either filter from the summed-area tables of reference/, which share nothing
// with the kernels' sliding windows and cost the same whatever the radii.
tBytes ReferenceResult(tBoxFilter filter, const tBytes &src, int32_t w, int32_t h, int32_t x,
                       int32_t y) {
  zanhost::PixelBuffer picture(w, h, 32);
  const size_t row_bytes = size_t(w) * 4;
  for (int32_t r = 0; r < h; ++r) {
    std::memcpy(picture.Row(r), src.data() + size_t(r) * row_bytes, row_bytes);
  }
  fxref::ReferenceBoxFilter(picture, x, y, filter);
  tBytes out(src.size());
  for (int32_t r = 0; r < h; ++r) {
    std::memcpy(out.data() + size_t(r) * row_bytes, picture.Row(r), row_bytes);
  }
  return out;
}

bool RunKernel(tBoxFilter kernel, const tPixelRows &rows, int32_t x, int32_t y, tKernelPath path) {
  return kernel == tBoxFilter::Plain ? BoxFilter(rows, x, y, path)
                                     : BoxFilterAlpha(rows, x, y, path);
}

struct tSize {
  int32_t w, h;
};

// Widths 1, 2, odd, and just past 4-, 8- and 16-pixel blocks; heights alike.
const tSize kSizes[] = {{1, 1},  {2, 1},  {1, 2},  {2, 2},   {3, 3},   {5, 3},   {1, 17},
                        {2, 9},  {7, 13}, {8, 5},  {9, 9},   {16, 4},  {17, 6},  {31, 3},
                        {33, 8}, {64, 5}, {65, 7}, {12, 40}, {129, 3}, {300, 3}, {4, 260}};

// Radii pairs for a size: none, small, the largest allowed, and mixed.
std::vector<tSize> RadiiFor(tSize size, std::mt19937 &rng) {
  const int32_t mx = size.w / 2;
  const int32_t my = size.h / 2;
  const std::vector<tSize> wanted = {
      {0, 0},
      {1, 0},
      {0, 1},
      {1, 1},
      {2, 1},
      {1, 3},
      {mx, my},
      {mx, 0},
      {0, my},
      {mx, 1},
      {int32_t(rng() % uint32_t(mx + 1)), int32_t(rng() % uint32_t(my + 1))}};
  std::vector<tSize> radii;
  for (tSize r : wanted) {
    if (r.w <= mx && r.h <= my) {
      radii.push_back(r);
    }
  }
  return radii;
}

class BoxFilterPathTest : public fxtest::KernelPathTest {
 protected:
  // Every size and radius pair, cycling through padded and negative pitches.
  void SweepRandomPictures(tBoxFilter kernel, uint32_t seed) {
    std::mt19937 rng(seed);
    int layout = 0;
    for (tSize size : kSizes) {
      for (tSize radii : RadiiFor(size, rng)) {
        const tBytes src = RandomPixels(size.w, size.h, rng, kernel == tBoxFilter::AlphaWeighted);
        const int32_t guard_words = layout % 3 == 0 ? 0 : layout % 5 + 1;
        const bool bottom_up = layout % 2 == 1;
        ++layout;
        SCOPED_TRACE(testing::Message()
                     << size.w << "x" << size.h << " x=" << radii.w << " y=" << radii.h
                     << " guard=" << guard_words << " bottom_up=" << bottom_up);
        tFencedPicture picture(size.w, size.h, src, guard_words, bottom_up);
        ASSERT_TRUE(RunKernel(kernel, picture.Rows(), radii.w, radii.h, GetParam()));
        ASSERT_EQ(picture.Pixels(), ReferenceResult(kernel, src, size.w, size.h, radii.w, radii.h));
        ASSERT_TRUE(picture.GuardsIntact());
      }
    }
  }
};

TEST_P(BoxFilterPathTest, BlurMatchesReference) {
  SweepRandomPictures(tBoxFilter::Plain, 11);
}

TEST_P(BoxFilterPathTest, BlurAlphaMatchesReference) {
  SweepRandomPictures(tBoxFilter::AlphaWeighted, 12);
}

// Columns of up to 257 rows may keep their sums in 16 bits (255 * 257 = 65535),
// taller ones may not: y = 128 is the last radius of the first kind, y = 129
// the first of the other. All-255 pictures bring the sums to their maximum,
// random ones check the rest; widths cover the row's vector blocks, their
// ends and odd tails, and a run of whole-window blocks long enough for a walk
// that changes the column sums ahead of its blocks.
TEST_P(BoxFilterPathTest, BlurColumnSumsAroundSixteenBits) {
  std::mt19937 rng(17);
  int layout = 0;
  for (int32_t y : {127, 128, 129}) {
    const int32_t h = 2 * y + 3;
    for (tSize size : {tSize{3, 1}, tSize{19, 5}, tSize{43, 16}, tSize{157, 9}}) {
      const int32_t w = size.w;
      const int32_t x = size.h;
      const tBytes full(size_t(w) * h * 4, 255);
      for (const tBytes &src : {full, RandomPixels(w, h, rng, false)}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h << " x=" << x << " y=" << y);
        tFencedPicture picture(w, h, src, layout % 3, layout % 2 == 1);
        ++layout;
        ASSERT_TRUE(BoxFilter(picture.Rows(), x, y, GetParam()));
        ASSERT_EQ(picture.Pixels(), ReferenceResult(tBoxFilter::Plain, src, w, h, x, y));
        ASSERT_TRUE(picture.GuardsIntact());
      }
    }
  }
}

// Every horizontal radius on one width, so that the row's vector blocks (cut
// windows at the left, whole ones, cut ones at the right) meet the pixels
// taken one at a time at every offset.
TEST_P(BoxFilterPathTest, BlurEveryHorizontalRadius) {
  std::mt19937 rng(19);
  for (int32_t w : {40, 61}) {
    const tBytes src = RandomPixels(w, 3, rng, false);
    for (int32_t x = 0; 2 * x <= w; ++x) {
      SCOPED_TRACE(testing::Message() << "w=" << w << " x=" << x);
      tFencedPicture picture(w, 3, src, 1, false);
      ASSERT_TRUE(BoxFilter(picture.Rows(), x, 1, GetParam()));
      ASSERT_EQ(picture.Pixels(), ReferenceResult(tBoxFilter::Plain, src, w, 3, x, 1));
    }
  }
}

struct tBgra {
  uint8_t b, g, r, a;
};

struct tWorkedCase {
  const char *name;
  tBoxFilter kernel;
  int32_t x, y;
  std::vector<tBgra> row;  // one row of pixels
  std::vector<tBgra> expected;
};

tBytes ToBytes(const std::vector<tBgra> &pixels) {
  tBytes out;
  for (const tBgra &p : pixels) {
    out.insert(out.end(), {p.b, p.g, p.r, p.a});
  }
  return out;
}

TEST_P(BoxFilterPathTest, WorkedNumbers) {
  const tWorkedCase cases[] = {
      {"pair of 200 and 100 gives exact 150",
       tBoxFilter::Plain,
       1,
       0,
       {{200, 200, 200, 200}, {100, 100, 100, 100}},
       {{150, 150, 150, 150}, {150, 150, 150, 150}}},
      {"0 255 0 gives 127 at the end and 84 in the middle",
       tBoxFilter::Plain,
       1,
       0,
       {{0, 0, 0, 0}, {255, 255, 255, 255}, {0, 0, 0, 0}},
       {{127, 127, 127, 127}, {84, 84, 84, 84}, {127, 127, 127, 127}}},
      {"blur halves red next to transparent black",
       tBoxFilter::Plain,
       1,
       0,
       {{0, 0, 0, 0}, {0, 0, 255, 255}},
       {{0, 0, 127, 127}, {0, 0, 127, 127}}},
      {"blur_alpha keeps red next to transparent black",
       tBoxFilter::AlphaWeighted,
       1,
       0,
       {{0, 0, 0, 0}, {0, 0, 255, 255}},
       {{0, 0, 255, 127}, {0, 0, 255, 127}}},
      {"transparent window keeps its colour bytes",
       tBoxFilter::AlphaWeighted,
       1,
       0,
       {{0x12, 0x34, 0x56, 0}, {0xAB, 0xCD, 0xEF, 0}, {1, 2, 3, 0}},
       {{0x12, 0x34, 0x56, 0}, {0xAB, 0xCD, 0xEF, 0}, {1, 2, 3, 0}}},
  };
  for (const tWorkedCase &c : cases) {
    SCOPED_TRACE(c.name);
    const int32_t w = int32_t(c.row.size());
    tFencedPicture picture(w, 1, ToBytes(c.row), 1, false);
    ASSERT_TRUE(RunKernel(c.kernel, picture.Rows(), c.x, c.y, GetParam()));
    EXPECT_EQ(picture.Pixels(), ToBytes(c.expected));
  }
}

// A uniform picture: blur loses one wherever n is not a power of two, since
// floor(v * n * floor(2^32 / n) / 2^32) = v - 1 then; blur_alpha divides exactly.
TEST_P(BoxFilterPathTest, UniformPictureDropsOnlyUnderBlur) {
  const tSize sizes[] = {{5, 4}, {19, 11}, {40, 3}};
  const tBgra colour = {10, 200, 255, 255};
  for (tSize size : sizes) {
    for (tSize radii : {tSize{1, 1}, tSize{2, 0}, tSize{size.w / 2, size.h / 2}}) {
      SCOPED_TRACE(testing::Message() << size.w << "x" << size.h << " x=" << radii.w);
      const tBytes src = ToBytes(std::vector<tBgra>(size_t(size.w) * size.h, colour));
      tFencedPicture blurred(size.w, size.h, src, 0, false);
      tFencedPicture weighted(size.w, size.h, src, 0, false);
      ASSERT_TRUE(BoxFilter(blurred.Rows(), radii.w, radii.h, GetParam()));
      ASSERT_TRUE(BoxFilterAlpha(weighted.Rows(), radii.w, radii.h, GetParam()));
      EXPECT_EQ(weighted.Pixels(), src);
      const tBytes out = blurred.Pixels();
      for (int32_t i = 0; i < size.h; ++i) {
        for (int32_t j = 0; j < size.w; ++j) {
          const uint64_t n = WindowPixels(size.w, size.h, radii.w, radii.h, i, j);
          const int drop = (n & (n - 1)) == 0 ? 0 : 1;
          const uint8_t *p = &out[(size_t(i) * size.w + j) * 4];
          ASSERT_EQ(p[0], colour.b - drop);
          ASSERT_EQ(p[1], colour.g - drop);
          ASSERT_EQ(p[2], colour.r - drop);
          ASSERT_EQ(p[3], colour.a - drop);
        }
      }
    }
  }
}

// Bright, mostly opaque pixels: window sums near their largest, quotients near
// 255 and near whole numbers, where estimates from floating point are most at
// risk.
tBytes BrightPixels(int32_t w, int32_t h, std::mt19937 &rng) {
  tBytes src(size_t(w) * h * 4);
  for (size_t k = 0; k < src.size(); k += 4) {
    const uint32_t pick = rng() % 4;
    src[k + 3] = pick == 0 ? uint8_t(rng()) : uint8_t(255 - pick + 1);
    for (size_t c = 0; c < 3; ++c) {
      src[k + c] = rng() % 3 == 0 ? uint8_t(rng()) : 255;
    }
  }
  return src;
}

// Windows around the sizes where the weighted sums change range: 33,025
// pixels keep colour sums below 2^31 (33,027 and the 3 x 11,009 window do
// not), and 66,051 (x = 33,025) is the largest whose sums fit 32 bits, where
// alpha sums pass 2^24.
TEST_P(BoxFilterPathTest, BlurAlphaWidestWindowsDivideExactly) {
  const tSize radii[] = {{16512, 0}, {16513, 0}, {5503, 1}, {5504, 1}, {33025, 0}};
  std::mt19937 rng(13);
  for (tSize r : radii) {
    const int32_t w = 2 * r.w + 1 + 517;
    const int32_t h = 2 * r.h + 1;
    SCOPED_TRACE(testing::Message() << "x=" << r.w << " y=" << r.h);
    const tBytes src = BrightPixels(w, h, rng);
    tFencedPicture picture(w, h, src, 1, false);
    ASSERT_TRUE(BoxFilterAlpha(picture.Rows(), r.w, r.h, GetParam()));
    EXPECT_EQ(picture.Pixels(), ReferenceResult(tBoxFilter::AlphaWeighted, src, w, h, r.w, r.h));
    EXPECT_TRUE(picture.GuardsIntact());
  }
}

// Every horizontal radius on widths around vector blocks, over one, two and
// three row windows and pictures with transparent regions, so that the cut
// windows at both ends, the whole ones, and the partial last block meet at
// every offset.
TEST_P(BoxFilterPathTest, BlurAlphaEveryHorizontalRadius) {
  std::mt19937 rng(23);
  int layout = 0;
  for (int32_t w : {7, 23, 40, 61, 97}) {
    for (int32_t y : {0, 1, 2}) {
      const int32_t h = 2 * y + 3;
      const tBytes src = RandomPixels(w, h, rng, true);
      for (int32_t x = 0; 2 * x <= w; ++x) {
        SCOPED_TRACE(testing::Message() << "w=" << w << " x=" << x << " y=" << y);
        tFencedPicture picture(w, h, src, layout % 3, layout % 2 == 1);
        ++layout;
        ASSERT_TRUE(BoxFilterAlpha(picture.Rows(), x, y, GetParam()));
        ASSERT_EQ(picture.Pixels(), ReferenceResult(tBoxFilter::AlphaWeighted, src, w, h, x, y));
        ASSERT_TRUE(picture.GuardsIntact());
      }
    }
  }
}

// The result does not depend on the caller's rounding mode, and the mode is
// the caller's again afterwards.
TEST_P(BoxFilterPathTest, BlurAlphaIgnoresAndKeepsRoundingMode) {
  std::mt19937 rng(29);
  const tBytes src = BrightPixels(45, 9, rng);
  const tBytes expected = ReferenceResult(tBoxFilter::AlphaWeighted, src, 45, 9, 3, 2);
  for (int mode : {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO}) {
    SCOPED_TRACE(testing::Message() << "mode " << mode);
    tFencedPicture picture(45, 9, src, 0, false);
    ASSERT_EQ(std::fesetround(mode), 0);
    const bool done = BoxFilterAlpha(picture.Rows(), 3, 2, GetParam());
    const int after = std::fegetround();
    std::fesetround(FE_TONEAREST);
    ASSERT_TRUE(done);
    EXPECT_EQ(after, mode);
    EXPECT_EQ(picture.Pixels(), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, BoxFilterPathTest, fxtest::EveryKernelPath(), fxtest::PathName);

TEST(BoxFilterTest, RadiusOutOfRangeLeavesImageUntouched) {
  const tSize radii[] = {{3, 0}, {0, 2}, {-1, 0}, {0, -1}, {-1, -1}};
  std::mt19937 rng(3);
  const tBytes src = RandomPixels(5, 3, rng, false);
  for (tSize r : radii) {
    tFencedPicture picture(5, 3, src, 0, false);
    EXPECT_FALSE(BoxFilter(picture.Rows(), r.w, r.h));
    EXPECT_FALSE(BoxFilterAlpha(picture.Rows(), r.w, r.h));
    EXPECT_EQ(picture.Pixels(), src);
  }
}

TEST(BoxFilterTest, EmptyImageOrZeroRadiiDoNothing) {
  tFencedPicture empty_rows(0, 4, {}, 1, false);
  EXPECT_TRUE(BoxFilter(empty_rows.Rows(), 0, 2));
  EXPECT_TRUE(BoxFilterAlpha(empty_rows.Rows(), 0, 2));
  EXPECT_TRUE(empty_rows.GuardsIntact());
  tFencedPicture no_rows(4, 0, {}, 1, false);
  EXPECT_TRUE(BoxFilter(no_rows.Rows(), 2, 0));
  EXPECT_TRUE(no_rows.GuardsIntact());
}

// Work storage for an enormous claimed image cannot be had: the call must fail
// cleanly before touching a pixel (the buffer behind it is one pixel).
TEST(BoxFilterTest, StorageUnavailableReturnsFalse) {
  uint32_t pixel = 0x01020304;
  const tPixelRows huge = {reinterpret_cast<uint8_t *>(&pixel), 0, INT32_MAX, INT32_MAX};
  EXPECT_FALSE(BoxFilter(huge, 1, INT32_MAX / 2));
  EXPECT_FALSE(BoxFilterAlpha(huge, 1, INT32_MAX / 2));
  EXPECT_EQ(pixel, 0x01020304u);
}

// The 64-bit-sum kernels agree with the reference on ordinary windows.
TEST(BoxFilterTest, WideSumKernelsMatchReference) {
  std::mt19937 rng(5);
  const tSize cases[] = {{7, 5}, {33, 9}, {64, 17}};
  for (tSize size : cases) {
    for (tBoxFilter kernel : {tBoxFilter::Plain, tBoxFilter::AlphaWeighted}) {
      const tBytes src = RandomPixels(size.w, size.h, rng, kernel == tBoxFilter::AlphaWeighted);
      tFencedPicture picture(size.w, size.h, src, 2, true);
      const int32_t x = size.w / 3;
      const int32_t y = size.h / 2;
      ASSERT_TRUE(kernel == tBoxFilter::Plain ? BoxFilterRefWide(picture.Rows(), x, y)
                                              : BoxFilterAlphaRefWide(picture.Rows(), x, y));
      EXPECT_EQ(picture.Pixels(), ReferenceResult(kernel, src, size.w, size.h, x, y));
      EXPECT_TRUE(picture.GuardsIntact());
    }
  }
}

// 599 x 599 windows exceed the 66,051 pixels where weighted colour sums fit 32
// bits: a uniform picture must still come out unchanged, and a random one
// must match the reference.
TEST(BoxFilterAlphaTest, WindowPastThirtyTwoBitLimit) {
  const int32_t size = 600;
  const tBytes uniform = ToBytes(std::vector<tBgra>(size_t(size) * size, {10, 200, 255, 255}));
  tFencedPicture picture(size, size, uniform, 0, false);
  ASSERT_TRUE(BoxFilterAlpha(picture.Rows(), 299, 299));
  EXPECT_EQ(picture.Pixels(), uniform);

  std::mt19937 rng(7);
  const tBytes src = RandomPixels(size, size, rng, true);
  tFencedPicture random(size, size, src, 0, false);
  ASSERT_TRUE(BoxFilterAlpha(random.Rows(), 299, 299));
  EXPECT_EQ(random.Pixels(), ReferenceResult(tBoxFilter::AlphaWeighted, src, size, size, 299, 299));
}

// 1027 x 16401 windows hold 16,843,827 pixels, past the 16,843,009 where a sum
// of 255s fits 32 bits. On a uniform 255 picture every channel must be
// floor(255 * n * floor(2^32 / n) / 2^32) for its own window size n.
TEST(BoxFilterTest, WindowPastThirtyTwoBitLimit) {
  const int32_t w = 1027;
  const int32_t h = 16401;
  const int32_t x = w / 2;
  const int32_t y = h / 2;
  std::vector<uint32_t> words(size_t(w) * h, 0xFFFFFFFFu);
  const tPixelRows rows = {reinterpret_cast<uint8_t *>(words.data()), ptrdiff_t(w) * 4, w, h};
  ASSERT_TRUE(BoxFilter(rows, x, y));
  for (int32_t i = 0; i < h; ++i) {
    const uint64_t v = uint64_t(std::min(h - 1, i + y) - std::max(0, i - y) + 1);
    for (int32_t j = 0; j < w; ++j) {
      const uint64_t n = v * uint64_t(std::min(w - 1, j + x) - std::max(0, j - x) + 1);
      const uint64_t channel = (255 * n * ((uint64_t{1} << 32) / n)) >> 32;
      ASSERT_EQ(words[size_t(i) * w + j], uint32_t(channel * 0x01010101u)) << j << "," << i;
    }
  }
}

}  // namespace
}  // namespace pixels
