// "distortion" called as a script calls it, through the loaded module, against
// a plain reference of the wave: period t, table index k, source row r, shift
// s, and the row written edge pixel first, fill next, copy last.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <random>

#include "host/pixel_routines.h"
#include "tests/loaded_module.h"
#include "tests/layer_pictures.h"
#include "tests/layerfx/picture_match.h"

namespace fxtest {
namespace {

using zanhost::LayerProperty;

struct Wave {
  double phase;
  double periodTop;
  double periodBottom;
  std::optional<tOVInteger> opacity;  // none: the five-argument form
};

// Truncation toward zero, then clamped to low..high; values beyond any integer
// (huge or infinite) clamp too.
int TruncClamp(double value, int low, int high) {
  if (value <= low) {
    return low;
  }
  if (value >= high) {
    return high;
  }
  return static_cast<int>(std::trunc(value));
}

// trunc(value) modulo 1024, in 0..1023; 0 for a value that is not finite.
int TableIndex(double value) {
  if (!std::isfinite(value)) {
    return 0;
  }
  const double index = std::fmod(std::trunc(value), 1024.0);
  return static_cast<int>(index < 0 ? index + 1024 : index);
}

// A Layer's pixels as the reference sees them.
struct Image {
  Picture pixels;
  int width;
  int height;
  uint32_t *Row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
};

// How often the reference met each situation, so a random sweep can show it
// reached them all.
struct Coverage {
  int rowAbove = 0, rowBelow = 0;
  int shiftLeft = 0, shiftRight = 0, shiftBeyondRow = 0;
};

// Draws `source` into `dest` (the same object when both are one Layer), row by
// row and pixel by pixel in the order the function's rows are written, so a
// shared Layer reads what earlier steps left.
void DistortReference(Image &source, Image &dest, int destTop, int innerHeight, const Wave &wave,
                      Coverage &coverage) {
  if (source.height <= 0 || source.width <= 0) {
    return;  // no row to draw from
  }
  double sine[1024], cosine[1024];
  for (int i = 0; i < 1024; ++i) {
    sine[i] = std::sin(i * 0.006135923151542565);
    cosine[i] = std::cos(i * 0.006135923151542565);
  }
  const int opacity = wave.opacity ? static_cast<int32_t>(*wave.opacity) : 255;
  const int width = dest.width;
  const double difference = wave.periodBottom - wave.periodTop;
  for (int y = 0; y < dest.height; ++y) {
    const double t =
        static_cast<double>(int64_t{destTop} + y) * difference / static_cast<double>(innerHeight) +
        wave.periodTop;
    int row = y;
    int shift = 0;
    if (t != 0 && std::isfinite(t)) {
      const int k = TableIndex((y + t * wave.phase) * 1024 / t);
      const double displaced = y + t * sine[k] * 0.0625;
      const double shifted = t * 0.03125 * cosine[k];
      row = TruncClamp(displaced, 0, source.height - 1);
      shift = TruncClamp(shifted, -width, width);
      coverage.rowAbove += displaced <= -1;
      coverage.rowBelow += displaced >= source.height;
      coverage.shiftLeft += shift > 0;
      coverage.shiftRight += shift < 0;
      coverage.shiftBeyondRow += std::fabs(shifted) >= width + 1;
    }
    row = std::clamp(row, 0, source.height - 1);
    const uint32_t *from = source.Row(row);
    uint32_t *to = dest.Row(y);
    // Columns past the source's own width read its last pixel.
    auto read = [&](int x) { return from[std::min(x, source.width - 1)]; };
    auto put = [&](int x, uint32_t value) {
      if (opacity == 255) {
        to[x] = value;
      } else {
        zanhost::ZANConstAlphaBlend(&to[x], &value, 1, opacity);
      }
    };
    const uint32_t edge = shift < 0 ? read(0) : read(width - 1);
    const int fillBegin = shift < 0 ? 0 : width - shift;
    const int fillEnd = shift < 0 ? -shift : width;
    for (int x = fillBegin; x < fillEnd; ++x) {
      put(x, edge);
    }
    const int copyBegin = std::max(0, -shift);
    const int copyEnd = std::min(width, width - shift);
    for (int x = copyBegin; x < copyEnd; ++x) {
      put(x, read(x + shift));
    }
  }
}

struct Scene {
  int sourceWidth, sourceHeight;
  int destWidth, destHeight;
  int destTop;
  int innerHeight;
  bool sameLayer;
  PitchKind sourcePitch, destPitch;
  Wave wave;
};

class DistortionFunctionTest : public LoadedModuleTest {
 protected:
  std::vector<zanhost::Variant> Arguments(const LayerRef &source, const LayerRef &dest,
                                          const Wave &wave) {
    std::vector<zanhost::Variant> arguments = {Arg(source), Arg(dest), Arg(wave.phase),
                                               Arg(wave.periodTop), Arg(wave.periodBottom)};
    if (wave.opacity) {
      arguments.push_back(Arg(*wave.opacity));
    }
    return arguments;
  }

  // Runs one call on random pictures and checks every pixel against the
  // reference, the row slack of both Layers, and the one update request.
  void ExpectMatchesReference(const Scene &scene) {
    Coverage ignored;
    ExpectMatchesReference(scene, ignored);
  }

  void ExpectMatchesReference(const Scene &scene, Coverage &coverage) {
    SCOPED_TRACE(testing::Message()
                 << "source " << scene.sourceWidth << "x" << scene.sourceHeight << " dest "
                 << scene.destWidth << "x" << scene.destHeight << " top " << scene.destTop
                 << " screen " << scene.innerHeight << " same " << scene.sameLayer << " phase "
                 << scene.wave.phase << " periods " << scene.wave.periodTop << ", "
                 << scene.wave.periodBottom << " opacity " << scene.wave.opacity.value_or(-9999));
    LayerRef dest = MakeRandomLayer(scene.destWidth, scene.destHeight, scene.destPitch, rng_, true);
    LayerRef source = scene.sameLayer ? dest
                                      : MakeRandomLayer(scene.sourceWidth, scene.sourceHeight,
                                                        scene.sourcePitch, rng_, true);
    dest->SetProperty(LayerProperty::kTop, scene.destTop);
    env_.Vel().SetInnerSize(640, scene.innerHeight);
    PoisonSlack(*dest);
    PoisonSlack(*source);
    Image expectedDest{ReadPicture(*dest), scene.destWidth, scene.destHeight};
    Image sourceCopy{ReadPicture(*source), scene.sourceWidth, scene.sourceHeight};
    const Picture sourceBefore = sourceCopy.pixels;
    DistortReference(scene.sameLayer ? expectedDest : sourceCopy, expectedDest, scene.destTop,
                     scene.innerHeight, scene.wave, coverage);

    ASSERT_EQ(Call(u"distortion", Arguments(source, dest, scene.wave)), 0);
    EXPECT_TRUE(SamePicture(ReadPicture(*dest), expectedDest.pixels, scene.destWidth));
    EXPECT_TRUE(SlackIntact(*dest));
    EXPECT_TRUE(SlackIntact(*source));
    if (!scene.sameLayer) {
      EXPECT_EQ(ReadPicture(*source), sourceBefore);
    }
    EXPECT_EQ(dest->Updates(),
              (std::vector<zanhost::UpdateRequest>{{0, 0, scene.destWidth, scene.destHeight}}));
  }

  std::mt19937 rng_{2024};
};

TEST_F(DistortionFunctionTest, RandomPicturesMatchReference) {
  auto pick = [&](int low, int high) {
    return low + static_cast<int>(rng_() % static_cast<uint32_t>(high - low + 1));
  };
  auto period = [&]() -> double {
    switch (rng_() % 5) {
      case 0:
        return 0.0;
      case 1:
        return pick(-2000, 2000) / 1.5;  // shifts beyond the row
      default:
        return pick(-200, 200) / 3.0;
    }
  };
  const std::optional<tOVInteger> opacities[] = {std::nullopt, 255, 0, 1, 128, 254, 256, -20};
  Coverage coverage;
  for (int trial = 0; trial < 80; ++trial) {
    Scene scene{};
    scene.destWidth = pick(1, 40);
    scene.destHeight = pick(1, 40);
    scene.sameLayer = trial % 6 == 0;
    const int widthKind = pick(0, 3);
    scene.sourceWidth = scene.sameLayer || widthKind < 2 ? scene.destWidth
                        : widthKind == 2                 ? pick(1, scene.destWidth)
                                                         : pick(scene.destWidth, 60);
    scene.sourceHeight = scene.sameLayer ? scene.destHeight : pick(1, 60);
    scene.destTop = pick(-50, 300);
    scene.innerHeight = pick(0, 9) == 0 ? pick(-300, 0) : pick(1, 600);
    scene.sourcePitch = static_cast<PitchKind>(pick(0, 3));
    scene.destPitch = static_cast<PitchKind>(pick(0, 3));
    scene.wave = {pick(-3000, 3000) / 1000.0, period(), period(), opacities[pick(0, 7)]};
    ExpectMatchesReference(scene, coverage);
  }
  EXPECT_GT(coverage.rowAbove, 0);
  EXPECT_GT(coverage.rowBelow, 0);
  EXPECT_GT(coverage.shiftLeft, 0);
  EXPECT_GT(coverage.shiftRight, 0);
  EXPECT_GT(coverage.shiftBeyondRow, 0);
}

TEST_F(DistortionFunctionTest, SameLayerReadsWhatEarlierRowsLeft) {
  for (int trial = 0; trial < 12; ++trial) {
    const Wave wave{trial * 0.137, 24.0 + trial * 7, -30.0 + trial * 11,
                    trial % 3 == 0 ? std::optional<tOVInteger>(100) : std::nullopt};
    const PitchKind pitch = static_cast<PitchKind>(trial % 4);
    ExpectMatchesReference({23, 31, 23, 31, trial * 5, 480, true, pitch, pitch, wave});
  }
}

TEST_F(DistortionFunctionTest, DegenerateScreenAndWaveGiveDefinedRows) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    int innerHeight;
    Wave wave;
  } cases[] = {
      {0, {0.25, 64.0, 32.0, std::nullopt}},  // screen of height 0
      {0, {0.25, 64.0, 64.0, std::nullopt}},  {480, {nan, 64.0, 64.0, std::nullopt}},
      {480, {inf, 64.0, 64.0, 128}},          {480, {1e300, 64.0, 64.0, std::nullopt}},
      {480, {0.1, nan, 64.0, std::nullopt}},  {480, {0.1, inf, inf, std::nullopt}},
      {480, {0.1, -inf, 5.0, std::nullopt}},  {480, {0.1, 1e300, -1e300, std::nullopt}},
      {480, {0.1, 1e12, 1e12, std::nullopt}}, {480, {0.3, 1e-300, 1e-300, std::nullopt}},
      {1, {0.1, 0.0, 1e308, std::nullopt}},
  };
  for (const auto &c : cases) {
    ExpectMatchesReference(
        {17, 13, 19, 15, 7, c.innerHeight, false, PitchKind::kPadded, PitchKind::kPacked, c.wave});
  }
}

TEST_F(DistortionFunctionTest, WorkedExample) {
  // Period 64 on every row, phase 0: row 0 is source row 0 moved two pixels to
  // the left, its last two pixels repeating the source's last; row 16 comes
  // from row 20 unshifted.
  constexpr int kWidth = 100, kHeight = 40;
  LayerRef source = MakeLayer(kWidth, kHeight);
  Picture pattern(kWidth * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      pattern[y * kWidth + x] = 0xFF000000u | static_cast<uint32_t>(y << 8 | x);
    }
  }
  WritePicture(*source, pattern);
  LayerRef dest = MakeLayer(kWidth, kHeight);
  ASSERT_EQ(Call(u"distortion", {Arg(source), Arg(dest), Arg(0.0), Arg(64.0), Arg(64.0)}), 0);
  const Picture out = ReadPicture(*dest);
  for (int x = 0; x < kWidth; ++x) {
    EXPECT_EQ(out[x], pattern[std::min(x + 2, kWidth - 1)]) << "row 0, column " << x;
    EXPECT_EQ(out[16 * kWidth + x], pattern[20 * kWidth + x]) << "row 16, column " << x;
  }
}

// Period 64, phase 1/2: row 0 takes itself shifted two pixels right. On one
// Layer the upward copy reads pixels it has just written, so the first pixel
// repeats along the whole row (a block copy would shift the row instead); row 1
// shifts left and reads only pixels not yet written.
TEST_F(DistortionFunctionTest, SameLayerRowShiftedRightRepeatsItsFirstPixel) {
  constexpr int kWidth = 37, kHeight = 4;
  std::mt19937 rng(9);
  LayerRef layer = MakeRandomLayer(kWidth, kHeight, PitchKind::kPacked, rng, false);
  const Picture in = ReadPicture(*layer);
  ASSERT_EQ(Call(u"distortion", {Arg(layer), Arg(layer), Arg(0.5), Arg(64.0), Arg(64.0)}), 0);
  const Picture out = ReadPicture(*layer);
  for (int x = 0; x < kWidth; ++x) {
    EXPECT_EQ(out[x], in[0]) << "row 0, column " << x;
  }
}

TEST_F(DistortionFunctionTest, ZeroPeriodsCopyRowsClampedToSource) {
  std::mt19937 rng(1);
  LayerRef source = MakeRandomLayer(8, 5, PitchKind::kNegative, rng, false);
  LayerRef dest = MakeLayer(8, 9);
  ASSERT_EQ(Call(u"distortion", {Arg(source), Arg(dest), Arg(0.7), Arg(0.0), Arg(0.0)}), 0);
  const Picture in = ReadPicture(*source);
  const Picture out = ReadPicture(*dest);
  for (int y = 0; y < 9; ++y) {
    const int row = std::min(y, 4);
    EXPECT_TRUE(std::equal(out.begin() + y * 8, out.begin() + y * 8 + 8, in.begin() + row * 8))
        << "row " << y;
  }
}

TEST_F(DistortionFunctionTest, OpacityDecidesBetweenCopyAndHostBlend) {
  auto run = [&](std::optional<tOVInteger> opacity) {
    std::mt19937 rng(77);
    LayerRef source = MakeRandomLayer(30, 20, PitchKind::kPacked, rng, true);
    LayerRef dest = MakeRandomLayer(30, 20, PitchKind::kPacked, rng, true);
    EXPECT_EQ(Call(u"distortion", Arguments(source, dest, {0.4, 40.0, 90.0, opacity})), 0);
    return std::pair{ReadPicture(*dest), ReadPicture(*source)};
  };
  const Picture omitted = run(std::nullopt).first;
  EXPECT_EQ(run(255).first, omitted);
  EXPECT_EQ(run((tOVInteger{1} << 32) + 255).first, omitted);  // the low 32 bits count
  // Weight 0 keeps every destination pixel: the rows went through the blends.
  std::mt19937 rng(77);
  RandomPicture(30, 20, rng, true);
  const Picture destBefore = RandomPicture(30, 20, rng, true);
  EXPECT_EQ(run(0).first, destBefore);
  EXPECT_NE(run(128).first, omitted);
}

TEST_F(DistortionFunctionTest, WrongArgumentCountReadsNothing) {
  LayerRef source = MakeLayer(4, 4);
  LayerRef dest = MakeLayer(4, 4);
  const zanhost::Variant real = Arg(1.0);
  EXPECT_EQ(Call(u"distortion", {Arg(source), Arg(dest), real, real}), ResultBadArgumentCount);
  EXPECT_EQ(Call(u"distortion", {Arg(source), Arg(dest), real, real, real, Arg(255), Arg(0)}),
            ResultBadArgumentCount);
  EXPECT_EQ(Call(u"distortion", {}), ResultBadArgumentCount);
  EXPECT_EQ(source->ReadCount() + dest->ReadCount(), 0);
  EXPECT_TRUE(dest->Updates().empty());
}

TEST_F(DistortionFunctionTest, ScreenSizeFailuresRaiseBeforeAnyPixel) {
  const struct {
    const char16_t *failing;  // the "vel" property that fails; null: no "vel" at all
    const char *message;
  } cases[] = {
      {u"innerWidth", "invoking of vel.innerWidth failed."},
      {u"innerHeight", "invoking of vel.innerHeight failed."},
      {nullptr, "invoking of global.vel failed."},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.message);
    std::mt19937 rng(4);
    LayerRef source = MakeRandomLayer(6, 6, PitchKind::kPacked, rng, false);
    LayerRef dest = MakeRandomLayer(6, 6, PitchKind::kPacked, rng, false);
    const Picture before = ReadPicture(*dest);
    if (c.failing != nullptr) {
      env_.Vel().FailProperty(c.failing);
    } else {
      env_.Global().DeleteMember(0, u"vel", nullptr, &env_.Global());
    }
    EXPECT_EQ(CallRaising(u"distortion", Arguments(source, dest, {0.0, 64.0, 64.0, 255})),
              c.message);
    EXPECT_EQ(ReadPicture(*dest), before);
    EXPECT_TRUE(dest->Updates().empty());
    env_.Vel().FailProperty(u"");
  }
  const zanhost::Variant vel = zanhost::Variant::Object(&env_.Vel());
  env_.Global().SetMember(FlagCreateMember, u"vel", nullptr, vel.Raw(), &env_.Global());
}

TEST_F(DistortionFunctionTest, ShiftBeyondWidthFillsRowWithEdgePixel) {
  // Period 10000: |s| is about 312, far beyond the 20 columns.
  for (const double phase : {0.0, 0.5}) {
    std::mt19937 rng(8);
    LayerRef source = MakeRandomLayer(20, 12, PitchKind::kPadded, rng, false);
    LayerRef dest = MakeLayer(20, 12);
    PoisonSlack(*source);
    ASSERT_EQ(Call(u"distortion", {Arg(source), Arg(dest), Arg(phase), Arg(1e4), Arg(1e4)}), 0);
    const Picture in = ReadPicture(*source);
    const Picture out = ReadPicture(*dest);
    const int edgeColumn = phase == 0.0 ? 19 : 0;
    for (int y = 0; y < 12; ++y) {
      const uint32_t edge = out[y * 20];
      EXPECT_TRUE(std::all_of(out.begin() + y * 20, out.begin() + y * 20 + 20,
                              [edge](uint32_t pixel) { return pixel == edge; }))
          << "row " << y;
      bool fromSourceEdge = false;
      for (int r = 0; r < 12; ++r) {
        fromSourceEdge |= in[r * 20 + edgeColumn] == edge;
      }
      EXPECT_TRUE(fromSourceEdge) << "row " << y;
    }
  }
}

TEST_F(DistortionFunctionTest, NarrowSourceReadOnlyWithinItsColumns) {
  const uint32_t slackPixel = 0x01010101u * kSlackByte;
  for (const double period : {0.0, 64.0, -64.0, 200.0, 900.0}) {
    SCOPED_TRACE(testing::Message() << "period " << period);
    std::mt19937 rng(12);
    LayerRef source = MakeRandomLayer(5, 6, PitchKind::kPadded, rng, false);
    LayerRef dest = MakeLayer(12, 6);
    PoisonSlack(*source);
    ASSERT_EQ(Call(u"distortion", {Arg(source), Arg(dest), Arg(0.2), Arg(period), Arg(period)}), 0);
    const Picture out = ReadPicture(*dest);
    EXPECT_EQ(std::count(out.begin(), out.end(), slackPixel), 0);
  }
}

TEST_F(DistortionFunctionTest, EmptySourceLeavesDestination) {
  for (const auto &[width, height] : {std::pair{8, 0}, {0, 8}}) {
    std::mt19937 rng(6);
    LayerRef source = MakeLayer(width, height);
    LayerRef dest = MakeRandomLayer(8, 8, PitchKind::kPacked, rng, false);
    const Picture before = ReadPicture(*dest);
    EXPECT_EQ(Call(u"distortion", {Arg(source), Arg(dest), Arg(0.1), Arg(64.0), Arg(32.0)}), 0);
    EXPECT_EQ(ReadPicture(*dest), before);
  }
}

}  // namespace
}  // namespace fxtest
