// The built module loaded afresh into a new host environment for each test, as
// the engine loads it, with script calls of its global functions and the check
// that every host object and reference a test made is given back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/environment.h"
#include "host/ref_counted.h"
#include "host/script_error.h"
#include "host/script_value.h"
#include "tests/frame/fresh_module.h"

namespace fxtest {

// How a script call ended: the status it returned, or the error it raised.
struct tCallEnd {
  bool raised = false;
  orn_int status = 0;
  std::u16string message;
};

inline tCallEnd CallGlobal(zanhost::Environment &env, const orn_char *name,
                           std::vector<zanhost::Variant> arguments) {
  std::vector<tORNVariant *> params;
  for (zanhost::Variant &argument : arguments) {
    params.push_back(argument.Raw());
  }
  try {
    return {false,
            env.Global().CallMember(0, name, nullptr, nullptr, static_cast<orn_int>(params.size()),
                                    params.data(), &env.Global()),
            {}};
  } catch (const zanhost::ScriptError &error) {
    return {true, 0, error.Message()};
  }
}

// Drops the script's hold on the module's functions, as a script would before
// the engine unloads the module.
inline void DropGlobalFunctions(zanhost::Environment &env) {
  for (const orn_char *name : {u"distortion", u"blur", u"blur_alpha"}) {
    env.Global().DeleteMember(0, name, nullptr, &env.Global());
  }
}

class LoadedModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(module_->Link(&env_.Functions()), 0); }
  void TearDown() override {
    DropGlobalFunctions(env_);
    EXPECT_EQ(module_->Unlink(), 0);
    const zanhost::LedgerSnapshot now = zanhost::TakeLedgerSnapshot();
    EXPECT_EQ(now.liveObjects, start_.liveObjects) << "host objects leaked or freed twice";
    EXPECT_EQ(now.references, start_.references) << "references leaked or dropped twice";
  }

  tCallEnd Call(const orn_char *name, std::vector<zanhost::Variant> arguments) {
    return CallGlobal(env_, name, std::move(arguments));
  }

  zanhost::Environment env_;
  FreshModule module_;

 private:
  const zanhost::LedgerSnapshot start_ = zanhost::TakeLedgerSnapshot();
};

}  // namespace fxtest
