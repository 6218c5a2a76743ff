// A script's call of a global function, as the engine makes it: CallMember on
// the global object with the function's name.
#pragma once

#include <string>
#include <vector>

#include "host/script_value.h"

namespace fxfuzz {

struct tCallOutcome {
  bool raised = false;
  orn_int status = 0;      // when not raised
  std::u16string message;  // when raised

  static tCallOutcome Returned(orn_int status) { return {false, status, {}}; }
  static tCallOutcome Raised(std::u16string message) { return {true, 0, std::move(message)}; }
  bool operator==(const tCallOutcome &other) const {
    return raised == other.raised && status == other.status && message == other.message;
  }
};

// Aborts (a fuzzer finding), printing both, when the outcome is not the one wanted.
void RequireOutcome(const tCallOutcome &outcome, const tCallOutcome &wanted);

// Calls global function `name` with every value of `arguments`; a script error
// raised during the call is caught and reported.
tCallOutcome CallGlobalFunction(const orn_char *name, std::vector<zanhost::Variant> &arguments);

}  // namespace fxfuzz
