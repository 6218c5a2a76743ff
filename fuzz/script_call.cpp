#include "fuzz/script_call.h"

#include <cstdio>

#include "fuzz/loaded_host.h"
#include "host/module_session.h"
#include "host/script_error.h"
#include "host/utf16_text.h"

namespace fxfuzz {
namespace {

void Print(const char *label, const tCallOutcome &outcome) {
  if (outcome.raised) {
    std::fprintf(stderr, "%s: raised \"%s\"\n", label, zanhost::ToUtf8(outcome.message).c_str());
  } else {
    std::fprintf(stderr, "%s: returned %d\n", label, outcome.status);
  }
}

}  // namespace

void RequireOutcome(const tCallOutcome &outcome, const tCallOutcome &wanted) {
  if (!(outcome == wanted)) {
    Print("call", outcome);
    Print("wanted", wanted);
  }
  Require(outcome == wanted, "the call ended otherwise than defined");
}

tCallOutcome CallGlobalFunction(const orn_char *name, std::vector<zanhost::Variant> &arguments) {
  try {
    return tCallOutcome::Returned(zanhost::CallGlobalFunction(LoadedHost(), name, arguments));
  } catch (const zanhost::ScriptError &error) {
    return tCallOutcome::Raised(error.Message());
  }
}

}  // namespace fxfuzz
