// Hosts that lack something the module uses: a global object at link time, or
// any one host function. The module must link, run and unlink as far as the
// host lets it, report a missing function only through the host's
// unbound-function error, give the reference result wherever it did not
// raise, and leave nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "host/band_driver.h"
#include "host/image_source.h"
#include "host/layer_object.h"
#include "host/line_source.h"
#include "host/option_source.h"
#include "host/utf16_text.h"
#include "hostapi/host_functions.h"
#include "reference/box_filter.h"
#include "reference/distortion.h"
#include "reference/rule_frames.h"
#include "tests/all_host_keys.h"
#include "tests/loaded_module.h"
#include "tests/transitions/loaded_module_fixture.h"

namespace {

using zanhost::PixelBuffer;
using zanhost::PixelsOf;
using zanhost::Ref;
using zanhost::Variant;

// Fills the pixels, not the slack, with seeded random values.
void Paint(PixelBuffer &picture, unsigned seed) {
  std::mt19937 random(seed);
  for (int y = 0; y < picture.Height(); ++y) {
    std::generate_n(picture.Row32(y), picture.Width(), [&] { return uint32_t(random()); });
  }
}

// 6 x 4 pixels, rows padded to 32 bytes.
PixelBuffer Patterned(unsigned seed) {
  PixelBuffer picture(6, 4, 32, 32);
  Paint(picture, seed);
  return picture;
}

Ref<zanhost::LayerObject> PatternedLayer(unsigned seed) {
  auto layer = Ref<zanhost::LayerObject>::Adopt(zanhost::LayerObject::Create(6, 4, 32));
  Paint(*layer->Pixels(), seed);
  return layer;
}

struct LedgerGuard {
  const zanhost::LedgerSnapshot start = zanhost::TakeLedgerSnapshot();
  ~LedgerGuard() { EXPECT_TRUE(zanhost::TakeLedgerSnapshot() == start) << "host objects leaked"; }
};

TEST(HostRobustnessTest, NoGlobalObjectAtLinkRegistersNoFunctionAndHoldsNothing) {
  zanhost::Environment env;
  const LedgerGuard ledger;
  fxtest::FreshModule module;
  env.SetGlobalObjectAvailable(false);
  ASSERT_EQ(module->Link(&env.Functions()), 0);
  EXPECT_EQ(env.Registry().Count(), 3u);
  for (const char16_t *name : fxtest::kModuleGlobalFunctions) {
    EXPECT_FALSE(env.Global().Has(name)) << zanhost::ToUtf8(name);
  }
  // The function objects went with the caller's reference: nothing is held, so
  // unlinking goes ahead even with the global object back.
  env.SetGlobalObjectAvailable(true);
  EXPECT_EQ(module->Unlink(), 0);
  EXPECT_EQ(env.Registry().Count(), 0u);
}

class HostLackingOneFunctionTest : public ::testing::TestWithParam<const char *> {
 protected:
  // Runs `step`; the only error it may raise is the unbound-function error
  // naming the withheld key. What the step answered; false when it raised.
  template <class Step>
  bool Tolerate(const char *what, Step step) {
    try {
      return step();
    } catch (const zanhost::ScriptError &error) {
      EXPECT_NE(std::string(error.what()).find(GetParam()), std::string::npos)
          << what << " raised: " << error.what();
      return false;
    }
  }

  // Calls a global function, passing on the error it raised; false when the
  // function is missing, which only a failed link may leave.
  bool Script(const char16_t *name, std::vector<Variant> arguments) {
    const fxtest::tCallEnd end = fxtest::CallGlobal(env_, name, std::move(arguments));
    if (end.raised) {
      throw zanhost::ScriptError(end.message);
    }
    if (!linked_ && end.status == ResultNoSuchMember) {
      return false;
    }
    EXPECT_EQ(end.status, 0) << zanhost::ToUtf8(name);
    return true;
  }

  // Starts the transition with options that make each one run, and checks the
  // frame half way (phase 159 of 319, level 127 for "test") and at the end.
  bool RunTransition(const char16_t *name) {
    if (!linked_ && env_.Registry().Find(name) == nullptr) {
      return false;
    }
    auto image = [](unsigned seed) {
      return Ref<zanhost::BufferLineSource>::Adopt(
          zanhost::BufferLineSource::Create(Patterned(seed)));
    };
    const auto src1 = image(1), src2 = image(2), dest = image(3);
    zanhost::ImageSource images;
    images.AddPicture(u"grey", Patterned(4));
    const std::u16string_view transition = name;
    const auto options = Ref<zanhost::OptionSource>::Adopt(zanhost::OptionSource::Create(
        {{u"time", Variant::Integer(100)},
         {u"add", Variant::String(u"in")},
         {u"rule", Variant::String(transition == u"add" ? u"grey" : u"fore_dark")},
         {u"maxh", Variant::Integer(3)}}));
    const PixelBuffer &first = src1->Pixels();
    const PixelBuffer &second = src2->Pixels();
    const fxref::tRuleStep halfWay{159, 64, false};
    PixelBuffer expected =
        transition == u"add"
            ? fxref::AddFrame(first, second, zanhost::FitPicture(Patterned(4), 8, 6, 4), true,
                              halfWay)
            : fxref::RuleFrame(first, second, fxref::BrightnessRule(first, 0, false), halfWay);
    if (transition == u"test") {  // rows 0 to 127 * 4 / 255 show the second source
      expected = first;
      for (int y = 0; y < 2; ++y) {
        std::copy_n(second.Row32(y), 6, expected.Row32(y));
      }
    }
    zanhost::BandDriver driver(env_.Registry(), 3);
    EXPECT_GE(driver.Start(name, options.get(), &images, 0, src1.get(), src2.get(), dest.get()), 0);
    driver.RunFrame(0);
    driver.RunFrame(50);
    EXPECT_EQ(PixelsOf(dest->Pixels()), PixelsOf(expected)) << "half way";
    EXPECT_TRUE(driver.RunFrame(100).finished);
    EXPECT_EQ(PixelsOf(dest->Pixels()), PixelsOf(second)) << "at the end";
    return true;
  }

  zanhost::Environment env_;
  bool linked_ = false;
};

TEST_P(HostLackingOneFunctionTest, RunsAsFarAsTheHostAllowsAndLeavesNothing) {
  const LedgerGuard ledger;
  env_.Functions().Withhold(GetParam());
  fxtest::FreshModule module;
  linked_ = Tolerate("V2Link", [&] { return module->Link(&env_.Functions()) == 0; });
  for (const char16_t *blur : {u"blur", u"blur_alpha"}) {
    const auto layer = PatternedLayer(5);
    PixelBuffer expected = *layer->Pixels();
    fxref::ReferenceBoxFilter(expected, 1, 1,
                              blur == std::u16string_view(u"blur")
                                  ? fxref::tBoxFilter::Plain
                                  : fxref::tBoxFilter::AlphaWeighted);
    if (Tolerate("a blur", [&] {
          return Script(blur, {Variant::Object(layer.get()), Variant::Integer(1)});
        })) {
      EXPECT_EQ(layer->Pixels()->Bytes(), expected.Bytes()) << zanhost::ToUtf8(blur);
    }
  }
  {
    const auto source = PatternedLayer(6);
    const auto dest = PatternedLayer(7);
    env_.Vel().SetInnerSize(6, 4);
    PixelBuffer expected = *dest->Pixels();
    fxref::ReferenceDistortion(expected, *source->Pixels(), {0.25, 40, 60, 128, 4, 0});
    if (Tolerate("distortion", [&] {
          return Script(u"distortion", {Variant::Object(source.get()), Variant::Object(dest.get()),
                                        Variant::Real(0.25), Variant::Real(40), Variant::Real(60),
                                        Variant::Integer(128)});
        })) {
      EXPECT_EQ(dest->Pixels()->Bytes(), expected.Bytes()) << "distortion";
    }
  }
  for (const char16_t *transition : {u"add", u"brightness", u"test"}) {
    Tolerate("a transition", [&] { return RunTransition(transition); });
  }
  env_.Functions().Restore(GetParam());
  zanhost::DropModuleGlobalFunctions(env_);
  EXPECT_EQ(module->Unlink(), 0);
  EXPECT_EQ(env_.Registry().Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(EveryKey, HostLackingOneFunctionTest,
                         ::testing::ValuesIn(fxtest::kAllHostKeys),
                         [](const ::testing::TestParamInfo<const char *> &entry) {
                           return "Key" + std::to_string(entry.index);
                         });

}  // namespace
