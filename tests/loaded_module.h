// The fixture of every test that drives the built module: a private copy of
// the module file loaded with the host's plug-in loader and linked into a
// fresh host for each test, and the calls a script makes on it. TearDown drops
// the global members that hold the module's functions (as a script ending
// does), unlinks, and checks that every host object and reference came back.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/module_session.h"
#include "host/script_error.h"
#include "host/script_value.h"
#include "host/utf16_text.h"
#include "tests/fresh_module.h"
#include "tests/host/host_fixture.h"

namespace fxtest {

using zanhost::kModuleGlobalFunctions;

// The UTF-8 text of the script error `action` raises; "" when it raises none.
inline std::string RaisedMessage(const std::function<void()> &action) {
  try {
    action();
  } catch (const zanhost::ScriptError &error) {
    return zanhost::ToUtf8(error.Message());
  }
  return "";
}

// How a script call ended: the status it returned, or the error it raised.
struct tCallEnd {
  bool raised = false;
  orn_int status = 0;
  std::u16string message;
};

inline tCallEnd CallGlobal(zanhost::Environment &env, const orn_char *name,
                           std::vector<zanhost::Variant> arguments) {
  try {
    return {false, zanhost::CallGlobalFunction(env, name, arguments), {}};
  } catch (const zanhost::ScriptError &error) {
    return {true, 0, error.Message()};
  }
}

class LoadedModuleTest : public zanhost::HostTest {
 protected:
  void SetUp() override { ASSERT_EQ(module_->Link(&env_.Functions()), 0); }

  void TearDown() override {
    if (module_->Linked()) {
      DropGlobalFunctions();
      EXPECT_EQ(module_->Unlink(), 0);
    }
    HostTest::TearDown();
  }

  void DropGlobalFunctions() { zanhost::DropModuleGlobalFunctions(env_); }

  // A script call of the global function `name`; its status comes back, a
  // raised script error passes through.
  orn_int Call(const orn_char *name, std::vector<zanhost::Variant> arguments) {
    return zanhost::CallGlobalFunction(env_, name, arguments);
  }

  // The message `Call` raises, "" when it returns.
  std::string CallRaising(const orn_char *name, std::vector<zanhost::Variant> arguments) {
    return RaisedMessage([&] { Call(name, std::move(arguments)); });
  }

  // How `Call` ends, a raised error caught.
  tCallEnd CallEnd(const orn_char *name, std::vector<zanhost::Variant> arguments) {
    return CallGlobal(env_, name, std::move(arguments));
  }

  FreshModule module_;
};

}  // namespace fxtest
