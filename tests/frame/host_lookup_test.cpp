// How the loaded module finds host functions: once per key, shared by every
// call site, looked up again while the host lacks it, and a fatal stop when the
// host cannot even report a missing function.
#include <gtest/gtest.h>

#include <string>

#include "host/band_driver.h"
#include "host/environment.h"
#include "host/image_source.h"
#include "host/line_source.h"
#include "host/module_session.h"
#include "host/option_source.h"
#include "host/script_error.h"
#include "hostapi/host_functions.h"
#include "tests/fresh_module.h"

namespace {

using zanhost::Variant;

class HostLookupTest : public ::testing::Test {
 protected:
  int Lookups(const char *key) { return env_.Functions().LookupCount(key); }

  // Starts "add" on 8x4 pictures with a mid-grey rule.
  void StartAdd(zanhost::BandDriver &driver) {
    zanhost::PixelBuffer rule(8, 4, 32);
    images_.AddPicture(u"grey", std::move(rule));
    auto options = zanhost::Ref<zanhost::OptionSource>::Adopt(
        zanhost::OptionSource::Create({{u"time", Variant::Integer(100)},
                                       {u"add", Variant::String(u"in")},
                                       {u"rule", Variant::String(u"grey")}}));
    ASSERT_EQ(driver.Start(u"add", options.get(), &images_, 0, Picture(), Picture(), Picture()), 0);
  }

  iZANLineSource *Picture() {
    pictures_.push_back(zanhost::Ref<zanhost::BufferLineSource>::Adopt(
        zanhost::BufferLineSource::Create(zanhost::PixelBuffer(8, 4, 32))));
    return pictures_.back().get();
  }

  zanhost::Environment env_;
  zanhost::ImageSource images_;
  std::vector<zanhost::Ref<zanhost::BufferLineSource>> pictures_;
};

TEST_F(HostLookupTest, EachKeyResolvedOnceForAllCallSites) {
  fxtest::FreshModule module;
  ASSERT_EQ(module->Link(&env_.Functions()), 0);
  // Three providers go through one cache; the variant constructor serves three
  // registrations and the removal path alike.
  EXPECT_EQ(Lookups(hostfn::ZANAddTransHandlerProvider::key), 1);
  EXPECT_EQ(Lookups(hostfn::VariantConstruct::key), 1);
  EXPECT_EQ(Lookups(hostfn::ZANRemoveTransHandlerProvider::key), 0);
  {
    zanhost::BandDriver driver(env_.Registry(), 2);
    StartAdd(driver);
    driver.RunOnClock(0, 10, 20);
    EXPECT_TRUE(driver.Finished());
  }
  EXPECT_EQ(Lookups(hostfn::ZANAddBlend::key), 1);
  EXPECT_EQ(Lookups(hostfn::ZANFillARGB::key), 1);
  // Drop the script's hold on the functions, then unlink.
  zanhost::DropModuleGlobalFunctions(env_);
  ASSERT_EQ(module->Unlink(), 0);
  EXPECT_EQ(Lookups(hostfn::ZANRemoveTransHandlerProvider::key), 1);
  EXPECT_EQ(Lookups(hostfn::ZANGetScriptDispatch::key), 1);
}

TEST_F(HostLookupTest, MissingFunctionRaisesAtFirstUseAndIsLookedUpAgain) {
  env_.Functions().Withhold(hostfn::ZANAddBlend::key);
  fxtest::FreshModule module;
  ASSERT_EQ(module->Link(&env_.Functions()), 0);  // linking does not need it
  zanhost::BandDriver driver(env_.Registry(), 4);
  StartAdd(driver);
  EXPECT_GE(driver.RunFrame(0).status, 0);  // phase 0 passes the first source through
  for (int attempt = 1; attempt <= 2; ++attempt) {
    try {
      driver.RunFrame(50);
      ADD_FAILURE() << "no error raised";
    } catch (const zanhost::ScriptError &error) {
      EXPECT_NE(std::string(error.what()).find(hostfn::ZANAddBlend::key), std::string::npos)
          << error.what();
    }
    EXPECT_EQ(Lookups(hostfn::ZANAddBlend::key), attempt);
  }
  env_.Functions().Restore(hostfn::ZANAddBlend::key);
  EXPECT_GE(driver.RunFrame(60).status, 0);
  EXPECT_GE(driver.RunFrame(70).status, 0);
  EXPECT_EQ(Lookups(hostfn::ZANAddBlend::key), 3);
}

TEST_F(HostLookupTest, UnreportableMissingFunctionStopsTheProcess) {
  env_.Functions().Withhold(hostfn::ZANAddTransHandlerProvider::key);
  env_.Functions().Withhold(hostfn::ZANThrowPluginUnboundFunctionError::key);
  fxtest::FreshModule module;
  EXPECT_DEATH(module->Link(&env_.Functions()),
               "ZANAddTransHandlerProvider\\(iZANTransHandlerProvider \\*\\)");
}

}  // namespace
