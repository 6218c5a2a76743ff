// A test suite run once per kernel path; a path this processor lacks is
// skipped, saying so.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "pixels/kernel_path.h"

namespace fxtest {

using pixels::tKernelPath;

class KernelPathTest : public ::testing::TestWithParam<tKernelPath> {
 protected:
  void SetUp() override {
    if (!pixels::KernelPathAvailable(GetParam())) {
      GTEST_SKIP() << "processor lacks this path";
    }
  }
};

inline auto EveryKernelPath() {
  return ::testing::Values(tKernelPath::Plain, tKernelPath::Vector128, tKernelPath::Vector256,
                           tKernelPath::Vector512, tKernelPath::Auto);
}

inline std::string PathName(const ::testing::TestParamInfo<tKernelPath> &info) {
  static const char *const kNames[] = {"Auto", "Plain", "Vector128", "Vector256", "Vector512"};
  return kNames[int(info.param)];
}

}  // namespace fxtest
