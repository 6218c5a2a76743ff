// "blur", "blur_alpha" and "distortion" given what a script may pass: empty
// Layers, Layers without pixels, things that are no Layer, radii whose low 32
// bits wrap, shifts wider than a row, screens of height 0, empty and narrow
// sources, the same Layer twice, numbers that are not finite, opacities out of
// range. Each call ends in a defined way and writes nothing outside the rows
// (every Layer here has slack after its rows, which must stay zero).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "host/host_ref.h"
#include "host/layer_object.h"
#include "tests/loaded_module.h"

namespace {

using zanhost::LayerObject;
using zanhost::PixelBuffer;
using zanhost::Ref;
using zanhost::Variant;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A Layer of distinct pixels with two words of slack after each row.
Ref<LayerObject> MakeLayer(int width, int height, uint32_t seed = 1) {
  auto layer = Ref<LayerObject>::Adopt(LayerObject::Create(width, height, (width + 2) * 4));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      layer->Pixels()->Row32(y)[x] =
          0x80000000u + seed * 0x10000u + uint32_t(y) * 0x100u + uint32_t(x);
    }
  }
  return layer;
}

uint32_t PixelAt(LayerObject &layer, int x, int y) {
  return layer.Pixels()->Row32(y)[x];
}

class BoxFilterRobustnessTest : public fxtest::LoadedModuleTest,
                                public ::testing::WithParamInterface<const char16_t *> {};

struct tRadiusCase {
  const char *label;
  int width;
  int height;
  std::vector<Variant> radii;
  const char16_t *raised;  // the message, or null when the call returns 0
  // When it returns: 0, the image stays as it was; above 0, it equals a blur
  // of that radius; below 0, it is filtered (not compared).
  int sameAsRadius;
};

TEST_P(BoxFilterRobustnessTest, RadiiAndLayersOfEveryShape) {
  const tRadiusCase cases[] = {
      {"empty layer", 0, 0, {Variant::Integer(0)}, nullptr, 0},
      {"empty layer, radius 1", 0, 0, {Variant::Integer(1)}, u"invalid size of x blur.", 0},
      {"no rows", 6, 0, {Variant::Integer(2), Variant::Integer(0)}, nullptr, 0},
      {"no rows, y 1",
       6,
       0,
       {Variant::Integer(0), Variant::Integer(1)},
       u"invalid size of y blur.",
       0},
      {"no columns", 0, 5, {Variant::Integer(0), Variant::Integer(2)}, nullptr, 0},
      {"low bits 1", 6, 4, {Variant::Integer((int64_t{1} << 32) + 1)}, nullptr, 1},
      {"low bits 0 for y",
       6,
       4,
       {Variant::Integer(1), Variant::Integer(int64_t{1} << 40)},
       nullptr,
       -1},
      {"largest 64-bit",
       6,
       4,
       {Variant::Integer(std::numeric_limits<int64_t>::max())},
       u"invalid size of x blur.",
       0},
      {"2^31 wraps negative",
       6,
       4,
       {Variant::Integer(int64_t{1} << 31)},
       u"invalid size of x blur.",
       0},
      {"huge real saturates", 6, 4, {Variant::Real(1e300)}, u"invalid size of x blur.", 0},
      {"not a number is 0", 6, 4, {Variant::Real(kNaN)}, nullptr, 0},
      {"half the width", 6, 4, {Variant::Integer(3), Variant::Integer(2)}, nullptr, -1},
  };
  for (const tRadiusCase &test : cases) {
    SCOPED_TRACE(test.label);
    const Ref<LayerObject> layer = MakeLayer(test.width, test.height);
    const std::vector<uint8_t> before = layer->Pixels()->Bytes();
    std::vector<Variant> arguments{Variant::Object(layer.get())};
    arguments.insert(arguments.end(), test.radii.begin(), test.radii.end());
    const fxtest::tCallEnd end = CallEnd(GetParam(), arguments);
    EXPECT_EQ(end.raised, test.raised != nullptr);
    if (test.raised != nullptr) {
      EXPECT_EQ(end.message, test.raised);
      EXPECT_EQ(layer->Pixels()->Bytes(), before);
      continue;
    }
    EXPECT_EQ(end.status, 0);
    if (test.sameAsRadius > 0) {
      const Ref<LayerObject> twin = MakeLayer(test.width, test.height);
      ASSERT_FALSE(
          CallEnd(GetParam(), {Variant::Object(twin.get()), Variant::Integer(test.sameAsRadius)})
              .raised);
      EXPECT_EQ(layer->Pixels()->Bytes(), twin->Pixels()->Bytes());
    } else if (test.sameAsRadius == 0) {
      EXPECT_EQ(layer->Pixels()->Bytes(), before);
    }
  }
}

TEST_P(BoxFilterRobustnessTest, NoLayerOrNoPixels) {
  const Ref<LayerObject> bare = Ref<LayerObject>::Adopt(LayerObject::CreateWithoutBuffer(3, 3));
  const struct {
    const char *label;
    Variant target;
    int64_t radius;
    const char16_t *raised;
  } cases[] = {
      {"a number", Variant::Integer(5), 1, u"invoking of Layer.left failed."},
      {"an empty value", Variant(), 1, u"invoking of Layer.left failed."},
      {"an object that is no Layer", Variant::Object(&env_.Vel()), 1,
       u"invoking of Layer.left failed."},
      {"a Layer without pixels", Variant::Object(bare.get()), 1, u"Layer has no image buffer."},
      {"a Layer without pixels, radius 0", Variant::Object(bare.get()), 0, nullptr},
  };
  for (const auto &test : cases) {
    SCOPED_TRACE(test.label);
    const fxtest::tCallEnd end = CallEnd(GetParam(), {test.target, Variant::Integer(test.radius)});
    ASSERT_EQ(end.raised, test.raised != nullptr);
    if (test.raised != nullptr) {
      EXPECT_EQ(end.message, test.raised);
    } else {
      EXPECT_EQ(end.status, 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothFilters, BoxFilterRobustnessTest,
                         ::testing::Values(u"blur", u"blur_alpha"),
                         [](const ::testing::TestParamInfo<const char16_t *> &entry) {
                           return std::u16string(entry.param) == u"blur" ? "Blur" : "BlurAlpha";
                         });

class DistortionRobustnessTest : public fxtest::LoadedModuleTest {
 protected:
  // distortion(source, dest, phase, periodTop, periodBottom[, opacity]).
  fxtest::tCallEnd Distort(LayerObject &source, LayerObject &dest, double phase, double periodTop,
                           double periodBottom, const Variant *opacity = nullptr) {
    std::vector<Variant> arguments{Variant::Object(&source), Variant::Object(&dest),
                                   Variant::Real(phase), Variant::Real(periodTop),
                                   Variant::Real(periodBottom)};
    if (opacity != nullptr) {
      arguments.push_back(*opacity);
    }
    return CallEnd(u"distortion", arguments);
  }

  // Row y of `dest` is row `row` of `source` moved left by `shift` (right when
  // negative), its edge pixel repeated.
  static void ExpectShiftedRow(LayerObject &dest, int y, LayerObject &source, int row, int shift) {
    const int width = dest.Pixels()->Width();
    for (int x = 0; x < width; ++x) {
      const int from = std::clamp(x + shift, 0, source.Pixels()->Width() - 1);
      EXPECT_EQ(PixelAt(dest, x, y), PixelAt(source, std::min(from, width - 1), row))
          << "row " << y << " pixel " << x;
    }
  }

  static bool SlackIsZero(LayerObject &layer) {
    const PixelBuffer &pixels = *layer.Pixels();
    for (int y = 0; y < pixels.Height(); ++y) {
      const uint32_t *row = pixels.Row32(y);
      if (row[pixels.Width()] != 0 || row[pixels.Width() + 1] != 0) {
        return false;
      }
    }
    return true;
  }
};

TEST_F(DistortionRobustnessTest, ShiftWiderThanTheRowFillsItWithTheEdge) {
  for (const double period : {1e6, -1e6, 1e300}) {
    SCOPED_TRACE(period);
    const Ref<LayerObject> source = MakeLayer(8, 4, 1);
    const Ref<LayerObject> dest = MakeLayer(8, 4, 2);
    ASSERT_FALSE(Distort(*source, *dest, 0, period, period).raised);
    for (int y = 0; y < 4; ++y) {
      ExpectShiftedRow(*dest, y, *source, y, period > 0 ? 8 : -8);
    }
    EXPECT_TRUE(SlackIsZero(*dest));
  }
}

TEST_F(DistortionRobustnessTest, ScreenOfHeightZeroLeavesRowsInPlace) {
  env_.Vel().SetInnerSize(640, 0);
  const Ref<LayerObject> source = MakeLayer(5, 3, 1);
  const Ref<LayerObject> dest = MakeLayer(5, 3, 2);
  for (const double periodBottom : {20.0, 10.0}) {
    ASSERT_FALSE(Distort(*source, *dest, 0.3, 10, periodBottom).raised);
    for (int y = 0; y < 3; ++y) {
      ExpectShiftedRow(*dest, y, *source, y, 0);
    }
  }
}

TEST_F(DistortionRobustnessTest, EmptySourceLeavesTheDestinationAndStillUpdates) {
  for (const auto &[width, height] : {std::pair{6, 0}, std::pair{0, 3}, std::pair{0, 0}}) {
    const Ref<LayerObject> source = MakeLayer(width, height, 1);
    const Ref<LayerObject> dest = MakeLayer(4, 3, 2);
    const std::vector<uint8_t> before = dest->Pixels()->Bytes();
    const fxtest::tCallEnd end = Distort(*source, *dest, 0, 8, 8);
    ASSERT_FALSE(end.raised);
    EXPECT_EQ(dest->Pixels()->Bytes(), before);
    ASSERT_EQ(dest->Updates().size(), 1u);
    EXPECT_TRUE(dest->Updates()[0] == (zanhost::UpdateRequest{0, 0, 4, 3}));
  }
}

TEST_F(DistortionRobustnessTest, NarrowSourceRepeatsItsLastPixel) {
  const Ref<LayerObject> source = MakeLayer(3, 4, 1);
  const Ref<LayerObject> dest = MakeLayer(7, 4, 2);
  ASSERT_FALSE(Distort(*source, *dest, 0, 0, 0).raised);  // period 0: plain copies
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 7; ++x) {
      EXPECT_EQ(PixelAt(*dest, x, y), PixelAt(*source, std::min(x, 2), y));
    }
  }
  EXPECT_TRUE(SlackIsZero(*dest));
}

TEST_F(DistortionRobustnessTest, PhaseThatIsNotFiniteStartsTheWaveAtZero) {
  // Period 64: table index 0, so every row keeps its place and moves two left.
  for (const double phase : {kNaN, kInfinity, -kInfinity}) {
    const Ref<LayerObject> source = MakeLayer(6, 3, 1);
    const Ref<LayerObject> dest = MakeLayer(6, 3, 2);
    ASSERT_FALSE(Distort(*source, *dest, phase, 64, 64).raised);
    for (int y = 0; y < 3; ++y) {
      ExpectShiftedRow(*dest, y, *source, y, 2);
    }
  }
}

TEST_F(DistortionRobustnessTest, SameLayerIsDrawnInPlaceWithinItsRows) {
  const Ref<LayerObject> layer = MakeLayer(6, 5, 1);
  const Ref<LayerObject> original = MakeLayer(6, 5, 1);
  ASSERT_FALSE(Distort(*layer, *layer, 0, 64, 64).raised);
  // Row 0 reads only itself, moved two left: the edge fill comes first, so the
  // copy then reads the filled pixels 4 and 5.
  const int from[] = {2, 3, 5, 5, 5, 5};
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(PixelAt(*layer, x, 0), PixelAt(*original, from[x], 0)) << "pixel " << x;
  }
  EXPECT_TRUE(SlackIsZero(*layer));
}

TEST_F(DistortionRobustnessTest, OpacityOutOfRangeIsClamped) {
  const Ref<LayerObject> source = MakeLayer(4, 2, 1);
  for (const int64_t opacity : {int64_t{-5}, int64_t{0}, std::numeric_limits<int64_t>::min()}) {
    const Ref<LayerObject> dest = MakeLayer(4, 2, 2);
    const std::vector<uint8_t> before = dest->Pixels()->Bytes();
    const Variant weight = Variant::Integer(opacity);
    ASSERT_FALSE(Distort(*source, *dest, 0, 0, 0, &weight).raised);
    EXPECT_EQ(dest->Pixels()->Bytes(), before) << "opacity " << opacity;
  }
  const Ref<LayerObject> dest = MakeLayer(4, 2, 2);
  const Variant full = Variant::Integer(1000);
  ASSERT_FALSE(Distort(*source, *dest, 0, 0, 0, &full).raised);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      // Colour from the source, alpha kept by the host's blend.
      EXPECT_EQ(PixelAt(*dest, x, y) & 0xFFFFFFu, PixelAt(*source, x, y) & 0xFFFFFFu);
    }
  }
}

TEST_F(DistortionRobustnessTest, NoLayerRaisesBeforeAnythingIsDrawn) {
  const Ref<LayerObject> dest = MakeLayer(4, 2, 2);
  const Ref<LayerObject> bare = Ref<LayerObject>::Adopt(LayerObject::CreateWithoutBuffer(4, 2));
  const std::vector<uint8_t> before = dest->Pixels()->Bytes();
  const fxtest::tCallEnd noLayer =
      CallEnd(u"distortion", {Variant::Integer(1), Variant::Object(dest.get()), Variant::Real(0),
                              Variant::Real(8), Variant::Real(8)});
  EXPECT_EQ(noLayer.message, u"invoking of Layer.left failed.");
  const fxtest::tCallEnd noPixels = Distort(*bare, *dest, 0, 8, 8);
  EXPECT_EQ(noPixels.message, u"Layer has no image buffer.");
  EXPECT_EQ(dest->Pixels()->Bytes(), before);
  EXPECT_TRUE(dest->Updates().empty());
}

}  // namespace
