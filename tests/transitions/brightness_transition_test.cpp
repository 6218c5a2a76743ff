// The "brightness" transition through the loaded module: its options and
// errors, and the rule it builds, read back from the rule levels it hands to
// the host's blend routines and compared with a plain window mean.
#include <algorithm>
#include <string>

#include "host/pixel_routine_log.h"
#include "host/script_error.h"
#include "reference/rule_frames.h"
#include "tests/transitions/loaded_module_fixture.h"

namespace zanhost {
namespace {

int Brightness(orn_uint32 pixel) {
  return (19 * ((pixel >> 16) & 0xFF) + 183 * ((pixel >> 8) & 0xFF) + 54 * (pixel & 0xFF)) >> 8;
}

// The rule's levels row after row, from the plain reference (the truncated
// window mean of the brightness, stretched, inverted for the "_light" rules).
std::vector<orn_uint8> ReferenceRule(const PixelBuffer &picture, int radius, bool invert) {
  const PixelBuffer rule = fxref::BrightnessRule(picture, radius, invert);
  std::vector<orn_uint8> levels;
  for (int y = 0; y < rule.Height(); ++y) {
    levels.insert(levels.end(), rule.Row(y), rule.Row(y) + rule.Width());
  }
  return levels;
}

OptionList BrightnessOptions(const char16_t *rule, tOVInteger blur) {
  return Options({{u"time", Variant::Integer(319)},
                  {u"blur", Variant::Integer(blur)},
                  {u"rule", Variant::String(rule)}});
}

class BrightnessTransitionTest : public LoadedModuleTest {
 protected:
  // The rule the transition blends `stage` through, one line per blend call
  // of a step in the middle. Checks that each call blends line y of the
  // destination and both sources.
  std::vector<orn_uint8> RuleOf(Stage &stage, const char16_t *rule, tOVInteger blur) {
    PixelRoutineLog log(env_.Functions());
    EXPECT_EQ(stage.Start(u"brightness", BrightnessOptions(rule, blur)), 0);
    stage.Frame(0);
    log.Clear();
    stage.Frame(160);
    std::vector<orn_uint8> levels;
    int y = 0;
    for (const PixelRoutineCall &call : log.Calls()) {
      if (call.routine == PixelRoutine::kRuleBlendSwitch) {
        EXPECT_EQ(call.dest, stage.dest->Pixels().Row32(y));
        EXPECT_EQ(call.src1, stage.src1->Pixels().Row32(y));
        EXPECT_EQ(call.src2, stage.src2->Pixels().Row32(y));
        EXPECT_EQ(call.count, stage.src1->Pixels().Width());
        levels.insert(levels.end(), call.ruleLevels.begin(), call.ruleLevels.end());
        ++y;
      }
    }
    EXPECT_EQ(y, stage.src1->Pixels().Height());
    return levels;
  }
};

TEST_F(BrightnessTransitionTest, ErrorsComeInCheckOrder) {
  struct Case {
    OptionList options;
    std::u16string message;
  };
  const Variant time = Variant::Integer(100);
  const char16_t *const blurError = u"invalid range for option 'blur'.";
  const Case cases[] = {
      {Options({}), u"specify option 'time'."},
      {Options({{u"rule", Variant::String(u"fore_dark")}}), u"specify option 'time'."},
      {Options({{u"time", Variant::String(u"100")}, {u"rule", Variant::String(u"fore_dark")}}),
       u"specify option 'time'."},
      {Options({{u"time", time}, {u"blur", Variant::Integer(4)}}), blurError},
      {Options({{u"time", time},
                {u"blur", Variant::Integer(-1)},
                {u"rule", Variant::String(u"fore_dark")}}),
       blurError},
      {Options({{u"time", time},
                {u"blur", Variant::Integer(tOVInteger{1} << 32)},
                {u"rule", Variant::String(u"fore_dark")}}),
       blurError},
      {Options({{u"time", time}}), u"specify option 'rule'."},
      {Options({{u"time", time}, {u"blur", Variant::Integer(3)}}), u"specify option 'rule'."},
      {Options({{u"time", time}, {u"rule", Variant::String(u"Fore_light")}}),
       u"bad name 'Fore_light' for option 'rule'."},
      {Options({{u"time", time}, {u"rule", Variant::String(u"back_dark ")}}),
       u"bad name 'back_dark ' for option 'rule'."},
      {Options({{u"time", time}, {u"rule", Variant::String(u"")}}),
       u"bad name '' for option 'rule'."},
      {Options({{u"time", time}, {u"rule", Variant::String(u"back_light")}}), u""},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(StartError(u"brightness", c.options, 8, 6), c.message);
  }
}

TEST_F(BrightnessTransitionTest, BlurUpToHalfTheSmallerSide) {
  struct Case {
    int width, height;
    tOVInteger blur;
    bool accepted;
  };
  const Case cases[] = {
      {8, 6, 3, true},  {8, 6, 4, false}, {6, 8, 3, true},  {6, 8, 4, false}, {7, 9, 3, true},
      {7, 9, 4, false}, {5, 3, 1, true},  {5, 3, 2, false}, {1, 1, 0, true},  {1, 1, 1, false},
  };
  for (const Case &c : cases) {
    Stage stage(env_.Registry(), RandomPicture(c.width, c.height, 4),
                RandomPicture(c.width, c.height, 5));
    if (c.accepted) {
      EXPECT_EQ(RuleOf(stage, u"fore_dark", c.blur),
                ReferenceRule(stage.src1->Pixels(), static_cast<int>(c.blur), false))
          << c.width << "x" << c.height << " blur " << c.blur;
    } else {
      EXPECT_EQ(
          StartError(u"brightness", BrightnessOptions(u"fore_dark", c.blur), c.width, c.height),
          u"invalid range for option 'blur'.");
    }
  }
}

TEST_F(BrightnessTransitionTest, RuleMatchesPlainWindowMean) {
  struct Case {
    int width, height, radius;
    const char16_t *rule;
    int pitch;  // of both sources
  };
  const Case cases[] = {
      {5, 3, 1, u"fore_dark", 0},     {5, 3, 1, u"back_light", 0}, {9, 7, 0, u"fore_light", 0},
      {9, 7, 2, u"back_dark", 0},     {9, 7, 3, u"fore_dark", 0},  {16, 11, 5, u"back_dark", 0},
      {13, 4, 2, u"fore_light", -52}, {1, 6, 0, u"back_dark", 0},  {6, 1, 0, u"fore_dark", 28},
  };
  unsigned seed = 10;
  for (const Case &c : cases) {
    seed += 2;
    Stage stage(env_.Registry(), RandomPicture(c.width, c.height, seed, c.pitch),
                RandomPicture(c.width, c.height, seed + 1, c.pitch));
    const std::u16string_view rule = c.rule;
    const PixelBuffer &source =
        rule.substr(0, 4) == u"fore" ? stage.src1->Pixels() : stage.src2->Pixels();
    const bool invert = rule.substr(rule.size() - 5) == u"light";
    EXPECT_EQ(RuleOf(stage, c.rule, c.radius), ReferenceRule(source, c.radius, invert))
        << c.width << "x" << c.height << " r " << c.radius;
  }
}

TEST_F(BrightnessTransitionTest, BrightnessWeighsRedGreenBlue) {
  struct Case {
    orn_uint32 pixel;
    orn_uint8 level;
  };
  // Black and white among them: the levels span 0..255 and are not stretched.
  const Case cases[] = {
      {0xFF000000u, 0},  {0xFFFFFFFFu, 255}, {0xFFFF0000u, 18}, {0xFF00FF00u, 182},
      {0xFF0000FFu, 53}, {0x00FFFFFFu, 255}, {0x80FF0000u, 18}, {0x7F0000FFu, 53},
  };
  const int count = static_cast<int>(std::size(cases));
  Stage stage(env_.Registry(), Picture(count, 1, [&](int x, int) { return cases[x].pixel; }),
              RandomPicture(count, 1, 3));
  const std::vector<orn_uint8> rule = RuleOf(stage, u"fore_dark", 0);
  ASSERT_EQ(rule.size(), static_cast<size_t>(count));
  for (int x = 0; x < count; ++x) {
    EXPECT_EQ(rule[x], cases[x].level) << std::hex << cases[x].pixel;
  }
}

TEST_F(BrightnessTransitionTest, UniformPictureKeepsItsBrightness) {
  struct Case {
    orn_uint32 colour;
    const char16_t *rule;
    tOVInteger blur;
    orn_uint8 level;
  };
  const Case cases[] = {
      {0xFFFF0000u, u"fore_dark", 0, 18},  {0xFFFF0000u, u"fore_light", 2, 237},
      {0xFF000000u, u"back_dark", 1, 0},   {0xFFFFFFFFu, u"back_light", 3, 0},
      {0xFF808080u, u"back_dark", 2, 128},
  };
  for (const Case &c : cases) {
    const auto uniform = [&](int, int) { return c.colour; };
    Stage stage(env_.Registry(), Picture(8, 7, uniform), Picture(8, 7, uniform));
    EXPECT_EQ(RuleOf(stage, c.rule, c.blur), std::vector<orn_uint8>(56, c.level))
        << std::hex << c.colour;
  }
}

TEST_F(BrightnessTransitionTest, FullRangeIsNotStretchedAndLightInverts) {
  // Brightness 0, 255 and between: the dark rule is the brightness itself.
  const orn_uint32 colours[] = {0xFF000000u, 0xFF404040u, 0xFFFFFFFFu, 0xFF102030u};
  const auto paint = [&](int x, int y) { return colours[(x + y) % 4]; };
  Stage dark(env_.Registry(), Picture(6, 5, paint), RandomPicture(6, 5, 1));
  Stage light(env_.Registry(), Picture(6, 5, paint), RandomPicture(6, 5, 1));
  const std::vector<orn_uint8> darkRule = RuleOf(dark, u"fore_dark", 0);
  const std::vector<orn_uint8> lightRule = RuleOf(light, u"fore_light", 0);
  ASSERT_EQ(darkRule.size(), 30u);
  ASSERT_EQ(lightRule.size(), 30u);
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(darkRule[i], Brightness(colours[(i % 6 + i / 6) % 4]));
    EXPECT_EQ(lightRule[i], 255 - darkRule[i]);
  }
}

TEST_F(BrightnessTransitionTest, RuleIsBuiltOnceOnTheFirstBand) {
  PixelRoutineLog log(env_.Functions());
  Stage stage(env_.Registry(), RandomPicture(6, 4, 7), RandomPicture(6, 4, 8));
  const std::vector<orn_uint8> expected = ReferenceRule(stage.src1->Pixels(), 1, false);
  const Ref<iZANBandTransHandler> handler =
      BeginDirect(u"brightness", stage, BrightnessOptions(u"fore_dark", 1));
  handler->BeginStep(0);
  tZANBandData band = StageBand(stage, 0, 2);
  EXPECT_EQ(handler->ProcessBand(&band), 0);
  // Repaint the rule's source: later bands and steps must not see it.
  stage.src1->Pixels() = RandomPicture(6, 4, 9);
  band = StageBand(stage, 2, 2);
  EXPECT_EQ(handler->ProcessBand(&band), 0);
  handler->BeginStep(160);
  log.Clear();
  for (int top = 0; top < 4; top += 2) {
    band = StageBand(stage, top, 2);
    EXPECT_EQ(handler->ProcessBand(&band), 0);
  }
  std::vector<orn_uint8> levels;
  for (const PixelRoutineCall &call : log.Calls()) {
    levels.insert(levels.end(), call.ruleLevels.begin(), call.ruleLevels.end());
  }
  EXPECT_EQ(levels, expected);
}

TEST_F(BrightnessTransitionTest, SourcesAreReadAtTheBandsOwnPlace) {
  PixelRoutineLog log(env_.Functions());
  Stage stage(env_.Registry(), RandomPicture(6, 4, 7), RandomPicture(6, 4, 8));
  const std::vector<orn_uint8> rule = ReferenceRule(stage.src1->Pixels(), 1, false);
  const Ref<iZANBandTransHandler> handler =
      BeginDirect(u"brightness", stage, BrightnessOptions(u"fore_dark", 1));
  // Lines 1 and 2 from x 2 on; the host's source places are to be ignored.
  const auto band = [&] {
    tZANBandData data = StageBand(stage, 1, 2);
    data.left = data.destLeft = 2;
    data.width = 3;
    data.src1Left = 1;
    data.src1Top = 3;
    data.src2Left = 3;
    data.src2Top = 0;
    return data;
  };
  handler->BeginStep(0);
  tZANBandData start = band();
  EXPECT_EQ(handler->ProcessBand(&start), 0);
  EXPECT_EQ(start.dest, stage.src1.get());
  EXPECT_EQ(start.destLeft, 2);
  EXPECT_EQ(start.destTop, 1);
  handler->BeginStep(160);
  log.Clear();
  tZANBandData middle = band();
  EXPECT_EQ(handler->ProcessBand(&middle), 0);
  ASSERT_EQ(log.Calls().size(), 2u);
  for (int line = 0; line < 2; ++line) {
    const PixelRoutineCall &call = log.Calls()[line];
    EXPECT_EQ(call.dest, stage.dest->Pixels().Row32(1 + line) + 2);
    EXPECT_EQ(call.src1, stage.src1->Pixels().Row32(1 + line) + 2);
    EXPECT_EQ(call.src2, stage.src2->Pixels().Row32(1 + line) + 2);
    const auto from = rule.begin() + (1 + line) * 6 + 2;
    EXPECT_EQ(call.ruleLevels, std::vector<orn_uint8>(from, from + 3));
  }
}

}  // namespace
}  // namespace zanhost
