// "blur" and "blur_alpha" called as a script calls them, through the loaded
// module, against direct window sums over the picture as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "tests/loaded_module.h"
#include "tests/layer_pictures.h"
#include "tests/layerfx/picture_match.h"

namespace fxtest {
namespace {

uint32_t Channel(uint32_t pixel, int channel) {
  return (pixel >> (8 * channel)) & 0xFFu;
}

// Each pixel from the sums over its window, clipped to the picture. "blur":
// every channel floor(S * floor(2^32 / n) / 2^32). "blur_alpha": colour
// floor(sum(c * a) / sum(a)), kept where sum(a) = 0; alpha floor(sum(a) / n).
Picture BoxReference(const Picture &in, int width, int height, int rx, int ry, bool weighted) {
  Picture out(in.size());
  for (int i = 0; i < height; ++i) {
    for (int j = 0; j < width; ++j) {
      const int top = std::max(0, i - ry), bottom = std::min(height - 1, i + ry);
      const int left = std::max(0, j - rx), right = std::min(width - 1, j + rx);
      uint64_t sum[4] = {}, weightedSum[3] = {};
      for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
          const uint32_t pixel = in[static_cast<size_t>(r) * width + c];
          for (int channel = 0; channel < 4; ++channel) {
            sum[channel] += Channel(pixel, channel);
          }
          for (int channel = 0; channel < 3; ++channel) {
            weightedSum[channel] += Channel(pixel, channel) * Channel(pixel, 3);
          }
        }
      }
      const uint64_t n = uint64_t(bottom - top + 1) * uint64_t(right - left + 1);
      const uint32_t original = in[static_cast<size_t>(i) * width + j];
      uint32_t result = 0;
      if (!weighted) {
        const uint64_t q = (uint64_t{1} << 32) / n;
        for (int channel = 0; channel < 4; ++channel) {
          result |= static_cast<uint32_t>((sum[channel] * q) >> 32) << (8 * channel);
        }
      } else if (sum[3] > 0) {
        for (int channel = 0; channel < 3; ++channel) {
          result |= static_cast<uint32_t>(weightedSum[channel] / sum[3]) << (8 * channel);
        }
      } else {
        result = original & 0x00FFFFFFu;
      }
      if (weighted) {
        result |= static_cast<uint32_t>(sum[3] / n) << 24;
      }
      out[static_cast<size_t>(i) * width + j] = result;
    }
  }
  return out;
}

std::string NameOf(const orn_char *function) {
  return zanhost::ToUtf8(function);
}

class BoxFilterFunctionTest : public LoadedModuleTest,
                              public ::testing::WithParamInterface<const orn_char *> {
 protected:
  const orn_char *Function() const { return GetParam(); }
  bool Weighted() const { return NameOf(GetParam()) == "blur_alpha"; }

  // Filters a random picture and checks every pixel and the row slack; y is
  // left out (y = x) when the two are equal.
  void ExpectMatchesReference(int width, int height, int x, int y, PitchKind pitch,
                              std::mt19937 &rng) {
    SCOPED_TRACE(testing::Message() << width << "x" << height << " radii " << x << "," << y
                                    << " pitch kind " << static_cast<int>(pitch));
    LayerRef layer = MakeRandomLayer(width, height, pitch, rng, Weighted() || rng() % 2 == 0);
    PoisonSlack(*layer);
    const Picture expected = BoxReference(ReadPicture(*layer), width, height, x, y, Weighted());
    if (x == y) {
      ASSERT_EQ(Call(Function(), {Arg(layer), Arg(x)}), 0);
    } else {
      ASSERT_EQ(Call(Function(), {Arg(layer), Arg(x), Arg(y)}), 0);
    }
    EXPECT_TRUE(SamePicture(ReadPicture(*layer), expected, width));
    EXPECT_TRUE(SlackIntact(*layer));
    EXPECT_TRUE(layer->Updates().empty());
  }
};

TEST_P(BoxFilterFunctionTest, RandomPicturesMatchDirectWindowSums) {
  struct Case {
    int width, height, x, y;
  };
  // Widths and heights of 1, 2, odd, long and thin; radii from 0 to half the size.
  const Case cases[] = {
      {1, 1, 0, 0},     {2, 1, 1, 0},     {1, 2, 0, 1},     {2, 2, 1, 1},    {3, 5, 1, 2},
      {5, 3, 2, 0},     {7, 4, 3, 2},     {7, 4, 0, 2},     {16, 9, 8, 4},   {16, 9, 3, 1},
      {33, 17, 16, 8},  {33, 17, 5, 7},   {64, 6, 32, 3},   {6, 64, 3, 32},  {64, 6, 1, 3},
      {300, 2, 150, 1}, {2, 300, 1, 150}, {257, 3, 128, 1}, {257, 3, 37, 0}, {120, 90, 4, 9},
      {120, 90, 13, 2}, {200, 150, 2, 2}, {31, 29, 15, 14}, {40, 1, 20, 0},  {1, 40, 0, 20},
  };
  std::mt19937 rng(Weighted() ? 71 : 17);
  int index = 0;
  for (const Case &c : cases) {
    ExpectMatchesReference(c.width, c.height, c.x, c.y, static_cast<PitchKind>(index++ % 4), rng);
  }
  for (int trial = 0; trial < 12; ++trial) {
    const int width = 1 + static_cast<int>(rng() % 40);
    const int height = 1 + static_cast<int>(rng() % 40);
    const int x = static_cast<int>(rng() % (width / 2 + 1));
    const int y = static_cast<int>(rng() % (height / 2 + 1));
    ExpectMatchesReference(width, height, x, y, static_cast<PitchKind>(trial % 4), rng);
  }
}

TEST_P(BoxFilterFunctionTest, WrongArgumentCountReadsNothing) {
  LayerRef layer = MakeLayer(4, 4);
  EXPECT_EQ(Call(Function(), {}), ResultBadArgumentCount);
  EXPECT_EQ(Call(Function(), {Arg(layer)}), ResultBadArgumentCount);
  EXPECT_EQ(Call(Function(), {Arg(layer), Arg(1), Arg(1), Arg(1)}), ResultBadArgumentCount);
  EXPECT_EQ(layer->ReadCount(), 0);
}

TEST_P(BoxFilterFunctionTest, RangeErrorsInTheirOrderLeaveTheImage) {
  struct Case {
    int width, height;
    tOVInteger x;
    std::optional<tOVInteger> y;
    const char *message;  // "" when the call goes through
  };
  const char *const badX = "invalid size of x blur.";
  const char *const badY = "invalid size of y blur.";
  const Case cases[] = {
      {10, 10, -1, -1, badX},  // x is tested first
      {10, 10, 1, -1, badY},
      {100, 10, 6, std::nullopt, badY},  // y takes x
      {100, 10, 6, 0, ""},
      {8, 8, 4, 4, ""},  // 2x = width is allowed
      {8, 8, 5, 0, badX},
      {8, 8, 0, 5, badY},
      {1, 5, 1, 0, badX},  // width 1 allows only x = 0
      {1, 5, 0, 2, ""},
      {5, 0, 0, 0, ""},  // height 0 allows only y = 0
      {5, 0, 2, 0, ""},
      {5, 0, 0, 1, badY},
      {10, 10, 0, std::nullopt, ""},
      {10, 10, 0x40000000, 0, badX},  // 2x must not wrap
      {10, 10, 0, 0x40000000, badY},
      {10, 10, (tOVInteger{1} << 32) + 2, 1, ""},    // low 32 bits: x = 2
      {10, 10, (tOVInteger{1} << 32) - 1, 1, badX},  // low 32 bits: x = -1
  };
  std::mt19937 rng(5);
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " x " << c.x);
    LayerRef layer = MakeRandomLayer(c.width, c.height, PitchKind::kPacked, rng, false);
    const Picture before = ReadPicture(*layer);
    std::vector<zanhost::Variant> arguments = {Arg(layer), Arg(c.x)};
    if (c.y) {
      arguments.push_back(Arg(*c.y));
    }
    EXPECT_EQ(CallRaising(Function(), arguments), c.message);
    EXPECT_EQ(layer->ReadCount(), 8);
    if (*c.message != '\0') {
      EXPECT_EQ(ReadPicture(*layer), before);
    } else {
      const int x = static_cast<int32_t>(c.x);
      const int y = c.y ? static_cast<int32_t>(*c.y) : x;
      EXPECT_TRUE(SamePicture(ReadPicture(*layer),
                              BoxReference(before, c.width, c.height, x, y, Weighted()), c.width));
    }
  }
}

TEST_P(BoxFilterFunctionTest, BufferAddressCarriedAsFullPointer) {
  // A buffer this large lies far above 4 GiB on 64-bit targets; a module that
  // kept only 32 bits of the address would write elsewhere.
  std::mt19937 rng(9);
  LayerRef layer = MakeRandomLayer(256, 256, PitchKind::kPacked, rng, true);
  const auto address =
      static_cast<uint64_t>(layer->Property(zanhost::LayerProperty::kMainImageBufferForWrite));
  if (sizeof(void *) > 4 && address >> 32 == 0) {
#ifdef _WIN32
    GTEST_SKIP() << "this system's heap put the buffer below 4 GiB";
#else
    FAIL() << "the buffer lies below 4 GiB";
#endif
  }
  const Picture expected = BoxReference(ReadPicture(*layer), 256, 256, 1, 2, Weighted());
  ASSERT_EQ(Call(Function(), {Arg(layer), Arg(1), Arg(2)}), 0);
  EXPECT_TRUE(SamePicture(ReadPicture(*layer), expected, 256));
}

INSTANTIATE_TEST_SUITE_P(Functions, BoxFilterFunctionTest,
                         ::testing::Values(u"blur", u"blur_alpha"),
                         [](const auto &test) { return NameOf(test.param); });

using BlurFunctionTest = LoadedModuleTest;

class WorkedRowTest : public LoadedModuleTest {
 protected:
  // One row through "blur" or "blur_alpha" with x = 1, y = 0.
  Picture FilterRow(const orn_char *function, const Picture &row) {
    LayerRef layer = MakeLayer(static_cast<int>(row.size()), 1);
    WritePicture(*layer, row);
    EXPECT_EQ(Call(function, {Arg(layer), Arg(1), Arg(0)}), 0);
    return ReadPicture(*layer);
  }
};

TEST_F(WorkedRowTest, WorkedNumbers) {
  // 200 and 100 over n = 2: 150 exactly.
  EXPECT_EQ(FilterRow(u"blur", {0xC8C8C8C8u, 0x64646464u})[0], 0x96969696u);
  // 0, 255, 0: 127 at the edge (n = 2), 84 in the middle (n = 3).
  EXPECT_EQ(FilterRow(u"blur", {0u, 0xFFFFFFFFu, 0u}),
            (Picture{0x7F7F7F7Fu, 0x54545454u, 0x7F7F7F7Fu}));
  // Transparent black beside opaque red: colour weighted by alpha stays red.
  EXPECT_EQ(FilterRow(u"blur_alpha", {0x00000000u, 0xFFFF0000u})[0], 0x7FFF0000u);
  EXPECT_EQ(FilterRow(u"blur", {0x00000000u, 0xFFFF0000u})[0], 0x7F7F0000u);
  // Uniform alpha 255 over three pixels: exact in "blur_alpha", 254 in "blur".
  EXPECT_EQ(FilterRow(u"blur_alpha", {0xFF000000u, 0xFF000000u, 0xFF000000u})[1], 0xFF000000u);
  EXPECT_EQ(FilterRow(u"blur", {0xFF000000u, 0xFF000000u, 0xFF000000u})[1], 0xFE000000u);
}

bool PowerOfTwo(uint64_t n) {
  return (n & (n - 1)) == 0;
}

TEST_F(BlurFunctionTest, UniformPictureDropsByOneWhereWindowIsNoPowerOfTwo) {
  constexpr int kWidth = 9, kHeight = 7;
  const uint32_t color = 0xFF804000u;  // a zero channel stays zero
  const uint32_t lowered = 0xFE7F3F00u;
  for (const auto &[x, y] : {std::pair{1, 1}, {2, 1}, {0, 3}, {4, 3}, {1, 0}}) {
    SCOPED_TRACE(testing::Message() << "radii " << x << "," << y);
    LayerRef layer = MakeLayer(kWidth, kHeight);
    WritePicture(*layer, Picture(kWidth * kHeight, color));
    ASSERT_EQ(Call(u"blur", {Arg(layer), Arg(x), Arg(y)}), 0);
    const Picture out = ReadPicture(*layer);
    for (int i = 0; i < kHeight; ++i) {
      for (int j = 0; j < kWidth; ++j) {
        const uint64_t n = uint64_t(std::min(kHeight - 1, i + y) - std::max(0, i - y) + 1) *
                           uint64_t(std::min(kWidth - 1, j + x) - std::max(0, j - x) + 1);
        EXPECT_EQ(out[i * kWidth + j], PowerOfTwo(n) ? color : lowered) << "at " << j << "," << i;
      }
    }
  }
}

TEST_F(BlurFunctionTest, BlurAlphaLeavesUniformAndTransparentPicturesUnchanged) {
  std::mt19937 rng(3);
  Picture transparent = RandomPicture(11, 6, rng, false);
  for (uint32_t &pixel : transparent) {
    pixel &= 0x00FFFFFFu;  // colour bytes of fully transparent pixels are kept
  }
  const Picture pictures[] = {Picture(66, 0xFF123456u), Picture(66, 0x80C0A060u),
                              Picture(66, 0x01FFFFFFu), transparent};
  for (const Picture &picture : pictures) {
    for (const auto &[x, y] : {std::pair{1, 1}, {5, 3}, {2, 0}, {0, 2}}) {
      SCOPED_TRACE(testing::Message() << "radii " << x << "," << y << " first " << picture[0]);
      LayerRef layer = MakeLayer(11, 6);
      WritePicture(*layer, picture);
      ASSERT_EQ(Call(u"blur_alpha", {Arg(layer), Arg(x), Arg(y)}), 0);
      EXPECT_EQ(ReadPicture(*layer), picture);
    }
  }
}

}  // namespace
}  // namespace fxtest
