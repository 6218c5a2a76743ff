// The "add" transition through the loaded module: its options and errors, the
// grey it adds and where, the frames it makes against the plain reference of
// the blend, and the faults it guards against.
#include <unistd.h>
#if FX_WITH_PNG
#include <png.h>
#endif

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "host/pixel_routine_log.h"
#include "host/script_error.h"
#include "hostapi/host_functions.h"
#include "instrument/allocation_meter.h"
#include "reference/rule_frames.h"
#include "tests/transitions/loaded_module_fixture.h"

namespace zanhost {
namespace {

constexpr int kWidth = 7;
constexpr int kHeight = 5;

// "add" over `time` ticks with the rule graphic "rule".
OptionList AddOptions(const char16_t *add, tOVInteger time,
                      std::optional<tOVInteger> vague = std::nullopt) {
  OptionList options = Options({{u"time", Variant::Integer(time)},
                                {u"add", Variant::String(add)},
                                {u"rule", Variant::String(u"rule")}});
  if (vague) {
    options.emplace_back(u"vague", Variant::Integer(*vague));
  }
  return options;
}

// The frame "add" shows at `phase`, from the plain reference of the blend.
std::vector<orn_uint32> AddReference(Stage &stage, const PixelBuffer &rule, bool addIn,
                                     orn_int phase, orn_int vague) {
  const PixelBuffer &first = stage.src1->Pixels();
  return PixelsOf(fxref::AddFrame(first, stage.src2->Pixels(),
                                  FitPicture(rule, 8, first.Width(), first.Height()), addIn,
                                  {phase, vague, false}));
}

using AddTransitionTest = LoadedModuleTest;

TEST_F(AddTransitionTest, ErrorsComeInOptionOrder) {
  struct Case {
    OptionList options;
    std::u16string message;
  };
  const Variant time = Variant::Integer(100);
  const Case cases[] = {
      {Options({{u"add", Variant::String(u"in")}, {u"rule", Variant::String(u"rule")}}),
       u"specify option 'time'."},
      {Options({{u"time", time}}), u"specify option 'add'."},
      {Options({{u"time", time}, {u"add", Variant::Integer(1)}}), u"specify option 'add'."},
      {Options({{u"time", time}, {u"add", Variant::String(u"IN")}}),
       u"bad name 'IN' for option 'add'."},
      {Options({{u"time", time}, {u"add", Variant::String(u"Out")}}),
       u"bad name 'Out' for option 'add'."},
      {Options({{u"time", time}, {u"add", Variant::String(u"")}}),
       u"bad name '' for option 'add'."},
      {Options({{u"time", time}, {u"add", Variant::String(u"in")}}), u"specify option 'rule'."},
      {Options({{u"time", time},
                {u"add", Variant::String(u"out")},
                {u"rule", Variant::String(u"none")}}),
       u"cannot load rule graphic 'none'."},
      {Options({{u"time", time},
                {u"vague", Variant::String(u"x")},
                {u"add", Variant::String(u"in")},
                {u"rule", Variant::String(u"rule")}}),
       u""},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(StartError(u"add", c.options), c.message);
  }
}

TEST_F(AddTransitionTest, ScreenSizeReadErrorsReleaseEverything) {
  struct Case {
    std::function<void(Environment &)> breakHost;
    std::function<void(Environment &)> mendHost;
    std::u16string message;
  };
  const auto setVel = [](Environment &env, const Variant &value) {
    env.Global().SetMember(FlagCreateMember, u"vel", nullptr, value.Raw(), &env.Global());
  };
  const auto restoreVel = [&](Environment &env) { setVel(env, Variant::Object(&env.Vel())); };
  const Case cases[] = {
      {[](Environment &env) { env.SetGlobalObjectAvailable(false); },
       [](Environment &env) { env.SetGlobalObjectAvailable(true); },
       u"invoking of global.vel failed."},
      {[](Environment &env) { env.Global().DeleteMember(0, u"vel", nullptr, &env.Global()); },
       restoreVel, u"invoking of global.vel failed."},
      {[&](Environment &env) { setVel(env, Variant::Integer(7)); }, restoreVel,
       u"invoking of global.vel failed."},
      {[](Environment &env) { env.Vel().FailProperty(u"innerWidth"); },
       [](Environment &env) { env.Vel().FailProperty(u""); },
       u"invoking of vel.innerWidth failed."},
      {[](Environment &env) { env.Vel().FailProperty(u"innerHeight"); },
       [](Environment &env) { env.Vel().FailProperty(u""); },
       u"invoking of vel.innerHeight failed."},
  };
  for (const Case &c : cases) {
    c.breakHost(env_);
    EXPECT_EQ(StartError(u"add", AddOptions(u"in", 100)), c.message);
    c.mendHost(env_);
  }
  EXPECT_EQ(StartError(u"add", AddOptions(u"in", 100)), u"");
}

TEST_F(AddTransitionTest, RuleGraphicIsRequestedAt8BitsAtTheSourcesSize) {
  // Answers every request with an 8-bit image of its own size, noting the request.
  class RuleRequests : public iZANImageSource {
   public:
    RuleRequests(int width, int height) : width_(width), height_(height) {}
    orn_int LoadImage(const orn_char *name, orn_int bitsPerPixel, orn_uint32 key, orn_int width,
                      orn_int height, iZANLineSource **image) override {
      request = {std::u16string(name), bitsPerPixel, key, width, height};
      *image = BufferLineSource::Create(PixelBuffer(width_, height_, 8));
      return 0;
    }
    struct {
      std::u16string name;
      orn_int bitsPerPixel;
      orn_uint32 key;
      orn_int width, height;
    } request{};

   private:
    int width_, height_;
  };
  struct Case {
    int ruleWidth, ruleHeight;
    std::u16string message;
  };
  const Case cases[] = {
      {kWidth, kHeight, u""},
      {kWidth + 3, kHeight + 1, u""},
      {kWidth - 1, kHeight, u"cannot load rule graphic 'rule'."},
      {kWidth, kHeight - 1, u"cannot load rule graphic 'rule'."},
  };
  for (const Case &c : cases) {
    Stage stage(env_.Registry(), RandomPicture(kWidth, kHeight, 1),
                RandomPicture(kWidth, kHeight, 2));
    RuleRequests images(c.ruleWidth, c.ruleHeight);
    const Ref<OptionSource> options =
        Ref<OptionSource>::Adopt(OptionSource::Create(AddOptions(u"in", 100)));
    std::u16string message;
    try {
      EXPECT_EQ(stage.driver.Start(u"add", options.get(), &images, 0, stage.src1.get(),
                                   stage.src2.get(), stage.dest.get()),
                0);
      EXPECT_TRUE(stage.driver.RunOnClock(0, 50, 3).finished);
    } catch (const ScriptError &error) {
      message = error.Message();
    }
    EXPECT_EQ(message, c.message) << c.ruleWidth << "x" << c.ruleHeight;
    EXPECT_EQ(images.request.name, u"rule");
    EXPECT_EQ(images.request.bitsPerPixel, 8);
    EXPECT_EQ(images.request.key, 0x2FFFFFFu);
    EXPECT_EQ(images.request.width, kWidth);
    EXPECT_EQ(images.request.height, kHeight);
  }
}

TEST_F(AddTransitionTest, GreyGrowsOverTheFirstSourceOrFadesFromTheSecond) {
  struct Case {
    const char16_t *add;
    orn_int phase;  // of maxPhase 319
    orn_uint32 fill;
  };
  const Case cases[] = {
      {u"in", 1, 0xFF000000u},     // level 0
      {u"in", 160, 0xFF3F3F3Fu},   // level 127
      {u"in", 318, 0xFF7F7F7Fu},   // level 254
      {u"out", 1, 0xFF7F7F7Fu},    // level 255
      {u"out", 318, 0xFF000000u},  // level 1
  };
  for (const Case &c : cases) {
    PixelRoutineLog log(env_.Functions());
    Stage stage(env_.Registry(), RandomPicture(kWidth, kHeight, 1),
                RandomPicture(kWidth, kHeight, 2));
    stage.images.AddPicture(u"rule", RuleRamp(kWidth, kHeight));
    ASSERT_EQ(stage.Start(u"add", AddOptions(c.add, 319)), 0);
    stage.Frame(0);
    log.Clear();
    stage.Frame(static_cast<uint64_t>(c.phase));
    const bool addIn = std::u16string_view(c.add) == u"in";
    // Per line: fill the scratch line, add one source into it, blend.
    ASSERT_EQ(log.Calls().size(), 1u + 3u * kHeight);
    for (int y = 0; y < kHeight; ++y) {
      const PixelRoutineCall &fill = log.Calls()[1 + 3 * y];
      const PixelRoutineCall &add = log.Calls()[2 + 3 * y];
      const PixelRoutineCall &blend = log.Calls()[3 + 3 * y];
      ASSERT_EQ(fill.routine, PixelRoutine::kFillARGB);
      EXPECT_EQ(fill.color, c.fill) << std::hex << c.fill;
      EXPECT_EQ(fill.count, kWidth);
      ASSERT_EQ(add.routine, PixelRoutine::kAddBlend);
      EXPECT_EQ(add.dest, fill.dest);
      EXPECT_EQ(add.src1, addIn ? stage.src1->Pixels().Row32(y) : stage.src2->Pixels().Row32(y));
      ASSERT_EQ(blend.routine, PixelRoutine::kRuleBlendSwitch);
      EXPECT_EQ(blend.dest, stage.dest->Pixels().Row32(y));
      EXPECT_EQ(blend.src1, addIn ? fill.dest : stage.src1->Pixels().Row32(y));
      EXPECT_EQ(blend.src2, addIn ? stage.src2->Pixels().Row32(y) : fill.dest);
      EXPECT_EQ(blend.phase, c.phase);
      EXPECT_EQ(blend.phaseMinusVague, c.phase - 64);
    }
  }
}

TEST_F(AddTransitionTest, FramesMatchPlainReference) {
  struct Case {
    const char16_t *add;
    orn_int phase;
    orn_int vague;
    int pitch;       // of the sources and the destination
    orn_int screen;  // innerWidth, which the scratch line must not trust
  };
  const Case cases[] = {
      {u"in", 100, 64, 0, 640},
      {u"out", 200, 64, 0, 640},
      {u"in", 300, 600, 0, 640},
      {u"out", 50, 1, 0, 640},
      {u"in", 150, 64, -kWidth * 4, 640},
      {u"out", 150, 64, kWidth * 4 + 8, 640},
      {u"in", 150, 64, 0, 1},
      {u"out", 150, 64, 0, 0},
      {u"in", 150, 64, 0, -3},
  };
  for (const Case &c : cases) {
    env_.Vel().SetInnerSize(c.screen, 480);
    Stage stage(env_.Registry(), RandomPicture(kWidth, kHeight, 1, c.pitch),
                RandomPicture(kWidth, kHeight, 2, c.pitch), 2);
    stage.images.AddPicture(u"rule", RuleRamp(kWidth, kHeight));
    ASSERT_EQ(stage.Start(u"add", AddOptions(c.add, 255 + c.vague, c.vague)), 0);
    stage.Frame(0);
    stage.Frame(static_cast<uint64_t>(c.phase));
    const bool addIn = std::u16string_view(c.add) == u"in";
    EXPECT_EQ(stage.Shown(),
              AddReference(stage, RuleRamp(kWidth, kHeight), addIn, c.phase, c.vague))
        << "phase " << c.phase << " vague " << c.vague << " pitch " << c.pitch << " screen "
        << c.screen;
  }
}

TEST_F(AddTransitionTest, EmptyBandCallsNoPixelRoutine) {
  PixelRoutineLog log(env_.Functions());
  Stage stage(env_.Registry(), RandomPicture(kWidth, kHeight, 1),
              RandomPicture(kWidth, kHeight, 2));
  stage.images.AddPicture(u"rule", RuleRamp(kWidth, kHeight));
  const Ref<iZANBandTransHandler> handler = BeginDirect(u"add", stage, AddOptions(u"in", 319));
  handler->BeginStep(0);
  handler->BeginStep(100);
  log.Clear();
  tZANBandData band = StageBand(stage, 2, 0);
  EXPECT_EQ(handler->ProcessBand(&band), 0);
  EXPECT_TRUE(log.Calls().empty());
  EXPECT_EQ(band.dest, stage.dest.get());
  EXPECT_EQ(stage.Shown(), std::vector<orn_uint32>(kWidth * kHeight, 0u));
}

TEST_F(AddTransitionTest, StepsAllocateNothing) {
  Stage stage(env_.Registry(), RandomPicture(kWidth, kHeight, 1),
              RandomPicture(kWidth, kHeight, 2));
  stage.images.AddPicture(u"rule", RuleRamp(kWidth, kHeight));
  ASSERT_EQ(stage.Start(u"add", AddOptions(u"out", 319)), 0);
  // The first blending step resolves the host routines; later ones only blend.
  stage.Frame(0);
  stage.Frame(10);
  const instrument::tAllocationMeter meter;
  stage.Frame(100);
  stage.Frame(200);
  EXPECT_EQ(meter.Count(), 0u);
}

#if FX_WITH_PNG
TEST_F(AddTransitionTest, RuleGraphicLoadsFromPngFile) {
  const std::string directory = ::testing::TempDir();
  // One name per process: the plain and the sanitizer runs may overlap.
  const std::string name = "fx_add_rule_" + std::to_string(getpid());
  const std::string path = directory + "/" + name + ".png";
  const PixelBuffer rule = RuleRamp(kWidth * 2, kHeight * 2);
  png_image out;
  std::memset(&out, 0, sizeof out);
  out.version = PNG_IMAGE_VERSION;
  out.width = kWidth * 2;
  out.height = kHeight * 2;
  out.format = PNG_FORMAT_BGRA;
  ASSERT_NE(png_image_write_to_file(&out, path.c_str(), 0, rule.Origin(), 0, nullptr), 0);

  Stage stage(env_.Registry(), RandomPicture(kWidth, kHeight, 1),
              RandomPicture(kWidth, kHeight, 2));
  stage.images = ImageSource(directory);
  OptionList options = AddOptions(u"in", 319);
  options.back().second = Variant::String(std::u16string(name.begin(), name.end()));
  ASSERT_EQ(stage.Start(u"add", options), 0);
  stage.Frame(0);
  stage.Frame(120);
  EXPECT_EQ(stage.Shown(), AddReference(stage, rule, true, 120, 64));
  std::remove(path.c_str());
}
#endif

// A host that lacks the add routine: everything else links and runs.
class HostWithoutAddBlendTest : public LoadedModuleTest {
 protected:
  void SetUp() override {
    env_.Functions().Withhold(hostfn::ZANAddBlend::key);
    LoadedModuleTest::SetUp();
  }
};

TEST_F(HostWithoutAddBlendTest, FirstAddStepThatNeedsItRaises) {
  {
    Stage stage(env_.Registry(), RandomPicture(kWidth, kHeight, 1),
                RandomPicture(kWidth, kHeight, 2));
    ASSERT_EQ(stage.Start(u"brightness", Options({{u"time", Variant::Integer(100)},
                                                  {u"rule", Variant::String(u"back_dark")}})),
              0);
    EXPECT_TRUE(stage.driver.RunOnClock(0, 10, 11).finished);
  }
  Stage stage(env_.Registry(), RandomPicture(kWidth, kHeight, 1),
              RandomPicture(kWidth, kHeight, 2));
  stage.images.AddPicture(u"rule", RuleRamp(kWidth, kHeight));
  ASSERT_EQ(stage.Start(u"add", AddOptions(u"in", 100)), 0);
  EXPECT_EQ(stage.Frame(0).status, 1);
  try {
    stage.Frame(50);
    FAIL() << "no error raised";
  } catch (const ScriptError &error) {
    EXPECT_EQ(error.Message(),
              u"host function not bound: void ::ZANAddBlend(orn_uint32 *,const orn_uint32 "
              u"*,orn_int)");
  }
}

}  // namespace
}  // namespace zanhost
