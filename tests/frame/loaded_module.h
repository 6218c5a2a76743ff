// The built module loaded with the host's plug-in loader and linked into a
// fresh host for each test, and the calls a script makes on it. TearDown drops
// the global members that hold the module's functions (as a script ending
// does), unlinks, and checks that every host reference came back.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/plugin_loader.h"
#include "host/script_error.h"
#include "host/script_value.h"
#include "host/utf16_text.h"
#include "tests/host/host_fixture.h"

namespace fxtest {

inline constexpr const orn_char *kGlobalFunctions[] = {u"distortion", u"blur", u"blur_alpha"};

// The UTF-8 text of the script error `action` raises; "" when it raises none.
inline std::string RaisedMessage(const std::function<void()> &action) {
  try {
    action();
  } catch (const zanhost::ScriptError &error) {
    return zanhost::ToUtf8(error.Message());
  }
  return "";
}

class LoadedModuleTest : public zanhost::HostTest {
 protected:
  void SetUp() override { ASSERT_EQ(module_.Link(&env_.Functions()), 0); }

  void TearDown() override {
    if (module_.Linked()) {
      DropGlobalFunctions();
      EXPECT_EQ(module_.Unlink(), 0);
    }
    HostTest::TearDown();
  }

  void DropGlobalFunctions() {
    for (const orn_char *name : kGlobalFunctions) {
      env_.Global().DeleteMember(0, name, nullptr, &env_.Global());
    }
  }

  // A script call of the global function `name`: CallMember on the global
  // object; its status comes back, a raised script error passes through.
  orn_int Call(const orn_char *name, std::vector<zanhost::Variant> arguments) {
    std::vector<tORNVariant *> params;
    for (zanhost::Variant &argument : arguments) {
      params.push_back(argument.Raw());
    }
    return env_.Global().CallMember(0, name, nullptr, nullptr, static_cast<orn_int>(params.size()),
                                    params.data(), &env_.Global());
  }

  // The message `Call` raises, "" when it returns.
  std::string CallRaising(const orn_char *name, std::vector<zanhost::Variant> arguments) {
    return RaisedMessage([&] { Call(name, std::move(arguments)); });
  }

  zanhost::PluginLibrary module_{FX_MODULE_PATH};
};

}  // namespace fxtest
