// Hosts that lack something the module uses: a global object at link time, or
// any one host function. The module must link, run and unlink as far as the
// host lets it, report a missing function only through the host's
// unbound-function error, and leave nothing behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/band_driver.h"
#include "host/image_source.h"
#include "host/layer_object.h"
#include "host/line_source.h"
#include "host/option_source.h"
#include "host/utf16_text.h"
#include "hostapi/host_functions.h"
#include "tests/all_host_keys.h"
#include "tests/loaded_module.h"

namespace {

using zanhost::Ref;
using zanhost::Variant;

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
  // naming the withheld key.
  template <class Step>
  void Tolerate(const char *what, Step step) {
    try {
      step();
    } catch (const zanhost::ScriptError &error) {
      EXPECT_NE(std::string(error.what()).find(GetParam()), std::string::npos)
          << what << " raised: " << error.what();
    }
  }

  // Calls a global function, passing on the error it raised.
  void Script(const char16_t *name, std::vector<Variant> arguments) {
    const fxtest::tCallEnd end = fxtest::CallGlobal(env_, name, std::move(arguments));
    if (end.raised) {
      throw zanhost::ScriptError(end.message);
    }
  }

  // Starts the transition with options that make each one run, to its end.
  void RunTransition(const char16_t *name) {
    auto picture = [] {
      auto image = Ref<zanhost::BufferLineSource>::Adopt(
          zanhost::BufferLineSource::Create(zanhost::PixelBuffer(6, 4, 32)));
      image->Pixels().Row32(1)[2] = 0xFF8040C0u;
      return image;
    };
    const auto src1 = picture(), src2 = picture(), dest = picture();
    zanhost::ImageSource images;
    images.AddPicture(u"grey", zanhost::PixelBuffer(6, 4, 32));
    const auto options = Ref<zanhost::OptionSource>::Adopt(zanhost::OptionSource::Create(
        {{u"time", Variant::Integer(100)},
         {u"add", Variant::String(u"in")},
         {u"rule", Variant::String(std::u16string(name) == u"add" ? u"grey" : u"fore_dark")},
         {u"maxh", Variant::Integer(3)}}));
    zanhost::BandDriver driver(env_.Registry(), 3);
    if (driver.Start(name, options.get(), &images, 0, src1.get(), src2.get(), dest.get()) >= 0) {
      driver.RunOnClock(0, 25, 6);
    }
  }

  zanhost::Environment env_;
};

TEST_P(HostLackingOneFunctionTest, RunsAsFarAsTheHostAllowsAndLeavesNothing) {
  const LedgerGuard ledger;
  env_.Functions().Withhold(GetParam());
  fxtest::FreshModule module;
  Tolerate("V2Link", [&] { module->Link(&env_.Functions()); });
  {
    const auto layer = Ref<zanhost::LayerObject>::Adopt(zanhost::LayerObject::Create(6, 4, 32));
    for (const char16_t *blur : {u"blur", u"blur_alpha"}) {
      Tolerate("a blur", [&] {
        Script(blur, {Variant::Object(layer.get()), Variant::Integer(1)});
      });
    }
    Tolerate("distortion", [&] {
      Script(u"distortion",
             {Variant::Object(layer.get()), Variant::Object(layer.get()), Variant::Real(0.25),
              Variant::Real(40), Variant::Real(60), Variant::Integer(128)});
    });
    for (const char16_t *transition : {u"add", u"brightness", u"test"}) {
      Tolerate("a transition", [&] { RunTransition(transition); });
    }
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
