#include "frame/host_import.h"

#include <cstdio>
#include <cstdlib>

#include "frame/module_state.h"
#include "frame/raise.h"

namespace {

// Held in a variable because ResolveFunction takes the address of a key pointer.
const char *unboundFunctionErrorKey = hostfn::ZANThrowPluginUnboundFunctionError::key;

}  // namespace

void *ResolveHostFunction(const char *key) {
  void *function = nullptr;
  if (functionLookup->ResolveFunction(&key, &function, 1)) {
    return function;
  }
  // Not cached: a missing function is rare and the next miss looks it up again.
  void *raise = nullptr;
  if (functionLookup->ResolveFunction(&unboundFunctionErrorKey, &raise, 1)) {
    reinterpret_cast<hostfn::ZANThrowPluginUnboundFunctionError::type>(raise)(key);
    AbortAfterRaise(unboundFunctionErrorKey);
  }
  std::fprintf(stderr, "fxplugin: host function missing and no way to report it: %s\n", key);
  std::abort();
}
