// The host every fuzz target runs in: one Environment for the whole run with
// the built module loaded and linked into it, as the engine has it.
#pragma once

#include "host/environment.h"
#include "host/ref_counted.h"

namespace fxfuzz {

// Made, and the module linked, on the first call.
zanhost::Environment &LoadedHost();

// Aborts (a fuzzer finding) with `what` when `condition` is false.
void Require(bool condition, const char *what);

// Counts every host object and reference at construction; on destruction
// requires that the case gave all of them back.
class tLedgerCheck {
 public:
  tLedgerCheck() : start_(zanhost::TakeLedgerSnapshot()) {}
  ~tLedgerCheck() {
    Require(zanhost::TakeLedgerSnapshot() == start_, "host objects or references leaked");
  }
  tLedgerCheck(const tLedgerCheck &) = delete;
  tLedgerCheck &operator=(const tLedgerCheck &) = delete;

 private:
  zanhost::LedgerSnapshot start_;
};

}  // namespace fxfuzz
