// A fresh host environment per test, and the check that every counted host
// object and reference the test made has been given back.
#pragma once

#include <gtest/gtest.h>

#include "host/environment.h"
#include "host/ref_counted.h"

namespace zanhost {

class HostTest : public ::testing::Test {
 protected:
  void TearDown() override {
    const LedgerSnapshot now = TakeLedgerSnapshot();
    EXPECT_EQ(now.liveObjects, start_.liveObjects) << "host objects leaked or freed twice";
    EXPECT_EQ(now.references, start_.references) << "references leaked or dropped twice";
  }

  Environment env_;

 private:
  const LedgerSnapshot start_ = TakeLedgerSnapshot();
};

}  // namespace zanhost
