// What "add" and "brightness" share, driven through the loaded module: the
// order of option reads, the choice of rule-blend routine, whole transitions
// from the first picture to the second, and the clock's odd values.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "host/pixel_routine_log.h"
#include "host/ref_counted.h"
#include "tests/transitions/loaded_module_fixture.h"

namespace zanhost {
namespace {

constexpr int kWidth = 7;
constexpr int kHeight = 5;

// Notes each option read, then answers from the host's option source.
class RecordingOptions : public iZANOptionSource, public RefCounted {
 public:
  static RecordingOptions *Create(OptionList options) {
    return new RecordingOptions(std::move(options));
  }
  orn_int AddRef() override { return Retain(); }
  orn_int Release() override { return Drop(); }
  orn_int GetNumber(const orn_char *name, tOVInteger *value) override {
    reads.push_back(u"number " + std::u16string(name));
    return options_->GetNumber(name, value);
  }
  orn_int GetString(const orn_char *name, const orn_char **value) override {
    reads.push_back(u"string " + std::u16string(name));
    return options_->GetString(name, value);
  }
  orn_int GetValue(const orn_char *name, tORNVariant *value) override {
    reads.push_back(u"value " + std::u16string(name));
    return options_->GetValue(name, value);
  }

  std::vector<std::u16string> reads;

 private:
  explicit RecordingOptions(OptionList options)
      : options_(Ref<OptionSource>::Adopt(OptionSource::Create(std::move(options)))) {}
  Ref<OptionSource> options_;
};

// The options each transition needs, over `time` ticks, plus `more`.
OptionList NeededOptions(std::u16string_view name, tOVInteger time, OptionList more = {}) {
  OptionList options = Options({{u"time", Variant::Integer(time)}});
  if (name == u"add") {
    options.emplace_back(u"add", Variant::String(u"in"));
    options.emplace_back(u"rule", Variant::String(u"rule"));
  } else {
    options.emplace_back(u"rule", Variant::String(u"fore_light"));
  }
  options.insert(options.end(), more.begin(), more.end());
  return options;
}

Stage MakeStage(TransitionRegistry &registry) {
  Stage stage(registry, RandomPicture(kWidth, kHeight, 21), RandomPicture(kWidth, kHeight, 22));
  stage.images.AddPicture(u"rule", RuleRamp(kWidth, kHeight));
  return stage;
}

using RuleTransitionsTest = LoadedModuleTest;

TEST_F(RuleTransitionsTest, OptionsAreReadOnceInOrder) {
  struct Case {
    std::u16string_view name;
    std::vector<std::u16string> reads;
  };
  const Case cases[] = {
      {u"add", {u"number time", u"number vague", u"string add", u"string rule"}},
      {u"brightness", {u"number time", u"number vague", u"number blur", u"string rule"}},
  };
  for (const Case &c : cases) {
    Stage stage = MakeStage(env_.Registry());
    const Ref<RecordingOptions> options =
        Ref<RecordingOptions>::Adopt(RecordingOptions::Create(NeededOptions(c.name, 100)));
    ASSERT_EQ(stage.driver.Start(c.name, options.get(), &stage.images, 0, stage.src1.get(),
                                 stage.src2.get(), stage.dest.get()),
              0);
    EXPECT_TRUE(stage.driver.RunOnClock(0, 25, 5).finished);
    EXPECT_EQ(options->reads, c.reads);
  }
}

TEST_F(RuleTransitionsTest, RuleBlendRoutineFollowsVagueAndLayerType) {
  struct Case {
    std::optional<orn_int> vague;  // left out: 64
    orn_int layerType;
    orn_int phase;
    PixelRoutine table;
    PixelRoutine blend;
  };
  const Case cases[] = {
      {std::nullopt, 0, 1, PixelRoutine::kInitTable, PixelRoutine::kRuleBlendSwitch},
      {std::nullopt, 0, 100, PixelRoutine::kInitTable, PixelRoutine::kRuleBlendSwitch},
      {511, 0, 100, PixelRoutine::kInitTable, PixelRoutine::kRuleBlendSwitch},
      {512, 0, 100, PixelRoutine::kInitTable, PixelRoutine::kRuleBlend},
      {511, 1, 100, PixelRoutine::kInitTableD, PixelRoutine::kRuleBlendSwitchD},
      {512, 0x80, 100, PixelRoutine::kInitTableD, PixelRoutine::kRuleBlendD},
      {64, 0x100, 100, PixelRoutine::kInitTable, PixelRoutine::kRuleBlendSwitch},
      {0, 0, 100, PixelRoutine::kInitTable, PixelRoutine::kRuleBlendSwitch},
  };
  for (std::u16string_view name : {u"add", u"brightness"}) {
    for (const Case &c : cases) {
      const orn_int vague = c.vague.value_or(64);
      SCOPED_TRACE(testing::Message() << (name == u"add" ? "add" : "brightness") << " vague "
                                      << vague << " layer " << c.layerType);
      PixelRoutineLog log(env_.Functions());
      Stage stage = MakeStage(env_.Registry());
      OptionList more;
      if (c.vague) {
        more.emplace_back(u"vague", Variant::Integer(*c.vague));
      }
      // time = maxPhase: the phase is the tick.
      ASSERT_EQ(stage.Start(name, NeededOptions(name, 255 + vague, more), c.layerType), 0);
      stage.Frame(0);
      log.Clear();
      stage.Frame(static_cast<uint64_t>(c.phase));
      EXPECT_EQ(log.Count(c.table), 1);
      EXPECT_EQ(log.Count(c.blend), kHeight);
      EXPECT_EQ(log.Calls().size(), name == u"add" ? 1u + 3u * kHeight : 1u + kHeight);
      for (const PixelRoutineCall &call : log.Calls()) {
        if (call.routine == c.table) {
          EXPECT_EQ(call.phase, c.phase);
          EXPECT_EQ(call.vague, vague);
        }
        if (call.routine == PixelRoutine::kRuleBlendSwitch ||
            call.routine == PixelRoutine::kRuleBlendSwitchD) {
          EXPECT_EQ(call.phase, c.phase);
          EXPECT_EQ(call.phaseMinusVague, c.phase - vague);
        }
      }
    }
  }
}

TEST_F(RuleTransitionsTest, RunsFromFirstPictureToSecond) {
  struct Case {
    std::u16string_view name;
    OptionList more;
    orn_int layerType;
  };
  const Case cases[] = {
      {u"add", {}, 0},
      {u"add", Options({{u"add", Variant::String(u"out")}}), 0},
      {u"add", Options({{u"vague", Variant::Integer(600)}}), 1},
      {u"brightness", {}, 0},
      {u"brightness",
       Options({{u"rule", Variant::String(u"back_dark")}, {u"blur", Variant::Integer(2)}}), 0},
      {u"brightness", Options({{u"vague", Variant::Integer(1000)}}), 1},
  };
  for (const Case &c : cases) {
    Stage stage = MakeStage(env_.Registry());
    // Options given twice: the host answers the first, so `more` goes in front.
    OptionList options = c.more;
    const OptionList needed = NeededOptions(c.name, 200);
    options.insert(options.end(), needed.begin(), needed.end());
    ASSERT_EQ(stage.Start(c.name, options, c.layerType), 0);
    EXPECT_EQ(stage.driver.ResultFlag1(), 1);
    EXPECT_EQ(stage.driver.ResultFlag2(), 1);
    const std::vector<orn_uint32> first = PixelsOf(stage.src1->Pixels());
    const std::vector<orn_uint32> second = PixelsOf(stage.src2->Pixels());
    for (uint64_t tick = 1000; tick <= 1200 && !stage.driver.Finished(); tick += 25) {
      const FrameReport report = stage.Frame(tick);
      ASSERT_GE(report.status, 0);
      const std::vector<orn_uint32> shown = stage.Shown();
      if (tick == 1000) {
        EXPECT_EQ(shown, first);
      } else if (tick == 1200) {
        EXPECT_TRUE(report.finished);
        EXPECT_EQ(shown, second);
      } else {
        EXPECT_NE(shown, first) << "tick " << tick;
        EXPECT_NE(shown, second) << "tick " << tick;
      }
    }
    EXPECT_TRUE(stage.driver.Finished());
    EXPECT_EQ(stage.driver.FinalImage(), stage.src2.get());
  }
}

TEST_F(RuleTransitionsTest, OddClockValuesEndCleanly) {
  constexpr tOVInteger kIntMax = std::numeric_limits<orn_int>::max();
  struct Case {
    const char *what;
    tOVInteger time;
    tOVInteger vague;
    std::vector<uint64_t> ticks;
    bool finishes;            // on the last tick
    bool endsOnFirstPicture;  // maxPhase 0: the first source stays shown
  };
  const Case cases[] = {
      {"vague -255: maxPhase 0", 100, -255, {7}, true, true},
      {"vague below -255 clamped", 100, -1000, {7}, true, true},
      {"vague -254: maxPhase 1", 100, -254, {7, 50, 107}, true, false},
      {"time 0", 0, 64, {7}, true, false},
      {"tick before the start", 100, 64, {1000, 1050, 999}, true, false},
      {"vague near INT32_MAX", 1000, kIntMax, {0, 500, 999, 1000}, true, false},
      {"vague where 255 + vague wraps", 1000, kIntMax - 100, {0, 1, 500, 1000}, true, false},
      {"vague past 32 bits: low word 64",
       100,
       (tOVInteger{1} << 32) + 64,
       {0, 50, 100},
       true,
       false},
      {"negative time: huge unsigned", -1, 64, {0, 1000000, ~uint64_t{0} / 2}, false, false},
  };
  for (std::u16string_view name : {u"add", u"brightness"}) {
    for (const Case &c : cases) {
      SCOPED_TRACE(c.what);
      Stage stage = MakeStage(env_.Registry());
      ASSERT_EQ(stage.Start(name, NeededOptions(name, c.time,
                                                Options({{u"vague", Variant::Integer(c.vague)}}))),
                0);
      FrameReport report{};
      for (size_t i = 0; i < c.ticks.size(); ++i) {
        report = stage.Frame(c.ticks[i]);
        EXPECT_GE(report.status, 0);
        EXPECT_EQ(report.finished, c.finishes && i + 1 == c.ticks.size()) << c.ticks[i];
      }
      if (c.finishes) {
        EXPECT_EQ(stage.Shown(),
                  PixelsOf((c.endsOnFirstPicture ? stage.src1 : stage.src2)->Pixels()));
        EXPECT_EQ(stage.driver.FinalImage(), stage.src2.get());
      }
    }
  }
}

}  // namespace
}  // namespace zanhost
