#include "host/plugin_loader.h"

#include <gtest/gtest.h>

#include <string>

#include "host_fixture.h"
#include "hostapi/host_functions.h"

namespace zanhost {
namespace {

using PluginLoaderTest = HostTest;

TEST_F(PluginLoaderTest, LinksAndUnlinksAfterARefusal) {
  PluginLibrary module(FAKE_MODULE_PATH);
  EXPECT_EQ(module.Link(&env_.Functions()), 0);
  EXPECT_EQ(env_.Functions().LookupCount(hostfn::ZANGetScriptDispatch::key), 1);
  EXPECT_TRUE(module.Linked());
  EXPECT_EQ(module.Unlink(), E_FAIL);
  EXPECT_TRUE(module.Linked());
  EXPECT_EQ(module.Unlink(), 0);
  EXPECT_FALSE(module.Linked());
}

TEST_F(PluginLoaderTest, MissingFileNamesThePath) {
  try {
    PluginLibrary module("/nonexistent/libnothing.so");
    FAIL() << "loaded";
  } catch (const PluginLoadError &error) {
    EXPECT_NE(std::string(error.what()).find("/nonexistent/libnothing.so"), std::string::npos);
  }
}

TEST_F(PluginLoaderTest, MissingEntryNamesTheEntry) {
  try {
    PluginLibrary module(FAKE_MODULE_WITHOUT_UNLINK_PATH);
    FAIL() << "loaded";
  } catch (const PluginLoadError &error) {
    EXPECT_NE(std::string(error.what()).find("no entry V2Unlink"), std::string::npos);
  }
}

}  // namespace
}  // namespace zanhost
